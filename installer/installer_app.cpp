// Korvelseek: runs the installer dialog once and ends.
#include "installer_app.h"

#include "afxdisp.h"
#include "installer_dlg.h"
#include "quiet_install.h"
#include "setup_functions.h"

BEGIN_MESSAGE_MAP(CInstallerApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CInstallerApp::CInstallerApp() : m_nExitCode(0)
{
}

CInstallerApp theApp;

BOOL CInstallerApp::InitInstance()
{
    const QuietRequest quiet = ParseQuietCommandLine(GetCommandLineA());
    if (quiet == QUIET_USAGE_ERROR) {
        WriteQuietLine("usage: Korvelseek [/quiet [/remove]]");
        m_nExitCode = QUIET_EXIT_USAGE;
        return FALSE;
    }
    if (quiet != QUIET_NONE) {
        m_nExitCode = RunQuietStep(quiet);
        return FALSE;
    }
    AfxEnableControlContainer();
    Enable3dControls();
    CString failure;
    if (!LoadSetupFunctions(failure)) {
        CWnd().MessageBox(failure);
        return FALSE;
    }

    CInstallerDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = NULL;
    // The dialog was the whole program: no message loop follows it.
    return FALSE;
}

int CInstallerApp::ExitInstance()
{
    return m_nExitCode;
}
