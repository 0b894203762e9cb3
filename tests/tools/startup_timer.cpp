// startup_timer RUNS KORVELAIM BASELINE: how long Korvelaim takes from its start to
// its first target, against a minimal full-screen program from its start to its
// first paint, alternating the two; prints the medians and their ratio. The first
// pair warms the prefix up and is not counted.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sim/client/sim_client.h"

namespace {

const DWORD kStartLimitMs = 20000;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

bool Start(const std::string& commandLine, PROCESS_INFORMATION* process)
{
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup, process)) {
        fprintf(stderr, "startup_timer: could not start %s, error %lu\n", commandLine.c_str(), GetLastError());
        return false;
    }
    CloseHandle(process->hThread);
    return true;
}

// Asks the program's window to end the program, and waits for it; a program that
// does not end is ended here, since this tool started it.
void Finish(PROCESS_INFORMATION* process, const char* className, UINT message, WPARAM wParam)
{
    HWND window = FindWindowA(className, NULL);
    if (window != NULL)
        PostMessageA(window, message, wParam, 0);
    if (WaitForSingleObject(process->hProcess, kStartLimitMs) != WAIT_OBJECT_0) {
        fprintf(stderr, "startup_timer: %s did not end; ending it\n", className);
        TerminateProcess(process->hProcess, 1);
        WaitForSingleObject(process->hProcess, kStartLimitMs);
    }
    CloseHandle(process->hProcess);
}

// What says that a started program has shown its first screen.
struct ReadyCheck {
    HANDLE painted;   // the baseline's event, or NULL
    uint32_t clears;  // otherwise: clears of the point the driver had seen before
};

// Seconds from the start of a program until it is ready, or a negative value. Both
// programs are watched by the same loop, which reads the driver's state every turn,
// so that watching costs them alike.
double TimeToReady(const std::string& commandLine, const ReadyCheck& check, PROCESS_INFORMATION* process)
{
    const int clearSlot = SimRequestIndex(IOCTL_TOUCH_CLEAR_POINT);
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    if (!Start(commandLine, process))
        return -2;
    for (;;) {
        SimState state;
        const BOOL read = SimGetState(&state);
        QueryPerformanceCounter(&now);
        const bool ready = check.painted != NULL ? WaitForSingleObject(check.painted, 0) == WAIT_OBJECT_0
                                                 : read && state.requests[clearSlot] > check.clears;
        if (ready)
            return Seconds(start, now);
        if (Seconds(start, now) * 1000 > kStartLimitMs || WaitForSingleObject(process->hProcess, 2) == WAIT_OBJECT_0)
            return -1;
    }
}

// The baseline, from its start to its first paint.
double TimeBaseline(const char* path, int run)
{
    char eventName[64];
    _snprintf(eventName, sizeof(eventName), "KorvelBaselinePainted%d", run);
    eventName[sizeof(eventName) - 1] = '\0';
    ReadyCheck check = {CreateEventA(NULL, TRUE, FALSE, eventName), 0};
    if (check.painted == NULL)
        return -1;
    PROCESS_INFORMATION process;
    const double result = TimeToReady(std::string("\"") + path + "\" " + eventName, check, &process);
    if (result != -2)
        Finish(&process, "KorvelFullscreenBaseline", WM_CLOSE, 0);
    CloseHandle(check.painted);
    return result;
}

// Korvelaim, from its start to its first target: the driver sees the clear of the
// point that comes right before the target is drawn.
double TimeKorvelaim(const char* path)
{
    SimState state;
    if (!SimGetState(&state))
        return -1;
    ReadyCheck check = {NULL, state.requests[SimRequestIndex(IOCTL_TOUCH_CLEAR_POINT)]};
    PROCESS_INFORMATION process;
    const double result = TimeToReady(std::string("\"") + path + "\"", check, &process);
    if (result != -2)
        Finish(&process, "Korvelaim", WM_KEYDOWN, VK_ESCAPE);
    return result;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4 || atoi(argv[1]) < 1) {
        fprintf(stderr, "usage: startup_timer RUNS KORVELAIM BASELINE\n");
        return 2;
    }
    const int runs = atoi(argv[1]);
    std::vector<double> korvelaim, baseline;
    for (int run = 0; run <= runs; ++run) {
        const double base = TimeBaseline(argv[3], run);
        const double calibration = TimeKorvelaim(argv[2]);
        if (base < 0 || calibration < 0) {
            fprintf(stderr, "startup_timer: run %d failed\n", run);
            return 1;
        }
        if (run == 0)
            continue;
        baseline.push_back(base);
        korvelaim.push_back(calibration);
        printf("run %d: Korvelaim %.0f ms, baseline %.0f ms\n", run, calibration * 1000, base * 1000);
    }
    const double k = Median(korvelaim), b = Median(baseline);
    printf("start to first target: Korvelaim %.0f ms, minimal full-screen program %.0f ms (medians of %d)\n",
           k * 1000, b * 1000, runs);
    printf("ratio Korvelaim / minimal program: %.2f\n", k / b);
    return 0;
}
