// The installer's progress dialog: an icon, a status line and a progress bar, with a
// worker thread that searches for a supported device and installs its driver.
#pragma once

#include "afxcmn.h"
#include "afxwin.h"

#include "resource.h"

class CInstallerDlg : public CDialog {
public:
    explicit CInstallerDlg(CWnd* parent = NULL);
    ~CInstallerDlg() override;

    enum { IDD = IDD_KORVELSEEK_DIALOG };

    // Both run on the worker thread (device_search.cpp).
    BOOL GetInstallDevice();
    void InstallDevice(const char* infPath);

    CProgressCtrl m_ctlProgress;
    CString m_strStatus;
    HICON m_hIcon;
    HANDLE m_hThread;
    // Non-zero once any of InstallDevice's driver updates asked for a restart.
    BOOL m_bRebootRequired;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;
    BOOL CanEndDialog() override;

    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnDestroy();

    DECLARE_MESSAGE_MAP()
};
