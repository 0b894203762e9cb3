#include "korvelctl/korvelpad_library.h"

#include "korvelctl/console_output.h"
#include "shared/module_folder.h"

bool GetPathBesideProgram(const char* fileName, char* path, DWORD size)
{
    if (!GetModuleFolder(NULL, path, size))
        return false;
    DWORD folderLength = (DWORD)lstrlenA(path);
    if (folderLength + (DWORD)lstrlenA(fileName) >= size)
        return false;
    lstrcpynA(path + folderLength, fileName, (int)(size - folderLength));
    return true;
}

HMODULE LoadKorvelpad(void)
{
    char path[MAX_PATH];
    if (!GetPathBesideProgram(KORVELPAD_FILE_NAME, path, sizeof(path))) {
        ReportFailureText("LoadLibrary " KORVELPAD_FILE_NAME, "the program's folder name is too long");
        return NULL;
    }
    HMODULE korvelpad = LoadLibraryA(path);
    if (korvelpad == NULL) {
        char step[MAX_PATH + 16];
        wsprintfA(step, "LoadLibrary %s", path);
        ReportFailure(step, path);
    }
    return korvelpad;
}

FARPROC FindKorvelpadExport(HMODULE korvelpad, const char* name)
{
    FARPROC address = GetProcAddress(korvelpad, name);
    if (address == NULL) {
        char step[96];
        wsprintfA(step, "%s has no export %.40s", KORVELPAD_FILE_NAME, name);
        ReportFailure(step);
    }
    return address;
}
