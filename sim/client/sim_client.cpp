#include "sim_client.h"

#include <string.h>

#include "sim/request_names.h"

namespace {

BOOL SendSimRequest(DWORD code, void* input, DWORD inputSize, void* output, DWORD outputSize)
{
    HANDLE device = CreateFileA(SIM_CONTROL_DEVICE_NAME, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    if (device == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(device, code, input, inputSize, output, outputSize, &returned, NULL);
    DWORD error = GetLastError();
    CloseHandle(device);
    if (ok && returned != outputSize) {
        ok = FALSE;
        error = ERROR_INVALID_DATA;
    }
    SetLastError(error);
    return ok;
}

} // namespace

BOOL SimGetState(SimState* state)
{
    return SendSimRequest(IOCTL_SIM_GET_STATE, NULL, 0, state, sizeof(*state));
}

BOOL SimReset(void)
{
    return SendSimRequest(IOCTL_SIM_RESET, NULL, 0, NULL, 0);
}

BOOL SimQueueTouch(int x, int y)
{
    SimTouch touch = {x, y};
    return SendSimRequest(IOCTL_SIM_QUEUE_TOUCH, &touch, sizeof(touch), NULL, 0);
}

BOOL SimFailRequest(DWORD code)
{
    uint32_t value = code;
    return SendSimRequest(IOCTL_SIM_FAIL, &value, sizeof(value), NULL, 0);
}

const char* SimRequestNameOf(DWORD code)
{
    int index = SimRequestIndex(code);
    return index < 0 ? NULL : SIM_REQUEST_NAMES[index].name;
}

DWORD SimRequestCodeOf(const char* name)
{
    for (const SimRequestName& request : SIM_REQUEST_NAMES) {
        if (strcmp(request.name, name) == 0)
            return request.code;
    }
    return 0;
}

int SimRequestIndex(DWORD code)
{
    for (int i = 0; i < SIM_REQUEST_KINDS; ++i) {
        if (SIM_REQUEST_NAMES[i].code == code)
            return i;
    }
    return -1;
}
