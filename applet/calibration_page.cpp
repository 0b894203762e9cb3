// The Calibration page: a button that runs the calibration program.
#include "applet/pages.h"

#include "applet/applet.h"
#include "applet/property_sheet.h"
#include "applet/resource.h"

namespace {

INT_PTR OnInitDialog(HWND page)
{
    HICON icon = LoadIconA(AppletInstance, MAKEINTRESOURCEA(IDI_APPLET));
    SendDlgItemMessageA(page, IDC_CALIBRATE, BM_SETIMAGE, IMAGE_ICON, (LPARAM)icon);
    return FALSE;
}

INT_PTR OnCommand(HWND page, WPARAM wParam)
{
    if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_CALIBRATE && !LaunchCalibration())
        MessageBoxA(page, "Launch touchscreen calibration application error! Run it directly", APPLET_CAPTION,
                    MB_ICONWARNING);
    return FALSE;
}

} // namespace

INT_PTR CALLBACK CalibrationPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(page);
    case WM_COMMAND:
        return OnCommand(page, wParam);
    case WM_NOTIFY:
        return HandleSheetNotify(page, (const NMHDR*)lParam);
    default:
        return FALSE;
    }
}
