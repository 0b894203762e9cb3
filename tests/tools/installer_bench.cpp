// installer_bench ROUNDS: times the installer's device search inside its real dialog,
// against a bare walk over the same devices that reads every device's hardware IDs,
// all on one worker thread of one process. Two more walks send the bar's messages
// after each device, PBM_GETPOS then PBM_SETPOS, each waited for: one sets the
// position it read (the least that sending the pair per device costs), the other
// moves the bar on by one for every device. Prints the medians and, for each walk,
// the median of its ratios to the bare walk of the same round.
#include "installer_dlg.h"
#include "setup_functions.h"

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
// with a bar, also read its position after each device and set it, moved on by step.
int BareWalk(CProgressCtrl* bar, int step)
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
            int position = (int)bar->SendMessage(PBM_GETPOS) + step;
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

// The timed runs, in the order they run in each round.
enum { RUN_BARE, RUN_STILL_BAR, RUN_MOVING_BAR, RUN_SEARCH, RUN_COUNT };

class CBenchDlg : public CInstallerDlg {
public:
    explicit CBenchDlg(int rounds) : m_rounds(rounds), m_found(FALSE), m_devices(0) {}

    std::vector<double> m_seconds[RUN_COUNT];
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
    BOOL Run(int run)
    {
        switch (run) {
        case RUN_BARE:
            m_devices = BareWalk(NULL, 0);
            return FALSE;
        case RUN_STILL_BAR:
            BareWalk(&m_ctlProgress, 0);
            return FALSE;
        case RUN_MOVING_BAR:
            BareWalk(&m_ctlProgress, 1);
            return FALSE;
        default:
            return GetInstallDevice();
        }
    }

    static DWORD WINAPI BenchThreadProc(LPVOID param)
    {
        CBenchDlg* dialog = (CBenchDlg*)param;
        // One untimed round brings the registry and the code in.
        for (int run = 0; run < RUN_COUNT; ++run)
            dialog->m_found |= dialog->Run(run);
        for (int round = 0; round < dialog->m_rounds; ++round) {
            for (int run = 0; run < RUN_COUNT; ++run) {
                LARGE_INTEGER start, end;
                QueryPerformanceCounter(&start);
                dialog->m_found |= dialog->Run(run);
                QueryPerformanceCounter(&end);
                dialog->m_seconds[run].push_back(Seconds(start, end));
            }
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
        CString failure;
        if (!LoadSetupFunctions(failure)) {
            printf("installer_bench: %s\n", (const char*)failure);
            m_exitCode = 1;
            return FALSE;
        }
        CBenchDlg dlg(rounds);
        m_pMainWnd = &dlg;
        INT_PTR result = dlg.DoModal();
        m_pMainWnd = NULL;
        if (result != 0 || dlg.m_seconds[RUN_SEARCH].empty()) {
            printf("installer_bench: the dialog did not run (%d)\n", (int)result);
            m_exitCode = 1;
            return FALSE;
        }
        if (dlg.m_found) {
            printf("installer_bench: a supported device is present; the search stopped early\n");
            m_exitCode = 1;
            return FALSE;
        }
        static const char* const names[RUN_COUNT] = {
            "bare SetupDi walk", "walk, bar pair per device at step 0", "walk, bar moved every device",
            "installer search"};
        printf("devices read: %d, rounds: %d (medians)\n", dlg.m_devices, rounds);
        for (int run = 0; run < RUN_COUNT; ++run)
            printf("%-38s %9.1f ms\n", names[run], Median(dlg.m_seconds[run]) * 1000.0);
        for (int run = RUN_STILL_BAR; run < RUN_COUNT; ++run) {
            std::vector<double> ratios;
            for (int round = 0; round < rounds; ++round)
                ratios.push_back(dlg.m_seconds[run][round] / dlg.m_seconds[RUN_BARE][round]);
            printf("ratio %-32s %9.3f x bare walk\n", names[run], Median(ratios));
        }
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
