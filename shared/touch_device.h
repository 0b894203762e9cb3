// Opening the driver's control device and the mouse-mode requests, in the two ways
// the programs use them: on a held handle (the calibration program) and around one
// open and close per request (the applet and its exports).
#pragma once

#include <windows.h>

#include "touch_ioctl.h"

// INVALID_HANDLE_VALUE means the driver is not loaded.
HANDLE OpenTouchDevice(void);

// One synchronous request on an open device; the result is DeviceIoControl's.
BOOL SendTouchRequest(HANDLE device, DWORD code, void* input, DWORD inputSize, void* output, DWORD outputSize,
                      DWORD* returned);

// Opens the device, sends one request and closes it again, whatever the outcome.
// A failed open returns FALSE with the open's last-error value.
BOOL SendTouchRequestOnce(DWORD code, void* input, DWORD inputSize, void* output, DWORD outputSize,
                          DWORD* returned);

// The mouse-mode rule: an unwritable pointer or a mode above 3 is refused with
// ERROR_INVALID_PARAMETER before anything is sent; the getter stores the mode only
// when the request succeeded.
BOOL GetDeviceMouseMode(HANDLE device, DWORD* mode);
BOOL SetDeviceMouseMode(HANDLE device, DWORD mode);

// The same rule around their own open and close; a refused argument never opens.
BOOL GetTouchMouseMode(DWORD* mode);
BOOL SetTouchMouseMode(DWORD mode);
