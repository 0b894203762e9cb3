/* The simulated driver's test-only interface: a second device, \\.\KORVELSIM, whose
   requests queue touches, read back the whole state, reset it and inject failures.
   Kept apart from \\.\KORVELUSB so that a test looking at the state neither counts
   as an open of the touch device nor collides with a program holding it. The
   function numbers lie outside the touch driver's 0x801..0x817. */
#pragma once

#include "../shared/touch_ioctl.h"

#define SIM_CONTROL_DEVICE_NAME "\\\\.\\KORVELSIM"

#define IOCTL_SIM_QUEUE_TOUCH TOUCH_CTL_CODE(0x900) /* in: SimTouch */
#define IOCTL_SIM_GET_STATE TOUCH_CTL_CODE(0x901)   /* out: SimState */
#define IOCTL_SIM_RESET TOUCH_CTL_CODE(0x902)       /* no data */
#define IOCTL_SIM_FAIL TOUCH_CTL_CODE(0x903)        /* in: uint32_t control code, 0 ends it */

/* The ten touch control codes, counted in SimState.requests in the order of
   SIM_REQUEST_NAMES (request_names.h). */
#define SIM_REQUEST_KINDS 10

/* Touches queued beyond this are dropped (and counted). */
#define SIM_TOUCH_QUEUE_SIZE 16

/* The power-on state, which IOCTL_SIM_RESET restores without reading the registry.
   They differ from the applet's load defaults (mouse mode 3, beep 2/2360/32) so that
   a test can tell a value a program sent from one the driver already held. */
#define SIM_POWER_ON_MOUSE_MODE 0u
#define SIM_POWER_ON_BEEP_MODE 1u
#define SIM_POWER_ON_BEEP_FREQ 2000u
#define SIM_POWER_ON_BEEP_TIME 100u
#define SIM_POWER_ON_ENABLED 1u
#define SIM_POWER_ON_X_LOW 0
#define SIM_POWER_ON_Y_LOW 0
#define SIM_POWER_ON_X_HIGH CALIBRATION_READING_MAX
#define SIM_POWER_ON_Y_HIGH CALIBRATION_READING_MAX
#define SIM_POWER_ON_SWAP_XY 0u
#define SIM_POWER_ON_BUTTON_MODE 0u
#define SIM_POWER_ON_DRAG_DELAY 0u
#define SIM_POWER_ON_DBLCLK_REGION 25u

typedef struct SimTouch {
    int32_t x;
    int32_t y;
} SimTouch;

typedef struct SimState {
    uint32_t mouse_mode;
    uint32_t beep_mode;
    uint32_t beep_freq;
    uint32_t beep_time;
    uint32_t enabled;
    CalibrationRecord calibration;
    uint32_t button_mode;
    uint32_t drag_delay;
    uint32_t dblclk_region;
    uint32_t opens;        /* IRP_MJ_CREATE on \\.\KORVELUSB */
    uint32_t closes;       /* IRP_MJ_CLOSE on \\.\KORVELUSB */
    uint32_t queued;       /* touches waiting to be read */
    uint32_t dropped;      /* touches lost to a full queue */
    uint32_t failing_code; /* control code made to fail, 0 for none */
    uint32_t refused;      /* touch requests refused: unknown code, wrong size, value out of range */
    uint32_t requests[SIM_REQUEST_KINDS];
} SimState;
