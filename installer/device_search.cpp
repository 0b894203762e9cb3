// The installer's two steps on its worker thread: looking through the present
// devices for a supported touchscreen, and having Windows install the driver
// package for every supported hardware ID.
#include "installer_dlg.h"

#include <mbstring.h>
#include <newdev.h>
#include <setupapi.h>

#include "installer/hardware_id_match.h"

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

    HDEVINFO devices = SetupDiGetClassDevsA(NULL, NULL, NULL, DIGCF_PRESENT | DIGCF_ALLCLASSES);
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
        if (!SetupDiEnumDeviceInfo(devices, index, &device)) {
            if (GetLastError() == ERROR_NO_MORE_ITEMS)
                break;
            continue;
        }
        DWORD dataType = 0;
        DWORD size = 0;
        if (!SetupDiGetDeviceRegistryPropertyA(devices, &device, SPDRP_HARDWAREID, &dataType, list, sizeof(list),
                                               &size))
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
    SetupDiDestroyDeviceInfoList(devices);
    return found;
}

void CInstallerDlg::InstallDevice(const char* infPath)
{
    char ids[SUPPORTED_HARDWARE_ID_COUNT][HARDWARE_ID_SIZE];
    CopySupportedIds(ids);

    m_strStatus = "Install Device...";
    UpdateData(FALSE);
    m_ctlProgress.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, SUPPORTED_HARDWARE_ID_COUNT));

    // Every entry gets its call, whichever one was found; failures are not reported.
    for (int entry = 0; entry < SUPPORTED_HARDWARE_ID_COUNT; ++entry) {
        UpdateDriverForPlugAndPlayDevicesA(NULL, ids[entry], infPath, INSTALLFLAG_FORCE, &m_bRebootRequired);
        m_ctlProgress.SendMessage(PBM_SETPOS, (WPARAM)(entry + 1));
    }
}
