/* The ten touch control codes with their lower-case names, in the order of
   SimState.requests. The driver counts by this table and the control tool and
   the tests print and parse names by it, so code, slot and name cannot drift. */
#pragma once

#include "sim_control.h"

typedef struct SimRequestName {
    uint32_t code;
    const char* name;
} SimRequestName;

static const SimRequestName SIM_REQUEST_NAMES[SIM_REQUEST_KINDS] = {
    {IOCTL_TOUCH_SET_CALIBRATION, "set_calibration"},
    {IOCTL_TOUCH_SET_BEEP, "set_beep"},
    {IOCTL_TOUCH_GET_BEEP, "get_beep"},
    {IOCTL_TOUCH_GET_MOUSE_MODE, "get_mouse_mode"},
    {IOCTL_TOUCH_SET_MOUSE_MODE, "set_mouse_mode"},
    {IOCTL_TOUCH_READ_POINT, "read_point"},
    {IOCTL_TOUCH_CLEAR_POINT, "clear_point"},
    {IOCTL_TOUCH_ENABLE, "enable"},
    {IOCTL_TOUCH_DISABLE, "disable"},
    {IOCTL_TOUCH_RELOAD_SETTINGS, "reload_settings"},
};
