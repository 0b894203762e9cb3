// A program that imports what the target systems lack, for the import gate's own
// test: GetTickCount64 (Vista and later; the headers hide it at our version, so it
// is declared here) and GetNativeSystemInfo (XP and later, declared by the headers
// whatever the version); and functions of DLLs that the loader would look for first
// in the program's folder (newdev, comctl32).
#include <windows.h>

#include <commctrl.h>
#include <newdev.h>

WINBASEAPI ULONGLONG WINAPI GetTickCount64(VOID);

int main(void)
{
    SYSTEM_INFO info;
    GetNativeSystemInfo(&info);
    InitCommonControls();
    BOOL restart = FALSE;
    UpdateDriverForPlugAndPlayDevicesA(NULL, "", "", 0, &restart);
    return (int)(GetTickCount64() & 1) + (int)info.dwNumberOfProcessors;
}
