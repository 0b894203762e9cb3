#include "setup_functions.h"

#include <commctrl.h>

#include "installer/system_message.h"
#include "shared/system_library.h"

SetupFunctions DeviceInstall;

namespace {

typedef BOOL(WINAPI* InitCommonControlsExProc)(const INITCOMMONCONTROLSEX*);

// "LoadLibrary setupapi.dll 126": the failing call, what it was for and the system's
// error code, then the system's text for it.
BOOL DescribeLoadFailure(CString& failure, const char* call, const char* name)
{
    DWORD error = GetLastError();
    failure.Format("%s %s %lu", call, name, error);
    char shown[SYSTEM_MESSAGE_SIZE];
    GetSystemMessage(error, name, shown);
    if (shown[0] != '\0') {
        failure += "\n";
        failure += shown;
    }
    return FALSE;
}

template <class Function> BOOL TakeFunction(CString& failure, HMODULE library, const char* name, Function* function)
{
    return GetLibraryFunction(library, name, function) ? TRUE : DescribeLoadFailure(failure, "GetProcAddress", name);
}

// Dialog templates hold common controls, whose classes exist only once registered.
BOOL RegisterCommonControls(CString& failure)
{
    HMODULE library = LoadCommonControlsLibrary();
    if (library == NULL)
        return DescribeLoadFailure(failure, "LoadLibrary", "comctl32.dll");
    InitCommonControlsExProc initialise;
    if (!TakeFunction(failure, library, "InitCommonControlsEx", &initialise))
        return FALSE;
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_WIN95_CLASSES};
    initialise(&classes);
    return TRUE;
}

} // namespace

BOOL LoadSetupFunctions(CString& failure)
{
    if (!RegisterCommonControls(failure))
        return FALSE;
    HMODULE setupapi = LoadSystemLibrary("setupapi.dll");
    if (setupapi == NULL)
        return DescribeLoadFailure(failure, "LoadLibrary", "setupapi.dll");
    HMODULE newdev = LoadSystemLibrary("newdev.dll");
    if (newdev == NULL)
        return DescribeLoadFailure(failure, "LoadLibrary", "newdev.dll");
    return TakeFunction(failure, setupapi, "SetupDiGetClassDevsA", &DeviceInstall.SetupDiGetClassDevsA) &&
           TakeFunction(failure, setupapi, "SetupDiEnumDeviceInfo", &DeviceInstall.SetupDiEnumDeviceInfo) &&
           TakeFunction(failure, setupapi, "SetupDiGetDeviceRegistryPropertyA",
                        &DeviceInstall.SetupDiGetDeviceRegistryPropertyA) &&
           TakeFunction(failure, setupapi, "SetupDiDestroyDeviceInfoList",
                        &DeviceInstall.SetupDiDestroyDeviceInfoList) &&
           TakeFunction(failure, setupapi, "SetupPromptReboot", &DeviceInstall.SetupPromptReboot) &&
           TakeFunction(failure, setupapi, "SetupCopyOEMInfA", &DeviceInstall.SetupCopyOEMInfA) &&
           TakeFunction(failure, setupapi, "SetupDiCallClassInstaller", &DeviceInstall.SetupDiCallClassInstaller) &&
           TakeFunction(failure, setupapi, "SetupDiGetDeviceInstallParamsA",
                        &DeviceInstall.SetupDiGetDeviceInstallParamsA) &&
           TakeFunction(failure, newdev, "UpdateDriverForPlugAndPlayDevicesA",
                        &DeviceInstall.UpdateDriverForPlugAndPlayDevicesA);
}
