// The signatures of Korvelpad's exports, as a program that loads the library sees them.
#pragma once

#include <windows.h>

#include "shared/touch_ioctl.h"

typedef LONG(APIENTRY* CplAppletProc)(HWND, UINT, LPARAM, LPARAM);
typedef BOOL(WINAPI* GetMouseModeProc)(DWORD*);
typedef BOOL(WINAPI* SetMouseModeProc)(DWORD);
typedef BOOL(WINAPI* GetBeepProc)(BeepSettings*);
typedef BOOL(WINAPI* SetBeepProc)(DWORD, DWORD, DWORD);
typedef BOOL(WINAPI* EnableTouchscreenProc)(BOOL);
typedef BOOL(WINAPI* AutoCalibrationProc)(void);
