// The calibration program's path beside the applet library. Pure string work.
#pragma once

#include <stddef.h>

#define CALIBRATOR_FILE_NAME "Korvelaim.exe"

// Writes folder (ending in its backslash) followed by the program's file name into
// path. Returns false, with path empty when size allows, when the result does not
// fit in size characters with its terminator: the start must then fail rather than
// run a cut-off name.
bool CalibratorPathInFolder(const char* folder, char* path, size_t size);
