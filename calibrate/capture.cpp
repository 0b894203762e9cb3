// One calibration run: the three targets drawn and erased over saved screen squares,
// the wait for each touch with Esc and the run's time limit, and the computed record
// handed to the driver.
#include "calibrate/korvelaim.h"

#include "shared/touch_device.h"

namespace {

TargetPosition g_targets[CALIBRATION_TARGET_COUNT];
TouchReading g_touches[CALIBRATION_TARGET_COUNT];

// What lies under the current target, kept in a memory context so that the target
// can be erased. Either handle may be NULL: the targets are then drawn over.
struct CaptureContext {
    HDC memoryDc;
    HBITMAP square;
    HGDIOBJ previousBitmap;
};

void OpenCaptureContext(HDC windowDc, CaptureContext* context)
{
    const int side = SavedSquareBitmapSide(g_screenWidth);
    context->memoryDc = CreateCompatibleDC(windowDc);
    context->square = NULL;
    context->previousBitmap = NULL;
    if (context->memoryDc == NULL)
        return;
    context->square = CreateCompatibleBitmap(windowDc, side, side);
    if (context->square != NULL)
        context->previousBitmap = SelectObject(context->memoryDc, context->square);
}

void CloseCaptureContext(CaptureContext* context)
{
    if (context->memoryDc == NULL)
        return;
    if (context->square != NULL) {
        SelectObject(context->memoryDc, context->previousBitmap);
        DeleteObject(context->square);
    }
    DeleteDC(context->memoryDc);
}

BOOL CanSaveSquares(const CaptureContext* context)
{
    return context->memoryDc != NULL && context->square != NULL;
}

// Corner of the saved square around a target.
POINT SquareOrigin(int index)
{
    const int reach = TargetRadius(g_screenWidth) + 4;
    POINT corner = {g_targets[index].x - reach, g_targets[index].y - reach};
    return corner;
}

void DrawTargetShape(HDC dc, int index)
{
    const int x = g_targets[index].x;
    const int y = g_targets[index].y;
    const int r = TargetRadius(g_screenWidth);

    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HBRUSH brush = CreateSolidBrush(CALIBRATION_BACKGROUND);
    HGDIOBJ previousPen = SelectObject(dc, pen);
    HGDIOBJ previousBrush = SelectObject(dc, brush);

    Ellipse(dc, x - r, y - r, x + r, y + r);
    const POINT vertical[2] = {{x, y - r - 4}, {x, y + r + 4}};
    const POINT horizontal[2] = {{x - r - 4, y}, {x + r + 4, y}};
    Polyline(dc, vertical, 2);
    Polyline(dc, horizontal, 2);

    SelectObject(dc, previousBrush);
    SelectObject(dc, previousPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

// Erases the target before `index` and draws the target at `index`; index 3 only
// erases the last one.
void DrawTarget(int index, const CaptureContext* context, HDC windowDc)
{
    const int side = TargetSquareSide(g_screenWidth);
    PostMessageA(g_calibrationWindow, WM_PAINT, 0, 0);
    if (CanSaveSquares(context) && index > 0) {
        const POINT previous = SquareOrigin(index - 1);
        BitBlt(windowDc, previous.x, previous.y, side, side, context->memoryDc, 0, 0, SRCCOPY);
    }
    if (index == CALIBRATION_TARGET_COUNT)
        return;
    if (CanSaveSquares(context)) {
        const POINT current = SquareOrigin(index);
        BitBlt(context->memoryDc, 0, 0, side, side, windowDc, current.x, current.y, SRCCOPY);
    }
    DrawTargetShape(windowDc, index);
    // Repaints the instruction panel; the shell never starts a run from this paint.
    SendMessageA(g_calibrationWindow, WM_PAINT, 0, 0);
}

// Handles one message taken for the calibration window during a wait. Returns TRUE
// when it ends the run: Esc, a quit, or a close posted from outside or typed as
// Alt+F4, which would have closed the window had it been dispatched.
BOOL TakeWaitMessage(const MSG* message, TouchPoint* point)
{
    switch (message->message) {
    case WM_KEYDOWN:
        return message->wParam == VK_ESCAPE;
    case WM_SYSKEYDOWN:
        return message->wParam == VK_F4;
    case WM_CLOSE:
        return TRUE;
    case WM_QUIT:
        // It goes back for the program's own loop, which ends too.
        PostQuitMessage((int)message->wParam);
        g_endRequested = TRUE;
        return TRUE;
    case WM_TIMER:
        if (CountRunTick(&g_tickCount)) {
            g_abortFlag = TRUE;
            KillTimer(g_calibrationWindow, RUN_TIMER_ID);
        }
        return FALSE;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        SendTouchRequest(g_device, IOCTL_TOUCH_READ_POINT, NULL, 0, point, sizeof(*point), NULL);
        return FALSE;
    case WM_PAINT:
        // Dropped like the rest, but a window left invalid would have its paint
        // generated again at once and keep the wait from ever sleeping.
        ValidateRect(message->hwnd, NULL);
        return FALSE;
    default:
        return FALSE;
    }
}

// Waits for the touch on target `index`: 0 when its reading is in the touch table,
// 1 when the run is to stop. The calibration window's messages are taken here and
// never dispatched; when none is waiting the thread sleeps until one arrives. Messages
// sent to the window (a close, the end of the session) reach its procedure inside
// PeekMessage, which asks for the end through g_endRequested.
int WaitForTouch(int index)
{
    TouchPoint point;
    point.reserved = 0;
    point.status = TOUCH_POINT_PENDING;
    point.x = 0;
    point.y = 0;
    BOOL escape = FALSE;
    for (;;) {
        MSG message;
        // A quit is the thread's, not the window's, so it is asked for on its own; Wine
        // also hands it to a peek for the window, even one posted while that peek ran a
        // sent message.
        BOOL taken = PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE);
        if (!taken && !g_endRequested)
            taken = PeekMessageA(&message, g_calibrationWindow, 0, 0, PM_REMOVE);
        if (taken && TakeWaitMessage(&message, &point))
            escape = TRUE;
        if (g_endRequested)
            escape = TRUE;
        if (g_abortFlag) {
            escape = TRUE;
            break;
        }
        if (escape || point.status != TOUCH_POINT_PENDING)
            break;
        if (!taken)
            WaitMessage();
    }
    g_touches[index].x = point.x;
    g_touches[index].y = point.y;
    return escape || g_abortFlag ? 1 : 0;
}

} // namespace

RunOutcome RunCalibration(HWND window)
{
    ComputeTargetPositions(g_screenWidth, g_screenHeight, g_targets);

    HDC windowDc = GetDC(window);
    CaptureContext context;
    OpenCaptureContext(windowDc, &context);

    int index = 0;
    while (index < CALIBRATION_TARGET_COUNT) {
        SendTouchRequest(g_device, IOCTL_TOUCH_CLEAR_POINT, NULL, 0, NULL, 0, NULL);
        DrawTarget(index, &context, windowDc);
        g_abortFlag = WaitForTouch(index);
        if (g_abortFlag)
            break;
        ++index;
    }
    KillTimer(window, RUN_TIMER_ID);
    // After a complete run this erases the last target; after an abort it draws the
    // target the run stopped on again, which stays on the screen.
    DrawTarget(index, &context, windowDc);

    CloseCaptureContext(&context);
    ReleaseDC(window, windowDc);

    if (g_abortFlag)
        return RUN_ENDED;
    if (!TouchesDescribeScreen(g_touches))
        return RUN_TOUCHES_REFUSED;
    g_calibration = ComputeCalibration(g_touches);
    if (!SendTouchRequest(g_device, IOCTL_TOUCH_SET_CALIBRATION, &g_calibration, sizeof(g_calibration), NULL, 0,
                          NULL))
        return RUN_ENDED;
    return RUN_COMPLETED;
}
