#include "os_kind.h"

#include <string.h>

int ClassifyOsKind(unsigned long platformId, unsigned long majorVersion, unsigned long minorVersion)
{
    switch (platformId) {
    case OS_PLATFORM_WIN32S:
        return OS_KIND_WIN32S;
    case OS_PLATFORM_WIN32_WINDOWS:
        if (minorVersion == 0)
            return OS_KIND_WIN95;
        if (minorVersion == 10)
            return OS_KIND_WIN98;
        if (minorVersion > 10)
            return OS_KIND_WINME;
        return OS_KIND_OTHER;
    case OS_PLATFORM_WIN32_NT:
        if (majorVersion == 4)
            return OS_KIND_NT4;
        if (majorVersion == 5)
            return OS_KIND_WIN2000_XP;
        return OS_KIND_OTHER;
    default:
        return OS_KIND_OTHER;
    }
}

const char* ParametersBasePath(int osKind)
{
    switch (osKind) {
    case OS_KIND_WIN98:
    case OS_KIND_WINME:
        return CLASS_BASE_PATH;
    case OS_KIND_WIN2000_XP:
        return SERVICES_BASE_PATH;
    default:
        return NULL;
    }
}

bool FormatParametersKeyPath(int osKind, char* path, size_t size)
{
    if (size > 0)
        path[0] = '\0';
    const char* base = ParametersBasePath(osKind);
    if (base == NULL || size == 0)
        return false;
    const size_t baseLength = strlen(base);
    if (baseLength + 1 + sizeof(PARAMETERS_SUBKEY) > size)
        return false;
    memcpy(path, base, baseLength);
    path[baseLength] = '\\';
    memcpy(path + baseLength + 1, PARAMETERS_SUBKEY, sizeof(PARAMETERS_SUBKEY));
    return true;
}

PrivilegeStart PrivilegeStartFor(int osKind)
{
    if (osKind == OS_KIND_WIN98 || osKind == OS_KIND_WINME)
        return PRIVILEGE_GRANTED;
    if (osKind == OS_KIND_WIN95)
        return PRIVILEGE_REFUSED;
    return PRIVILEGE_CHECK_TOKEN;
}

bool PrivilegeGrantedAfterAdjust(unsigned long lastError)
{
    return lastError != 1300ul; // ERROR_NOT_ALL_ASSIGNED
}
