// A touch controller with a known mapping from screen positions to raw readings,
// and the mapping back through a CalibrationRecord as a driver applies it. The demo
// and the tests use it to make readings for a touch and to measure how far a
// calibration lands from the truth; Korvelaim itself does not link it.
#pragma once

#include <stdint.h>

#include "calibrate/calibration_math.h"

struct ControllerModel {
    int32_t screenWidth;
    int32_t screenHeight;
    // Readings at the left and right screen edges on the controller axis that follows
    // the screen's horizontal axis; left above right is an inverted axis.
    int32_t rawLeft;
    int32_t rawRight;
    int32_t rawTop;
    int32_t rawBottom;
    // The horizontal axis is served by the reading's y, the vertical one by its x.
    bool swapXY;
};

// The controller's reading of a touch at a screen position, rounded to the nearest.
TouchReading ModelReadingAt(const ControllerModel& model, int32_t x, int32_t y);

// The screen position a driver makes of a reading with this calibration. False when
// the record spans no range on an axis.
bool MapThroughCalibration(const CalibrationRecord& record, int32_t screenWidth, int32_t screenHeight,
                           TouchReading reading, double* x, double* y);

struct MappingError {
    double maxPixels;
    double meanPixels;
};

// Touches every `step` pixels across the screen, read by the model and mapped back
// through the record: how far they land from where they were made. False when the
// record cannot map or the step is not positive.
bool MeasureMappingError(const ControllerModel& model, const CalibrationRecord& record, int32_t step,
                         MappingError* error);
