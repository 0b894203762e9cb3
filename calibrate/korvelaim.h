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

// The question after a run closes by itself, counted down once a second: a
// calibration too bad to hit Yes or No must not hold a touchscreen without keyboard.
#define QUESTION_TIMER_ID 1002
#define QUESTION_TIMER_PERIOD_MS 1000
#define QUESTION_TIME_LIMIT_SECONDS 30

// The window's background, which a target's circle is filled with too.
#define CALIBRATION_BACKGROUND RGB(200, 200, 200)

// Set by WinMain before any window exists.
extern int g_osKind;
extern HANDLE g_device;
extern char g_className[CLASS_NAME_SIZE];
// What the driver gets back when the program ends without a confirmed calibration:
// the one stored before this run of the program, or the driver's own when none is.
extern CalibrationRecord g_calibrationToGiveBack;

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
// Set by a close from outside, a logoff or a quit: the run or the question under way
// ends as Esc ends it, and the program with it.
extern BOOL g_endRequested;

// The window class and the two windows.
void RegisterCalibrationClass(HINSTANCE instance);
BOOL CreateCalibrationWindows(HINSTANCE instance);
LRESULT CALLBACK CalibrationWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK InstructionPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The program's end, done once however it comes (the last run's outcome, a close, a
// logoff, a quit): the driver's calibration given back when an unconfirmed one was sent,
// its mouse mode restored, the device closed and the message loop told to end.
void EndProgram();

// Stores a confirmed calibration in the driver's parameters key; TRUE when all five
// values were written.
BOOL WriteCalibration(int32_t xLow, int32_t yLow, int32_t xHigh, int32_t yHigh, uint32_t swapXY);

// Reads the five stored calibration values; TRUE when each is a 4-byte REG_DWORD.
BOOL ReadStoredCalibration(CalibrationRecord* record);

enum RunOutcome {
    RUN_COMPLETED,      // the driver took the computed record
    RUN_ENDED,          // Esc, the time limit, or the driver refused the record
    RUN_TOUCHES_REFUSED // the readings cannot describe the screen; nothing was sent
};

// One run: three targets, three touches, the computation and the record sent to the
// driver.
RunOutcome RunCalibration(HWND window);
