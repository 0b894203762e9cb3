// Target geometry, the run's time limit and the calibration computation.
#include <gtest/gtest.h>

#include <limits.h>
#include <string.h>

#include "calibrate/calibration_math.h"

namespace {

struct ScreenCase {
    int32_t width, height;
    TargetPosition targets[3];
    int32_t radius, square, bitmap;
    TargetPosition panel;
};

const ScreenCase kScreens[] = {
    {1024, 768, {{204, 153}, {820, 615}, {820, 153}}, 25, 58, 59, {312, 344}},
    {800, 600, {{160, 120}, {640, 480}, {640, 120}}, 20, 48, 48, {200, 260}},
    {640, 480, {{128, 96}, {512, 384}, {512, 96}}, 16, 40, 40, {120, 200}},
    {1280, 1024, {{256, 204}, {1024, 820}, {1024, 204}}, 32, 72, 72, {440, 472}},
    {1366, 768, {{273, 153}, {1093, 615}, {1093, 153}}, 34, 76, 76, {483, 344}},
    // Odd sizes: the far targets are W - W/5 (819, 614), not 4W/5 (818, 613).
    {1023, 767, {{204, 153}, {819, 614}, {819, 153}}, 25, 58, 59, {311, 343}},
};

TEST(CalibrationGeometry, TargetsSquaresAndPanelForEachScreenSize)
{
    for (const ScreenCase& screen : kScreens) {
        SCOPED_TRACE(testing::Message() << screen.width << "x" << screen.height);
        TargetPosition targets[3] = {};
        ComputeTargetPositions(screen.width, screen.height, targets);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(screen.targets[i].x, targets[i].x) << "target " << i;
            EXPECT_EQ(screen.targets[i].y, targets[i].y) << "target " << i;
        }
        EXPECT_EQ(screen.radius, TargetRadius(screen.width));
        EXPECT_EQ(screen.square, TargetSquareSide(screen.width));
        EXPECT_EQ(screen.bitmap, SavedSquareBitmapSide(screen.width));
        EXPECT_GE(SavedSquareBitmapSide(screen.width), TargetSquareSide(screen.width))
            << "the bitmap must hold the whole square";
        TargetPosition panel = InstructionPanelOrigin(screen.width, screen.height);
        EXPECT_EQ(screen.panel.x, panel.x);
        EXPECT_EQ(screen.panel.y, panel.y);
    }
}

TEST(CalibrationTimeLimit, TheThirtyFirstTickOfARunEndsIt)
{
    int32_t ticks = 0;
    for (int tick = 1; tick <= 30; ++tick) {
        ASSERT_FALSE(CountRunTick(&ticks)) << "tick " << tick << " must not end the run";
        ASSERT_EQ(tick, ticks);
    }
    EXPECT_TRUE(CountRunTick(&ticks)) << "the 31st tick ends the run";
    EXPECT_EQ(30, ticks) << "the ending tick is not counted";

    int32_t beyond = 45;
    EXPECT_TRUE(CountRunTick(&beyond));
    EXPECT_EQ(45, beyond);
}

struct CalibrationCase {
    const char* name;
    TouchReading readings[3];
    CalibrationRecord expected; // reserved, XLow, YLow, XHigh, YHigh, SwapXY
    bool describesScreen;
};

const CalibrationCase kCases[] = {
    // The worked examples on a 1024 x 768 screen.
    {"plain", {{1000, 900}, {3101, 3000}, {3090, 910}}, {0, 300, 200, 3801, 3700, 0}, true},
    {"x inverted", {{3000, 900}, {900, 3000}, {880, 910}}, {0, 3700, 200, 200, 3700, 0}, true},
    {"axes exchanged", {{900, 1000}, {3000, 3100}, {905, 3090}}, {0, 300, 200, 3800, 3700, 1}, true},
    {"clamped", {{300, 400}, {3900, 3700}, {3890, 410}}, {0, 0, 0, 4096, 4096, 0}, true},
    {"ties", {{1000, 1000}, {3000, 3000}, {2000, 2000}}, {0, 334, 334, 3666, 3666, 1}, false},
    // Only one orientation test holding leaves the axes as they are. Here, as in the
    // ties, target 2 lies half-way between its places in the two orientations: readings
    // that Korvelaim refuses before computing.
    {"only test x", {{1000, 900}, {3000, 3000}, {2000, 910}}, {0, 334, 200, 3666, 3700, 0}, false},
    {"only test y", {{1000, 1000}, {3000, 3000}, {3000, 2000}}, {0, 334, 334, 3666, 3666, 0}, false},
    // The upper bound is 4096, not 4095: 3073 + 1024 is held at 4096.
    {"upper bound", {{1, 1000}, {3073, 3000}, {3073, 1010}}, {0, 0, 334, 4096, 3666, 0}, true},
    // Only the side a value moves towards is bounded: readings already beyond the
    // range on the other side stay as they are.
    {"beyond the top", {{4200, 1000}, {4500, 3000}, {4500, 1010}}, {0, 4100, 334, 4096, 3666, 0}, true},
    {"below zero inverted", {{-300, 1000}, {-600, 3000}, {-600, 1010}}, {0, -200, 334, 0, 3666, 0}, true},
    // The edges of the refusals: the least span (256) and target 2 within a quarter of
    // the span (500 of 2000 in x, 525 of 2100 in y) from its place.
    {"span at the floor", {{1000, 900}, {3100, 1156}, {3100, 900}}, {0, 300, 815, 3800, 1241, 0}, true},
    {"span one below", {{1000, 900}, {3100, 1155}, {3100, 900}}, {0, 300, 815, 3800, 1240, 0}, false},
    {"a quarter off", {{1000, 900}, {3000, 3000}, {2500, 1425}}, {0, 334, 200, 3666, 3700, 0}, true},
    {"one more in x", {{1000, 900}, {3000, 3000}, {2499, 900}}, {0, 334, 200, 3666, 3700, 0}, false},
    {"one more in y", {{1000, 900}, {3000, 3000}, {3000, 1426}}, {0, 334, 200, 3666, 3700, 0}, false},
    // The widest readings a driver could hand over, with no overflow.
    {"extremes", {{INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}, {0, 0}}, {0, 0, 4096, 4096, 0, 0}, false},
};

TEST(CalibrationComputation, RecordsForTheWorkedExamplesAndBounds)
{
    for (const CalibrationCase& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.describesScreen, TouchesDescribeScreen(c.readings));
        TouchReading touches[3] = {c.readings[0], c.readings[1], c.readings[2]};
        CalibrationRecord record = ComputeCalibration(touches);
        EXPECT_EQ(c.expected.reserved, record.reserved);
        EXPECT_EQ(c.expected.XLow, record.XLow);
        EXPECT_EQ(c.expected.YLow, record.YLow);
        EXPECT_EQ(c.expected.XHigh, record.XHigh);
        EXPECT_EQ(c.expected.YHigh, record.YHigh);
        EXPECT_EQ(c.expected.SwapXY, record.SwapXY);
    }
}

TEST(CalibrationComputation, TheTouchTableKeepsTheExtendedReadings)
{
    TouchReading touches[3] = {{900, 1000}, {3000, 3100}, {905, 3090}};
    ComputeCalibration(touches);
    EXPECT_EQ(200, touches[0].x);
    EXPECT_EQ(300, touches[0].y);
    EXPECT_EQ(3700, touches[1].x);
    EXPECT_EQ(3800, touches[1].y);
    EXPECT_EQ(905, touches[2].x) << "the third reading only decides the orientation";
    EXPECT_EQ(3090, touches[2].y);
}

// The plain example seen through each of the eight ways a controller can be mounted:
// an axis that runs the other way reads 4096 - v, exchanged axes swap x and y. The
// record must come out as the plain one, mirrored on each inverted axis.
TEST(CalibrationComputation, EveryControllerOrientationGivesTheMatchingRecord)
{
    const TouchReading plain[3] = {{1000, 900}, {3101, 3000}, {3090, 910}};
    for (int orientation = 0; orientation < 8; ++orientation) {
        const bool invertHorizontal = (orientation & 1) != 0;
        const bool invertVertical = (orientation & 2) != 0;
        const bool exchanged = (orientation & 4) != 0;
        SCOPED_TRACE(testing::Message() << "inverted horizontal " << invertHorizontal << ", inverted vertical "
                                        << invertVertical << ", exchanged " << exchanged);
        TouchReading touches[3];
        for (int i = 0; i < 3; ++i) {
            const int32_t horizontal = invertHorizontal ? 4096 - plain[i].x : plain[i].x;
            const int32_t vertical = invertVertical ? 4096 - plain[i].y : plain[i].y;
            touches[i] = exchanged ? TouchReading{vertical, horizontal} : TouchReading{horizontal, vertical};
        }
        EXPECT_TRUE(TouchesDescribeScreen(touches));
        CalibrationRecord record = ComputeCalibration(touches);
        EXPECT_EQ(0u, record.reserved);
        EXPECT_EQ(invertHorizontal ? 3796 : 300, record.XLow);
        EXPECT_EQ(invertHorizontal ? 295 : 3801, record.XHigh);
        EXPECT_EQ(invertVertical ? 3896 : 200, record.YLow);
        EXPECT_EQ(invertVertical ? 396 : 3700, record.YHigh);
        EXPECT_EQ(exchanged ? 1u : 0u, record.SwapXY);
    }
}

// What the driver gets back when the program ends without a Yes: the stored record when
// all five values were read and the driver takes it, else its own, the full range.
TEST(CalibrationGiveBack, TheStoredRecordWhenTheDriverTakesItElseTheFullRange)
{
    const struct {
        const char* name;
        bool complete;
        CalibrationRecord stored; // reserved, XLow, YLow, XHigh, YHigh, SwapXY
        bool givenBack;
    } cases[] = {
        {"stored", true, {0, 250, 260, 3850, 3840, 0}, true},
        // Inverted axes store Low above High; the driver takes them.
        {"x inverted, as computed", true, {0, 3700, 200, 200, 3700, 0}, true},
        {"the ends of the range", true, {0, 0, 4096, 4096, 0, 1}, true},
        {"nothing or part stored", false, {0, 250, 260, 3850, 3840, 0}, false},
        {"a reading above 4096", true, {0, 250, 260, 4097, 3840, 0}, false},
        {"a negative reading", true, {0, 250, -1, 3850, 3840, 0}, false},
        {"no span in x", true, {0, 2000, 260, 2000, 3840, 0}, false},
        {"SwapXY 2", true, {0, 250, 260, 3850, 3840, 2}, false},
    };
    const CalibrationRecord fullRange = {0, 0, 0, 4096, 4096, 0};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CalibrationRecord& expected = c.givenBack ? c.stored : fullRange;
        const CalibrationRecord record = CalibrationToGiveBack(c.complete, &c.stored);
        EXPECT_EQ(0, memcmp(&expected, &record, sizeof(record)));
    }
}

} // namespace
