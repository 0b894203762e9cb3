// The arithmetic of a calibration run: where the targets stand, how large they are,
// the run's time limit, and how three raw readings become a CalibrationRecord.
// No Windows calls, so that every rule can be tested on the build host.
#pragma once

#include <stdint.h>

#include "shared/touch_ioctl.h"

#define CALIBRATION_TARGET_COUNT 3

// Timer messages a run may see before the next one aborts it.
#define CALIBRATION_TICK_LIMIT 30

// The least distance, on each controller axis, between the readings at targets 0 and
// 1 that can describe a screen: a sixteenth of the range.
#define CALIBRATION_SPAN_MIN 256

#define INSTRUCTION_PANEL_WIDTH 400
#define INSTRUCTION_PANEL_HEIGHT 80

struct TargetPosition {
    int32_t x;
    int32_t y;
};

// A raw controller reading, as the driver delivers it in a TouchPoint.
struct TouchReading {
    int32_t x;
    int32_t y;
};

// Targets 0, 1, 2: upper left, lower right, upper right, at one fifth of the
// screen from its edges. The far ones are W - W/5, not 4W/5.
void ComputeTargetPositions(int32_t screenWidth, int32_t screenHeight,
                            TargetPosition targets[CALIBRATION_TARGET_COUNT]);

// Radius of the target circle.
int32_t TargetRadius(int32_t screenWidth);

// Side of the screen square under a target: circle and cross-hair exactly.
int32_t TargetSquareSide(int32_t screenWidth);

// Side of the bitmap that keeps that square (a little larger than the square).
int32_t SavedSquareBitmapSide(int32_t screenWidth);

// Top-left corner of the instruction panel, centred on the screen.
TargetPosition InstructionPanelOrigin(int32_t screenWidth, int32_t screenHeight);

// One timer message of a run: true when it ends the run, otherwise it is counted.
bool CountRunTick(int32_t* tickCount);

// False when the readings at targets 0, 1 and 2, as taken, cannot describe the
// screen: targets 0 and 1 less than CALIBRATION_SPAN_MIN apart on an axis (one spot
// touched twice), or target 2 near the place of neither orientation (a tap beside
// it). Near is within a quarter of the span between targets 0 and 1 on that axis.
bool TouchesDescribeScreen(const TouchReading touches[CALIBRATION_TARGET_COUNT]);

// Whether the driver takes the record: each reading within 0..CALIBRATION_READING_MAX,
// the two readings of each axis apart and SwapXY 0 or 1. Low above High is an inverted
// axis, which the computation stores as such.
bool CalibrationAcceptable(const CalibrationRecord* record);

// What the driver is given back when the program ends without a confirmed calibration:
// the stored one when all five values were read and the driver takes it; otherwise the
// one the driver holds when nothing is stored, the whole range on both axes as mounted.
CalibrationRecord CalibrationToGiveBack(bool storedComplete, const CalibrationRecord* stored);

// The calibration from the readings at targets 0, 1 and 2. The readings of the two
// diagonal targets are replaced with the ones extended to the screen edges, as the
// record holds them.
CalibrationRecord ComputeCalibration(TouchReading touches[CALIBRATION_TARGET_COUNT]);
