// Korvelaim's entry: the start-up checks, then the calibration window's message loop.
#include "calibrate/korvelaim.h"

#include "calibrate/resource.h"
#include "shared/platform.h"
#include "shared/privilege.h"
#include "shared/touch_device.h"

int g_osKind;
HANDLE g_device;
char g_className[CLASS_NAME_SIZE];
CalibrationRecord g_calibrationToGiveBack;

namespace {

const char kMutexName[] = "QVZCalib";

int ShowStartupWarning(const char* text, const char* caption)
{
    MessageBoxA(NULL, text, caption, MB_ICONWARNING);
    return 1;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand)
{
    (void)previousInstance;
    (void)commandLine;
    (void)showCommand;

    // Held, never released, until the process ends: a second start finds it.
    CreateMutexA(NULL, TRUE, kMutexName);
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;

    g_osKind = GetOsKind();
    if (!CheckPrivilege(g_osKind, NULL))
        return ShowStartupWarning("You must have administrator privileges to do this work.", "Korvel Touchscreen");

    g_device = OpenTouchDevice();
    if (g_device == INVALID_HANDLE_VALUE)
        return ShowStartupWarning("Fatal error:Touchscreen device driver not loaded!", "Fatal error!");

    // Read before any record goes to the driver: what it is given back when the
    // program ends without a confirmed calibration.
    CalibrationRecord stored;
    const BOOL storedComplete = ReadStoredCalibration(&stored);
    g_calibrationToGiveBack = CalibrationToGiveBack(storedComplete != FALSE, &stored);

    LoadStringA(instance, IDS_CLASS_NAME, g_className, sizeof(g_className));
    RegisterCalibrationClass(instance);

    if (CreateCalibrationWindows(instance)) {
        MSG message;
        while (GetMessageA(&message, NULL, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    // Done already unless a quit from outside came between two runs, or the windows
    // were never made. The exit code is 0 whatever such a quit carried.
    EndProgram();
    return 0;
}
