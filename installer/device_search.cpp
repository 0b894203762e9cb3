// The installer's two steps on its worker thread: looking through the present
// devices for a supported touchscreen, and having Windows install the driver
// package for every supported hardware ID.
#include "installer_dlg.h"

#include <mbstring.h>

#include "installer/hardware_id_match.h"
#include "installer/driver_update.h"
#include "installer/setup_functions.h"
#include "installer/system_message.h"

#define SEARCH_BAR_END 100
// The bar moves on by one after a device that did not match only when this many
// milliseconds have passed since it last moved: a long search shows it moving, while
// for most devices the position stays as it was, which costs the bar no repaint. At
// its end it starts again from the beginning, as the number of devices is not known.
#define SEARCH_BAR_STEP_MS 50

namespace {

void CopySupportedIds(char ids[SUPPORTED_HARDWARE_ID_COUNT][HARDWARE_ID_SIZE])
{
    for (int entry = 0; entry < SUPPORTED_HARDWARE_ID_COUNT; ++entry)
        wsprintfA(ids[entry], "%s", SupportedHardwareIds[entry]);
}

// What the user is told of a driver update that Windows refused: the step, its
// hardware ID, the system's error code and text, how many later steps failed too and,
// for a 32-bit program on 64-bit Windows, which program can do it.
void FormatUpdateFailure(CString& text, int step, const char* hardwareId, DWORD error, int laterFailures)
{
    text.Format("InstallDevice-UpdateDriverForPlugAndPlayDevices %lu\nStep %d of %d: %s", error, step,
                SUPPORTED_HARDWARE_ID_COUNT, hardwareId);
    // What an insert of the text stands for (some file of the package) is not known here.
    char shown[SYSTEM_MESSAGE_SIZE];
    GetSystemMessage(error, NULL, shown);
    if (shown[0] != '\0') {
        text += "\n";
        text += shown;
    }
    if (laterFailures > 0) {
        CString later;
        later.Format("\nLater steps that failed as well: %d", laterFailures);
        text += later;
    }
    if (error == ERROR_IN_WOW64)
        text += "\nThis 32-bit Korvelseek cannot install drivers on 64-bit Windows: run the 64-bit Korvelseek instead.";
}

} // namespace

BOOL CInstallerDlg::GetInstallDevice()
{
    char copies[SUPPORTED_HARDWARE_ID_COUNT][HARDWARE_ID_SIZE];
    CopySupportedIds(copies);
    const char* ids[SUPPORTED_HARDWARE_ID_COUNT + 1];
    for (int entry = 0; entry < SUPPORTED_HARDWARE_ID_COUNT; ++entry)
        ids[entry] = copies[entry];
    ids[SUPPORTED_HARDWARE_ID_COUNT] = NULL;
    BOOL found = FALSE;

    m_strStatus = "Searching Device...";
    UpdateData(FALSE);
    m_ctlProgress.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, SEARCH_BAR_END));

    HDEVINFO devices = DeviceInstall.SetupDiGetClassDevsA(NULL, NULL, NULL, DIGCF_PRESENT | DIGCF_ALLCLASSES);
    if (devices == INVALID_HANDLE_VALUE) {
        CString text;
        text.Format("GetInstallDevice-GetClassDevs %d", (int)GetLastError());
        MessageBox(text);
        return FALSE;
    }

    SP_DEVINFO_DATA device;
    device.cbSize = sizeof(device);
    BYTE list[HARDWARE_ID_LIST_SIZE];
    DWORD lastStep = GetTickCount();
    for (DWORD index = 0;; ++index) {
        if (!DeviceInstall.SetupDiEnumDeviceInfo(devices, index, &device)) {
            if (GetLastError() == ERROR_NO_MORE_ITEMS)
                break;
            continue;
        }
        DWORD dataType = 0;
        DWORD size = 0;
        if (!DeviceInstall.SetupDiGetDeviceRegistryPropertyA(devices, &device, SPDRP_HARDWAREID, &dataType, list,
                                                             sizeof(list), &size))
            continue;
        if (MatchHardwareIdList(ids, list, size, _mbsupr) != HARDWARE_ID_NO_MATCH) {
            found = TRUE;
            break;
        }
        int position = (int)m_ctlProgress.SendMessage(PBM_GETPOS);
        DWORD now = GetTickCount();
        if (now - lastStep >= SEARCH_BAR_STEP_MS) {
            ++position;
            lastStep = now;
        }
        // Not waited for: the next PBM_GETPOS, sent after it, is answered only once the
        // bar has taken it, so the search waits for the bar once per device, not twice.
        m_ctlProgress.SendNotifyMessage(PBM_SETPOS, position >= SEARCH_BAR_END ? 0 : position);
    }

    m_ctlProgress.SendMessage(PBM_SETPOS, SEARCH_BAR_END);
    DeviceInstall.SetupDiDestroyDeviceInfoList(devices);
    return found;
}

void CInstallerDlg::InstallDevice(const char* infPath)
{
    m_strStatus = "Install Device...";
    UpdateData(FALSE);
    m_ctlProgress.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, SUPPORTED_HARDWARE_ID_COUNT));

    // Windows' own prompts (an unsigned package, a disk to insert) are owned by the
    // dialog, as the worker's message boxes and the restart prompt are, so that they
    // come up in front of it.
    DriverUpdateOutcome outcome;
    UpdateSupportedDrivers(m_hWnd, infPath, m_ctlProgress.m_hWnd, &outcome);
    if (outcome.restart)
        m_bRebootRequired = TRUE;
    if (outcome.failures > 0) {
        CString text;
        FormatUpdateFailure(text, outcome.firstFailed + 1, SupportedHardwareIds[outcome.firstFailed],
                            outcome.firstError, outcome.failures - 1);
        MessageBox(text);
    }
}
