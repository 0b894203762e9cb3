#include "applet/page_help.h"

#include "applet/resource.h"

#define HELP_FILE "TamUsb.hlp"

const DWORD HelpIdTable[] = {
    IDC_MOUSE_MODE_GROUP, (DWORD)-1,
    IDC_CLICK_ON_TOUCH, 15480,
    IDC_CLICK_ON_RELEASE, 15481,
    IDC_DRAG, 15482,
    IDC_DOUBLE_CLICK_DRAG, 15483,
    IDC_REGION_LABEL, 15484,
    IDC_DRAG_DELAY, 15485,
    IDC_BEEP_MODE, 15500,
    IDC_BEEP_FREQUENCY, 15501,
    IDC_BEEP_DURATION, 15502,
    0, 0,
};

// A missing help file is the help system's to report; its result changes nothing here.
INT_PTR OnHelp(const HELPINFO* info)
{
    if (info->iContextType == HELPINFO_WINDOW)
        WinHelpA((HWND)info->hItemHandle, HELP_FILE, HELP_WM_HELP, (ULONG_PTR)HelpIdTable);
    return TRUE;
}

INT_PTR OnContextMenu(HWND window)
{
    WinHelpA(window, HELP_FILE, HELP_CONTEXTMENU, (ULONG_PTR)HelpIdTable);
    return FALSE;
}
