// The check that stands for the user's administrator rights: enabling the system
// profile privilege on the process token.
#pragma once

#include <windows.h>

// Shows why one step of a check failed; returns FALSE. NULL keeps the check silent.
typedef BOOL (*StepFailureReport)(const char* step);

BOOL CheckPrivilege(int osKind, StepFailureReport report);

// Shows the system's text for the thread's last error (or a fallback naming the
// code) with the step as caption, restores the last error and returns FALSE.
BOOL ReportSystemError(const char* step);
