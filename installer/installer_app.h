// The Korvelseek application object.
#pragma once

#include "afxwin.h"

class CInstallerApp : public CWinApp {
public:
    CInstallerApp();
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};
