// korvelsimctl: the command line onto the simulated driver's test control device,
// \\.\KORVELSIM. It queues touches, prints the driver's state as key=value lines,
// resets it and injects failures, so that scripts can drive and inspect the driver
// without opening the touch device themselves.
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sim/client/sim_client.h"
#include "sim/request_names.h"

namespace {

const int kExitSuccess = 0;
const int kExitFailure = 1;
const int kExitUsage = 2;

int Usage()
{
    std::fprintf(stderr,
                 "usage: korvelsimctl touch X Y   queue one touch with raw readings X and Y\n"
                 "       korvelsimctl state       print the driver's state as key=value lines\n"
                 "       korvelsimctl reset       return the driver to its power-on state\n"
                 "       korvelsimctl fail NAME   make every request NAME fail; NAME none ends it\n"
                 "NAME is one of:");
    for (const SimRequestName& request : SIM_REQUEST_NAMES) {
        std::fprintf(stderr, " %s", request.name);
    }
    std::fprintf(stderr, "\n");
    return kExitUsage;
}

// A whole decimal text within the range of a 32-bit signed integer.
bool ParseReading(const char* text, int32_t* value)
{
    char* end = nullptr;
    errno = 0;
    long long parsed = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX) {
        return false;
    }
    *value = static_cast<int32_t>(parsed);
    return true;
}

// Every command opens the device once before its request, so that a missing
// driver is told apart from a request that the driver failed.
bool DeviceOpens()
{
    HANDLE device = CreateFileA(SIM_CONTROL_DEVICE_NAME, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "korvelsimctl: cannot open %s: error %lu (driver not started?)\n",
                     SIM_CONTROL_DEVICE_NAME, GetLastError());
        return false;
    }
    CloseHandle(device);
    return true;
}

int Outcome(BOOL ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "korvelsimctl: %s failed: error %lu\n", what, GetLastError());
        return kExitFailure;
    }
    return kExitSuccess;
}

int QueueTouch(const char* xText, const char* yText)
{
    int32_t x = 0;
    int32_t y = 0;
    if (!ParseReading(xText, &x) || !ParseReading(yText, &y)) {
        std::fprintf(stderr, "korvelsimctl: touch needs two decimal readings, got \"%s\" \"%s\"\n", xText, yText);
        return kExitUsage;
    }
    if (!DeviceOpens()) {
        return kExitFailure;
    }
    return Outcome(SimQueueTouch(x, y), "queueing a touch");
}

int PrintState()
{
    SimState state;
    if (!DeviceOpens()) {
        return kExitFailure;
    }
    if (!SimGetState(&state)) {
        return Outcome(FALSE, "reading the state");
    }
    std::printf("mouse_mode=%u\n", state.mouse_mode);
    std::printf("beep_mode=%u\n", state.beep_mode);
    std::printf("beep_freq=%u\n", state.beep_freq);
    std::printf("beep_time=%u\n", state.beep_time);
    std::printf("enabled=%u\n", state.enabled);
    std::printf("calibration=%d,%d,%d,%d,%d,%d\n", static_cast<int32_t>(state.calibration.reserved),
                state.calibration.XLow, state.calibration.YLow, state.calibration.XHigh, state.calibration.YHigh,
                static_cast<int32_t>(state.calibration.SwapXY));
    std::printf("button_mode=%u\n", state.button_mode);
    std::printf("drag_delay=%u\n", state.drag_delay);
    std::printf("dblclk_region=%u\n", state.dblclk_region);
    std::printf("opens=%u\n", state.opens);
    std::printf("closes=%u\n", state.closes);
    std::printf("queued=%u\n", state.queued);
    std::printf("dropped=%u\n", state.dropped);
    std::printf("refused=%u\n", state.refused);
    const char* failing = SimRequestNameOf(state.failing_code);
    if (state.failing_code == 0) {
        std::printf("failing=none\n");
    } else if (failing != nullptr) {
        std::printf("failing=%s\n", failing);
    } else {
        std::printf("failing=0x%08X\n", state.failing_code);
    }
    for (int slot = 0; slot < SIM_REQUEST_KINDS; ++slot) {
        std::printf("%s=%u\n", SIM_REQUEST_NAMES[slot].name, state.requests[slot]);
    }
    return std::fflush(stdout) == 0 ? kExitSuccess : kExitFailure;
}

int Reset()
{
    if (!DeviceOpens()) {
        return kExitFailure;
    }
    return Outcome(SimReset(), "reset");
}

// "none" stands for code 0, which ends an injected failure.
int InjectFailure(const char* name)
{
    bool none = std::strcmp(name, "none") == 0;
    DWORD code = none ? 0 : SimRequestCodeOf(name);
    if (!none && code == 0) {
        std::fprintf(stderr, "korvelsimctl: unknown request name \"%s\"\n", name);
        return Usage();
    }
    if (!DeviceOpens()) {
        return kExitFailure;
    }
    return Outcome(SimFailRequest(code), "injecting a failure");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "touch") == 0) {
        return QueueTouch(argv[2], argv[3]);
    }
    if (argc == 2 && std::strcmp(argv[1], "state") == 0) {
        return PrintState();
    }
    if (argc == 2 && std::strcmp(argv[1], "reset") == 0) {
        return Reset();
    }
    if (argc == 3 && std::strcmp(argv[1], "fail") == 0) {
        return InjectFailure(argv[2]);
    }
    return Usage();
}
