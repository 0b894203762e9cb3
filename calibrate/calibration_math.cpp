// The arithmetic of a calibration run. Readings come from a driver and may hold any
// 32-bit value, so differences are taken in 64 bits: no overflow, and every result
// is still the one that 32-bit arithmetic gives for readings in the controller range.
#include "calibrate/calibration_math.h"

namespace {

int64_t Distance(int64_t a, int64_t b)
{
    return a > b ? a - b : b - a;
}

// Target 2 reads `place` on an axis whose targets 0 and 1 lie `span` apart. The two
// orientations put target 2 a whole span apart on each axis, so a quarter leaves it
// clearly nearer one of them; a tighter bound would refuse more sloppy touches and
// gain nothing, since target 2 only chooses the orientation.
bool Near(int64_t reading, int64_t place, int64_t span)
{
    return 4 * Distance(reading, place) <= span;
}

// Moves the reading at the first target (low) and at the second (high) apart by the
// margin, bounded only on the side each one moves towards.
void ExtendToScreenEdges(int32_t* low, int32_t* high)
{
    const int64_t margin = Distance(*low, *high) / 3;
    int64_t newLow;
    int64_t newHigh;
    if (*low > *high) {
        newLow = *low + margin;
        if (newLow > CALIBRATION_READING_MAX)
            newLow = CALIBRATION_READING_MAX;
        newHigh = *high - margin;
        if (newHigh < 0)
            newHigh = 0;
    } else {
        newLow = *low - margin;
        if (newLow < 0)
            newLow = 0;
        newHigh = *high + margin;
        if (newHigh > CALIBRATION_READING_MAX)
            newHigh = CALIBRATION_READING_MAX;
    }
    *low = (int32_t)newLow;
    *high = (int32_t)newHigh;
}

} // namespace

void ComputeTargetPositions(int32_t screenWidth, int32_t screenHeight,
                            TargetPosition targets[CALIBRATION_TARGET_COUNT])
{
    const int32_t nearX = screenWidth / 5;
    const int32_t nearY = screenHeight / 5;
    const int32_t farX = screenWidth - screenWidth / 5;
    const int32_t farY = screenHeight - screenHeight / 5;
    targets[0] = TargetPosition{nearX, nearY};
    targets[1] = TargetPosition{farX, farY};
    targets[2] = TargetPosition{farX, nearY};
}

int32_t TargetRadius(int32_t screenWidth)
{
    return screenWidth / 40;
}

int32_t TargetSquareSide(int32_t screenWidth)
{
    return 2 * TargetRadius(screenWidth) + 8;
}

int32_t SavedSquareBitmapSide(int32_t screenWidth)
{
    return screenWidth / 20 + 8;
}

TargetPosition InstructionPanelOrigin(int32_t screenWidth, int32_t screenHeight)
{
    return TargetPosition{(screenWidth - INSTRUCTION_PANEL_WIDTH) / 2, (screenHeight - INSTRUCTION_PANEL_HEIGHT) / 2};
}

bool CountRunTick(int32_t* tickCount)
{
    if (*tickCount >= CALIBRATION_TICK_LIMIT)
        return true;
    ++*tickCount;
    return false;
}

bool CalibrationAcceptable(const CalibrationRecord* record)
{
    const int32_t readings[] = {record->XLow, record->YLow, record->XHigh, record->YHigh};
    for (int32_t reading : readings)
        if (reading < 0 || reading > CALIBRATION_READING_MAX)
            return false;
    return record->XLow != record->XHigh && record->YLow != record->YHigh && record->SwapXY <= 1;
}

CalibrationRecord CalibrationToGiveBack(bool storedComplete, const CalibrationRecord* stored)
{
    if (storedComplete && CalibrationAcceptable(stored))
        return *stored;
    return CalibrationRecord{0, 0, 0, CALIBRATION_READING_MAX, CALIBRATION_READING_MAX, 0};
}

bool TouchesDescribeScreen(const TouchReading touches[CALIBRATION_TARGET_COUNT])
{
    const int64_t x0 = touches[0].x, y0 = touches[0].y;
    const int64_t x1 = touches[1].x, y1 = touches[1].y;
    const int64_t x2 = touches[2].x, y2 = touches[2].y;
    const int64_t spanX = Distance(x0, x1);
    const int64_t spanY = Distance(y0, y1);
    if (spanX < CALIBRATION_SPAN_MIN || spanY < CALIBRATION_SPAN_MIN)
        return false;
    const bool asMounted = Near(x2, x1, spanX) && Near(y2, y0, spanY);
    const bool exchanged = Near(x2, x0, spanX) && Near(y2, y1, spanY);
    return asMounted || exchanged;
}

CalibrationRecord ComputeCalibration(TouchReading touches[CALIBRATION_TARGET_COUNT])
{
    const int64_t x0 = touches[0].x, y0 = touches[0].y;
    const int64_t x1 = touches[1].x, y1 = touches[1].y;
    const int64_t x2 = touches[2].x, y2 = touches[2].y;

    // Target 2 shares its horizontal place with target 1 and its vertical place with
    // target 0; readings that say the opposite on both axes mean the controller's
    // axes are exchanged. Ties count towards exchanged.
    const bool xFollowsVertical = Distance(x2, x1) >= Distance(x2, x0);
    const bool yFollowsHorizontal = Distance(y2, y1) <= Distance(y2, y0);
    const bool swapped = xFollowsVertical && yFollowsHorizontal;

    ExtendToScreenEdges(&touches[0].x, &touches[1].x);
    ExtendToScreenEdges(&touches[0].y, &touches[1].y);

    CalibrationRecord record;
    record.reserved = 0;
    if (swapped) {
        record.XLow = touches[0].y;
        record.YLow = touches[0].x;
        record.XHigh = touches[1].y;
        record.YHigh = touches[1].x;
        record.SwapXY = 1;
    } else {
        record.XLow = touches[0].x;
        record.YLow = touches[0].y;
        record.XHigh = touches[1].x;
        record.YHigh = touches[1].y;
        record.SwapXY = 0;
    }
    return record;
}
