// Korvelseek: runs the installer dialog once and ends.
#include "installer_app.h"

#include "afxdisp.h"
#include "installer_dlg.h"
#include "quiet_install.h"

BEGIN_MESSAGE_MAP(CInstallerApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CInstallerApp::CInstallerApp() : m_nExitCode(0)
{
}

CInstallerApp theApp;

BOOL CInstallerApp::InitInstance()
{
    switch (ParseQuietCommandLine(GetCommandLineA())) {
    case QUIET_INSTALL:
        m_nExitCode = RunQuietInstall();
        return FALSE;
    case QUIET_REMOVE:
        m_nExitCode = RunQuietRemove();
        return FALSE;
    case QUIET_USAGE_ERROR:
        WriteQuietLine("usage: Korvelseek [/quiet [/remove]]");
        m_nExitCode = QUIET_EXIT_USAGE;
        return FALSE;
    case QUIET_NONE:
        break;
    }
    AfxEnableControlContainer();
    Enable3dControls();

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
