// The calibration window and its instruction panel: the class, the two windows, the
// window procedure that saves and restores the driver's mouse mode and runs the
// calibration on WM_START_CALIBRATION, and the panel's painting.
#include "calibrate/korvelaim.h"

#include "calibrate/resource.h"
#include "shared/touch_device.h"

int g_screenWidth;
int g_screenHeight;
HWND g_calibrationWindow;
HWND g_instructionPanel;
WNDPROC g_panelStandardProc;
HCURSOR g_arrowCursor;
DWORD g_savedMouseMode;
BOOL g_mouseModeSaved;
UINT_PTR g_timer;
int32_t g_tickCount;
BOOL g_abortFlag;
BOOL g_firstPaintDone;
CalibrationRecord g_calibration;

namespace {

// DT_VCENTER does not centre text of several lines: the line feeds place the texts
// on the panel's second and fourth lines.
const char kFirstInstruction[] = "\nTouch screen targets from a position of normal use.";
const char kSecondInstruction[] = "\n\n\nPress <ESC> key to quit.";

LRESULT OnCreate(HWND window)
{
    g_calibrationWindow = window;
    g_mouseModeSaved = GetDeviceMouseMode(g_device, &g_savedMouseMode);
    SetDeviceMouseMode(g_device, MOUSE_MODE_DOUBLE_CLICK_DRAG);
    return 0;
}

LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    SendMessageA(g_instructionPanel, WM_PAINT, 0, 0);
    if (!g_firstPaintDone) {
        PostMessageA(window, WM_START_CALIBRATION, 0, 0);
        g_firstPaintDone = TRUE;
    }
    return 0;
}

// Asks whether the cursor now follows the finger. FALSE when the user wants another
// run, which is then already posted.
BOOL ConfirmResult(HWND window)
{
    int answer = MessageBoxA(window, "Try moving on the screen,Does the cursor jump to your fingertip?",
                             "Checking calibration results", MB_YESNO | MB_ICONQUESTION);
    if (answer == IDNO) {
        PostMessageA(window, WM_START_CALIBRATION, 0, 0);
        return FALSE;
    }
    if (!WriteCalibration(g_calibration.XLow, g_calibration.YLow, g_calibration.XHigh, g_calibration.YHigh,
                          g_calibration.SwapXY))
        MessageBoxA(window, "Write registry error! Maybe due to security reason", "Korvel Touchscreen",
                    MB_ICONWARNING);
    return TRUE;
}

LRESULT OnStartCalibration(HWND window)
{
    g_tickCount = 0;
    g_timer = SetTimer(window, RUN_TIMER_ID, RUN_TIMER_PERIOD_MS, NULL);
    if (g_timer == 0)
        MessageBoxA(window, "Could not create a timer!", "Error", MB_ICONWARNING);
    SetCursor(NULL);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    BOOL completed = RunCalibration(window);

    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetCursor(g_arrowCursor);
    if (completed && !ConfirmResult(window))
        return 0;

    if (g_mouseModeSaved)
        SetDeviceMouseMode(g_device, g_savedMouseMode);
    PostQuitMessage(0);
    return 0;
}

} // namespace

void RegisterCalibrationClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass;
    ZeroMemory(&windowClass, sizeof(windowClass));
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = CalibrationWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_KORVELAIM));
    windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_KORVELAIM));
    // No class cursor: the pointer keeps whatever shape was set last, so hiding it
    // for a run holds over the window.
    windowClass.hCursor = NULL;
    windowClass.hbrBackground = CreateSolidBrush(CALIBRATION_BACKGROUND);
    windowClass.lpszClassName = g_className;
    g_arrowCursor = LoadCursorA(NULL, IDC_ARROW);
    RegisterClassExA(&windowClass);
}

BOOL CreateCalibrationWindows(HINSTANCE instance)
{
    g_screenWidth = GetSystemMetrics(SM_CXSCREEN);
    g_screenHeight = GetSystemMetrics(SM_CYSCREEN);

    // WM_CREATE runs inside this call and switches the driver's mouse mode.
    HWND window = CreateWindowExA(0, g_className, NULL, WS_POPUP | WS_DLGFRAME, CW_USEDEFAULT, 0, g_screenWidth,
                                  g_screenHeight, NULL, NULL, instance, NULL);
    if (window == NULL)
        return FALSE;

    TargetPosition panel = InstructionPanelOrigin(g_screenWidth, g_screenHeight);
    g_instructionPanel = CreateWindowExA(0, "BUTTON", "", WS_CHILD | BS_GROUPBOX, panel.x, panel.y,
                                         INSTRUCTION_PANEL_WIDTH, INSTRUCTION_PANEL_HEIGHT, window, NULL, instance,
                                         NULL);
    g_panelStandardProc = (WNDPROC)GetWindowLongPtrA(g_instructionPanel, GWLP_WNDPROC);
    SetWindowLongPtrA(g_instructionPanel, GWLP_WNDPROC, (LONG_PTR)InstructionPanelProc);

    ShowWindow(g_instructionPanel, SW_SHOWNORMAL);
    UpdateWindow(g_instructionPanel);
    // The first paint posts the first run.
    ShowWindow(window, SW_SHOWMAXIMIZED);
    UpdateWindow(window);
    return IsWindow(window);
}

LRESULT CALLBACK CalibrationWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_PAINT:
        return OnPaint(window);
    case WM_START_CALIBRATION:
        return OnStartCalibration(window);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK InstructionPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcA(g_panelStandardProc, window, message, wParam, lParam);
    if (message != WM_PAINT)
        return result;

    // The group box has drawn its frame; the two texts go inside it.
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, kFirstInstruction, -1, &client, DT_CENTER | DT_VCENTER);
    DrawTextA(dc, kSecondInstruction, -1, &client, DT_CENTER);
    ReleaseDC(window, dc);
    return result;
}
