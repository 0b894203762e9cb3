// The touchscreen API for other programs. Each call stands alone: it opens the
// driver's device, sends at most one request and closes it, so calls from any
// thread of any process need no lock.
#include "applet/exports.h"

#include "applet/property_sheet.h"
#include "applet/settings_rules.h"
#include "shared/touch_device.h"

namespace {

BOOL RefuseArgument(void)
{
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

} // namespace

BOOL WINAPI GetMouseMode(DWORD* mode)
{
    return GetTouchMouseMode(mode);
}

BOOL WINAPI SetMouseMode(DWORD mode)
{
    return SetTouchMouseMode(mode);
}

BOOL WINAPI GetBeep(BeepSettings* beep)
{
    if (IsBadWritePtr(beep, sizeof(*beep)))
        return RefuseArgument();
    BeepSettings reply;
    DWORD returned = 0;
    BOOL ok = SendTouchRequestOnce(IOCTL_TOUCH_GET_BEEP, NULL, 0, &reply, sizeof(reply), &returned);
    // A reply of another size is no beep record; the caller's stays as it was.
    if (!ok || returned != sizeof(reply))
        return FALSE;
    *beep = reply;
    return TRUE;
}

BOOL WINAPI SetBeep(DWORD mode, DWORD frequency, DWORD duration)
{
    if (!IsBeepInRange(mode, frequency, duration))
        return RefuseArgument();
    BeepSettings beep = {mode, frequency, duration};
    return SendTouchRequestOnce(IOCTL_TOUCH_SET_BEEP, &beep, sizeof(beep), NULL, 0, NULL);
}

BOOL WINAPI EnableTouchscreen(BOOL enable)
{
    HANDLE device = OpenTouchDevice();
    if (device == INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_OPEN_FAILED);
        return FALSE;
    }
    BOOL ok = SendTouchRequest(device, enable ? IOCTL_TOUCH_ENABLE : IOCTL_TOUCH_DISABLE, NULL, 0, NULL, 0, NULL);
    DWORD error = GetLastError();
    CloseHandle(device);
    SetLastError(error);
    return ok;
}

BOOL WINAPI AutoCalibration(void)
{
    if (!IsDriverPresent())
        return FALSE;
    return LaunchCalibration();
}
