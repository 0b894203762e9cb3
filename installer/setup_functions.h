// Windows' device installation and common controls functions that Korvelseek calls.
// setupapi.dll, newdev.dll and comctl32.dll are no KnownDLLs: imported, they would be
// looked for first in the program's folder, which is wherever the archive was
// unpacked. They are loaded at start, before anything of theirs is used.
#pragma once

#include <windows.h>

#include <newdev.h>
#include <setupapi.h>

#include "afxwin.h"

struct SetupFunctions {
    decltype(&::SetupDiGetClassDevsA) SetupDiGetClassDevsA;
    decltype(&::SetupDiEnumDeviceInfo) SetupDiEnumDeviceInfo;
    decltype(&::SetupDiGetDeviceRegistryPropertyA) SetupDiGetDeviceRegistryPropertyA;
    decltype(&::SetupDiDestroyDeviceInfoList) SetupDiDestroyDeviceInfoList;
    decltype(&::SetupPromptReboot) SetupPromptReboot;
    decltype(&::SetupCopyOEMInfA) SetupCopyOEMInfA;
    decltype(&::SetupDiCallClassInstaller) SetupDiCallClassInstaller;
    decltype(&::SetupDiGetDeviceInstallParamsA) SetupDiGetDeviceInstallParamsA;
    decltype(&::UpdateDriverForPlugAndPlayDevicesA) UpdateDriverForPlugAndPlayDevicesA;
};

extern SetupFunctions DeviceInstall;

// Loads comctl32 as the program's manifest asks for it and registers the common
// controls' classes, then loads setupapi and newdev from the system folder and takes
// the functions above. FALSE when any of them cannot be had, with failure naming the
// failing call and the system's error code and text, for the caller to show.
BOOL LoadSetupFunctions(CString& failure);
