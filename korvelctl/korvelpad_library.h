// Korvelpad.cpl from korvelctl's own folder, and its exports as korvelctl calls them.
#pragma once

#include <windows.h>

#include "shared/touch_ioctl.h"

#define KORVELPAD_FILE_NAME "Korvelpad.cpl"

typedef BOOL(WINAPI* GetMouseModeProc)(DWORD* mode);
typedef BOOL(WINAPI* SetMouseModeProc)(DWORD mode);
typedef BOOL(WINAPI* GetBeepProc)(BeepSettings* beep);
typedef BOOL(WINAPI* SetBeepProc)(DWORD mode, DWORD frequency, DWORD duration);
typedef BOOL(WINAPI* EnableTouchscreenProc)(BOOL enable);
typedef BOOL(WINAPI* AutoCalibrationProc)(void);

// Writes "<korvelctl's folder>\<fileName>" into path; false when it does not fit in
// size characters.
bool GetPathBesideProgram(const char* fileName, char* path, DWORD size);

// Loads the library; on failure reports it and returns NULL.
HMODULE LoadKorvelpad(void);

// The export's address; when the library lacks it, reports that and returns NULL.
FARPROC FindKorvelpadExport(HMODULE korvelpad, const char* name);
