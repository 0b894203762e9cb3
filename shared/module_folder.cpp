#include "shared/module_folder.h"

#include <mbstring.h>

bool GetModuleFolder(HMODULE module, char* folder, DWORD size)
{
    DWORD length = GetModuleFileNameA(module, folder, size);
    if (length == 0 || length >= size)
        return false;
    folder[length] = '\0';
    // The multibyte search: in a double-byte code page a trail byte can equal '\'.
    unsigned char* slash = _mbsrchr((unsigned char*)folder, '\\');
    if (slash == NULL)
        return false;
    slash[1] = '\0';
    return true;
}
