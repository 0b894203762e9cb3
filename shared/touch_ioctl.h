// The touchscreen driver's control interface: device name, control codes and the
// records that cross it. Shared by both programs and by the simulated driver, so it
// stays free of <windows.h> and states every layout with fixed-width integers.
#pragma once

#include <stdint.h>

#define TOUCH_DEVICE_NAME "\\\\.\\KORVELUSB"

// CTL_CODE(FILE_DEVICE_MOUSE, function, METHOD_BUFFERED, FILE_ANY_ACCESS)
#define TOUCH_CTL_CODE(function) (0x000F0000u | ((uint32_t)(function) << 2))

#define IOCTL_TOUCH_SET_CALIBRATION TOUCH_CTL_CODE(0x801)
#define IOCTL_TOUCH_SET_BEEP TOUCH_CTL_CODE(0x803)
#define IOCTL_TOUCH_GET_BEEP TOUCH_CTL_CODE(0x805)
#define IOCTL_TOUCH_GET_MOUSE_MODE TOUCH_CTL_CODE(0x807)
#define IOCTL_TOUCH_SET_MOUSE_MODE TOUCH_CTL_CODE(0x809)
#define IOCTL_TOUCH_READ_POINT TOUCH_CTL_CODE(0x80D)
#define IOCTL_TOUCH_CLEAR_POINT TOUCH_CTL_CODE(0x80E)
#define IOCTL_TOUCH_ENABLE TOUCH_CTL_CODE(0x813)
#define IOCTL_TOUCH_DISABLE TOUCH_CTL_CODE(0x815)
#define IOCTL_TOUCH_RELOAD_SETTINGS TOUCH_CTL_CODE(0x817)

// Status a reader presets in a TouchPoint; any other value after a read is a point.
#define TOUCH_POINT_PENDING 5735u

#define MOUSE_MODE_CLICK_ON_TOUCH 0u
#define MOUSE_MODE_CLICK_ON_RELEASE 1u
#define MOUSE_MODE_DRAG 2u
#define MOUSE_MODE_DOUBLE_CLICK_DRAG 3u
#define MOUSE_MODE_MAX 3u

// Bounds of the controller readings that a calibration may hold.
#define CALIBRATION_READING_MAX 4096

typedef struct CalibrationRecord {
    uint32_t reserved;
    int32_t XLow;
    int32_t YLow;
    int32_t XHigh;
    int32_t YHigh;
    uint32_t SwapXY;
} CalibrationRecord;

typedef struct BeepSettings {
    uint32_t mode;
    uint32_t frequency;
    uint32_t duration;
} BeepSettings;

typedef struct TouchPoint {
    uint32_t reserved;
    uint32_t status;
    int32_t x;
    int32_t y;
} TouchPoint;

#ifdef __cplusplus
#include <cstddef>
static_assert(sizeof(CalibrationRecord) == 24, "CalibrationRecord is 24 bytes");
static_assert(offsetof(CalibrationRecord, XLow) == 4, "XLow at 4");
static_assert(offsetof(CalibrationRecord, YLow) == 8, "YLow at 8");
static_assert(offsetof(CalibrationRecord, XHigh) == 12, "XHigh at 12");
static_assert(offsetof(CalibrationRecord, YHigh) == 16, "YHigh at 16");
static_assert(offsetof(CalibrationRecord, SwapXY) == 20, "SwapXY at 20");
static_assert(sizeof(BeepSettings) == 12, "BeepSettings is 12 bytes");
static_assert(offsetof(BeepSettings, frequency) == 4, "frequency at 4");
static_assert(offsetof(BeepSettings, duration) == 8, "duration at 8");
static_assert(sizeof(TouchPoint) == 16, "TouchPoint is 16 bytes");
static_assert(offsetof(TouchPoint, status) == 4, "status at 4");
static_assert(offsetof(TouchPoint, x) == 8, "x at 8");
static_assert(offsetof(TouchPoint, y) == 12, "y at 12");
static_assert(IOCTL_TOUCH_SET_CALIBRATION == 0x000F2004u, "set calibration code");
static_assert(IOCTL_TOUCH_RELOAD_SETTINGS == 0x000F205Cu, "reload settings code");
#else
typedef char touch_calibration_record_is_24_bytes[sizeof(CalibrationRecord) == 24 ? 1 : -1];
typedef char touch_beep_settings_is_12_bytes[sizeof(BeepSettings) == 12 ? 1 : -1];
typedef char touch_point_is_16_bytes[sizeof(TouchPoint) == 16 ? 1 : -1];
#endif
