// The library's attach step and the Control Panel entry: listing the applet and
// opening its sheet after the instance, privilege, driver and settings checks.
#include <windows.h>

#include <cpl.h>

#include "applet/applet.h"
#include "applet/exports.h"
#include "applet/property_sheet.h"
#include "applet/resource.h"
#include "applet/touch_settings.h"
#include "shared/platform.h"
#include "shared/privilege.h"

HINSTANCE AppletInstance = NULL;
int AppletOsKind = OS_KIND_OTHER;

namespace {

// One sheet per hosting process, for the process's whole life: the mutex is created
// owned and never released.
bool ClaimSheetInstance(void)
{
    HANDLE mutex = CreateMutexA(NULL, TRUE, "TamPanel");
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // The first open's handle keeps the mutex alive; this one would only leak.
        if (mutex != NULL)
            CloseHandle(mutex);
        return false;
    }
    return true;
}

void OpenApplet(HWND hwndCPl)
{
    if (!ClaimSheetInstance())
        return;
    if (!CheckPrivilege(AppletOsKind, ReportSystemError)) {
        MessageBoxA(NULL, "You need to have Administrator Privilege to do this work.", APPLET_CAPTION,
                    MB_ICONERROR);
        return;
    }
    if (!IsDriverPresent())
        MessageBoxA(NULL, "Fatal Error:USB interface touchscreen driver not load!", APPLET_CAPTION,
                    MB_ICONWARNING);
    if (!LoadProfileSetting(AppletOsKind))
        MessageBoxA(NULL, "Touchscreen settings registry error! Use default values.", APPLET_CAPTION,
                    MB_ICONWARNING);
    ShowTouchProperties(hwndCPl);
}

LONG Inquire(CPLINFO* info)
{
    if (info != NULL) {
        info->idIcon = IDI_APPLET;
        info->idName = IDS_APPLET_NAME;
        info->idInfo = IDS_APPLET_DESCRIPTION;
        info->lData = 0;
    }
    return 0;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        AppletInstance = instance;
        AppletOsKind = GetOsKind();
    }
    return TRUE;
}

// CPL_NEWINQUIRE is left unanswered so that the Control Panel takes the name,
// description and icon from the resource ids of CPL_INQUIRE.
LONG APIENTRY CPlApplet(HWND hwndCPl, UINT uMsg, LPARAM, LPARAM lParam2)
{
    switch (uMsg) {
    case CPL_INIT:
        return 1;
    case CPL_GETCOUNT:
        return 1;
    case CPL_INQUIRE:
        return Inquire((CPLINFO*)lParam2);
    case CPL_DBLCLK:
        OpenApplet(hwndCPl);
        return 0;
    default:
        return 0;
    }
}
