// The installer's dialog on its framework, in a process of its own: data exchange
// from another thread, the end of the modal loop from another thread, the closing
// rule while a worker runs, the drag icon, the default caption and string formatting.
#include "installer_dlg.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "tests/wine/wine_support.h"

namespace {

// Runs the tests from InitInstance, as the program runs its dialog, so that the
// application's names come from this file as they do for the program.
class CTestApp : public CWinApp {
public:
    BOOL InitInstance() override
    {
        m_result = RUN_ALL_TESTS();
        return FALSE;
    }
    int ExitInstance() override { return m_result; }

private:
    int m_result = 1;
};

CTestApp theApp;

// The installer's dialog with a test's own start in place of the worker. A posted
// WM_APP ends it with 5 once every message posted before it, and every message that
// those posted in turn, has been handled.
class CTestDlg : public CInstallerDlg {
public:
    typedef void (*Start)(CTestDlg* dialog);
    explicit CTestDlg(Start start) : m_start(start) {}

    std::string m_statusAfterInit;
    std::string m_statusFromThread;
    HWND m_boundProgress = NULL;
    LRESULT m_dragIcon = 0;
    DWORD_PTR m_barPosition = 0;
    DWORD_PTR m_barUpper = 0;

private:
    Start m_start;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_start(this);
        return TRUE;
    }

    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_APP) {
            PostMessageA(m_hWnd, WM_APP + 1, 0, 0);
            return TRUE;
        }
        if (msg->message == WM_APP + 1) {
            EndDialog(5);
            return TRUE;
        }
        return CInstallerDlg::PreTranslateMessage(msg);
    }
};

std::string ControlText(HWND dialog, int id)
{
    char text[256];
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

DWORD WINAPI ExchangeAndEnd(LPVOID param)
{
    CTestDlg* dialog = (CTestDlg*)param;
    dialog->m_strStatus = "Searching Device...";
    dialog->UpdateData(FALSE);
    dialog->m_statusFromThread = ControlText(dialog->m_hWnd, IDC_STATUS);
    // A package that does not exist: every call fails, and the bar still ends at 5 of 5.
    dialog->InstallDevice("C:\\korvel-no-such-folder\\KorvelUsb.inf");
    HWND bar = GetDlgItem(dialog->m_hWnd, IDC_PROGRESS);
    dialog->m_barPosition = (DWORD_PTR)SendMessageA(bar, PBM_GETPOS, 0, 0);
    dialog->m_barUpper = (DWORD_PTR)SendMessageA(bar, PBM_GETRANGE, FALSE, 0);
    dialog->EndDialog(7);
    return 0;
}

TEST(InstallerDialog, WorkerThreadExchangesDataAndEndsTheDialog)
{
    CTestDlg dialog([](CTestDlg* self) {
        self->m_statusAfterInit = ControlText(self->m_hWnd, IDC_STATUS);
        self->m_boundProgress = self->m_ctlProgress.m_hWnd;
        self->m_dragIcon = self->SendMessage(WM_QUERYDRAGICON);
        self->m_hThread = CreateThread(NULL, 0, ExchangeAndEnd, self, 0, NULL);
    });
    ASSERT_NE((HICON)NULL, dialog.m_hIcon) << "icon group 128";
    EXPECT_EQ(7, dialog.DoModal());

    EXPECT_EQ("", dialog.m_statusAfterInit) << "the empty status replaces the template's text";
    EXPECT_NE((HWND)NULL, dialog.m_boundProgress) << "control 1000 bound";
    EXPECT_EQ((LRESULT)dialog.m_hIcon, dialog.m_dragIcon);
    EXPECT_STREQ("Install Device...", dialog.m_strStatus);
    EXPECT_EQ("Searching Device...", dialog.m_statusFromThread);
    EXPECT_EQ(5u, dialog.m_barPosition);
    EXPECT_EQ(5u, dialog.m_barUpper);
    EXPECT_FALSE(dialog.m_bRebootRequired);
    EXPECT_EQ((HANDLE)NULL, dialog.m_hThread) << "closed when the window went";
}

TEST(InstallerDialog, CloseEndsTheDialogOnlyWithoutAWorker)
{
    CTestDlg withoutWorker([](CTestDlg* self) {
        PostMessageA(self->m_hWnd, WM_CLOSE, 0, 0);
        PostMessageA(self->m_hWnd, WM_APP, 0, 0);
    });
    EXPECT_EQ(IDCANCEL, withoutWorker.DoModal());

    CTestDlg withWorker([](CTestDlg* self) {
        // Any handle stands for the running worker; it is closed with the window.
        self->m_hThread = CreateEventA(NULL, TRUE, FALSE, NULL);
        PostMessageA(self->m_hWnd, WM_CLOSE, 0, 0);
        PostMessageA(self->m_hWnd, WM_APP, 0, 0);
    });
    EXPECT_EQ(5, withWorker.DoModal()) << "WM_CLOSE ignored while the worker runs";
    EXPECT_EQ((HANDLE)NULL, withWorker.m_hThread);
}

TEST(InstallerDialog, EnterAndEscapeAreSwallowed)
{
    CTestDlg dialog([](CTestDlg* self) {
        PostMessageA(self->m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageA(self->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(self->m_hWnd, WM_APP, 0, 0);
    });
    EXPECT_EQ(5, dialog.DoModal());
}

TEST(Framework, MessageBoxWithoutCaptionShowsTheProgramName)
{
    MessageBoxCatcher catcher;
    CWnd owner;
    EXPECT_EQ(IDOK, owner.MessageBox("KorvelUsb.inf path too long"));
    ASSERT_TRUE(catcher.Wait());
    EXPECT_EQ("installer_framework_test", catcher.caption);
    EXPECT_EQ("KorvelUsb.inf path too long", catcher.text);
    const char* help = AfxGetApp()->m_pszHelpFilePath;
    const char* name = strrchr(help, '\\');
    EXPECT_STREQ("\\installer_framework_test.HLP", name) << help;
}

TEST(Framework, FormatReplacesTheStringWithoutALengthLimit)
{
    CString text("old");
    text.Format("CreateThread Failed! Error code %d", 8);
    EXPECT_STREQ("CreateThread Failed! Error code 8", text);

    const std::string part(3000, 'x');
    text.Format("%s%d", part.c_str(), 1);
    EXPECT_EQ(part + "1", (const char*)text);
    EXPECT_EQ(3001, text.GetLength());

    text.Format("%s", "");
    EXPECT_TRUE(text.IsEmpty());
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    return AfxWinMain(GetModuleHandleA(NULL));
}
