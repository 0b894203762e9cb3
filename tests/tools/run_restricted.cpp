// run_restricted COMMAND-LINE: runs a program with the system profile privilege
// removed from its token, as for a user who does not hold it, waits for it and exits
// with its exit code (255 when it could not be started).
#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

// The rest of our own command line after the program name.
const char* CommandTail(void)
{
    const char* line = GetCommandLineA();
    bool quoted = false;
    while (*line != '\0' && (quoted || (*line != ' ' && *line != '\t'))) {
        if (*line == '"')
            quoted = !quoted;
        ++line;
    }
    while (*line == ' ' || *line == '\t')
        ++line;
    return line;
}

int Fail(const char* step)
{
    fprintf(stderr, "run_restricted: %s failed, error %lu\n", step, GetLastError());
    return 255;
}

} // namespace

int main(void)
{
    const char* tail = CommandTail();
    if (*tail == '\0') {
        fprintf(stderr, "usage: run_restricted COMMAND-LINE\n");
        return 255;
    }
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &token))
        return Fail("OpenProcessToken");
    LUID_AND_ATTRIBUTES removed;
    removed.Attributes = 0;
    if (!LookupPrivilegeValueA(NULL, "SeSystemProfilePrivilege", &removed.Luid))
        return Fail("LookupPrivilegeValueA");
    HANDLE restricted;
    if (!CreateRestrictedToken(token, 0, 0, NULL, 1, &removed, 0, NULL, &restricted))
        return Fail("CreateRestrictedToken");
    CloseHandle(token);

    char commandLine[32768];
    lstrcpynA(commandLine, tail, sizeof(commandLine));
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    if (!CreateProcessAsUserA(restricted, NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return Fail("CreateProcessAsUserA");
    CloseHandle(restricted);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 255;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return (int)code;
}
