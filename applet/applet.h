// Korvelpad's module state, one set per process that loads the library: kept when
// the library is attached and read by the pages and the operations.
#pragma once

#include <windows.h>

#define APPLET_CAPTION "Korvel Touchscreen"

// Resources are loaded from it, and it locates the library's own file.
extern HINSTANCE AppletInstance;
extern int AppletOsKind;
