#include "touch_device.h"

namespace {

BOOL RefuseArgument(void)
{
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

BOOL IsModeOutputWritable(DWORD* mode)
{
    return !IsBadWritePtr(mode, sizeof(*mode));
}

BOOL StoreModeOnSuccess(BOOL ok, DWORD value, DWORD* mode)
{
    if (ok)
        *mode = value;
    return ok;
}

} // namespace

HANDLE OpenTouchDevice(void)
{
    return CreateFileA(TOUCH_DEVICE_NAME, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, NULL);
}

BOOL SendTouchRequest(HANDLE device, DWORD code, void* input, DWORD inputSize, void* output, DWORD outputSize,
                      DWORD* returned)
{
    DWORD ignored = 0;
    return DeviceIoControl(device, code, input, inputSize, output, outputSize,
                           returned != NULL ? returned : &ignored, NULL);
}

BOOL SendTouchRequestOnce(DWORD code, void* input, DWORD inputSize, void* output, DWORD outputSize,
                          DWORD* returned)
{
    HANDLE device = OpenTouchDevice();
    if (device == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL ok = SendTouchRequest(device, code, input, inputSize, output, outputSize, returned);
    DWORD error = GetLastError();
    CloseHandle(device);
    SetLastError(error);
    return ok;
}

BOOL GetDeviceMouseMode(HANDLE device, DWORD* mode)
{
    if (!IsModeOutputWritable(mode))
        return RefuseArgument();
    DWORD value = 0;
    BOOL ok = SendTouchRequest(device, IOCTL_TOUCH_GET_MOUSE_MODE, NULL, 0, &value, sizeof(value), NULL);
    return StoreModeOnSuccess(ok, value, mode);
}

BOOL SetDeviceMouseMode(HANDLE device, DWORD mode)
{
    if (mode > MOUSE_MODE_MAX)
        return RefuseArgument();
    return SendTouchRequest(device, IOCTL_TOUCH_SET_MOUSE_MODE, &mode, sizeof(mode), NULL, 0, NULL);
}

BOOL GetTouchMouseMode(DWORD* mode)
{
    if (!IsModeOutputWritable(mode))
        return RefuseArgument();
    DWORD value = 0;
    BOOL ok = SendTouchRequestOnce(IOCTL_TOUCH_GET_MOUSE_MODE, NULL, 0, &value, sizeof(value), NULL);
    return StoreModeOnSuccess(ok, value, mode);
}

BOOL SetTouchMouseMode(DWORD mode)
{
    if (mode > MOUSE_MODE_MAX)
        return RefuseArgument();
    return SendTouchRequestOnce(IOCTL_TOUCH_SET_MOUSE_MODE, &mode, sizeof(mode), NULL, 0, NULL);
}
