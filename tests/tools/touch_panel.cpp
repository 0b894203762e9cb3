// touch_panel: the simulated touchscreen seen from the user's side. It gives a touch
// at a screen position the raw readings of a controller with a known mapping, and
// measures how far a stored calibration lands from that mapping.
//
//   touch_panel [OPTIONS] raw X Y      prints the readings of a touch at (X, Y)
//   touch_panel [OPTIONS] hook PROGRAM runs PROGRAM; every mouse button press queues
//                                      the readings of its position with the driver,
//                                      so that a click stands for a touch
//   touch_panel [OPTIONS] error        prints the driver's calibration and how far it
//                                      maps touches from where they were made
// OPTIONS: --swap (the controller's axes exchanged), --invert-x, --invert-y (an axis
// that reads high at the left or top edge), --range LOW HIGH (readings at the edges,
// 200 and 3900 unless given), --screen WIDTHxHEIGHT (the screen the touches are made
// on, this display's unless given).
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "calibrate/controller_model.h"
#include "sim/client/sim_client.h"

namespace {

struct Options {
    bool swap = false;
    bool invertX = false;
    bool invertY = false;
    int32_t low = 200;
    int32_t high = 3900;
    int32_t width = 0; // 0: this display's
    int32_t height = 0;
};

// The hook procedure has no context argument; the model lives for the whole run.
ControllerModel g_model;

ControllerModel MakeModel(const Options& options)
{
    ControllerModel model;
    model.screenWidth = options.width > 0 ? options.width : GetSystemMetrics(SM_CXSCREEN);
    model.screenHeight = options.height > 0 ? options.height : GetSystemMetrics(SM_CYSCREEN);
    model.rawLeft = options.invertX ? options.high : options.low;
    model.rawRight = options.invertX ? options.low : options.high;
    model.rawTop = options.invertY ? options.high : options.low;
    model.rawBottom = options.invertY ? options.low : options.high;
    model.swapXY = options.swap;
    return model;
}

int Usage(void)
{
    fprintf(stderr, "usage: touch_panel [--swap] [--invert-x] [--invert-y] [--range LOW HIGH] "
                    "[--screen WIDTHxHEIGHT] raw X Y | hook PROGRAM | error\n");
    return 2;
}

int PrintReadings(int32_t x, int32_t y)
{
    TouchReading reading = ModelReadingAt(g_model, x, y);
    printf("%ld %ld\n", (long)reading.x, (long)reading.y);
    return 0;
}

LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && (wParam == WM_LBUTTONDOWN || wParam == WM_RBUTTONDOWN)) {
        const MSLLHOOKSTRUCT* event = (const MSLLHOOKSTRUCT*)lParam;
        TouchReading reading = ModelReadingAt(g_model, event->pt.x, event->pt.y);
        // Queued at the press, so the reading waits in the driver before the release
        // reaches the program.
        if (SimQueueTouch(reading.x, reading.y))
            printf("touch at (%ld, %ld): readings %ld, %ld\n", (long)event->pt.x, (long)event->pt.y,
                   (long)reading.x, (long)reading.y);
        else
            printf("touch at (%ld, %ld) lost: error %lu\n", (long)event->pt.x, (long)event->pt.y, GetLastError());
        fflush(stdout);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

int RunWithHook(const char* program)
{
    HHOOK hook = SetWindowsHookExA(WH_MOUSE_LL, MouseHook, GetModuleHandleA(NULL), 0);
    if (hook == NULL) {
        fprintf(stderr, "touch_panel: SetWindowsHookExA failed, error %lu\n", GetLastError());
        return 255;
    }
    char commandLine[MAX_PATH + 2];
    _snprintf(commandLine, sizeof(commandLine), "\"%s\"", program);
    commandLine[sizeof(commandLine) - 1] = '\0';
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    if (!CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        fprintf(stderr, "touch_panel: could not start %s, error %lu\n", program, GetLastError());
        UnhookWindowsHookEx(hook);
        return 255;
    }
    CloseHandle(process.hThread);

    // The hook runs on this thread, so it keeps taking messages until the program ends.
    for (;;) {
        DWORD woken = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, INFINITE, QS_ALLINPUT);
        if (woken != WAIT_OBJECT_0 + 1)
            break;
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    DWORD exitCode = 255;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    UnhookWindowsHookEx(hook);
    printf("%s ended with exit code %lu\n", program, exitCode);
    return (int)exitCode;
}

int PrintError(void)
{
    SimState state;
    if (!SimGetState(&state)) {
        fprintf(stderr, "touch_panel: the simulated driver's state cannot be read, error %lu\n", GetLastError());
        return 1;
    }
    const CalibrationRecord& record = state.calibration;
    printf("controller: horizontal %ld..%ld, vertical %ld..%ld, axes %s\n", (long)g_model.rawLeft,
           (long)g_model.rawRight, (long)g_model.rawTop, (long)g_model.rawBottom,
           g_model.swapXY ? "exchanged" : "straight");
    printf("driver's calibration: XLow %ld, YLow %ld, XHigh %ld, YHigh %ld, SwapXY %lu\n", (long)record.XLow,
           (long)record.YLow, (long)record.XHigh, (long)record.YHigh, (unsigned long)record.SwapXY);
    MappingError error;
    if (!MeasureMappingError(g_model, record, 8, &error)) {
        printf("the calibration spans no range on an axis: touches cannot be mapped\n");
        return 1;
    }
    printf("touches every 8 pixels over %ldx%ld land %.2f pixels from the truth on average, %.2f at most\n",
           (long)g_model.screenWidth, (long)g_model.screenHeight, error.meanPixels, error.maxPixels);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    int arg = 1;
    for (; arg < argc && strncmp(argv[arg], "--", 2) == 0; ++arg) {
        if (strcmp(argv[arg], "--swap") == 0)
            options.swap = true;
        else if (strcmp(argv[arg], "--invert-x") == 0)
            options.invertX = true;
        else if (strcmp(argv[arg], "--invert-y") == 0)
            options.invertY = true;
        else if (strcmp(argv[arg], "--range") == 0 && arg + 2 < argc) {
            options.low = atoi(argv[arg + 1]);
            options.high = atoi(argv[arg + 2]);
            arg += 2;
        } else if (strcmp(argv[arg], "--screen") == 0 && arg + 1 < argc) {
            long width = 0, height = 0;
            if (sscanf(argv[arg + 1], "%ldx%ld", &width, &height) != 2 || width <= 0 || height <= 0)
                return Usage();
            options.width = (int32_t)width;
            options.height = (int32_t)height;
            ++arg;
        } else
            return Usage();
    }
    if (arg >= argc)
        return Usage();
    g_model = MakeModel(options);
    const char* command = argv[arg];
    if (strcmp(command, "raw") == 0 && argc == arg + 3)
        return PrintReadings(atoi(argv[arg + 1]), atoi(argv[arg + 2]));
    if (strcmp(command, "hook") == 0 && argc == arg + 2)
        return RunWithHook(argv[arg + 1]);
    if (strcmp(command, "error") == 0 && argc == arg + 1)
        return PrintError();
    return Usage();
}
