// The Windows Installer package's custom actions: Korvelseek's quiet step run during
// the installation script, its failure reported to the installer, the restart that a
// driver update asks for handed to the installer as its own, and what tells an older
// version from a newer one.
//
// An installer run from the script (deferred, as the system) may not ask for a restart
// itself, so it leaves a volatile registry key behind, which a restart would take away
// anyway; the action that follows the script turns that key into the installer's
// restart request (3010 under /qn).
#include <windows.h>

#include <msi.h>
#include <msiquery.h>
#include <stdlib.h>
#include <string.h>

#include "installer/quiet_install.h"
#include "shared/system_library.h"

#define RESTART_KEY "SOFTWARE\\Korvel Touchscreen Restart"
#define COMMAND_SIZE 1024
#define ERROR_TEXT_SIZE 1024

namespace {

// msi.dll is no KnownDLL: imported, it would be looked for first beside this library,
// in whatever folder the installer unpacked it to. The installer has it loaded from
// the system folder already; this takes that one.
struct MsiFunctions {
    decltype(&::MsiCloseHandle) MsiCloseHandle;
    decltype(&::MsiCreateRecord) MsiCreateRecord;
    decltype(&::MsiEnumProductsA) MsiEnumProductsA;
    decltype(&::MsiGetProductInfoA) MsiGetProductInfoA;
    decltype(&::MsiGetPropertyA) MsiGetPropertyA;
    decltype(&::MsiProcessMessage) MsiProcessMessage;
    decltype(&::MsiRecordSetStringA) MsiRecordSetStringA;
    decltype(&::MsiSetMode) MsiSetMode;
    decltype(&::MsiSetPropertyA) MsiSetPropertyA;
};
MsiFunctions Msi;

// Once for the library's life: every action of the package calls it.
bool LoadMsiFunctions()
{
    if (Msi.MsiSetPropertyA != NULL)
        return true;
    HMODULE msi = LoadSystemLibrary("msi.dll");
    return msi != NULL && GetLibraryFunction(msi, "MsiCloseHandle", &Msi.MsiCloseHandle) &&
           GetLibraryFunction(msi, "MsiCreateRecord", &Msi.MsiCreateRecord) &&
           GetLibraryFunction(msi, "MsiEnumProductsA", &Msi.MsiEnumProductsA) &&
           GetLibraryFunction(msi, "MsiGetProductInfoA", &Msi.MsiGetProductInfoA) &&
           GetLibraryFunction(msi, "MsiGetPropertyA", &Msi.MsiGetPropertyA) &&
           GetLibraryFunction(msi, "MsiProcessMessage", &Msi.MsiProcessMessage) &&
           GetLibraryFunction(msi, "MsiRecordSetStringA", &Msi.MsiRecordSetStringA) &&
           GetLibraryFunction(msi, "MsiSetMode", &Msi.MsiSetMode) &&
           GetLibraryFunction(msi, "MsiSetPropertyA", &Msi.MsiSetPropertyA);
}

// An error message in the installer's log and, with a user interface, on the screen.
// Brackets become parentheses: the installer would read them as property references.
void ReportError(MSIHANDLE install, const char* text)
{
    MSIHANDLE record = Msi.MsiCreateRecord(1);
    if (record == 0)
        return;
    char shown[1200];
    lstrcpynA(shown, text, sizeof(shown));
    for (char* at = shown; *at != '\0'; ++at) {
        // A double-byte character's trail byte may equal a bracket.
        if (IsDBCSLeadByte((BYTE)*at) && at[1] != '\0')
            ++at;
        else if (*at == '[')
            *at = '(';
        else if (*at == ']')
            *at = ')';
    }
    Msi.MsiRecordSetStringA(record, 0, "[1]");
    Msi.MsiRecordSetStringA(record, 1, shown);
    Msi.MsiProcessMessage(install, INSTALLMESSAGE_ERROR, record);
    Msi.MsiCloseHandle(record);
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

// Compares "a.b.c.d" versions field by field; missing fields count as 0.
int CompareVersions(const char* left, const char* right)
{
    for (int field = 0; field < 4; ++field) {
        unsigned long a = strtoul(left, (char**)&left, 10);
        unsigned long b = strtoul(right, (char**)&right, 10);
        if (a != b)
            return a < b ? -1 : 1;
        if (*left == '.')
            ++left;
        if (*right == '.')
            ++right;
    }
    return 0;
}

// Whether a product of this name other than this one is installed, with the highest
// version of those in newest. By name, not by UpgradeCode: Wine loses a product's
// UpgradeCode registration when an upgrade removes the version before it.
bool FindOtherProduct(MSIHANDLE install, char newest[64])
{
    char self[39];
    DWORD length = sizeof(self);
    char name[128];
    DWORD nameLength = sizeof(name);
    if (Msi.MsiGetPropertyA(install, "ProductCode", self, &length) != ERROR_SUCCESS ||
        Msi.MsiGetPropertyA(install, "ProductName", name, &nameLength) != ERROR_SUCCESS)
        return false;
    bool found = false;
    char product[39];
    for (DWORD index = 0; Msi.MsiEnumProductsA(index, product) == ERROR_SUCCESS; ++index) {
        char otherName[128];
        DWORD otherLength = sizeof(otherName);
        char version[64];
        DWORD versionLength = sizeof(version);
        if (lstrcmpiA(product, self) == 0 ||
            Msi.MsiGetProductInfoA(product, INSTALLPROPERTY_INSTALLEDPRODUCTNAME, otherName, &otherLength) !=
                ERROR_SUCCESS ||
            lstrcmpA(otherName, name) != 0 ||
            Msi.MsiGetProductInfoA(product, INSTALLPROPERTY_VERSIONSTRING, version, &versionLength) != ERROR_SUCCESS)
            continue;
        if (!found || CompareVersions(version, newest) > 0)
            lstrcpynA(newest, version, 64);
        found = true;
    }
    return found;
}

} // namespace

// Immediate, before the launch conditions. Windows Installer compares only the first
// three fields of product versions, so the installed product is asked for its whole
// version here; a newer one goes into KORVEL_NEWER_VERSION, which a launch condition
// refuses with its message.
extern "C" UINT __stdcall FindNewerVersion(MSIHANDLE install)
{
    if (!LoadMsiFunctions())
        return ERROR_INSTALL_FAILURE;
    char version[64];
    DWORD length = sizeof(version);
    char newest[64];
    if (Msi.MsiGetPropertyA(install, "ProductVersion", version, &length) == ERROR_SUCCESS &&
        FindOtherProduct(install, newest) && CompareVersions(newest, version) > 0)
        Msi.MsiSetPropertyA(install, "KORVEL_NEWER_VERSION", newest);
    return ERROR_SUCCESS;
}

// Immediate, at a removal: whether another version is installed, which makes the
// removal the last step of an upgrade (the newer version is installed before the older
// one goes). Windows Installer says so with UPGRADINGPRODUCTCODE; Wine does not, so the
// package asks for itself. The driver, its devices and the stored calibration then stay.
extern "C" UINT __stdcall DetectUpgrade(MSIHANDLE install)
{
    if (!LoadMsiFunctions())
        return ERROR_INSTALL_FAILURE;
    char newest[64];
    if (FindOtherProduct(install, newest))
        Msi.MsiSetPropertyA(install, "KORVEL_UPGRADED", "1");
    return ERROR_SUCCESS;
}

// Deferred, as the system: CustomActionData is Korvelseek's command line.
extern "C" UINT __stdcall RunQuietStep(MSIHANDLE install)
{
    if (!LoadMsiFunctions())
        return ERROR_INSTALL_FAILURE;
    char commandLine[COMMAND_SIZE];
    DWORD length = sizeof(commandLine);
    if (Msi.MsiGetPropertyA(install, "CustomActionData", commandLine, &length) != ERROR_SUCCESS) {
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
    if (!LoadMsiFunctions())
        return ERROR_INSTALL_FAILURE;
    if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, RESTART_KEY) == ERROR_SUCCESS)
        Msi.MsiSetMode(install, MSIRUNMODE_REBOOTATEND, TRUE);
    return ERROR_SUCCESS;
}
