// Having Windows install the driver package for every supported hardware ID: the
// dialog's second step and the quiet step's.
#pragma once

#include <windows.h>

struct DriverUpdateOutcome {
    BOOL restart;     // an update asked for a restart of the system
    int failures;     // updates that Windows refused
    int firstFailed;  // the entry of the first of them
    DWORD firstError; // and its error code
};

// One update call for each entry, whichever device was found and whatever the others
// gave; owner (or NULL) owns Windows' own prompts, and progress (or NULL) is a progress
// bar set to the number of entries done after each.
void UpdateSupportedDrivers(HWND owner, const char* infPath, HWND progress, DriverUpdateOutcome* outcome);
