// applet_bench LIBRARY: times the exported GetMouseMode (open, one request, close)
// against the bare CreateFileA / DeviceIoControl / CloseHandle sequence it wraps, in
// this one process, and prints both and their ratio.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "shared/touch_ioctl.h"

namespace {

typedef BOOL(WINAPI* GetMouseModeProc)(DWORD*);

const int kRounds = 41;
const int kCallsPerRound = 200;

bool BareSequence(void)
{
    HANDLE device = CreateFileA(TOUCH_DEVICE_NAME, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    if (device == INVALID_HANDLE_VALUE)
        return false;
    DWORD mode = 0, returned = 0;
    BOOL ok = DeviceIoControl(device, IOCTL_TOUCH_GET_MOUSE_MODE, NULL, 0, &mode, sizeof(mode), &returned, NULL);
    CloseHandle(device);
    return ok != FALSE;
}

// Microseconds per call over one round, or a negative value when a call failed.
template <typename Call> double TimeRound(Call call, double ticksPerMicrosecond)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kCallsPerRound; ++i)
        if (!call())
            return -1.0;
    QueryPerformanceCounter(&end);
    return (double)(end.QuadPart - start.QuadPart) / ticksPerMicrosecond / kCallsPerRound;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: applet_bench PATH-OF-Korvelpad.cpl\n");
        return 2;
    }
    HMODULE applet = LoadLibraryA(argv[1]);
    GetMouseModeProc getMouseMode = applet ? (GetMouseModeProc)(void*)GetProcAddress(applet, "GetMouseMode") : NULL;
    if (getMouseMode == NULL) {
        fprintf(stderr, "applet_bench: cannot load GetMouseMode from %s, error %lu\n", argv[1], GetLastError());
        return 1;
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    double ticksPerMicrosecond = (double)frequency.QuadPart / 1e6;
    auto exported = [getMouseMode]() {
        DWORD mode = 0;
        return getMouseMode(&mode) != FALSE;
    };

    // Rounds alternate so that drift in Wine's speed touches both sides alike.
    std::vector<double> bare, wrapped;
    for (int round = 0; round < kRounds; ++round) {
        double b = TimeRound(BareSequence, ticksPerMicrosecond);
        double w = TimeRound(exported, ticksPerMicrosecond);
        if (b < 0 || w < 0) {
            fprintf(stderr, "applet_bench: a call failed; is the driver running?\n");
            return 1;
        }
        bare.push_back(b);
        wrapped.push_back(w);
    }
    double bareMedian = Median(bare), wrappedMedian = Median(wrapped);
    printf("bare CreateFileA+DeviceIoControl+CloseHandle: %.1f us a call (median of %d rounds of %d)\n", bareMedian,
           kRounds, kCallsPerRound);
    printf("exported GetMouseMode:                        %.1f us a call\n", wrappedMedian);
    printf("ratio export/bare: %.3f (goal: at most 1.1)\n", wrappedMedian / bareMedian);
    FreeLibrary(applet);
    return 0;
}
