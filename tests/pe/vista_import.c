// A program that imports what the target systems lack, for the import gate's own
// test: GetTickCount64 (Vista and later; the headers hide it at our version, so it
// is declared here) and GetNativeSystemInfo (XP and later, declared by the headers
// whatever the version).
#include <windows.h>

WINBASEAPI ULONGLONG WINAPI GetTickCount64(VOID);

int main(void)
{
    SYSTEM_INFO info;
    GetNativeSystemInfo(&info);
    return (int)(GetTickCount64() & 1) + (int)info.dwNumberOfProcessors;
}
