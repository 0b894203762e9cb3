#include "setup_functions.h"

#include <commctrl.h>

#include "afxwin.h"
#include "shared/os_kind.h"
#include "shared/system_library.h"

SetupFunctions DeviceInstall;

namespace {

typedef BOOL(WINAPI* InitCommonControlsExProc)(const INITCOMMONCONTROLSEX*);

// "LoadLibrary setupapi.dll 126": the failing call, what it was for and the system's
// error code, then the system's text for it, under the program's name.
BOOL ReportLoadFailure(const char* call, const char* name)
{
    DWORD error = GetLastError();
    CString text;
    text.Format("%s %s %lu", call, name, error);
    char systemText[512];
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), systemText, sizeof(systemText), NULL) == 0)
        systemText[0] = '\0';
    char shown[sizeof(systemText)];
    FillSystemTextInserts(systemText, name, shown, sizeof(shown));
    if (shown[0] != '\0') {
        text += "\n";
        text += shown;
    }
    CWnd().MessageBox(text);
    return FALSE;
}

HMODULE LoadLibraryOrReport(const char* fileName)
{
    HMODULE library = LoadSystemLibrary(fileName);
    if (library == NULL)
        ReportLoadFailure("LoadLibrary", fileName);
    return library;
}

template <class Function> BOOL TakeFunction(HMODULE library, const char* name, Function* function)
{
    *function = (Function)(void*)GetProcAddress(library, name);
    return *function != NULL ? TRUE : ReportLoadFailure("GetProcAddress", name);
}

// Dialog templates hold common controls, whose classes exist only once registered.
BOOL RegisterCommonControls()
{
    HMODULE library = LoadCommonControlsLibrary();
    if (library == NULL)
        return ReportLoadFailure("LoadLibrary", "comctl32.dll");
    InitCommonControlsExProc initialise;
    if (!TakeFunction(library, "InitCommonControlsEx", &initialise))
        return FALSE;
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_WIN95_CLASSES};
    initialise(&classes);
    return TRUE;
}

} // namespace

BOOL LoadSetupFunctions()
{
    if (!RegisterCommonControls())
        return FALSE;
    HMODULE setupapi = LoadLibraryOrReport("setupapi.dll");
    if (setupapi == NULL)
        return FALSE;
    HMODULE newdev = LoadLibraryOrReport("newdev.dll");
    if (newdev == NULL)
        return FALSE;
    return TakeFunction(setupapi, "SetupDiGetClassDevsA", &DeviceInstall.SetupDiGetClassDevsA) &&
           TakeFunction(setupapi, "SetupDiEnumDeviceInfo", &DeviceInstall.SetupDiEnumDeviceInfo) &&
           TakeFunction(setupapi, "SetupDiGetDeviceRegistryPropertyA", &DeviceInstall.SetupDiGetDeviceRegistryPropertyA) &&
           TakeFunction(setupapi, "SetupDiDestroyDeviceInfoList", &DeviceInstall.SetupDiDestroyDeviceInfoList) &&
           TakeFunction(setupapi, "SetupPromptReboot", &DeviceInstall.SetupPromptReboot) &&
           TakeFunction(newdev, "UpdateDriverForPlugAndPlayDevicesA", &DeviceInstall.UpdateDriverForPlugAndPlayDevicesA);
}
