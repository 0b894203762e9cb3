// Client side of the simulated driver's test control device, for korvelsimctl and
// the Windows-side tests.
#pragma once

#include <windows.h>

#include "sim/sim_control.h"

// Each returns FALSE with the last-error value of the failed open or request.
BOOL SimGetState(SimState* state);
BOOL SimReset(void);
BOOL SimQueueTouch(int x, int y);
BOOL SimFailRequest(DWORD code); // 0 ends the failure injection

// The name of a touch control code as the state lists it ("set_calibration"), NULL
// for any other code; and the reverse.
const char* SimRequestNameOf(DWORD code);
DWORD SimRequestCodeOf(const char* name);

// The index of a code in SimState.requests, or -1.
int SimRequestIndex(DWORD code);
