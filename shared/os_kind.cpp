#include "os_kind.h"

#include <stdio.h>

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
    int written = snprintf(path, size, "%s\\%s", base, PARAMETERS_SUBKEY);
    if (written < 0 || (size_t)written >= size) {
        path[0] = '\0';
        return false;
    }
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

void FormatFailureText(const char* step, unsigned long code, char* text, size_t size)
{
    if (size == 0)
        return;
    snprintf(text, size, "%s FAILURE: (0x%08lx)", step, code);
}
