#include "settings_rules.h"

#include "shared/touch_ioctl.h"

const SettingRule SettingRules[SETTING_COUNT] = {
    {"BeepMode", &TouchSettingsRecord::BeepMode, true, 0, BEEP_MODE_MAX, 2},
    {"BeepFreq", &TouchSettingsRecord::BeepFreq, true, BEEP_FREQ_MIN, BEEP_FREQ_MAX, 2360},
    {"BeepTime", &TouchSettingsRecord::BeepTime, true, BEEP_TIME_MIN, BEEP_TIME_MAX, 32},
    {"MouseMode", &TouchSettingsRecord::MouseMode, true, 0, MOUSE_MODE_MAX, MOUSE_MODE_DOUBLE_CLICK_DRAG},
    {"ButtonMode", &TouchSettingsRecord::ButtonMode, true, 0, 2, 0},
    {"DragDelay", &TouchSettingsRecord::DragDelay, true, 0, DRAG_DELAY_MAX, 0},
    {"DblClkRegion", &TouchSettingsRecord::DblClkRegion, false, 0, 0, 25},
};

const TouchSettingsRecord TouchSettingsAtLoad = {2, 2360, 32, MOUSE_MODE_DOUBLE_CLICK_DRAG, 0, 0, 25};

uint32_t CorrectLoadedValue(const SettingRule& rule, bool readSucceeded, uint32_t value)
{
    if (!readSucceeded)
        return rule.fallback;
    if (rule.ranged && (value < rule.low || value > rule.high))
        return rule.fallback;
    return value;
}

bool IsBeepInRange(uint32_t mode, uint32_t frequency, uint32_t duration)
{
    return mode <= BEEP_MODE_MAX && frequency >= BEEP_FREQ_MIN && frequency <= BEEP_FREQ_MAX &&
           duration >= BEEP_TIME_MIN && duration <= BEEP_TIME_MAX;
}

uint32_t DoubleClickSize(uint32_t mouseMode, uint32_t dblClkRegion)
{
    return mouseMode == MOUSE_MODE_DOUBLE_CLICK_DRAG ? dblClkRegion : STANDARD_DOUBLE_CLICK_SIZE;
}

uint32_t DoubleClickTime(uint32_t mouseMode)
{
    return mouseMode == MOUSE_MODE_DOUBLE_CLICK_DRAG ? DOUBLE_CLICK_TIME_DOUBLE_CLICK_DRAG
                                                      : DOUBLE_CLICK_TIME_OTHER_MODES;
}
