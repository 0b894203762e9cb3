// The Settings page: mouse mode, double-click region, drag delay and the hidden
// button mode, edited in place in TouchSettings.
#include "applet/pages.h"

#include <commctrl.h>

#include "applet/page_help.h"
#include "applet/property_sheet.h"
#include "applet/resource.h"
#include "applet/touch_settings.h"
#include "shared/touch_ioctl.h"

namespace {

const char* const kButtonModes[] = {"LEFT", "RIGHT", "MIDDLE"};

void EnableControl(HWND page, int id, bool enable)
{
    EnableWindow(GetDlgItem(page, id), enable ? TRUE : FALSE);
}

void EnableRegionControls(HWND page)
{
    bool enable = TouchSettings.MouseMode == MOUSE_MODE_DOUBLE_CLICK_DRAG;
    EnableControl(page, IDC_REGION_UPDOWN, enable);
    EnableControl(page, IDC_REGION_EDIT, enable);
    EnableControl(page, IDC_REGION_LABEL, enable);
}

void EnableDragDelayControls(HWND page)
{
    bool enable = TouchSettings.MouseMode == MOUSE_MODE_DRAG || TouchSettings.MouseMode == MOUSE_MODE_DOUBLE_CLICK_DRAG;
    EnableControl(page, IDC_DRAG_DELAY, enable);
    EnableControl(page, IDC_DRAG_DELAY_SHORT, enable);
    EnableControl(page, IDC_DRAG_DELAY_LONG, enable);
    EnableControl(page, IDC_DRAG_DELAY_GROUP, enable);
}

// Outside mode 3 the page shows the standard size; the field keeps its own value.
void ShowRegion(HWND page)
{
    WORD shown = LOWORD(DoubleClickSize(TouchSettings.MouseMode, TouchSettings.DblClkRegion));
    SendDlgItemMessageA(page, IDC_REGION_UPDOWN, UDM_SETPOS, 0, MAKELPARAM(shown, 0));
}

INT_PTR OnInitDialog(HWND page)
{
    HWND updown = GetDlgItem(page, IDC_REGION_UPDOWN);
    SendMessageA(updown, UDM_SETBUDDY, (WPARAM)GetDlgItem(page, IDC_REGION_EDIT), 0);
    SendMessageA(updown, UDM_SETRANGE, 0, MAKELPARAM(100, 5));
    ShowRegion(page);

    HWND delay = GetDlgItem(page, IDC_DRAG_DELAY);
    SendMessageA(delay, TBM_SETRANGE, TRUE, MAKELPARAM(0, DRAG_DELAY_MAX));
    SendMessageA(delay, TBM_SETTICFREQ, 150, 0);
    SendMessageA(delay, TBM_SETPOS, TRUE, TouchSettings.DragDelay);

    HWND buttons = GetDlgItem(page, IDC_BUTTON_MODE);
    SendMessageA(buttons, CB_RESETCONTENT, 0, 0);
    for (const char* name : kButtonModes)
        SendMessageA(buttons, CB_ADDSTRING, 0, (LPARAM)name);
    SendMessageA(buttons, CB_SETCURSEL, TouchSettings.ButtonMode, 0);

    CheckRadioButton(page, IDC_CLICK_ON_TOUCH, IDC_DOUBLE_CLICK_DRAG, IDC_CLICK_ON_TOUCH + TouchSettings.MouseMode);
    EnableRegionControls(page);
    EnableDragDelayControls(page);
    return FALSE;
}

void OnModeClicked(HWND page, int id)
{
    CheckRadioButton(page, IDC_CLICK_ON_TOUCH, IDC_DOUBLE_CLICK_DRAG, id);
    TouchSettings.MouseMode = id - IDC_CLICK_ON_TOUCH;
    EnableRegionControls(page);
    ShowRegion(page);
    EnableDragDelayControls(page);
    SettingsChanged = TRUE;
}

INT_PTR OnCommand(HWND page, WPARAM wParam, LPARAM lParam)
{
    int id = LOWORD(wParam);
    if (HIWORD(wParam) == BN_CLICKED && id >= IDC_CLICK_ON_TOUCH && id <= IDC_DOUBLE_CLICK_DRAG) {
        OnModeClicked(page, id);
    } else if (HIWORD(wParam) == CBN_SELENDOK && id == IDC_BUTTON_MODE) {
        TouchSettings.ButtonMode = (DWORD)SendMessageA((HWND)lParam, CB_GETCURSEL, 0, 0);
        SettingsChanged = TRUE;
    }
    return FALSE;
}

// Every notification counts as an edit, those of a thumb being dragged included.
INT_PTR OnHScroll(HWND page, HWND source)
{
    if (source != NULL && source == GetDlgItem(page, IDC_DRAG_DELAY)) {
        TouchSettings.DragDelay = (DWORD)SendMessageA(source, TBM_GETPOS, 0, 0);
        SettingsChanged = TRUE;
    }
    return FALSE;
}

INT_PTR OnVScroll(HWND page, HWND source)
{
    if (source != NULL && source == GetDlgItem(page, IDC_REGION_UPDOWN)) {
        TouchSettings.DblClkRegion = LOWORD(SendMessageA(source, UDM_GETPOS, 0, 0));
        SettingsChanged = TRUE;
    }
    return FALSE;
}

} // namespace

INT_PTR CALLBACK SettingsPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(page);
    case WM_COMMAND:
        return OnCommand(page, wParam, lParam);
    case WM_HSCROLL:
        return OnHScroll(page, (HWND)lParam);
    case WM_VSCROLL:
        return OnVScroll(page, (HWND)lParam);
    case WM_HELP:
        return OnHelp((const HELPINFO*)lParam);
    case WM_CONTEXTMENU:
        return OnContextMenu((HWND)wParam);
    case WM_NOTIFY:
        return HandleSheetNotify(page, (const NMHDR*)lParam);
    default:
        return FALSE;
    }
}
