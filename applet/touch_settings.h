// The applet's working copy of the driver's user settings, its edit flag, and their
// load from and save to the driver's parameters key.
#pragma once

#include <windows.h>

#include "applet/settings_rules.h"

extern TouchSettingsRecord TouchSettings;

// Set by every edit on the Settings and Sound pages; nothing clears it.
extern BOOL SettingsChanged;

// Non-zero when the key was opened and every field read or defaulted; zero, fields
// untouched, when the OsKind has no key or the key failed to open.
BOOL LoadProfileSetting(int osKind);

// Non-zero when the key was opened, even if single values failed to write (each such
// failure is shown). Also gives Windows the double-click size and time.
BOOL SaveProfileSetting(int osKind);

// Shows the system's text for a registry status with the caption; zero, nothing
// shown, when the system has no text. The thread's last error is left alone.
BOOL ReportErrorCode(LONG code, const char* caption);
