// The driver's parameters key under HKEY_LOCAL_MACHINE and its REG_DWORD values.
#pragma once

#include <windows.h>

#define PARAMETERS_KEY_READ KEY_READ
#define PARAMETERS_KEY_WRITE (KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY)

// Opens (creating when missing) the key for the OsKind. Returns ERROR_SUCCESS and the
// key, or an error status: ERROR_FILE_NOT_FOUND when the OsKind has no key. The
// caller closes the key with RegCloseKey.
LONG OpenParametersKey(int osKind, BOOL forWriting, HKEY* key);

// Opens the key for reading only and creates nothing: ERROR_FILE_NOT_FOUND when it is
// missing or the OsKind has none. For readers that must leave the registry as it was.
LONG OpenExistingParametersKey(int osKind, HKEY* key);

// One 4-byte REG_DWORD read: the expected type and size are set before the query.
// The value is stored only when the query succeeded.
LONG ReadParameterValue(HKEY key, const char* name, DWORD* type, DWORD* size, DWORD* value);

LONG WriteParameterValue(HKEY key, const char* name, DWORD value);
