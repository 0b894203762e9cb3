// The Windows Installer package's custom actions: Korvelseek's quiet step run during
// the installation script, its failure reported to the installer, and the restart that
// a driver update asks for handed to the installer as its own.
//
// An installer run from the script (deferred, as the system) may not ask for a restart
// itself, so it leaves a volatile registry key behind, which a restart would take away
// anyway; the action that follows the script turns that key into the installer's
// restart request (3010 under /qn).
#include <windows.h>

#include <msi.h>
#include <msiquery.h>
#include <string.h>

#include "installer/quiet_install.h"

#define RESTART_KEY "SOFTWARE\\Korvel Touchscreen Restart"
#define COMMAND_SIZE 1024
#define ERROR_TEXT_SIZE 1024

namespace {

// An error message in the installer's log and, with a user interface, on the screen.
void ReportError(MSIHANDLE install, const char* text)
{
    MSIHANDLE record = MsiCreateRecord(1);
    if (record == 0)
        return;
    MsiRecordSetStringA(record, 0, "[1]");
    MsiRecordSetStringA(record, 1, text);
    MsiProcessMessage(install, INSTALLMESSAGE_ERROR, record);
    MsiCloseHandle(record);
}

// Reads what the child wrote to standard error, up to size - 1 bytes, until it closes it.
void ReadAll(HANDLE pipe, char* text, DWORD size)
{
    DWORD used = 0;
    DWORD got;
    while (used + 1 < size && ReadFile(pipe, text + used, size - 1 - used, &got, NULL) && got > 0)
        used += got;
    // The rest, if any, is drained so that the child never blocks on a full pipe.
    char rest[256];
    while (ReadFile(pipe, rest, sizeof(rest), &got, NULL) && got > 0) {
    }
    while (used > 0 && (text[used - 1] == '\r' || text[used - 1] == '\n'))
        --used;
    text[used] = '\0';
}

// Runs the command line with standard error into a pipe; the exit code, or
// QUIET_EXIT_FAILED with what went wrong in errorText.
DWORD RunCommand(char* commandLine, char* errorText, DWORD size)
{
    errorText[0] = '\0';
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), NULL, TRUE};
    HANDLE readEnd;
    HANDLE writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        wsprintfA(errorText, "CreatePipe %lu", GetLastError());
        return QUIET_EXIT_FAILED;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process;
    BOOL started = CreateProcessA(NULL, commandLine, NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process);
    DWORD startError = GetLastError();
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        wsprintfA(errorText, "CreateProcess %lu: %.900s", startError, commandLine);
        return QUIET_EXIT_FAILED;
    }
    ReadAll(readEnd, errorText, size);
    CloseHandle(readEnd);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = QUIET_EXIT_FAILED;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

} // namespace

// Deferred, as the system: CustomActionData is Korvelseek's command line.
extern "C" UINT __stdcall RunQuietStep(MSIHANDLE install)
{
    char commandLine[COMMAND_SIZE];
    DWORD length = sizeof(commandLine);
    if (MsiGetPropertyA(install, "CustomActionData", commandLine, &length) != ERROR_SUCCESS) {
        ReportError(install, "Korvel Touchscreen: the command of the driver installation is too long.");
        return ERROR_INSTALL_FAILURE;
    }
    char errorText[ERROR_TEXT_SIZE];
    DWORD code = RunCommand(commandLine, errorText, sizeof(errorText));
    if (code == QUIET_EXIT_DONE)
        return ERROR_SUCCESS;
    if (code == QUIET_EXIT_RESTART) {
        HKEY key;
        DWORD disposition;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, RESTART_KEY, 0, NULL, REG_OPTION_VOLATILE, KEY_WRITE, NULL, &key,
                            &disposition) == ERROR_SUCCESS)
            RegCloseKey(key);
        return ERROR_SUCCESS;
    }
    char text[ERROR_TEXT_SIZE + 100];
    wsprintfA(text, "Korvel Touchscreen: the driver installation failed (exit code %lu). %s", code,
              errorText[0] != '\0' ? errorText : "It said nothing.");
    ReportError(install, text);
    return ERROR_INSTALL_FAILURE;
}

// Immediate, after the script: the restart that the driver installation asked for.
extern "C" UINT __stdcall RequestRestart(MSIHANDLE install)
{
    if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, RESTART_KEY) == ERROR_SUCCESS)
        MsiSetMode(install, MSIRUNMODE_REBOOTATEND, TRUE);
    return ERROR_SUCCESS;
}
