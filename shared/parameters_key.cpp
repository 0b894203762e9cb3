#include "parameters_key.h"

#include "os_kind.h"

LONG OpenParametersKey(int osKind, BOOL forWriting, HKEY* key)
{
    char path[PARAMETERS_PATH_SIZE];
    *key = NULL;
    if (!FormatParametersKeyPath(osKind, path, sizeof(path)))
        return ERROR_FILE_NOT_FOUND;
    REGSAM access = forWriting ? PARAMETERS_KEY_WRITE : PARAMETERS_KEY_READ;
    LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, NULL, REG_OPTION_NON_VOLATILE, access, NULL, key,
                                  NULL);
    if (status != ERROR_SUCCESS)
        *key = NULL;
    return status;
}

LONG OpenExistingParametersKey(int osKind, HKEY* key)
{
    char path[PARAMETERS_PATH_SIZE];
    *key = NULL;
    if (!FormatParametersKeyPath(osKind, path, sizeof(path)))
        return ERROR_FILE_NOT_FOUND;
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, PARAMETERS_KEY_READ, key);
    if (status != ERROR_SUCCESS)
        *key = NULL;
    return status;
}

LONG ReadParameterValue(HKEY key, const char* name, DWORD* type, DWORD* size, DWORD* value)
{
    DWORD data = 0;
    *type = REG_DWORD;
    *size = sizeof(data);
    LONG status = RegQueryValueExA(key, name, NULL, type, (BYTE*)&data, size);
    if (status == ERROR_SUCCESS)
        *value = data;
    return status;
}

LONG WriteParameterValue(HKEY key, const char* name, DWORD value)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&value, sizeof(value));
}
