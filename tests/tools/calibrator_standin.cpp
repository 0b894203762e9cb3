// calibrator_standin: copied as Korvelaim.exe beside the applet library, it stands
// in for the calibration program. It appends one line to standin.log in its own
// folder (how it was started), then stays while a file named "hold" exists there, so
// that a test can watch its starter wait and then let it end. Copied as Korvelseek.exe
// into a package, started with /quiet, it ends with 3010 (a restart needed), as
// Korvelseek does after a driver update that asks for one.
#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

// A file beside this program; false when the name does not fit.
bool SiblingPath(const char* name, char* path, size_t size)
{
    DWORD length = GetModuleFileNameA(NULL, path, (DWORD)size);
    if (length == 0 || length >= size)
        return false;
    char* slash = strrchr(path, '\\');
    if (slash == NULL || (size_t)(slash + 1 - path) + strlen(name) + 1 > size)
        return false;
    strcpy(slash + 1, name);
    return true;
}

void AppendStartRecord(void)
{
    char log[MAX_PATH];
    if (!SiblingPath("standin.log", log, sizeof(log)))
        return;
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof(directory), directory);
    FILE* file = fopen(log, "a");
    if (file == NULL)
        return;
    fprintf(file, "ran flags=%lu show=%u cwd=%s cmdline=%s\n", startup.dwFlags, startup.wShowWindow, directory,
            GetCommandLineA());
    fclose(file);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    AppendStartRecord();
    char hold[MAX_PATH];
    // Bounded, so that a test that dies holding cannot leave this program behind.
    for (int i = 0; i < 1200 && SiblingPath("hold", hold, sizeof(hold)) &&
                    GetFileAttributesA(hold) != INVALID_FILE_ATTRIBUTES;
         ++i)
        Sleep(100);
    return strstr(GetCommandLineA(), " /quiet") != NULL ? ERROR_SUCCESS_REBOOT_REQUIRED : 0;
}
