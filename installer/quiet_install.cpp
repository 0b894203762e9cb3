// Korvelseek's step without a window: the driver package staged with Windows, so that
// a touchscreen plugged in later installs by itself, and the driver installed now on
// every supported device present, with the search and the update calls of the dialog.
#include "installer/quiet_install.h"

#include <mbstring.h>
#include <stdio.h>
#include <string.h>

#include "installer/driver_update.h"
#include "installer/hardware_id_match.h"
#include "installer/setup_functions.h"
#include "shared/module_folder.h"
#include "installer/system_message.h"

#define INF_FILE_NAME "KorvelUsb.inf"
#define QUIET_LINE_SIZE 700

namespace {

// Writes "<step> <code>: <system text>" into line.
void FormatStepFailure(char* line, size_t size, const char* step, DWORD error)
{
    char shown[SYSTEM_MESSAGE_SIZE];
    GetSystemMessage(error, NULL, shown);
    _snprintf(line, size, "%s %lu: %s", step, error, shown[0] != '\0' ? shown : "(no system text)");
    line[size - 1] = '\0';
}

// A word of the command line, case aside: "/NAME" or "-NAME".
bool IsSwitch(const char* word, size_t length, const char* name)
{
    return length == strlen(name) + 1 && (word[0] == '/' || word[0] == '-') &&
           _strnicmp(word + 1, name, length - 1) == 0;
}

// TRUE when a present device carries one of the supported hardware IDs; FALSE with
// the last error set and the failed call in step when the devices cannot be walked,
// with it cleared when none does.
BOOL FindSupportedDevice(const char** step)
{

    *step = "SetupDiGetClassDevs";
    HDEVINFO devices = DeviceInstall.SetupDiGetClassDevsA(NULL, NULL, NULL, DIGCF_PRESENT | DIGCF_ALLCLASSES);
    if (devices == INVALID_HANDLE_VALUE)
        return FALSE;
    *step = "SetupDiEnumDeviceInfo";
    SP_DEVINFO_DATA device;
    device.cbSize = sizeof(device);
    BYTE list[HARDWARE_ID_LIST_SIZE];
    BOOL found = FALSE;
    for (DWORD index = 0;; ++index) {
        // Any other failure ends the walk too: passed over, one that came back at
        // every index would keep an unattended installation waiting for ever.
        if (!DeviceInstall.SetupDiEnumDeviceInfo(devices, index, &device)) {
            DWORD error = GetLastError();
            DeviceInstall.SetupDiDestroyDeviceInfoList(devices);
            SetLastError(error == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : error);
            return FALSE;
        }
        DWORD dataType = 0;
        DWORD size = 0;
        if (DeviceInstall.SetupDiGetDeviceRegistryPropertyA(devices, &device, SPDRP_HARDWAREID, &dataType, list,
                                                            sizeof(list), &size) &&
            MatchHardwareIdList(SupportedHardwareIds, list, size, _mbsupr) != HARDWARE_ID_NO_MATCH) {
            found = TRUE;
            break;
        }
    }
    DeviceInstall.SetupDiDestroyDeviceInfoList(devices);
    SetLastError(ERROR_SUCCESS);
    return found;
}

// The five driver updates, as the dialog makes them; returns the exit code.
int UpdateSupportedDevices(const char* infPath)
{
    DriverUpdateOutcome outcome;
    UpdateSupportedDrivers(NULL, infPath, NULL, &outcome);
    if (outcome.failures > 0) {
        char step[160];
        _snprintf(step, sizeof(step), "UpdateDriverForPlugAndPlayDevices %s (step %d of %d, %d failed)",
                  SupportedHardwareIds[outcome.firstFailed], outcome.firstFailed + 1, SUPPORTED_HARDWARE_ID_COUNT,
                  outcome.failures);
        step[sizeof(step) - 1] = '\0';
        char line[QUIET_LINE_SIZE];
        FormatStepFailure(line, sizeof(line), step, outcome.firstError);
        if (outcome.firstError == ERROR_IN_WOW64)
            strncat(line, " Use the 64-bit Korvelseek on 64-bit Windows.", sizeof(line) - strlen(line) - 1);
        WriteQuietLine(line);
        return QUIET_EXIT_FAILED;
    }
    return outcome.restart ? QUIET_EXIT_RESTART : QUIET_EXIT_DONE;
}

} // namespace

int FailQuietStep(const char* step, DWORD error)
{
    char line[QUIET_LINE_SIZE];
    FormatStepFailure(line, sizeof(line), step, error);
    WriteQuietLine(line);
    return QUIET_EXIT_FAILED;
}

bool GetPackageInfPath(char* path)
{
    if (!GetModuleFolder(NULL, path, MAX_PATH) || strlen(path) + sizeof(INF_FILE_NAME) > MAX_PATH) {
        WriteQuietLine("the path of KorvelUsb.inf beside the program is too long");
        return false;
    }
    strcat(path, INF_FILE_NAME);
    return true;
}

void WriteQuietLine(const char* text)
{
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error == NULL || error == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(error, "Korvelseek: ", 12, &written, NULL);
    WriteFile(error, text, (DWORD)strlen(text), &written, NULL);
    WriteFile(error, "\r\n", 2, &written, NULL);
}

QuietRequest ParseQuietCommandLine(const char* commandLine)
{
    const char* at = commandLine;
    // The program's own name: quoted, or up to the first blank.
    if (*at == '"') {
        at = strchr(at + 1, '"');
        at = at != NULL ? at + 1 : commandLine + strlen(commandLine);
    } else {
        while (*at != '\0' && *at != ' ' && *at != '\t')
            ++at;
    }
    bool quiet = false;
    bool remove = false;
    bool other = false;
    for (;;) {
        while (*at == ' ' || *at == '\t')
            ++at;
        if (*at == '\0')
            break;
        const char* word = at;
        while (*at != '\0' && *at != ' ' && *at != '\t')
            ++at;
        if (IsSwitch(word, (size_t)(at - word), "quiet"))
            quiet = true;
        else if (IsSwitch(word, (size_t)(at - word), "remove"))
            remove = true;
        else
            other = true;
    }
    if (other || (remove && !quiet))
        return QUIET_USAGE_ERROR;
    if (!quiet)
        return QUIET_NONE;
    return remove ? QUIET_REMOVE : QUIET_INSTALL;
}

int RunQuietStep(QuietRequest request)
{
    CString failure;
    if (!LoadSetupFunctions(failure)) {
        // The call and its code, then the system's text, on the one line.
        const char* text = failure;
        const char* newline = strchr(text, '\n');
        char line[QUIET_LINE_SIZE];
        if (newline != NULL)
            _snprintf(line, sizeof(line), "%.*s: %s", (int)(newline - text), text, newline + 1);
        else
            _snprintf(line, sizeof(line), "%s", text);
        line[sizeof(line) - 1] = '\0';
        WriteQuietLine(line);
        return QUIET_EXIT_FAILED;
    }
    return request == QUIET_REMOVE ? RunQuietRemove() : RunQuietInstall();
}

int RunQuietInstall()
{
    char infPath[MAX_PATH];
    if (!GetPackageInfPath(infPath))
        return QUIET_EXIT_FAILED;

    // Named with its path when it is not there: the call below would not say which file.
    if (GetFileAttributesA(infPath) == INVALID_FILE_ATTRIBUTES)
        return FailQuietStep(infPath, GetLastError());

    // Staged first: a touchscreen plugged in later then installs without a question.
    char staged[MAX_PATH];
    if (!DeviceInstall.SetupCopyOEMInfA(infPath, NULL, SPOST_PATH, 0, staged, sizeof(staged), NULL, NULL))
        return FailQuietStep("SetupCopyOEMInf", GetLastError());

    const char* step;
    if (!FindSupportedDevice(&step)) {
        DWORD error = GetLastError();
        return error == ERROR_SUCCESS ? QUIET_EXIT_DONE : FailQuietStep(step, error);
    }
    return UpdateSupportedDevices(infPath);
}
