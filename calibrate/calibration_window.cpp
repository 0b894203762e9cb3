// The calibration window and its instruction panel: the class, the two windows, the
// window procedure that saves and restores the driver's mouse mode, runs the
// calibration on WM_START_CALIBRATION and asks for its confirmation, and the panel's
// painting.
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
BOOL g_endRequested;

namespace {

// DT_VCENTER does not centre text of several lines: the line feeds place the texts
// on the panel's second and fourth lines.
const char kFirstInstruction[] = "\nTouch screen targets from a position of normal use.";
const char kSecondInstruction[] = "\n\n\nPress <ESC> key to quit.";
const char kTouchesRefusedNotice[] = "Touches not accepted. Please try again.";
const char kCountdownFormat[] = "Seconds left to answer: %d";

// A line of the panel between the two instructions, for what the user must know now;
// empty when there is nothing.
char g_panelNotice[64];

// The question box, found by a hook on this thread as it is activated, and the
// seconds it has left.
HHOOK g_questionHook;
HWND g_questionBox;
int g_questionSecondsLeft;
// Set once a run's record was taken by the driver: from then on it maps touches
// through a calibration the user has not confirmed.
BOOL g_unconfirmedCalibrationSent;
BOOL g_calibrationConfirmed;
// A run or its question is under way: an ending asked for now is done when it unwinds.
BOOL g_calibrating;
BOOL g_ended;

void SetPanelNotice(const char* text)
{
    lstrcpynA(g_panelNotice, text, sizeof(g_panelNotice));
    SendMessageA(g_instructionPanel, WM_PAINT, 0, 0);
}

void ShowQuestionCountdown()
{
    char text[sizeof(g_panelNotice)];
    wsprintfA(text, kCountdownFormat, g_questionSecondsLeft);
    SetPanelNotice(text);
}

// The notice line is filled first: the panel is drawn over, never erased.
void DrawPanelNotice(HDC dc, const RECT* client)
{
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    RECT line = {client->left + 4, client->top + 2 * metrics.tmHeight, client->right - 4,
                 client->top + 3 * metrics.tmHeight};
    HBRUSH background = CreateSolidBrush(CALIBRATION_BACKGROUND);
    FillRect(dc, &line, background);
    DeleteObject(background);
    DrawTextA(dc, g_panelNotice, -1, &line, DT_CENTER | DT_SINGLELINE);
}

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

// Moves the box below the panel, whose notice line shows the countdown.
void PlaceQuestionBox(HWND box)
{
    RECT frame;
    GetWindowRect(box, &frame);
    const int height = frame.bottom - frame.top;
    int top = InstructionPanelOrigin(g_screenWidth, g_screenHeight).y + INSTRUCTION_PANEL_HEIGHT + 8;
    if (top + height > g_screenHeight)
        top = g_screenHeight - height;
    SetWindowPos(box, NULL, frame.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK QuestionHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && g_questionBox == NULL && GetWindow((HWND)wParam, GW_OWNER) == g_calibrationWindow) {
        g_questionBox = (HWND)wParam;
        PlaceQuestionBox(g_questionBox);
    }
    return CallNextHookEx(g_questionHook, code, wParam, lParam);
}

// Asks whether the cursor now follows the finger: IDYES, IDNO, or IDCANCEL when the
// time limit closed the question. The box is found by the hook; without it the
// question has no limit.
int AskQuestion(HWND window)
{
    g_questionBox = NULL;
    g_questionSecondsLeft = QUESTION_TIME_LIMIT_SECONDS;
    g_questionHook = SetWindowsHookExA(WH_CBT, QuestionHookProc, NULL, GetCurrentThreadId());
    if (g_questionHook != NULL && SetTimer(window, QUESTION_TIMER_ID, QUESTION_TIMER_PERIOD_MS, NULL) != 0)
        ShowQuestionCountdown();
    const int answer = MessageBoxA(window, "Try moving on the screen,Does the cursor jump to your fingertip?",
                                   "Checking calibration results", MB_YESNO | MB_ICONQUESTION);
    KillTimer(window, QUESTION_TIMER_ID);
    if (g_questionHook != NULL)
        UnhookWindowsHookEx(g_questionHook);
    g_questionHook = NULL;
    g_questionBox = NULL;
    SetPanelNotice("");
    return answer;
}

// The question's timer, taken by the box's own message loop.
LRESULT OnTimer(HWND window, WPARAM timer)
{
    if (timer != QUESTION_TIMER_ID)
        return 0;
    if (--g_questionSecondsLeft > 0) {
        ShowQuestionCountdown();
        return 0;
    }
    KillTimer(window, QUESTION_TIMER_ID);
    if (g_questionBox != NULL)
        EndDialog(g_questionBox, IDCANCEL);
    return 0;
}

void StartRunTimer(HWND window)
{
    g_tickCount = 0;
    g_timer = SetTimer(window, RUN_TIMER_ID, RUN_TIMER_PERIOD_MS, NULL);
    if (g_timer == 0)
        MessageBoxA(window, "Could not create a timer!", "Error", MB_ICONWARNING);
}

// A run whose touches cannot describe the screen sent nothing; it starts again at
// once from the first target, with the panel saying why.
RunOutcome RunUntilTouchesAccepted(HWND window)
{
    StartRunTimer(window);
    SetCursor(NULL);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RunOutcome outcome = RunCalibration(window);
    while (outcome == RUN_TOUCHES_REFUSED) {
        SetPanelNotice(kTouchesRefusedNotice);
        StartRunTimer(window);
        outcome = RunCalibration(window);
    }
    SetPanelNotice("");
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetCursor(g_arrowCursor);
    return outcome;
}

// Ends the run or the question under way as Esc and its time limit do, or the program at
// once between them.
void RequestEnd()
{
    g_endRequested = TRUE;
    if (g_questionBox != NULL)
        EndDialog(g_questionBox, IDCANCEL);
    if (!g_calibrating)
        EndProgram();
}

// One run and its question: FALSE when the answer No asks for another run, TRUE when
// the program is to end.
BOOL Calibrate(HWND window)
{
    if (RunUntilTouchesAccepted(window) != RUN_COMPLETED)
        return TRUE;
    g_unconfirmedCalibrationSent = TRUE;
    const int answer = g_endRequested ? IDCANCEL : AskQuestion(window);
    if (answer == IDNO && !g_endRequested)
        return FALSE;
    // Only Yes stores: a question closed by its time limit, by Esc or from outside, or
    // one that could not be shown, ends like Esc during a run.
    if (answer != IDYES)
        return TRUE;
    g_calibrationConfirmed = TRUE;
    if (!WriteCalibration(g_calibration.XLow, g_calibration.YLow, g_calibration.XHigh, g_calibration.YHigh,
                          g_calibration.SwapXY))
        MessageBoxA(window, "Write registry error! Maybe due to security reason", "Korvel Touchscreen",
                    MB_ICONWARNING);
    return TRUE;
}

LRESULT OnStartCalibration(HWND window)
{
    // A run posted before the program ended between two runs.
    if (g_ended)
        return 0;
    g_calibrating = TRUE;
    const BOOL done = Calibrate(window);
    g_calibrating = FALSE;
    if (done)
        EndProgram();
    else
        PostMessageA(window, WM_START_CALIBRATION, 0, 0);
    return 0;
}

// Another program's close (End Task, a script, Alt+F4 on the window) ends the program as
// Esc does, without destroying the window a run may be waiting on.
LRESULT OnClose()
{
    RequestEnd();
    return 0;
}

// At logoff the session goes on at once, and the ending is done before Windows ends the
// process.
LRESULT OnEndSession(WPARAM ending)
{
    if (ending) {
        RequestEnd();
        EndProgram();
    }
    return 0;
}

} // namespace

void EndProgram()
{
    if (g_ended)
        return;
    g_ended = TRUE;
    // The driver gets its calibration back unless the user confirmed the new one:
    // otherwise it would keep mapping touches through a rejected or unchecked
    // calibration until it restarts and reads the key.
    if (!g_calibrationConfirmed && g_unconfirmedCalibrationSent)
        SendTouchRequest(g_device, IOCTL_TOUCH_SET_CALIBRATION, &g_calibrationToGiveBack,
                         sizeof(g_calibrationToGiveBack), NULL, 0, NULL);
    if (g_mouseModeSaved)
        SetDeviceMouseMode(g_device, g_savedMouseMode);
    CloseHandle(g_device);
    g_device = INVALID_HANDLE_VALUE;
    PostQuitMessage(0);
}

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
    case WM_TIMER:
        return OnTimer(window, wParam);
    case WM_CLOSE:
        return OnClose();
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        return OnEndSession(wParam);
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
    DrawPanelNotice(dc, &client);
    ReleaseDC(window, dc);
    return result;
}
