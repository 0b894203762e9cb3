#include "setup_functions.h"

#include <commctrl.h>

#include "afxwin.h"
#include "shared/system_library.h"

SetupFunctions DeviceInstall;

namespace {

typedef BOOL(WINAPI* InitCommonControlsExProc)(const INITCOMMONCONTROLSEX*);

// "LoadLibrary setupapi.dll 126": the failing call, what it was for and the system's
// error code, under the program's name.
BOOL ReportLoadFailure(const char* call, const char* name)
{
    CString text;
    text.Format("%s %s %lu", call, name, GetLastError());
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
