// The Korvelseek application object.
#pragma once

#include "afxwin.h"

class CInstallerApp : public CWinApp {
public:
    CInstallerApp();
    BOOL InitInstance() override;
    int ExitInstance() override;

    // The program's exit code: the quiet step's outcome, 0 after the dialog.
    int m_nExitCode;

    DECLARE_MESSAGE_MAP()
};
