// The applet's modal property sheet, the notification handling its four pages share,
// and the small driver and process operations the pages and the exports use.
#pragma once

#include <windows.h>

// Runs the sheet owned by the given window and returns when it has closed.
void ShowTouchProperties(HWND owner);

// The page procedure's result for one WM_NOTIFY from the sheet.
INT_PTR HandleSheetNotify(HWND page, const NMHDR* header);

// Asks the driver to take its stored settings again; the request's result.
BOOL RequestDriverReload(void);

// Whether the driver's control device can be opened; nothing is sent.
BOOL IsDriverPresent(void);

// Starts the calibration program from the library's own folder and waits until it
// has ended: non-zero when it ran, zero when it could not be started.
BOOL LaunchCalibration(void);
