// Helpers for the Windows-side tests: the simulated driver's state, capturing a
// message box that the code under test shows, and the parameters key.
#pragma once

#include <windows.h>

#include <string>

#include "sim/client/sim_client.h"

// The state of the simulated driver; fails the calling test when it cannot be read.
SimState ReadSimState(void);

// How many requests of a touch control code the driver has seen.
unsigned RequestCount(const SimState& state, DWORD code);

// Resets the driver and ends any failure injection; fails the test when it cannot.
void ResetSim(void);

// Watches, on a thread of its own, for the next message box of this process,
// records its caption and text, and answers it with the given button.
class MessageBoxCatcher {
public:
    explicit MessageBoxCatcher(int answer = IDOK);
    ~MessageBoxCatcher();
    // Waits for the watcher; true when a box was seen and answered.
    bool Wait(DWORD timeoutMs = 10000);
    std::string caption;
    std::string text;

private:
    static DWORD WINAPI Watch(void* self);
    HANDLE thread_;
    int answer_;
    bool seen_ = false;
    volatile LONG stop_ = 0;
};

// Deletes the driver's Parameters key under the Services path (and its values).
void DeleteServicesParametersKey(void);
