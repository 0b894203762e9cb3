// Platform classification and what follows from it; pure decisions, no Windows calls.
#pragma once

#include <stddef.h>

enum OsKind {
    OS_KIND_WIN32S = 0,
    OS_KIND_WIN95 = 1,
    OS_KIND_WIN98 = 2,
    OS_KIND_WINME = 3,
    OS_KIND_NT4 = 4,
    OS_KIND_WIN2000_XP = 5,
    // Any platform the table does not name (a 9x minor version 1..9, an NT major
    // version other than 4 or 5, an unknown platform id). It has no parameters key
    // and takes the token check, like NT 4.
    OS_KIND_OTHER = 6
};

// Platform ids of OSVERSIONINFOA, restated so this file needs no <windows.h>.
#define OS_PLATFORM_WIN32S 0ul
#define OS_PLATFORM_WIN32_WINDOWS 1ul
#define OS_PLATFORM_WIN32_NT 2ul

int ClassifyOsKind(unsigned long platformId, unsigned long majorVersion, unsigned long minorVersion);

#define PARAMETERS_PATH_SIZE 260
#define PARAMETERS_SUBKEY "Parameters"
#define CLASS_BASE_PATH "System\\CurrentControlSet\\Services\\Class\\Korvelscreen"
#define SERVICES_BASE_PATH "System\\CurrentControlSet\\Services\\Korvelscreen"

// The base path of the driver's key for an OsKind, or NULL when it has none.
const char* ParametersBasePath(int osKind);

// Writes "<base>\Parameters" into path (size characters with the terminator).
// Returns false, with path empty when size allows, if the OsKind has no key or the
// path does not fit.
bool FormatParametersKeyPath(int osKind, char* path, size_t size);

enum PrivilegeStart {
    PRIVILEGE_GRANTED,      // Windows 98/Me: no check
    PRIVILEGE_REFUSED,      // Windows 95
    PRIVILEGE_CHECK_TOKEN   // every other OsKind: enable the privilege on the token
};

PrivilegeStart PrivilegeStartFor(int osKind);

// AdjustTokenPrivileges returned TRUE: the privilege was really enabled unless the
// last error says it was not assigned (1300).
bool PrivilegeGrantedAfterAdjust(unsigned long lastError);
