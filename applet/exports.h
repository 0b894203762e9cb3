// Korvelpad's exported functions: the Control Panel entry and the touchscreen API.
// Named without decoration in the export table (see korvelpad.def).
#pragma once

#include <windows.h>

#include "shared/touch_ioctl.h"

extern "C" {

LONG APIENTRY CPlApplet(HWND hwndCPl, UINT uMsg, LPARAM lParam1, LPARAM lParam2);

BOOL WINAPI GetMouseMode(DWORD* mode);
BOOL WINAPI SetMouseMode(DWORD mode);
BOOL WINAPI GetBeep(BeepSettings* beep);
BOOL WINAPI SetBeep(DWORD mode, DWORD frequency, DWORD duration);
BOOL WINAPI EnableTouchscreen(BOOL enable);
BOOL WINAPI AutoCalibration(void);
}
