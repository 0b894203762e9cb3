// Storing a confirmed calibration in the driver's parameters key.
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
