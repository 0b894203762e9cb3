// installer_bench ROUNDS: times the installer's device search inside its real dialog,
// against a bare walk over the same devices that reads every device's hardware IDs,
// all on one worker thread of one process. A third walk also moves the dialog's bar
// for each device as the search does, to show what the bar itself costs. Prints the
// medians and the ratios.
#include "installer_dlg.h"

#include <setupapi.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

namespace {

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)(to.QuadPart - from.QuadPart) / (double)frequency.QuadPart;
}

// What any search must do at least: list the present devices and read each one's IDs;
// with a bar, also read and set its position after each device.
int BareWalk(CProgressCtrl* bar)
{
    HDEVINFO devices = SetupDiGetClassDevsA(NULL, NULL, NULL, DIGCF_PRESENT | DIGCF_ALLCLASSES);
    if (devices == INVALID_HANDLE_VALUE)
        return -1;
    SP_DEVINFO_DATA device;
    device.cbSize = sizeof(device);
    BYTE list[400];
    int read = 0;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
        DWORD size = 0;
        if (!SetupDiGetDeviceRegistryPropertyA(devices, &device, SPDRP_HARDWAREID, NULL, list, sizeof(list), &size))
            continue;
        ++read;
        if (bar != NULL) {
            int position = (int)bar->SendMessage(PBM_GETPOS) + 1;
            bar->SendMessage(PBM_SETPOS, position >= 100 ? 0 : position);
        }
    }
    SetupDiDestroyDeviceInfoList(devices);
    return read;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

class CBenchDlg : public CInstallerDlg {
public:
    explicit CBenchDlg(int rounds) : m_rounds(rounds), m_found(FALSE), m_devices(0) {}

    std::vector<double> m_bare;
    std::vector<double> m_walkWithBar;
    std::vector<double> m_search;
    int m_rounds;
    BOOL m_found;
    int m_devices;

protected:
    // The dialog as the program shows it, with the benchmark in place of its worker.
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_hThread = CreateThread(NULL, 0, BenchThreadProc, this, 0, NULL);
        if (m_hThread == NULL)
            EndDialog(-1);
        return TRUE;
    }

private:
    static DWORD WINAPI BenchThreadProc(LPVOID param)
    {
        CBenchDlg* dialog = (CBenchDlg*)param;
        // One untimed round of each brings the registry and the code in.
        dialog->m_devices = BareWalk(NULL);
        BareWalk(&dialog->m_ctlProgress);
        dialog->m_found = dialog->GetInstallDevice();
        for (int round = 0; round < dialog->m_rounds; ++round) {
            LARGE_INTEGER start, walked, walkedWithBar, searched;
            QueryPerformanceCounter(&start);
            BareWalk(NULL);
            QueryPerformanceCounter(&walked);
            BareWalk(&dialog->m_ctlProgress);
            QueryPerformanceCounter(&walkedWithBar);
            dialog->m_found |= dialog->GetInstallDevice();
            QueryPerformanceCounter(&searched);
            dialog->m_bare.push_back(Seconds(start, walked));
            dialog->m_walkWithBar.push_back(Seconds(walked, walkedWithBar));
            dialog->m_search.push_back(Seconds(walkedWithBar, searched));
        }
        dialog->EndDialog(0);
        return 0;
    }
};

class CBenchApp : public CWinApp {
public:
    BOOL InitInstance() override
    {
        int rounds = __argc > 1 ? atoi(__argv[1]) : 5;
        if (rounds < 1)
            rounds = 1;
        CBenchDlg dlg(rounds);
        m_pMainWnd = &dlg;
        INT_PTR result = dlg.DoModal();
        m_pMainWnd = NULL;
        if (result != 0 || dlg.m_search.empty()) {
            printf("installer_bench: the dialog did not run (%d)\n", (int)result);
            m_exitCode = 1;
            return FALSE;
        }
        if (dlg.m_found) {
            printf("installer_bench: a supported device is present; the search stopped early\n");
            m_exitCode = 1;
            return FALSE;
        }
        double bare = Median(dlg.m_bare);
        double walkWithBar = Median(dlg.m_walkWithBar);
        double search = Median(dlg.m_search);
        printf("devices read: %d, rounds: %d (medians)\n", dlg.m_devices, rounds);
        printf("bare SetupDi walk:          %9.1f ms\n", bare * 1000.0);
        printf("walk moving the bar:        %9.1f ms\n", walkWithBar * 1000.0);
        printf("installer search:           %9.1f ms\n", search * 1000.0);
        printf("ratio search/bare walk:     %9.3f\n", search / bare);
        printf("ratio search/walk with bar: %9.3f\n", search / walkWithBar);
        return FALSE;
    }

    int ExitInstance() override { return m_exitCode; }

    int m_exitCode = 0;
};

CBenchApp theApp;

} // namespace

// A console program, so that the figures reach the caller's output.
int main(void)
{
    return AfxWinMain(GetModuleHandleA(NULL));
}
