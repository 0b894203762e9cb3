// The controller model the demo relies on, and a calibration computed from its
// readings at the targets mapping touches back where they were made.
#include <gtest/gtest.h>

#include "calibrate/calibration_math.h"
#include "calibrate/controller_model.h"

namespace {

ControllerModel Model(int32_t width, int32_t height, bool invertX, bool invertY, bool swap)
{
    const int32_t low = 250, high = 3850;
    return ControllerModel{width, height, invertX ? high : low, invertX ? low : high,
                           invertY ? high : low, invertY ? low : high, swap};
}

TEST(ControllerModel, ReadingsFollowTheConfiguredMapping)
{
    struct {
        bool invertX, invertY, swap;
        TouchReading atOrigin, atCentre;
    } const cases[] = {
        {false, false, false, {250, 250}, {2050, 2050}},
        {true, false, false, {3850, 250}, {2050, 2050}},
        {false, true, true, {3850, 250}, {2050, 2050}},
    };
    for (const auto& c : cases) {
        ControllerModel model = Model(1000, 800, c.invertX, c.invertY, c.swap);
        TouchReading origin = ModelReadingAt(model, 0, 0);
        TouchReading centre = ModelReadingAt(model, 500, 400);
        EXPECT_EQ(c.atOrigin.x, origin.x);
        EXPECT_EQ(c.atOrigin.y, origin.y);
        EXPECT_EQ(c.atCentre.x, centre.x);
        EXPECT_EQ(c.atCentre.y, centre.y);
    }
    // A quarter across an inverted horizontal axis, read on the second axis when swapped.
    TouchReading quarter = ModelReadingAt(Model(1000, 800, true, false, true), 250, 0);
    EXPECT_EQ(3850 - 900, quarter.y);
    EXPECT_EQ(250, quarter.x);
}

TEST(ControllerModel, MappingThroughAnExactRecordLandsOnThePoint)
{
    ControllerModel model = Model(1024, 768, true, false, true);
    CalibrationRecord exact = {0, model.rawLeft, model.rawTop, model.rawRight, model.rawBottom, 1};
    MappingError error;
    ASSERT_TRUE(MeasureMappingError(model, exact, 16, &error));
    EXPECT_LT(error.maxPixels, 0.5);

    // The wrong swap flag sends touches far away.
    CalibrationRecord unswapped = exact;
    unswapped.SwapXY = 0;
    ASSERT_TRUE(MeasureMappingError(model, unswapped, 16, &error));
    EXPECT_GT(error.maxPixels, 100.0);
}

TEST(ControllerModel, ARecordWithoutRangeOrAZeroStepCannotBeMeasured)
{
    ControllerModel model = Model(1024, 768, false, false, false);
    CalibrationRecord flat = {0, 300, 200, 300, 3700, 0};
    MappingError error;
    EXPECT_FALSE(MeasureMappingError(model, flat, 16, &error));
    CalibrationRecord good = {0, 250, 250, 3850, 3850, 0};
    EXPECT_FALSE(MeasureMappingError(model, good, 0, &error));
}

// Touches at the three targets of a controller mounted in any of the eight ways, on
// several screens: the computed calibration maps every touch back within a pixel or
// two (the targets sit on whole pixels, a fifth of the screen only approximately).
TEST(ControllerModel, ACalibrationFromTheTargetsMapsTouchesBack)
{
    const int32_t screens[][2] = {{1024, 768}, {800, 600}, {1280, 1024}, {1366, 768}};
    for (const auto& screen : screens) {
        for (int orientation = 0; orientation < 8; ++orientation) {
            ControllerModel model =
                Model(screen[0], screen[1], (orientation & 1) != 0, (orientation & 2) != 0, (orientation & 4) != 0);
            SCOPED_TRACE(testing::Message() << screen[0] << "x" << screen[1] << " orientation " << orientation);
            TargetPosition targets[3];
            ComputeTargetPositions(screen[0], screen[1], targets);
            TouchReading touches[3];
            for (int i = 0; i < 3; ++i)
                touches[i] = ModelReadingAt(model, targets[i].x, targets[i].y);
            CalibrationRecord record = ComputeCalibration(touches);
            EXPECT_EQ(model.swapXY ? 1u : 0u, record.SwapXY);
            MappingError error;
            ASSERT_TRUE(MeasureMappingError(model, record, 8, &error));
            EXPECT_LT(error.maxPixels, 2.5);
        }
    }
}

// Touches at screen places on 1024 x 768 (targets (204, 153), (820, 615), (820, 153))
// read by a controller mounted in any of the eight ways: touches 30 pixels beside
// the targets are accepted with the right orientation; one spot, a second tap on
// target 0, a third tap half-way along the top or at the centre are refused.
TEST(ControllerModel, SloppyTouchesAreAcceptedAndMistouchesRefused)
{
    const struct {
        int32_t places[3][2];
        bool accepted;
    } cases[] = {
        {{{234, 123}, {790, 645}, {850, 183}}, true},  {{{174, 183}, {850, 585}, {790, 123}}, true},
        {{{174, 123}, {790, 585}, {850, 123}}, true},  {{{204, 153}, {204, 153}, {204, 153}}, false},
        {{{204, 153}, {209, 153}, {820, 153}}, false}, {{{204, 153}, {820, 615}, {512, 153}}, false},
        {{{204, 153}, {820, 615}, {512, 384}}, false},
    };
    for (int orientation = 0; orientation < 8; ++orientation) {
        ControllerModel m = Model(1024, 768, (orientation & 1) != 0, (orientation & 2) != 0, (orientation & 4) != 0);
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << "orientation " << orientation << ", case " << &c - cases);
            TouchReading touches[3];
            for (int i = 0; i < 3; ++i)
                touches[i] = ModelReadingAt(m, c.places[i][0], c.places[i][1]);
            EXPECT_EQ(c.accepted, TouchesDescribeScreen(touches));
            if (c.accepted) {
                EXPECT_EQ(m.swapXY ? 1u : 0u, ComputeCalibration(touches).SwapXY);
            }
        }
    }
}

} // namespace
