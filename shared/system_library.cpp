#include "shared/system_library.h"

#include <string.h>

#define COMMON_CONTROLS_FILE_NAME "comctl32.dll"

namespace {

typedef BOOL(WINAPI* FindActCtxSectionStringProc)(DWORD, const GUID*, ULONG, LPCSTR, PACTCTX_SECTION_KEYED_DATA);

// Whether the active activation context (or the process's default one) sends a load
// of fileName by name to a DLL of its own; never on a system without activation contexts.
bool ContextRedirects(const char* fileName)
{
    FindActCtxSectionStringProc find = (FindActCtxSectionStringProc)(void*)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "FindActCtxSectionStringA");
    if (find == NULL)
        return false;
    // Windows XP's form of the record, which later systems accept too.
    ACTCTX_SECTION_KEYED_DATA_2600 data;
    ZeroMemory(&data, sizeof(data));
    data.cbSize = sizeof(data);
    return find(0, NULL, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, fileName, (PACTCTX_SECTION_KEYED_DATA)&data) !=
           FALSE;
}

} // namespace

HMODULE LoadSystemLibrary(const char* fileName)
{
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0)
        return NULL;
    if (length + 1 + strlen(fileName) >= sizeof(path)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return NULL;
    }
    path[length] = '\\';
    strcpy(path + length + 1, fileName);
    return LoadLibraryExA(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadCommonControlsLibrary()
{
    if (ContextRedirects(COMMON_CONTROLS_FILE_NAME))
        return LoadLibraryA(COMMON_CONTROLS_FILE_NAME);
    return LoadSystemLibrary(COMMON_CONTROLS_FILE_NAME);
}
