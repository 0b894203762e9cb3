// "Korvelseek.exe /quiet /remove": everything that the driver package brought, taken
// away again, so that a touchscreen plugged in afterwards is new hardware to Windows.
// The devices that use the driver are removed, the driver's service (and with it the
// stored calibration and settings under its key) and file are deleted, the copies in
// the system folder too, and the staged package is taken out of Windows' INF folder.
// What is in use is deleted at the next restart, and the exit code then asks for one.
#include "installer/quiet_install.h"

#include <mbstring.h>
#include <stdio.h>
#include <string.h>

#include "installer/hardware_id_match.h"
#include "installer/setup_functions.h"

#define DRIVER_SERVICE "Korvelscreen"
#define DRIVER_FILE "drivers\\korvelscreen.sys"

namespace {

// SetupUninstallOEMInfA arrived with Windows XP: Windows 2000 takes the staged package
// out by deleting its files.
typedef BOOL(WINAPI* UninstallOemInf)(PCSTR infFileName, DWORD flags, PVOID reserved);

struct RemoveOutcome {
    bool restart;
    bool failed;
};

// The first failure is the one line reported; the steps after it still run.
void Fail(RemoveOutcome* outcome, const char* step, DWORD error)
{
    if (!outcome->failed)
        FailQuietStep(step, error);
    outcome->failed = true;
}

// A device of ours: bound to the driver's service, or carrying a supported ID.
bool UsesDriver(HDEVINFO devices, SP_DEVINFO_DATA* device)
{
    char service[MAX_PATH];
    if (DeviceInstall.SetupDiGetDeviceRegistryPropertyA(devices, device, SPDRP_SERVICE, NULL, (BYTE*)service,
                                                        sizeof(service), NULL) &&
        lstrcmpiA(service, DRIVER_SERVICE) == 0)
        return true;
    BYTE list[HARDWARE_ID_LIST_SIZE];
    DWORD size = 0;
    return DeviceInstall.SetupDiGetDeviceRegistryPropertyA(devices, device, SPDRP_HARDWAREID, NULL, list, sizeof(list),
                                                           &size) &&
           MatchHardwareIdList(SupportedHardwareIds, list, size, _mbsupr) != HARDWARE_ID_NO_MATCH;
}

// Every device of ours, present or not, removed.
void RemoveDevices(RemoveOutcome* outcome)
{
    HDEVINFO devices = DeviceInstall.SetupDiGetClassDevsA(NULL, NULL, NULL, DIGCF_ALLCLASSES);
    if (devices == INVALID_HANDLE_VALUE) {
        Fail(outcome, "SetupDiGetClassDevs", GetLastError());
        return;
    }
    SP_DEVINFO_DATA device;
    device.cbSize = sizeof(device);
    for (DWORD index = 0; DeviceInstall.SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
        if (!UsesDriver(devices, &device))
            continue;
        if (!DeviceInstall.SetupDiCallClassInstaller(DIF_REMOVE, devices, &device)) {
            Fail(outcome, "SetupDiCallClassInstaller DIF_REMOVE", GetLastError());
            continue;
        }
        SP_DEVINSTALL_PARAMS_A params;
        params.cbSize = sizeof(params);
        if (DeviceInstall.SetupDiGetDeviceInstallParamsA(devices, &device, &params) &&
            (params.Flags & (DI_NEEDREBOOT | DI_NEEDRESTART)) != 0)
            outcome->restart = true;
    }
    DeviceInstall.SetupDiDestroyDeviceInfoList(devices);
}

void DeleteDriverService(RemoveOutcome* outcome)
{
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
    if (manager == NULL) {
        Fail(outcome, "OpenSCManager", GetLastError());
        return;
    }
    SC_HANDLE service = OpenServiceA(manager, DRIVER_SERVICE, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE);
    if (service == NULL) {
        DWORD error = GetLastError();
        if (error != ERROR_SERVICE_DOES_NOT_EXIST)
            Fail(outcome, "OpenService " DRIVER_SERVICE, error);
        CloseServiceHandle(manager);
        return;
    }
    SERVICE_STATUS status;
    // A driver that cannot stop now goes with the restart.
    if (!ControlService(service, SERVICE_CONTROL_STOP, &status) && GetLastError() != ERROR_SERVICE_NOT_ACTIVE)
        outcome->restart = true;
    if (!DeleteService(service) && GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE)
        Fail(outcome, "DeleteService " DRIVER_SERVICE, GetLastError());
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
}

// A file of the system folder deleted now or, when in use, at the next restart.
void DeleteSystemFile(RemoveOutcome* outcome, const char* name)
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + 1 + strlen(name) >= MAX_PATH) {
        Fail(outcome, "GetSystemDirectory", GetLastError());
        return;
    }
    strcat(path, "\\");
    strcat(path, name);
    if (DeleteFileA(path))
        return;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return;
    if (MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        outcome->restart = true;
        return;
    }
    char step[MAX_PATH + 20];
    _snprintf(step, sizeof(step), "DeleteFile %s", path);
    step[sizeof(step) - 1] = '\0';
    Fail(outcome, step, error);
}

// The staged copy of the package beside the program: Windows names it when asked to
// stage the same package again without overwriting.
void UnstagePackage(RemoveOutcome* outcome)
{
    char infPath[MAX_PATH];
    if (!GetPackageInfPath(infPath)) {
        outcome->failed = true;
        return;
    }
    // When it was not staged, it is now, and goes the same way.
    char staged[MAX_PATH];
    staged[0] = '\0';
    if (!DeviceInstall.SetupCopyOEMInfA(infPath, NULL, SPOST_PATH, SP_COPY_NOOVERWRITE, staged, sizeof(staged), NULL,
                                        NULL) &&
        GetLastError() != ERROR_FILE_EXISTS) {
        Fail(outcome, "SetupCopyOEMInf", GetLastError());
        return;
    }
    unsigned char* slash = _mbsrchr((unsigned char*)staged, '\\');
    if (slash == NULL) {
        Fail(outcome, "SetupCopyOEMInf", ERROR_FILE_NOT_FOUND);
        return;
    }
    const char* stagedName = (const char*)slash + 1;
    UninstallOemInf uninstall =
        (UninstallOemInf)(void*)GetProcAddress(GetModuleHandleA("setupapi.dll"), "SetupUninstallOEMInfA");
    if (uninstall != NULL) {
        if (!uninstall(stagedName, SUOI_FORCEDELETE, NULL)) {
            Fail(outcome, "SetupUninstallOEMInf", GetLastError());
            return;
        }
    } else if (!DeleteFileA(staged)) {
        Fail(outcome, "DeleteFile (staged package)", GetLastError());
        return;
    }
    // The precompiled copy beside it, where nothing took it (Windows 2000; Wine keeps it).
    char* dot = strrchr(staged, '.');
    if (dot != NULL) {
        strcpy(dot, ".pnf");
        DeleteFileA(staged);
    }
}

} // namespace

int RunQuietRemove()
{
    RemoveOutcome outcome = {false, false};
    RemoveDevices(&outcome);
    DeleteDriverService(&outcome);
    DeleteSystemFile(&outcome, DRIVER_FILE);
    DeleteSystemFile(&outcome, "Korvelpad.cpl");
    DeleteSystemFile(&outcome, "Korvelaim.exe");
    UnstagePackage(&outcome);
    if (outcome.failed)
        return QUIET_EXIT_FAILED;
    return outcome.restart ? QUIET_EXIT_RESTART : QUIET_EXIT_DONE;
}
