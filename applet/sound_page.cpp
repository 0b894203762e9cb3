// The Sound page: beep mode, frequency and duration, edited in place in TouchSettings
// and handed to the driver at every change so that the user can touch and listen
// before confirming.
#include "applet/pages.h"

#include <commctrl.h>

#include "applet/exports.h"
#include "applet/page_help.h"
#include "applet/property_sheet.h"
#include "applet/resource.h"
#include "applet/touch_settings.h"

namespace {

const char* const kBeepModes[] = {"Disabled", "Touch", "Release"};

void SetUpTrackbar(HWND page, int id, DWORD low, DWORD high, DWORD ticks, DWORD position)
{
    HWND trackbar = GetDlgItem(page, id);
    SendMessageA(trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(low, high));
    SendMessageA(trackbar, TBM_SETTICFREQ, ticks, 0);
    SendMessageA(trackbar, TBM_SETPOS, TRUE, position);
}

// A failed request (driver absent) changes nothing: the value is stored on OK.
void SendBeepToDriver(void)
{
    SetBeep(TouchSettings.BeepMode, TouchSettings.BeepFreq, TouchSettings.BeepTime);
}

INT_PTR OnInitDialog(HWND page)
{
    HWND modes = GetDlgItem(page, IDC_BEEP_MODE);
    SendMessageA(modes, CB_RESETCONTENT, 0, 0);
    for (const char* name : kBeepModes)
        SendMessageA(modes, CB_ADDSTRING, 0, (LPARAM)name);
    SetUpTrackbar(page, IDC_BEEP_DURATION, BEEP_TIME_MIN, BEEP_TIME_MAX, 48, TouchSettings.BeepTime);
    SetUpTrackbar(page, IDC_BEEP_FREQUENCY, BEEP_FREQ_MIN, BEEP_FREQ_MAX, 400, TouchSettings.BeepFreq);
    SendMessageA(modes, CB_SETCURSEL, TouchSettings.BeepMode, 0);
    return FALSE;
}

INT_PTR OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == CBN_SELENDOK && LOWORD(wParam) == IDC_BEEP_MODE) {
        TouchSettings.BeepMode = (DWORD)SendMessageA((HWND)lParam, CB_GETCURSEL, 0, 0);
        SendBeepToDriver();
        SettingsChanged = TRUE;
    }
    return FALSE;
}

INT_PTR OnHScroll(HWND page, HWND source)
{
    if (source != NULL && source == GetDlgItem(page, IDC_BEEP_FREQUENCY))
        TouchSettings.BeepFreq = (DWORD)SendMessageA(source, TBM_GETPOS, 0, 0);
    else if (source != NULL && source == GetDlgItem(page, IDC_BEEP_DURATION))
        TouchSettings.BeepTime = (DWORD)SendMessageA(source, TBM_GETPOS, 0, 0);
    SettingsChanged = TRUE;
    SendBeepToDriver();
    return FALSE;
}

} // namespace

INT_PTR CALLBACK SoundPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(page);
    case WM_COMMAND:
        return OnCommand(wParam, lParam);
    case WM_HSCROLL:
        return OnHScroll(page, (HWND)lParam);
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
