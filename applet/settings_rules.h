// The touch settings' values, their domains, the load's corrections and the
// double-click parameters that follow the mouse mode. Pure decisions, no Windows calls.
#pragma once

#include <stddef.h>
#include <stdint.h>

struct TouchSettingsRecord {
    uint32_t BeepMode;
    uint32_t BeepFreq;
    uint32_t BeepTime;
    uint32_t MouseMode;
    uint32_t ButtonMode;
    uint32_t DragDelay;
    uint32_t DblClkRegion;
};

// One stored value: its registry name, its field, the domain the load keeps and the
// value that replaces a failed read or one outside the domain.
struct SettingRule {
    const char* name;
    uint32_t TouchSettingsRecord::*field;
    bool ranged;
    uint32_t low;
    uint32_t high;
    uint32_t fallback;
};

#define SETTING_COUNT 7

// In the order the values are read and written.
extern const SettingRule SettingRules[SETTING_COUNT];

// The values a process starts with. DblClkRegion starts at the load's own default so
// that a failed load leaves the sheet with the values "Use default values." promises.
extern const TouchSettingsRecord TouchSettingsAtLoad;

// The value the load keeps: the read value when the read succeeded and the value lies
// in the domain (unsigned compare), else the rule's fallback.
uint32_t CorrectLoadedValue(const SettingRule& rule, bool readSucceeded, uint32_t value);

#define BEEP_MODE_MAX 2u
#define BEEP_FREQ_MIN 1000u
#define BEEP_FREQ_MAX 5000u
#define BEEP_TIME_MIN 32u
#define BEEP_TIME_MAX 512u
#define DRAG_DELAY_MAX 1500u

// The beep values the driver accepts, bounds included.
bool IsBeepInRange(uint32_t mode, uint32_t frequency, uint32_t duration);

// Windows' double-click width and height outside mouse mode 3, also what the Settings
// page shows as the region then.
#define STANDARD_DOUBLE_CLICK_SIZE 5u
#define DOUBLE_CLICK_TIME_DOUBLE_CLICK_DRAG 800u
#define DOUBLE_CLICK_TIME_OTHER_MODES 266u

uint32_t DoubleClickSize(uint32_t mouseMode, uint32_t dblClkRegion);
uint32_t DoubleClickTime(uint32_t mouseMode);
