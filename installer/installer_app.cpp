// Korvelseek: runs the installer dialog once and ends.
#include "installer_app.h"

#include "afxdisp.h"
#include "installer_dlg.h"
#include "setup_functions.h"

BEGIN_MESSAGE_MAP(CInstallerApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CInstallerApp::CInstallerApp()
{
}

CInstallerApp theApp;

BOOL CInstallerApp::InitInstance()
{
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
