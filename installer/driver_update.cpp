#include "installer/driver_update.h"

#include <commctrl.h>

#include "installer/hardware_id_match.h"
#include "installer/setup_functions.h"

// An ID that no present device has gives "no such device", which is no failure: only
// the found device's IDs are expected to install. Each call writes its restart flag
// whatever it did (an ID that no device has gives FALSE), so each gets one of its own:
// the restart that the found device's update asked for must not be undone by a later
// entry's call.
void UpdateSupportedDrivers(HWND owner, const char* infPath, HWND progress, DriverUpdateOutcome* outcome)
{
    outcome->restart = FALSE;
    outcome->failures = 0;
    outcome->firstFailed = 0;
    outcome->firstError = ERROR_SUCCESS;
    for (int entry = 0; entry < SUPPORTED_HARDWARE_ID_COUNT; ++entry) {
        char id[HARDWARE_ID_SIZE];
        lstrcpynA(id, SupportedHardwareIds[entry], sizeof(id));
        BOOL rebootRequired = FALSE;
        if (!DeviceInstall.UpdateDriverForPlugAndPlayDevicesA(owner, id, infPath, INSTALLFLAG_FORCE,
                                                              &rebootRequired)) {
            DWORD error = GetLastError();
            if (error != ERROR_NO_SUCH_DEVINST && outcome->failures++ == 0) {
                outcome->firstFailed = entry;
                outcome->firstError = error;
            }
        }
        if (rebootRequired)
            outcome->restart = TRUE;
        if (progress != NULL)
            SendMessageA(progress, PBM_SETPOS, (WPARAM)(entry + 1), 0);
    }
}
