#include "platform.h"

#include <windows.h>

int GetOsKind(void)
{
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof(version));
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    return ClassifyOsKind(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
}
