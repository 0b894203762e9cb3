// Storing a confirmed calibration in the driver's parameters key, and reading the one
// stored before.
#include "calibrate/korvelaim.h"

#include "shared/parameters_key.h"

BOOL WriteCalibration(int32_t xLow, int32_t yLow, int32_t xHigh, int32_t yHigh, uint32_t swapXY)
{
    HKEY key;
    if (OpenParametersKey(g_osKind, TRUE, &key) != ERROR_SUCCESS)
        return FALSE;

    // Every value is attempted even after a failure; the result says whether all held.
    const struct {
        const char* name;
        DWORD value;
    } values[] = {
        {"XLow", (DWORD)xLow}, {"XHigh", (DWORD)xHigh}, {"YLow", (DWORD)yLow}, {"YHigh", (DWORD)yHigh},
        {"SwapXY", swapXY},
    };
    BOOL allWritten = TRUE;
    for (const auto& entry : values) {
        if (WriteParameterValue(key, entry.name, entry.value) != ERROR_SUCCESS)
            allWritten = FALSE;
    }
    RegCloseKey(key);
    return allWritten;
}

BOOL ReadStoredCalibration(CalibrationRecord* record)
{
    HKEY key;
    if (OpenParametersKey(g_osKind, FALSE, &key) != ERROR_SUCCESS)
        return FALSE;

    // Record order.
    const char* const names[] = {"XLow", "YLow", "XHigh", "YHigh", "SwapXY"};
    DWORD values[sizeof(names) / sizeof(names[0])];
    BOOL complete = TRUE;
    for (size_t i = 0; i < sizeof(names) / sizeof(names[0]); ++i) {
        DWORD type;
        DWORD size;
        if (ReadParameterValue(key, names[i], &type, &size, &values[i]) != ERROR_SUCCESS || type != REG_DWORD ||
            size != sizeof(DWORD))
            complete = FALSE;
    }
    RegCloseKey(key);
    if (!complete)
        return FALSE;
    record->reserved = 0;
    record->XLow = (int32_t)values[0];
    record->YLow = (int32_t)values[1];
    record->XHigh = (int32_t)values[2];
    record->YHigh = (int32_t)values[3];
    record->SwapXY = values[4];
    return TRUE;
}
