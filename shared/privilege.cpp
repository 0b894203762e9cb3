#include "privilege.h"

#include "os_kind.h"
#include "system_text.h"

namespace {

BOOL StepFailed(StepFailureReport report, const char* step)
{
    if (report != NULL)
        report(step);
    return FALSE;
}

// Closes the token whatever path the check leaves by.
struct TokenHandle {
    HANDLE handle = NULL;
    ~TokenHandle()
    {
        if (handle != NULL)
            CloseHandle(handle);
    }
};

} // namespace

BOOL CheckPrivilege(int osKind, StepFailureReport report)
{
    switch (PrivilegeStartFor(osKind)) {
    case PRIVILEGE_GRANTED:
        return TRUE;
    case PRIVILEGE_REFUSED:
        return FALSE;
    case PRIVILEGE_CHECK_TOKEN:
        break;
    }

    TokenHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token.handle)) {
        token.handle = NULL;
        return StepFailed(report, "CheckPrivilege_OpenProcessToken");
    }

    TOKEN_PRIVILEGES privileges;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueA(NULL, "SeSystemProfilePrivilege", &privileges.Privileges[0].Luid))
        return StepFailed(report, "CheckPrivilege_LookupPrivilegeValue");

    DWORD returnLength = 0;
    if (!AdjustTokenPrivileges(token.handle, FALSE, &privileges, 0, NULL, &returnLength))
        return StepFailed(report, "CheckPrivilege_AdjustTokenPrivileges");

    return PrivilegeGrantedAfterAdjust(GetLastError()) ? TRUE : FALSE;
}

BOOL ReportSystemError(const char* step)
{
    DWORD code = GetLastError();
    char* systemText = NULL;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, NULL, code,
                                  MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), (LPSTR)&systemText, 0, NULL);
    if (length != 0 && systemText != NULL) {
        MessageBoxA(NULL, systemText, step, MB_OK);
    } else {
        char fallback[FAILURE_TEXT_SIZE];
        FormatFailureText(step, code, fallback, sizeof(fallback));
        MessageBoxA(NULL, fallback, step, MB_OK);
    }
    if (systemText != NULL)
        LocalFree(systemText);
    SetLastError(code);
    return FALSE;
}
