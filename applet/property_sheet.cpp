#include "property_sheet.h"

#include <commctrl.h>
#include <prsht.h>

#include <stddef.h>

#include "applet/applet.h"
#include "applet/calibrator_path.h"
#include "applet/common_controls.h"
#include "applet/dialog_font.h"
#include "applet/pages.h"
#include "applet/resource.h"
#include "shared/module_folder.h"
#include "applet/touch_settings.h"
#include "shared/touch_device.h"

namespace {

// The header version that ends with the watermark and header-bitmap fields, the
// newest every supported comctl32 knows.
const UINT kSheetHeaderSize = offsetof(PROPSHEETHEADERA, hbmHeader) + sizeof(HBITMAP);
static_assert(offsetof(PROPSHEETHEADERA, hbmHeader) + sizeof(HBITMAP) == (sizeof(void*) == 4 ? 52 : 96),
              "the header ends with the header bitmap");

struct PageDescription {
    int templateId;
    const char* title;
    DLGPROC procedure;
};

const PageDescription kPages[] = {
    {IDD_CALIBRATION, "Calibration", CalibrationPage},
    {IDD_SETTINGS, "Settings", SettingsPage},
    {IDD_SOUND, "Sound", SoundPage},
    {IDD_ABOUT, "About", AboutPage},
};

const int kPageCount = sizeof(kPages) / sizeof(kPages[0]);

// The sheet steps through the page array by each page's size, so the array holds
// records of exactly the version announced.
static_assert(sizeof(PROPSHEETPAGEA_V2) == (sizeof(void*) == 4 ? 48 : 88), "page records end with the header titles");

// The pages' font, from the first page's template.
bool LoadPageFont(DialogFont* font)
{
    HRSRC resource = FindResourceA(AppletInstance, MAKEINTRESOURCEA(kPages[0].templateId), (LPCSTR)RT_DIALOG);
    const void* dialog = resource != NULL ? LockResource(LoadResource(AppletInstance, resource)) : NULL;
    return dialog != NULL && ReadDialogFont((const uint8_t*)dialog, SizeofResource(AppletInstance, resource), font);
}

// The sheet sizes its page area by converting the pages' dialog units with its own
// template's font; the pages lay themselves out in theirs, a larger one, and would be
// cut off. Given the pages' font, the sheet measures them as they are drawn. The
// template is the sheet's own copy, changed in place within its present length.
int CALLBACK SheetCallback(HWND, UINT message, LPARAM lParam)
{
    DialogFont font;
    if (message == PSCB_PRECREATE && lParam != 0 && LoadPageFont(&font)) {
        uint8_t* dialog = (uint8_t*)lParam;
        SetDialogFont(dialog, DialogTemplateSize(dialog, SIZE_MAX), font);
    }
    return 0;
}

} // namespace

void ShowTouchProperties(HWND owner)
{
    PROPSHEETPAGEA_V2 pages[kPageCount];
    ZeroMemory(pages, sizeof(pages));
    for (int i = 0; i < kPageCount; ++i) {
        pages[i].dwSize = sizeof(PROPSHEETPAGEA_V2);
        pages[i].dwFlags = PSP_USETITLE;
        pages[i].hInstance = AppletInstance;
        pages[i].pszTemplate = MAKEINTRESOURCEA(kPages[i].templateId);
        pages[i].pszTitle = kPages[i].title;
        pages[i].pfnDlgProc = kPages[i].procedure;
    }

    PROPSHEETHEADERA header;
    ZeroMemory(&header, sizeof(header));
    header.dwSize = kSheetHeaderSize;
    header.dwFlags = PSH_USEICONID | PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USECALLBACK;
    header.hwndParent = owner;
    header.hInstance = AppletInstance;
    header.pszIcon = MAKEINTRESOURCEA(IDI_APPLET);
    header.pszCaption = "Korvel Touchscreen Properties";
    header.nPages = kPageCount;
    header.nStartPage = 0;
    header.ppsp = (LPCPROPSHEETPAGEA)pages;
    header.pfnCallback = SheetCallback;
    RunStyledPropertySheet(&header);
}

INT_PTR HandleSheetNotify(HWND page, const NMHDR* header)
{
    switch (header->code) {
    case PSN_QUERYCANCEL:
        // Gives up the beep values the Sound page sent the driver live.
        if (SettingsChanged)
            RequestDriverReload();
        return FALSE;
    case PSN_APPLY:
        if (SettingsChanged) {
            SaveProfileSetting(AppletOsKind);
            RequestDriverReload();
        }
        SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
        return TRUE;
    case PSN_SETACTIVE:
        // Sent before the page shows, so its first paint has the texture.
        UseTabTexture(page);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        return TRUE;
    case PSN_KILLACTIVE:
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL RequestDriverReload(void)
{
    return SendTouchRequestOnce(IOCTL_TOUCH_RELOAD_SETTINGS, NULL, 0, NULL, 0, NULL);
}

BOOL IsDriverPresent(void)
{
    HANDLE device = OpenTouchDevice();
    if (device == INVALID_HANDLE_VALUE)
        return FALSE;
    CloseHandle(device);
    return TRUE;
}

BOOL LaunchCalibration(void)
{
    char folder[MAX_PATH];
    char path[MAX_PATH];
    if (!GetModuleFolder(AppletInstance, folder, sizeof(folder)) || !CalibratorPathInFolder(folder, path, sizeof(path)))
        return FALSE;

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMAXIMIZED;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(path, NULL, NULL, NULL, FALSE, NORMAL_PRIORITY_CLASS, NULL, NULL, &startup, &process))
        return FALSE;
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    return TRUE;
}
