// The platform the program runs on, asked of Windows once.
#pragma once

#include "os_kind.h"

int GetOsKind(void);
