// The simulated driver's touch device held to the rules the programs rely on: the
// record size of every code, the value checks, the touch queue, failure injection,
// reset, the counters, stored parameters and concurrent use.
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include <sstream>
#include <string>
#include <vector>

#include "sim/request_names.h"
#include "tests/wine/wine_support.h"

namespace {

const char kParametersPath[] = "System\\CurrentControlSet\\Services\\Korvelscreen\\Parameters";

// What a caller sees after one request.
struct Outcome {
    BOOL ok;
    DWORD error;
    DWORD returned;
};

// The record sizes of the ten codes, in bytes; 0 means no buffer.
struct Shape {
    DWORD code;
    DWORD input;
    DWORD output;
};

const Shape kShapes[SIM_REQUEST_KINDS] = {
    {IOCTL_TOUCH_SET_CALIBRATION, 24, 0}, {IOCTL_TOUCH_SET_BEEP, 12, 0},   {IOCTL_TOUCH_GET_BEEP, 0, 12},
    {IOCTL_TOUCH_GET_MOUSE_MODE, 0, 4},   {IOCTL_TOUCH_SET_MOUSE_MODE, 4, 0}, {IOCTL_TOUCH_READ_POINT, 0, 16},
    {IOCTL_TOUCH_CLEAR_POINT, 0, 0},      {IOCTL_TOUCH_ENABLE, 0, 0},      {IOCTL_TOUCH_DISABLE, 0, 0},
    {IOCTL_TOUCH_RELOAD_SETTINGS, 0, 0},
};

// Output lands at kOutputAt inside a buffer preset to kFill, so that a write
// before or after the bytes returned shows as a changed guard byte.
const size_t kBufferSize = 64;
const size_t kOutputAt = 16;
const BYTE kFill = 0xA5;

struct Guarded {
    Guarded() { memset(bytes, kFill, sizeof(bytes)); }
    BYTE* output() { return bytes + kOutputAt; }
    // The first byte outside [from, to) that no longer holds kFill, or -1.
    int ChangedOutside(size_t from, size_t to) const
    {
        for (size_t i = 0; i < sizeof(bytes); ++i) {
            if ((i < from || i >= to) && bytes[i] != kFill)
                return (int)i;
        }
        return -1;
    }
    BYTE bytes[kBufferSize];
};

const char* NameOf(DWORD code)
{
    const char* name = SimRequestNameOf(code);
    return name != NULL ? name : "unknown code";
}

HANDLE OpenTouch(void)
{
    return CreateFileA(TOUCH_DEVICE_NAME, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       NULL);
}

// A touch device handle for the life of one test.
class TouchHandle {
public:
    TouchHandle() : handle_(OpenTouch())
    {
        EXPECT_NE(INVALID_HANDLE_VALUE, handle_) << "open error " << GetLastError();
    }
    ~TouchHandle()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    TouchHandle(const TouchHandle&) = delete;
    TouchHandle& operator=(const TouchHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

Outcome Send(HANDLE device, DWORD code, const void* input, DWORD inputSize, void* output, DWORD outputSize)
{
    Outcome outcome;
    outcome.returned = 0xDEADBEEF;
    SetLastError(0xdeadbeef);
    outcome.ok = DeviceIoControl(device, code, (void*)(inputSize ? input : NULL), inputSize,
                                 outputSize ? output : NULL, outputSize, &outcome.returned, NULL);
    outcome.error = outcome.ok ? 0 : GetLastError();
    return outcome;
}

// Input that every value check accepts, and that differs from the power-on state.
void FillValidInput(DWORD code, BYTE* input)
{
    memset(input, 0, kBufferSize);
    if (code == IOCTL_TOUCH_SET_CALIBRATION) {
        CalibrationRecord record = {0, 100, 200, 3900, 3800, 1};
        memcpy(input, &record, sizeof(record));
    } else if (code == IOCTL_TOUCH_SET_BEEP) {
        BeepSettings beep = {2, 3000, 64};
        memcpy(input, &beep, sizeof(beep));
    } else if (code == IOCTL_TOUCH_SET_MOUSE_MODE) {
        DWORD mode = 2;
        memcpy(input, &mode, sizeof(mode));
    }
}

// The settings and the queue as one line, so that a mismatch shows every field.
std::string Settings(const SimState& s)
{
    std::ostringstream text;
    text << "mouse_mode=" << s.mouse_mode << " beep=" << s.beep_mode << "/" << s.beep_freq << "/" << s.beep_time
         << " enabled=" << s.enabled << " calibration=" << s.calibration.reserved << "," << s.calibration.XLow << ","
         << s.calibration.YLow << "," << s.calibration.XHigh << "," << s.calibration.YHigh << ","
         << s.calibration.SwapXY << " button_mode=" << s.button_mode << " drag_delay=" << s.drag_delay
         << " dblclk_region=" << s.dblclk_region << " queued=" << s.queued << " dropped=" << s.dropped;
    return text.str();
}

std::string Counters(const SimState& s)
{
    std::ostringstream text;
    text << "opens=" << s.opens << " closes=" << s.closes << " refused=" << s.refused << " failing=" << s.failing_code;
    for (int i = 0; i < SIM_REQUEST_KINDS; ++i)
        text << " " << SIM_REQUEST_NAMES[i].name << "=" << s.requests[i];
    return text.str();
}

SimState PowerOnState(void)
{
    SimState s;
    memset(&s, 0, sizeof(s));
    s.mouse_mode = SIM_POWER_ON_MOUSE_MODE;
    s.beep_mode = SIM_POWER_ON_BEEP_MODE;
    s.beep_freq = SIM_POWER_ON_BEEP_FREQ;
    s.beep_time = SIM_POWER_ON_BEEP_TIME;
    s.enabled = SIM_POWER_ON_ENABLED;
    s.calibration.XLow = SIM_POWER_ON_X_LOW;
    s.calibration.YLow = SIM_POWER_ON_Y_LOW;
    s.calibration.XHigh = SIM_POWER_ON_X_HIGH;
    s.calibration.YHigh = SIM_POWER_ON_Y_HIGH;
    s.calibration.SwapXY = SIM_POWER_ON_SWAP_XY;
    s.button_mode = SIM_POWER_ON_BUTTON_MODE;
    s.drag_delay = SIM_POWER_ON_DRAG_DELAY;
    s.dblclk_region = SIM_POWER_ON_DBLCLK_REGION;
    return s;
}

// The counters after a run that sent `count` requests of one code and had
// `refused` of them refused, on one handle that is still open.
SimState ExpectedCounters(DWORD code, unsigned count, unsigned refused)
{
    SimState s = PowerOnState();
    s.opens = 1;
    s.refused = refused;
    if (count != 0)
        s.requests[SimRequestIndex(code)] = count;
    return s;
}

class SimDriver : public ::testing::Test {
protected:
    void SetUp() override { ResetSim(); }
    void TearDown() override { SimFailRequest(0); }
};

TEST_F(SimDriver, EveryCodeAcceptsItsExactRecordAndReturnsOnlyThat)
{
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(NameOf(shape.code));
        ResetSim();
        ASSERT_TRUE(SimQueueTouch(5, 6)) << "error " << GetLastError();
        TouchHandle device;
        BYTE input[kBufferSize];
        FillValidInput(shape.code, input);
        Guarded out;
        Outcome got = Send(device.get(), shape.code, input, shape.input, out.output(), shape.output);
        EXPECT_TRUE(got.ok) << "expected success, got error " << got.error;
        EXPECT_EQ(shape.output, got.returned) << "bytes returned";
        EXPECT_EQ(-1, out.ChangedOutside(kOutputAt, kOutputAt + shape.output)) << "byte written outside the record";
        SimState after = ReadSimState();
        EXPECT_EQ(Counters(ExpectedCounters(shape.code, 1, 0)), Counters(after));
    }
}

// Each code with every size but its own: an input one byte short or long or
// missing, an output one byte short or missing, a buffer where none belongs.
std::vector<Shape> WrongSizes(const Shape& shape)
{
    std::vector<Shape> wrong;
    if (shape.input != 0) {
        wrong.push_back({shape.code, shape.input - 1, shape.output});
        wrong.push_back({shape.code, shape.input + 1, shape.output});
        wrong.push_back({shape.code, 0, shape.output});
    } else {
        wrong.push_back({shape.code, 4, shape.output});
    }
    if (shape.output != 0) {
        wrong.push_back({shape.code, shape.input, shape.output - 1});
        wrong.push_back({shape.code, shape.input, 0});
    } else {
        wrong.push_back({shape.code, shape.input, 4});
    }
    return wrong;
}

TEST_F(SimDriver, WrongSizesAreRefusedCountedAndChangeNothing)
{
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(NameOf(shape.code));
        ResetSim();
        ASSERT_TRUE(SimQueueTouch(5, 6)) << "error " << GetLastError();
        SimState before = ReadSimState();
        std::vector<Shape> wrong = WrongSizes(shape);
        TouchHandle device;
        BYTE input[kBufferSize];
        FillValidInput(shape.code, input);
        for (const Shape& size : wrong) {
            Guarded out;
            Outcome got = Send(device.get(), size.code, input, size.input, out.output(), size.output);
            EXPECT_FALSE(got.ok) << "input " << size.input << ", output " << size.output
                                 << ": expected a refusal, got success";
            EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, got.error)
                << "input " << size.input << ", output " << size.output;
            EXPECT_EQ(-1, out.ChangedOutside(0, 0))
                << "input " << size.input << ", output " << size.output << ": the buffer was written";
        }
        SimState after = ReadSimState();
        EXPECT_EQ(Settings(before), Settings(after)) << "a refused request changed the state";
        EXPECT_EQ(Counters(ExpectedCounters(shape.code, (unsigned)wrong.size(), (unsigned)wrong.size())),
                  Counters(after));
    }
}

TEST_F(SimDriver, UnknownCodesAreRefusedAsInvalidFunction)
{
    const DWORD codes[] = {
        TOUCH_CTL_CODE(0x802),                                          // between two touch codes
        TOUCH_CTL_CODE(0x818),                                          // past the last one
        IOCTL_SIM_GET_STATE,                                            // the control device's code
        (IOCTL_TOUCH_GET_BEEP & 0xFFFFu) | (FILE_DEVICE_UNKNOWN << 16), // a touch function, another device type
        IOCTL_TOUCH_SET_MOUSE_MODE | (FILE_READ_ACCESS << 14),          // another access
    };
    TouchHandle device;
    unsigned sent = 0;
    for (DWORD code : codes) {
        Guarded out;
        DWORD mode = 1;
        Outcome got = Send(device.get(), code, &mode, sizeof(mode), out.output(), 16);
        ++sent;
        EXPECT_FALSE(got.ok) << "code 0x" << std::hex << code << ": expected a refusal, got success";
        EXPECT_EQ((DWORD)ERROR_INVALID_FUNCTION, got.error) << "code 0x" << std::hex << code;
        EXPECT_EQ(-1, out.ChangedOutside(0, 0)) << "code 0x" << std::hex << code << ": the buffer was written";
    }
    SimState after = ReadSimState();
    EXPECT_EQ(Settings(PowerOnState()), Settings(after));
    EXPECT_EQ(Counters(ExpectedCounters(0, 0, sent)), Counters(after)) << "unknown codes count as refused only";
}

// The bytes of the setting that a SET_ code changes, as the state holds it now.
std::string StoredFor(DWORD code, const SimState& s)
{
    BeepSettings beep = {s.beep_mode, s.beep_freq, s.beep_time};
    if (code == IOCTL_TOUCH_SET_CALIBRATION)
        return std::string((const char*)&s.calibration, sizeof(s.calibration));
    if (code == IOCTL_TOUCH_SET_BEEP)
        return std::string((const char*)&beep, sizeof(beep));
    return std::string((const char*)&s.mouse_mode, sizeof(s.mouse_mode));
}

std::string Hex(const std::string& bytes)
{
    std::ostringstream text;
    for (size_t i = 0; i < bytes.size(); i += 4) {
        uint32_t word = 0;
        memcpy(&word, bytes.data() + i, 4);
        text << (i ? "," : "") << (int32_t)word;
    }
    return text.str();
}

struct ValueCase {
    const char* what;
    DWORD code;
    uint32_t words[6];
    bool accepted;
};

const ValueCase kValueCases[] = {
    {"mode 3", IOCTL_TOUCH_SET_MOUSE_MODE, {3}, true},
    {"mode 1", IOCTL_TOUCH_SET_MOUSE_MODE, {1}, true},
    {"mode 4", IOCTL_TOUCH_SET_MOUSE_MODE, {4}, false},
    {"mode 0xFFFFFFFF", IOCTL_TOUCH_SET_MOUSE_MODE, {0xFFFFFFFFu}, false},
    {"beep at the top of every range", IOCTL_TOUCH_SET_BEEP, {2, 5000, 512}, true},
    {"beep at the bottom of every range", IOCTL_TOUCH_SET_BEEP, {0, 1000, 32}, true},
    {"beep mode 3", IOCTL_TOUCH_SET_BEEP, {3, 3000, 64}, false},
    {"beep frequency 999", IOCTL_TOUCH_SET_BEEP, {1, 999, 64}, false},
    {"beep frequency 5001", IOCTL_TOUCH_SET_BEEP, {1, 5001, 64}, false},
    {"beep duration 31", IOCTL_TOUCH_SET_BEEP, {1, 3000, 31}, false},
    {"beep duration 513", IOCTL_TOUCH_SET_BEEP, {1, 3000, 513}, false},
    {"calibration", IOCTL_TOUCH_SET_CALIBRATION, {0, 100, 200, 3900, 3800, 1}, true},
    {"calibration with both axes inverted", IOCTL_TOUCH_SET_CALIBRATION, {0, 4000, 4096, 0, 10, 0}, true},
    {"calibration with reserved set", IOCTL_TOUCH_SET_CALIBRATION, {7, 1, 2, 3, 4, 0}, true},
    {"calibration with zero X span", IOCTL_TOUCH_SET_CALIBRATION, {0, 100, 200, 100, 3800, 0}, false},
    {"calibration with zero Y span", IOCTL_TOUCH_SET_CALIBRATION, {0, 100, 3800, 3900, 3800, 0}, false},
    {"calibration with SwapXY 2", IOCTL_TOUCH_SET_CALIBRATION, {0, 100, 200, 3900, 3800, 2}, false},
    {"calibration with XLow -1", IOCTL_TOUCH_SET_CALIBRATION, {0, 0xFFFFFFFFu, 200, 3900, 3800, 0}, false},
    {"calibration with YHigh 4097", IOCTL_TOUCH_SET_CALIBRATION, {0, 100, 200, 3900, 4097, 0}, false},
};

TEST_F(SimDriver, ValuesOutOfRangeAreRefusedAndValidOnesAdoptedExactly)
{
    for (const ValueCase& test : kValueCases) {
        SCOPED_TRACE(test.what);
        ResetSim();
        const Shape& shape = kShapes[SimRequestIndex(test.code)];
        std::string sent((const char*)test.words, shape.input);
        std::string before = StoredFor(test.code, ReadSimState());
        {
            TouchHandle device;
            Outcome got = Send(device.get(), test.code, test.words, shape.input, NULL, 0);
            EXPECT_EQ(test.accepted, got.ok != FALSE) << "error " << got.error;
            EXPECT_EQ(test.accepted ? 0u : (DWORD)ERROR_INVALID_PARAMETER, got.error);
        }
        SimState after = ReadSimState();
        EXPECT_EQ(Hex(test.accepted ? sent : before), Hex(StoredFor(test.code, after)));
        EXPECT_EQ(test.accepted ? 0u : 1u, after.refused);
        EXPECT_EQ(1u, RequestCount(after, test.code));
    }
}

// The reads follow refused sets of other values, which must show neither in the
// state nor in what the reads return.
TEST_F(SimDriver, ReadsReturnExactlyTheirRecordWhateverTheBufferHolds)
{
    BeepSettings beep = {2, 4321, 77};
    BeepSettings refusedBeep = {2, 4321, 999};
    DWORD mode = 2;
    DWORD refusedMode = 6;
    TouchHandle device;
    ASSERT_TRUE(Send(device.get(), IOCTL_TOUCH_SET_BEEP, &beep, sizeof(beep), NULL, 0).ok);
    ASSERT_TRUE(Send(device.get(), IOCTL_TOUCH_SET_MOUSE_MODE, &mode, sizeof(mode), NULL, 0).ok);
    ASSERT_FALSE(Send(device.get(), IOCTL_TOUCH_SET_MOUSE_MODE, &refusedMode, sizeof(refusedMode), NULL, 0).ok);
    ASSERT_FALSE(Send(device.get(), IOCTL_TOUCH_SET_BEEP, &refusedBeep, sizeof(refusedBeep), NULL, 0).ok);
    ASSERT_TRUE(SimQueueTouch(-5, 4100)) << "error " << GetLastError();

    TouchPoint point = {0, 0, -5, 4100};
    const struct {
        DWORD code;
        std::string expected;
    } reads[] = {
        {IOCTL_TOUCH_GET_BEEP, std::string((const char*)&beep, sizeof(beep))},
        {IOCTL_TOUCH_GET_MOUSE_MODE, std::string((const char*)&mode, sizeof(mode))},
        {IOCTL_TOUCH_READ_POINT, std::string((const char*)&point, sizeof(point))},
    };
    for (const auto& read : reads) {
        SCOPED_TRACE(NameOf(read.code));
        Guarded out;
        const DWORD room = 24;
        Outcome got = Send(device.get(), read.code, NULL, 0, out.output(), room);
        ASSERT_TRUE(got.ok) << "expected success, got error " << got.error;
        EXPECT_EQ((DWORD)read.expected.size(), got.returned) << "bytes returned";
        EXPECT_EQ(Hex(read.expected), Hex(std::string((const char*)out.output(), read.expected.size())));
        EXPECT_EQ(-1, out.ChangedOutside(kOutputAt, kOutputAt + read.expected.size()))
            << "byte written past the record";
    }
}

TEST_F(SimDriver, ReadingAnEmptyQueueFailsAndLeavesThePresetPoint)
{
    TouchHandle device;
    TouchPoint point = {0, TOUCH_POINT_PENDING, 1234, 5678};
    Outcome got = Send(device.get(), IOCTL_TOUCH_READ_POINT, NULL, 0, &point, sizeof(point));
    EXPECT_FALSE(got.ok) << "expected a failure with nothing queued, got success";
    EXPECT_EQ((DWORD)ERROR_NOT_READY, got.error);
    EXPECT_EQ(TOUCH_POINT_PENDING, point.status);
    EXPECT_EQ(0u, point.reserved);
    EXPECT_EQ(1234, point.x);
    EXPECT_EQ(5678, point.y);
    SimState after = ReadSimState();
    EXPECT_EQ(Counters(ExpectedCounters(IOCTL_TOUCH_READ_POINT, 1, 0)), Counters(after))
        << "an empty queue is no refusal";
}

// Reads every waiting touch; each "x,y", then "empty" once the queue fails.
std::string Drain(HANDLE device)
{
    std::ostringstream text;
    for (int i = 0; i <= SIM_TOUCH_QUEUE_SIZE + 1; ++i) {
        TouchPoint point = {0, TOUCH_POINT_PENDING, 0, 0};
        Outcome got = Send(device, IOCTL_TOUCH_READ_POINT, NULL, 0, &point, sizeof(point));
        if (!got.ok) {
            text << (got.error == ERROR_NOT_READY ? "empty" : "error");
            break;
        }
        text << point.x << "," << point.y << " ";
    }
    return text.str();
}

TEST_F(SimDriver, ClearingForgetsEarlierTouchesOnly)
{
    TouchHandle device;
    ASSERT_TRUE(SimQueueTouch(1, 1));
    ASSERT_TRUE(SimQueueTouch(2, 2));
    ASSERT_TRUE(Send(device.get(), IOCTL_TOUCH_CLEAR_POINT, NULL, 0, NULL, 0).ok);
    EXPECT_EQ(0u, ReadSimState().queued);
    ASSERT_TRUE(SimQueueTouch(7, 8));
    ASSERT_TRUE(SimQueueTouch(9, 10));
    EXPECT_EQ("7,8 9,10 empty", Drain(device.get()));
}

TEST_F(SimDriver, TheQueueKeepsOrderAcrossItsEndAndDropsWhatDoesNotFit)
{
    TouchHandle device;
    std::ostringstream expected;
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(SimQueueTouch(i, -i));
    for (int i = 0; i < 6; ++i) {
        TouchPoint point = {0, TOUCH_POINT_PENDING, 0, 0};
        ASSERT_TRUE(Send(device.get(), IOCTL_TOUCH_READ_POINT, NULL, 0, &point, sizeof(point)).ok);
        EXPECT_EQ(i, point.x);
    }
    for (int i = 6; i < 10; ++i)
        expected << i << "," << -i << " ";
    // 4 waiting: 12 more fill the queue, the last 3 find it full.
    for (int i = 100; i < 115; ++i) {
        ASSERT_TRUE(SimQueueTouch(i, -i)) << "a full queue still accepts the request";
        if (i < 112)
            expected << i << "," << -i << " ";
    }
    SimState full = ReadSimState();
    EXPECT_EQ((unsigned)SIM_TOUCH_QUEUE_SIZE, full.queued);
    EXPECT_EQ(3u, full.dropped);
    expected << "empty";
    EXPECT_EQ(expected.str(), Drain(device.get()));
    EXPECT_EQ(3u, ReadSimState().dropped) << "reading does not forget the drops";
}

TEST_F(SimDriver, DisablingIsAFlagThatTouchesPassRegardless)
{
    TouchHandle device;
    ASSERT_TRUE(Send(device.get(), IOCTL_TOUCH_DISABLE, NULL, 0, NULL, 0).ok);
    EXPECT_EQ(0u, ReadSimState().enabled);
    BYTE stray = 0;
    EXPECT_FALSE(Send(device.get(), IOCTL_TOUCH_ENABLE, &stray, 1, NULL, 0).ok);
    EXPECT_EQ(0u, ReadSimState().enabled) << "a refused ENABLE switched the device on";
    ASSERT_TRUE(SimQueueTouch(3, 4));
    EXPECT_EQ("3,4 empty", Drain(device.get())) << "touches while disabled";
    ASSERT_TRUE(Send(device.get(), IOCTL_TOUCH_ENABLE, NULL, 0, NULL, 0).ok);
    EXPECT_EQ(1u, ReadSimState().enabled);
    ASSERT_TRUE(Send(device.get(), IOCTL_TOUCH_ENABLE, NULL, 0, NULL, 0).ok);
    EXPECT_EQ(1u, ReadSimState().enabled) << "enabling twice";
}

TEST_F(SimDriver, AnInjectedFailureHitsItsCodeOnlyUntilEnded)
{
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(NameOf(shape.code));
        ResetSim();
        ASSERT_TRUE(SimQueueTouch(5, 6));
        ASSERT_TRUE(SimFailRequest(shape.code)) << "error " << GetLastError();
        SimState before = ReadSimState();
        EXPECT_EQ(shape.code, before.failing_code);
        TouchHandle device;
        BYTE input[kBufferSize];
        FillValidInput(shape.code, input);
        const Shape attempts[] = {shape, WrongSizes(shape)[0]};
        for (const Shape& size : attempts) {
            Guarded out;
            Outcome got = Send(device.get(), shape.code, input, size.input, out.output(), size.output);
            EXPECT_FALSE(got.ok) << "input " << size.input << ": expected the injected failure, got success";
            EXPECT_EQ((DWORD)ERROR_GEN_FAILURE, got.error) << "input " << size.input << ", output " << size.output;
            EXPECT_EQ(-1, out.ChangedOutside(0, 0)) << "a failed request wrote the buffer";
        }
        SimState after = ReadSimState();
        EXPECT_EQ(Settings(before), Settings(after)) << "a failed request changed the state";
        EXPECT_EQ(0u, after.refused) << "an injected failure is no refusal";
        EXPECT_EQ(2u, RequestCount(after, shape.code)) << "failed requests are counted";

        const Shape& other = kShapes[(SimRequestIndex(shape.code) + 3) % SIM_REQUEST_KINDS];
        Guarded otherOut;
        BYTE otherInput[kBufferSize];
        FillValidInput(other.code, otherInput);
        Outcome unaffected =
            Send(device.get(), other.code, otherInput, other.input, otherOut.output(), other.output);
        EXPECT_TRUE(unaffected.ok) << NameOf(other.code) << " failed too, error " << unaffected.error;

        ASSERT_TRUE(SimFailRequest(0));
        EXPECT_EQ(0u, ReadSimState().failing_code);
        Guarded out;
        Outcome ended = Send(device.get(), shape.code, input, shape.input, out.output(), shape.output);
        EXPECT_TRUE(ended.ok) << "still failing after fail 0, error " << ended.error;
    }
}

TEST_F(SimDriver, ANewInjectionReplacesTheOldAndOnlyTouchCodesCanFail)
{
    TouchHandle device;
    DWORD mode = 0;
    ASSERT_TRUE(SimFailRequest(IOCTL_TOUCH_GET_MOUSE_MODE));
    ASSERT_TRUE(SimFailRequest(IOCTL_TOUCH_ENABLE));
    EXPECT_TRUE(Send(device.get(), IOCTL_TOUCH_GET_MOUSE_MODE, NULL, 0, &mode, sizeof(mode)).ok);
    EXPECT_EQ((DWORD)ERROR_GEN_FAILURE, Send(device.get(), IOCTL_TOUCH_ENABLE, NULL, 0, NULL, 0).error);

    const DWORD refused[] = {0x1234, IOCTL_SIM_RESET, TOUCH_CTL_CODE(0x802)};
    for (DWORD code : refused) {
        SetLastError(0xdeadbeef);
        EXPECT_FALSE(SimFailRequest(code)) << "code 0x" << std::hex << code << " was accepted";
        EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, GetLastError()) << "code 0x" << std::hex << code;
    }
    EXPECT_EQ(IOCTL_TOUCH_ENABLE, ReadSimState().failing_code) << "a refused code replaced the failing one";
}

TEST_F(SimDriver, ResetReturnsToThePowerOnStateWithCountersZeroed)
{
    {
        TouchHandle device;
        CalibrationRecord calibration = {0, 4000, 10, 20, 4090, 1};
        BeepSettings beep = {0, 1234, 400};
        DWORD mode = 3;
        BYTE stray = 0;
        ASSERT_TRUE(Send(device.get(), IOCTL_TOUCH_SET_CALIBRATION, &calibration, sizeof(calibration), NULL, 0).ok);
        ASSERT_TRUE(Send(device.get(), IOCTL_TOUCH_SET_BEEP, &beep, sizeof(beep), NULL, 0).ok);
        ASSERT_TRUE(Send(device.get(), IOCTL_TOUCH_SET_MOUSE_MODE, &mode, sizeof(mode), NULL, 0).ok);
        ASSERT_TRUE(Send(device.get(), IOCTL_TOUCH_DISABLE, NULL, 0, NULL, 0).ok);
        ASSERT_FALSE(Send(device.get(), IOCTL_TOUCH_CLEAR_POINT, &stray, 1, NULL, 0).ok);
        for (int i = 0; i < SIM_TOUCH_QUEUE_SIZE + 2; ++i)
            ASSERT_TRUE(SimQueueTouch(i, i));
        ASSERT_TRUE(SimFailRequest(IOCTL_TOUCH_GET_BEEP));
    }
    SimState changed = ReadSimState();
    ASSERT_NE(Settings(PowerOnState()), Settings(changed));
    ASSERT_NE(Counters(PowerOnState()), Counters(changed));

    ResetSim();
    SimState after = ReadSimState();
    EXPECT_EQ(Settings(PowerOnState()), Settings(after));
    EXPECT_EQ(Counters(PowerOnState()), Counters(after));
    TouchHandle device;
    EXPECT_EQ("empty", Drain(device.get())) << "touches queued before the reset";
    BeepSettings beep;
    EXPECT_TRUE(Send(device.get(), IOCTL_TOUCH_GET_BEEP, NULL, 0, &beep, sizeof(beep)).ok) << "still failing";
}

TEST_F(SimDriver, OpensAndClosesOfTheTouchDeviceAreCounted)
{
    struct Step {
        const char* what;
        unsigned opens;
        unsigned closes;
    };
    std::vector<std::string> got;
    std::vector<std::string> expected;
    auto note = [&](const Step& step) {
        SimState s = ReadSimState();
        std::ostringstream want, seen;
        want << step.what << ": " << step.opens << "/" << step.closes;
        seen << step.what << ": " << s.opens << "/" << s.closes;
        expected.push_back(want.str());
        got.push_back(seen.str());
    };
    HANDLE first = OpenTouch();
    ASSERT_NE(INVALID_HANDLE_VALUE, first) << "error " << GetLastError();
    note({"one open", 1, 0});
    HANDLE second = OpenTouch();
    EXPECT_NE(INVALID_HANDLE_VALUE, second) << "a second unshared open, error " << GetLastError();
    note({"a second open while the first is held", 2, 0});
    HANDLE copy = NULL;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), first, GetCurrentProcess(), &copy, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    CloseHandle(copy);
    note({"a duplicate closed", 2, 0});
    CloseHandle(second);
    note({"the second closed", 2, 1});
    CloseHandle(first);
    note({"the first closed", 2, 2});
    SimState unchanged;
    ASSERT_TRUE(SimGetState(&unchanged));
    note({"the control device read", 2, 2});
    EXPECT_EQ(expected, got);
}

// One thread's share of the mixed load: its own handle, its own tally.
struct Worker {
    int index;
    unsigned sent[SIM_REQUEST_KINDS];
    unsigned failed;
    DWORD firstError;
    DWORD firstFailedCode;
    unsigned torn;
};

const int kThreads = 8;
const int kRequestsPerThread = 500;

// READ_POINT is left out: with nothing queued it fails by design.
const DWORD kMixedCodes[] = {
    IOCTL_TOUCH_SET_MOUSE_MODE,  IOCTL_TOUCH_GET_MOUSE_MODE, IOCTL_TOUCH_SET_BEEP,
    IOCTL_TOUCH_GET_BEEP,        IOCTL_TOUCH_SET_CALIBRATION, IOCTL_TOUCH_CLEAR_POINT,
    IOCTL_TOUCH_ENABLE,          IOCTL_TOUCH_DISABLE,        IOCTL_TOUCH_RELOAD_SETTINGS,
};

// Every beep a worker sets ties its fields to one number k, so that a record read
// back half old and half new shows.
BeepSettings MixedBeep(unsigned k)
{
    unsigned j = k % 400;
    BeepSettings beep = {j % 3, 1000 + j * 10, 32 + j};
    return beep;
}

bool IsWholeBeep(const BeepSettings& beep)
{
    if (beep.mode == SIM_POWER_ON_BEEP_MODE && beep.frequency == SIM_POWER_ON_BEEP_FREQ &&
        beep.duration == SIM_POWER_ON_BEEP_TIME)
        return true;
    unsigned j = (beep.frequency - 1000) / 10;
    return beep.frequency >= 1000 && beep.frequency < 5000 && beep.frequency % 10 == 0 && beep.duration == 32 + j &&
           beep.mode == j % 3;
}

DWORD WINAPI RunWorker(void* parameter)
{
    Worker* worker = (Worker*)parameter;
    HANDLE device = OpenTouch();
    if (device == INVALID_HANDLE_VALUE) {
        worker->failed = kRequestsPerThread;
        worker->firstError = GetLastError();
        return 0;
    }
    const int kinds = sizeof(kMixedCodes) / sizeof(kMixedCodes[0]);
    for (int i = 0; i < kRequestsPerThread; ++i) {
        unsigned k = (unsigned)(worker->index * kRequestsPerThread + i);
        DWORD code = kMixedCodes[(worker->index + i) % kinds];
        DWORD mode = k % 4;
        BeepSettings beep = MixedBeep(k);
        CalibrationRecord record = {0, (int32_t)(k % 100), 0, 4000, (int32_t)(4096 - k % 100), k % 2};
        const void* input = NULL;
        DWORD inputSize = 0, outputSize = 0;
        if (code == IOCTL_TOUCH_SET_MOUSE_MODE) {
            input = &mode;
            inputSize = sizeof(mode);
        } else if (code == IOCTL_TOUCH_SET_BEEP) {
            input = &beep;
            inputSize = sizeof(beep);
        } else if (code == IOCTL_TOUCH_SET_CALIBRATION) {
            input = &record;
            inputSize = sizeof(record);
        } else if (code == IOCTL_TOUCH_GET_BEEP) {
            outputSize = sizeof(BeepSettings);
        } else if (code == IOCTL_TOUCH_GET_MOUSE_MODE) {
            outputSize = sizeof(DWORD);
        }
        BYTE output[kBufferSize] = {0};
        Outcome got = Send(device, code, input, inputSize, output, outputSize);
        ++worker->sent[SimRequestIndex(code)];
        if (!got.ok || got.returned != outputSize) {
            if (worker->failed++ == 0) {
                worker->firstError = got.error;
                worker->firstFailedCode = code;
            }
            continue;
        }
        BeepSettings readBeep;
        DWORD readMode;
        memcpy(&readBeep, output, sizeof(readBeep));
        memcpy(&readMode, output, sizeof(readMode));
        if ((code == IOCTL_TOUCH_GET_BEEP && !IsWholeBeep(readBeep)) ||
            (code == IOCTL_TOUCH_GET_MOUSE_MODE && readMode > MOUSE_MODE_MAX))
            ++worker->torn;
    }
    CloseHandle(device);
    return 0;
}

// Stored values and the Parameters key as they were, put back when the test ends.
class ParametersBackup {
public:
    ParametersBackup()
    {
        HKEY key;
        existed_ = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kParametersPath, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (!existed_)
            return;
        for (DWORD index = 0;; ++index) {
            Value value;
            char name[256];
            DWORD nameSize = sizeof(name), dataSize = sizeof(value.data);
            LONG status = RegEnumValueA(key, index, name, &nameSize, NULL, &value.type, value.data, &dataSize);
            if (status == ERROR_NO_MORE_ITEMS)
                break;
            if (status != ERROR_SUCCESS) {
                ADD_FAILURE() << "cannot keep stored value " << index << ", error " << status;
                continue;
            }
            value.name = name;
            value.size = dataSize;
            values_.push_back(value);
        }
        RegCloseKey(key);
    }
    ~ParametersBackup()
    {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kParametersPath);
        if (!existed_)
            return;
        HKEY key;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kParametersPath, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) !=
            ERROR_SUCCESS) {
            ADD_FAILURE() << "cannot restore the Parameters key";
            return;
        }
        for (const Value& value : values_)
            RegSetValueExA(key, value.name.c_str(), 0, value.type, value.data, value.size);
        RegCloseKey(key);
    }
    ParametersBackup(const ParametersBackup&) = delete;
    ParametersBackup& operator=(const ParametersBackup&) = delete;

private:
    struct Value {
        std::string name;
        DWORD type;
        BYTE data[256];
        DWORD size;
    };
    bool existed_;
    std::vector<Value> values_;
};

TEST_F(SimDriver, EightThreadsOnTheirOwnHandlesAreAllServedAndCounted)
{
    ParametersBackup backup;
    DeleteServicesParametersKey();
    Worker workers[kThreads];
    HANDLE threads[kThreads];
    for (int i = 0; i < kThreads; ++i) {
        memset(&workers[i], 0, sizeof(workers[i]));
        workers[i].index = i;
        threads[i] = CreateThread(NULL, 0, RunWorker, &workers[i], 0, NULL);
        ASSERT_TRUE(threads[i] != NULL) << "error " << GetLastError();
    }
    DWORD waited = WaitForMultipleObjects(kThreads, threads, TRUE, 300000);
    for (HANDLE thread : threads)
        CloseHandle(thread);
    ASSERT_EQ(WAIT_OBJECT_0, waited) << "the workers did not finish";

    SimState expected = PowerOnState();
    expected.opens = kThreads;
    expected.closes = kThreads;
    for (const Worker& worker : workers) {
        EXPECT_EQ(0u, worker.failed) << "thread " << worker.index << ": first failure "
                                     << NameOf(worker.firstFailedCode) << " error " << worker.firstError;
        EXPECT_EQ(0u, worker.torn) << "thread " << worker.index << " read a torn record";
        for (int slot = 0; slot < SIM_REQUEST_KINDS; ++slot)
            expected.requests[slot] += worker.sent[slot];
    }
    EXPECT_EQ(0u, RequestCount(expected, IOCTL_TOUCH_READ_POINT));
    EXPECT_EQ(Counters(expected), Counters(ReadSimState()));
}

// A stored value: its name, type and bytes as written.
struct StoredCase {
    const char* what;
    const char* name;
    DWORD type;
    DWORD data[2];
    DWORD size;
    bool adopted;
};

const StoredCase kStoredCases[] = {
    {"XLow at the top", "XLow", REG_DWORD, {4096}, 4, true},
    {"XHigh 0 leaves a zero span", "XHigh", REG_DWORD, {0}, 4, true},
    {"YLow", "YLow", REG_DWORD, {17}, 4, true},
    {"SwapXY 1", "SwapXY", REG_DWORD, {1}, 4, true},
    {"BeepMode 0", "BeepMode", REG_DWORD, {0}, 4, true},
    {"BeepFreq at the bottom", "BeepFreq", REG_DWORD, {1000}, 4, true},
    {"BeepTime at the top", "BeepTime", REG_DWORD, {512}, 4, true},
    {"MouseMode 3", "MouseMode", REG_DWORD, {3}, 4, true},
    {"ButtonMode 2", "ButtonMode", REG_DWORD, {2}, 4, true},
    {"DragDelay at the top", "DragDelay", REG_DWORD, {1500}, 4, true},
    {"DblClkRegion at the bottom", "DblClkRegion", REG_DWORD, {5}, 4, true},
    {"XLow 4097", "XLow", REG_DWORD, {4097}, 4, false},
    {"XHigh -1", "XHigh", REG_DWORD, {0xFFFFFFFFu}, 4, false},
    {"YHigh 4097", "YHigh", REG_DWORD, {4097}, 4, false},
    {"SwapXY 2", "SwapXY", REG_DWORD, {2}, 4, false},
    {"BeepMode 3", "BeepMode", REG_DWORD, {3}, 4, false},
    {"BeepFreq 999", "BeepFreq", REG_DWORD, {999}, 4, false},
    {"BeepFreq 5001", "BeepFreq", REG_DWORD, {5001}, 4, false},
    {"BeepTime 31", "BeepTime", REG_DWORD, {31}, 4, false},
    {"BeepTime 513", "BeepTime", REG_DWORD, {513}, 4, false},
    {"MouseMode 4", "MouseMode", REG_DWORD, {4}, 4, false},
    {"ButtonMode 3", "ButtonMode", REG_DWORD, {3}, 4, false},
    {"DragDelay 1501", "DragDelay", REG_DWORD, {1501}, 4, false},
    {"DblClkRegion 4", "DblClkRegion", REG_DWORD, {4}, 4, false},
    {"DblClkRegion 101", "DblClkRegion", REG_DWORD, {101}, 4, false},
    {"YLow as a string", "YLow", REG_SZ, {0x3231}, 3, false},
    {"YLow as binary", "YLow", REG_BINARY, {17}, 4, false},
    {"MouseMode big-endian", "MouseMode", REG_DWORD_BIG_ENDIAN, {3}, 4, false},
    {"YHigh of 8 bytes", "YHigh", REG_DWORD, {17, 0}, 8, false},
    {"DragDelay of 2 bytes", "DragDelay", REG_DWORD, {7}, 2, false},
};

// Where a stored value lands in the state.
uint32_t* FieldFor(SimState& s, const char* name)
{
    const struct {
        const char* name;
        uint32_t* field;
    } fields[] = {
        {"XLow", (uint32_t*)&s.calibration.XLow},   {"XHigh", (uint32_t*)&s.calibration.XHigh},
        {"YLow", (uint32_t*)&s.calibration.YLow},   {"YHigh", (uint32_t*)&s.calibration.YHigh},
        {"SwapXY", &s.calibration.SwapXY},          {"BeepMode", &s.beep_mode},
        {"BeepFreq", &s.beep_freq},                 {"BeepTime", &s.beep_time},
        {"MouseMode", &s.mouse_mode},               {"ButtonMode", &s.button_mode},
        {"DragDelay", &s.drag_delay},               {"DblClkRegion", &s.dblclk_region},
    };
    for (const auto& field : fields) {
        if (strcmp(field.name, name) == 0)
            return field.field;
    }
    ADD_FAILURE() << "no state field for " << name;
    return &s.failing_code;
}

TEST_F(SimDriver, ReloadAdoptsOnlyWholeDwordsInsideTheirRange)
{
    ParametersBackup backup;
    for (const StoredCase& test : kStoredCases) {
        SCOPED_TRACE(test.what);
        ResetSim();
        DeleteServicesParametersKey();
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExA(HKEY_LOCAL_MACHINE, kParametersPath, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL));
        LONG written = RegSetValueExA(key, test.name, 0, test.type, (const BYTE*)test.data, test.size);
        RegCloseKey(key);
        ASSERT_EQ(ERROR_SUCCESS, written);

        Outcome got;
        {
            TouchHandle device;
            got = Send(device.get(), IOCTL_TOUCH_RELOAD_SETTINGS, NULL, 0, NULL, 0);
        }
        EXPECT_TRUE(got.ok) << "expected success, got error " << got.error;
        SimState expected = PowerOnState();
        if (test.adopted)
            *FieldFor(expected, test.name) = test.data[0];
        EXPECT_EQ(Settings(expected), Settings(ReadSimState()));
    }
}

TEST_F(SimDriver, ReloadWithoutTheKeySucceedsAndKeepsWhatWasSet)
{
    ParametersBackup backup;
    DeleteServicesParametersKey();
    TouchHandle device;
    DWORD mode = 2;
    ASSERT_TRUE(Send(device.get(), IOCTL_TOUCH_SET_MOUSE_MODE, &mode, sizeof(mode), NULL, 0).ok);
    SimState before = ReadSimState();
    Outcome got = Send(device.get(), IOCTL_TOUCH_RELOAD_SETTINGS, NULL, 0, NULL, 0);
    EXPECT_TRUE(got.ok) << "expected success without the key, got error " << got.error;
    SimState after = ReadSimState();
    EXPECT_EQ(Settings(before), Settings(after));
    EXPECT_EQ(0u, after.refused);
}

TEST_F(SimDriver, ResetDoesNotReadTheStoredValues)
{
    ParametersBackup backup;
    DeleteServicesParametersKey();
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, kParametersPath, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL));
    DWORD freq = 4000;
    RegSetValueExA(key, "BeepFreq", 0, REG_DWORD, (const BYTE*)&freq, sizeof(freq));
    RegCloseKey(key);
    {
        TouchHandle device;
        ASSERT_TRUE(Send(device.get(), IOCTL_TOUCH_RELOAD_SETTINGS, NULL, 0, NULL, 0).ok);
    }
    ASSERT_EQ(4000u, ReadSimState().beep_freq) << "the stored value was not adopted";
    ResetSim();
    EXPECT_EQ(Settings(PowerOnState()), Settings(ReadSimState()));
}

} // namespace
