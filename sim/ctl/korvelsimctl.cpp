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

#include "../request_names.h"

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

const char* RequestName(uint32_t code)
{
    for (const SimRequestName& request : SIM_REQUEST_NAMES) {
        if (request.code == code) {
            return request.name;
        }
    }
    return nullptr;
}

// "none" stands for code 0, which ends an injected failure.
bool ParseRequestName(const char* name, uint32_t* code)
{
    if (std::strcmp(name, "none") == 0) {
        *code = 0;
        return true;
    }
    for (const SimRequestName& request : SIM_REQUEST_NAMES) {
        if (std::strcmp(request.name, name) == 0) {
            *code = request.code;
            return true;
        }
    }
    return false;
}

// One request on a fresh handle; failures are reported here so that every command
// fails with the same kind of message.
bool SendSimRequest(DWORD code, void* input, DWORD inputSize, void* output, DWORD outputSize, DWORD* returned)
{
    HANDLE device = CreateFileA(SIM_CONTROL_DEVICE_NAME, GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "korvelsimctl: cannot open %s: error %lu (driver not started?)\n",
                     SIM_CONTROL_DEVICE_NAME, GetLastError());
        return false;
    }
    DWORD ignored = 0;
    BOOL ok = DeviceIoControl(device, code, input, inputSize, output, outputSize,
                              returned != nullptr ? returned : &ignored, nullptr);
    DWORD error = GetLastError();
    CloseHandle(device);
    if (!ok) {
        std::fprintf(stderr, "korvelsimctl: request 0x%08lX to %s failed: error %lu\n", code,
                     SIM_CONTROL_DEVICE_NAME, error);
        return false;
    }
    return true;
}

int QueueTouch(const char* xText, const char* yText)
{
    SimTouch touch;
    if (!ParseReading(xText, &touch.x) || !ParseReading(yText, &touch.y)) {
        std::fprintf(stderr, "korvelsimctl: touch needs two decimal readings, got \"%s\" \"%s\"\n", xText, yText);
        return kExitUsage;
    }
    return SendSimRequest(IOCTL_SIM_QUEUE_TOUCH, &touch, sizeof(touch), nullptr, 0, nullptr) ? kExitSuccess
                                                                                               : kExitFailure;
}

int PrintState()
{
    SimState state;
    DWORD returned = 0;
    if (!SendSimRequest(IOCTL_SIM_GET_STATE, nullptr, 0, &state, sizeof(state), &returned)) {
        return kExitFailure;
    }
    if (returned != sizeof(state)) {
        std::fprintf(stderr, "korvelsimctl: state of %lu bytes, expected %u\n", returned,
                     static_cast<unsigned>(sizeof(state)));
        return kExitFailure;
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
    const char* failing = RequestName(state.failing_code);
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
    return SendSimRequest(IOCTL_SIM_RESET, nullptr, 0, nullptr, 0, nullptr) ? kExitSuccess : kExitFailure;
}

int InjectFailure(const char* name)
{
    uint32_t code = 0;
    if (!ParseRequestName(name, &code)) {
        std::fprintf(stderr, "korvelsimctl: unknown request name \"%s\"\n", name);
        return Usage();
    }
    return SendSimRequest(IOCTL_SIM_FAIL, &code, sizeof(code), nullptr, 0, nullptr) ? kExitSuccess : kExitFailure;
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
