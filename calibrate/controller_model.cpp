// A touch controller with a known mapping, and the mapping back through a calibration.
#include "calibrate/controller_model.h"

#include <math.h>

namespace {

int32_t ReadingAlong(int32_t rawStart, int32_t rawEnd, int32_t position, int32_t size)
{
    const double reading = rawStart + (double)(rawEnd - rawStart) * position / size;
    return (int32_t)lround(reading);
}

bool PositionAlong(int32_t rawLow, int32_t rawHigh, int32_t reading, int32_t size, double* position)
{
    if (rawLow == rawHigh)
        return false;
    *position = (double)(reading - rawLow) * size / (rawHigh - rawLow);
    return true;
}

} // namespace

TouchReading ModelReadingAt(const ControllerModel& model, int32_t x, int32_t y)
{
    const int32_t horizontal = ReadingAlong(model.rawLeft, model.rawRight, x, model.screenWidth);
    const int32_t vertical = ReadingAlong(model.rawTop, model.rawBottom, y, model.screenHeight);
    if (model.swapXY)
        return TouchReading{vertical, horizontal};
    return TouchReading{horizontal, vertical};
}

bool MapThroughCalibration(const CalibrationRecord& record, int32_t screenWidth, int32_t screenHeight,
                           TouchReading reading, double* x, double* y)
{
    const int32_t horizontal = record.SwapXY ? reading.y : reading.x;
    const int32_t vertical = record.SwapXY ? reading.x : reading.y;
    return PositionAlong(record.XLow, record.XHigh, horizontal, screenWidth, x) &&
           PositionAlong(record.YLow, record.YHigh, vertical, screenHeight, y);
}

bool MeasureMappingError(const ControllerModel& model, const CalibrationRecord& record, int32_t step,
                         MappingError* error)
{
    if (step <= 0)
        return false;
    double total = 0.0;
    double worst = 0.0;
    long count = 0;
    for (int32_t y = 0; y < model.screenHeight; y += step) {
        for (int32_t x = 0; x < model.screenWidth; x += step) {
            double mappedX;
            double mappedY;
            if (!MapThroughCalibration(record, model.screenWidth, model.screenHeight, ModelReadingAt(model, x, y),
                                       &mappedX, &mappedY))
                return false;
            const double distance = hypot(mappedX - x, mappedY - y);
            total += distance;
            if (distance > worst)
                worst = distance;
            ++count;
        }
    }
    error->maxPixels = worst;
    error->meanPixels = count > 0 ? total / count : 0.0;
    return true;
}
