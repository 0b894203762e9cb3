// A DLL that someone left beside a program under the name of a Windows DLL that the
// program needs (built as setupapi.dll and as newdev.dll): loaded, it leaves the
// file "<its own path>.ran" as a mark. Its functions let the program run on as if no
// device were present.
#include <windows.h>

extern "C" {

__declspec(dllexport) HANDLE WINAPI SetupDiGetClassDevsA(const GUID*, const char*, HWND, DWORD)
{
    return (HANDLE)1;
}

__declspec(dllexport) BOOL WINAPI SetupDiEnumDeviceInfo(HANDLE, DWORD, void*)
{
    SetLastError(ERROR_NO_MORE_ITEMS);
    return FALSE;
}

__declspec(dllexport) BOOL WINAPI SetupDiGetDeviceRegistryPropertyA(HANDLE, void*, DWORD, DWORD*, BYTE*, DWORD, DWORD*)
{
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
}

__declspec(dllexport) BOOL WINAPI SetupDiDestroyDeviceInfoList(HANDLE)
{
    return TRUE;
}

__declspec(dllexport) INT WINAPI SetupPromptReboot(void*, HWND, BOOL)
{
    return 0;
}

__declspec(dllexport) BOOL WINAPI UpdateDriverForPlugAndPlayDevicesA(HWND, const char*, const char*, DWORD, BOOL*)
{
    SetLastError(ERROR_INVALID_FUNCTION);
    return FALSE;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    char mark[MAX_PATH + 8];
    DWORD length = GetModuleFileNameA(instance, mark, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return TRUE;
    lstrcatA(mark, ".ran");
    HANDLE file = CreateFileA(mark, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return TRUE;
}

} // extern "C"
