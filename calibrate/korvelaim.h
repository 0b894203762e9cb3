// Korvelaim's program state and the operations its files share. The program is one
// thread; its state lives for the whole process in these module variables.
#pragma once

#include <windows.h>

#include "calibrate/calibration_math.h"
#include "shared/touch_ioctl.h"

#define CLASS_NAME_SIZE 100

// Starts one run; posted by the first paint and after a rejected result.
#define WM_START_CALIBRATION (WM_USER + 100)

#define RUN_TIMER_ID 1001
#define RUN_TIMER_PERIOD_MS 1000

// The window's background, which a target's circle is filled with too.
#define CALIBRATION_BACKGROUND RGB(200, 200, 200)

// Set by WinMain before any window exists.
extern int g_osKind;
extern HANDLE g_device;
extern char g_className[CLASS_NAME_SIZE];

// The windows and what the shell keeps for a run.
extern int g_screenWidth;
extern int g_screenHeight;
extern HWND g_calibrationWindow;
extern HWND g_instructionPanel;
extern WNDPROC g_panelStandardProc;
extern HCURSOR g_arrowCursor;
extern DWORD g_savedMouseMode;
extern BOOL g_mouseModeSaved;
extern UINT_PTR g_timer;
extern int32_t g_tickCount;
extern BOOL g_abortFlag;
extern BOOL g_firstPaintDone;
extern CalibrationRecord g_calibration;

// The window class and the two windows.
void RegisterCalibrationClass(HINSTANCE instance);
BOOL CreateCalibrationWindows(HINSTANCE instance);
LRESULT CALLBACK CalibrationWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK InstructionPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Stores a confirmed calibration in the driver's parameters key; TRUE when all five
// values were written.
BOOL WriteCalibration(int32_t xLow, int32_t yLow, int32_t xHigh, int32_t yHigh, uint32_t swapXY);

// One run: three targets, three touches, the computation and the record sent to the
// driver. TRUE when the driver took the record; FALSE after Esc, the time limit or
// a refusal.
BOOL RunCalibration(HWND window);
