// korvelctl: the touchscreen from a command line, for batch files and remote shells.
// It drives the driver only through Korvelpad.cpl's exports, loaded from its own
// folder, and reads the stored values from the driver's parameters key without ever
// creating it. One command a run; exit status 0 done, 1 the driver is absent or
// refused, 2 a usage error.
#include <windows.h>

#include "korvelctl/command_line.h"
#include "korvelctl/console_output.h"
#include "korvelctl/korvelpad_library.h"
#include "shared/parameters_key.h"
#include "shared/platform.h"
#include "shared/touch_device.h"

namespace {

const int kExitDone = 0;
const int kExitFailed = 1;
const int kExitUsage = 2;

#define CALIBRATOR_FILE_NAME "Korvelaim.exe"

// The parameters key's values, in the order status prints them.
const char* const kStoredValueNames[] = {"XLow",     "XHigh",    "YLow",       "YHigh",     "SwapXY",
                                         "BeepMode", "BeepFreq", "BeepTime",   "MouseMode", "ButtonMode",
                                         "DragDelay", "DblClkRegion"};
const int kStoredValueCount = sizeof(kStoredValueNames) / sizeof(kStoredValueNames[0]);

int ReportUsageError(ParseOutcome outcome, const ParsedCommand& command, const char* const* argv)
{
    char line[400];
    if (outcome == PARSE_UNKNOWN_COMMAND) {
        wsprintfA(line, "korvelctl: unknown command '%.300s'\n", argv[1]);
    } else if (outcome == PARSE_ARGUMENT_COUNT) {
        wsprintfA(line, "korvelctl: wrong number of arguments for '%.300s'\n", argv[1]);
    } else {
        char rule[96];
        DescribeArgument(command.kind, command.badArgument - 2, rule, sizeof(rule));
        wsprintfA(line, "korvelctl: bad value '%.200s' for '%.20s': %s\n", argv[command.badArgument], argv[1], rule);
    }
    WriteText(stderr, line);
    WriteText(stderr, CommandUsage);
    return kExitUsage;
}

// Everything is asked before the first line is printed, so that a failure prints
// nothing on standard output. Only a REG_DWORD of 4 bytes counts as a stored value;
// anything else is left out like a missing one.
int RunStatus(HMODULE korvelpad)
{
    GetMouseModeProc getMouseMode = (GetMouseModeProc)(void*)FindKorvelpadExport(korvelpad, "GetMouseMode");
    if (getMouseMode == NULL)
        return kExitFailed;
    GetBeepProc getBeep = (GetBeepProc)(void*)FindKorvelpadExport(korvelpad, "GetBeep");
    if (getBeep == NULL)
        return kExitFailed;
    DWORD mode = 0;
    SetLastError(ERROR_SUCCESS);
    if (!getMouseMode(&mode))
        return ReportFailure("GetMouseMode");
    BeepSettings beep = {0, 0, 0};
    SetLastError(ERROR_SUCCESS);
    if (!getBeep(&beep))
        return ReportFailure("GetBeep");
    // Read only: a command that reads creates no key. A missing one holds no values.
    HKEY key;
    LONG status = OpenExistingParametersKey(GetOsKind(), &key);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        SetLastError((DWORD)status);
        return ReportFailure("OpenParametersKey");
    }
    char lines[160];
    wsprintfA(lines, "mouse_mode=%lu\nbeep_mode=%lu\nbeep_freq=%lu\nbeep_time=%lu\n", mode, (unsigned long)beep.mode,
              (unsigned long)beep.frequency, (unsigned long)beep.duration);
    WriteText(stdout, lines);
    for (int i = 0; key != NULL && i < kStoredValueCount; ++i) {
        DWORD type, size, value;
        if (ReadParameterValue(key, kStoredValueNames[i], &type, &size, &value) == ERROR_SUCCESS &&
            type == REG_DWORD && size == sizeof(value)) {
            wsprintfA(lines, "stored.%s=%lu\n", kStoredValueNames[i], value);
            WriteText(stdout, lines);
        }
    }
    if (key != NULL)
        RegCloseKey(key);
    return kExitDone;
}

int RunMode(HMODULE korvelpad, DWORD mode)
{
    SetMouseModeProc setMouseMode = (SetMouseModeProc)(void*)FindKorvelpadExport(korvelpad, "SetMouseMode");
    if (setMouseMode == NULL)
        return kExitFailed;
    SetLastError(ERROR_SUCCESS);
    return setMouseMode(mode) ? kExitDone : ReportFailure("SetMouseMode");
}

int RunBeep(HMODULE korvelpad, const uint32_t* values)
{
    SetBeepProc setBeep = (SetBeepProc)(void*)FindKorvelpadExport(korvelpad, "SetBeep");
    if (setBeep == NULL)
        return kExitFailed;
    SetLastError(ERROR_SUCCESS);
    return setBeep(values[0], values[1], values[2]) ? kExitDone : ReportFailure("SetBeep");
}

int RunEnable(HMODULE korvelpad, BOOL enable)
{
    EnableTouchscreenProc enableTouchscreen =
        (EnableTouchscreenProc)(void*)FindKorvelpadExport(korvelpad, "EnableTouchscreen");
    if (enableTouchscreen == NULL)
        return kExitFailed;
    SetLastError(ERROR_SUCCESS);
    return enableTouchscreen(enable) ? kExitDone : ReportFailure("EnableTouchscreen");
}

// AutoCalibration fails alike when the driver is absent and when Korvelaim cannot be
// started, with the same "file not found" when either is missing. It checks the driver
// first, and so does this: the driver's device, then the program file's presence, tell
// the causes apart. Its result says nothing of how the calibration went.
int RunCalibrate(HMODULE korvelpad)
{
    AutoCalibrationProc autoCalibration =
        (AutoCalibrationProc)(void*)FindKorvelpadExport(korvelpad, "AutoCalibration");
    if (autoCalibration == NULL)
        return kExitFailed;
    SetLastError(ERROR_SUCCESS);
    if (autoCalibration())
        return kExitDone;
    DWORD error = GetLastError();
    HANDLE device = OpenTouchDevice();
    if (device == INVALID_HANDLE_VALUE) {
        DWORD openError = GetLastError();
        if (openError == ERROR_FILE_NOT_FOUND || openError == ERROR_PATH_NOT_FOUND)
            return ReportFailureText("AutoCalibration", "the touchscreen driver is not loaded");
        return ReportFailure("AutoCalibration: open " TOUCH_DEVICE_NAME);
    }
    CloseHandle(device);
    char calibrator[MAX_PATH];
    if (!GetPathBesideProgram(CALIBRATOR_FILE_NAME, calibrator, sizeof(calibrator))) {
        SetLastError(error);
        return ReportFailure("AutoCalibration");
    }
    if (GetFileAttributesA(calibrator) == INVALID_FILE_ATTRIBUTES)
        return ReportFailureText("AutoCalibration", CALIBRATOR_FILE_NAME " is missing beside " KORVELPAD_FILE_NAME);
    // The program is there but did not start: the line names it, whether or not the
    // system's text has a place for it.
    char step[MAX_PATH + 32];
    wsprintfA(step, "AutoCalibration: start %s", calibrator);
    SetLastError(error);
    return ReportFailure(step, calibrator);
}

// Help was answered before the library was loaded.
int RunOnKorvelpad(HMODULE korvelpad, const ParsedCommand& command)
{
    if (command.kind == COMMAND_STATUS)
        return RunStatus(korvelpad);
    if (command.kind == COMMAND_MODE)
        return RunMode(korvelpad, command.values[0]);
    if (command.kind == COMMAND_BEEP)
        return RunBeep(korvelpad, command.values);
    if (command.kind == COMMAND_ENABLE || command.kind == COMMAND_DISABLE)
        return RunEnable(korvelpad, command.kind == COMMAND_ENABLE);
    return RunCalibrate(korvelpad);
}

} // namespace

int main(int argc, char** argv)
{
    ParsedCommand command;
    ParseOutcome outcome = ParseCommandLine(argc, argv, &command);
    // Bad input ends here, before Korvelpad is loaded or the driver's device opened.
    if (outcome != PARSE_OK)
        return ReportUsageError(outcome, command, argv);
    if (command.kind == COMMAND_HELP) {
        WriteText(stdout, CommandUsage);
        return kExitDone;
    }
    HMODULE korvelpad = LoadKorvelpad();
    if (korvelpad == NULL)
        return kExitFailed;
    int status = RunOnKorvelpad(korvelpad, command);
    FreeLibrary(korvelpad);
    return status;
}
