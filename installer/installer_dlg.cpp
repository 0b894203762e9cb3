// The installer dialog and its worker thread.
#include "installer_dlg.h"

#include <mbstring.h>
#include <string.h>

#include "setup_functions.h"

#define INF_FILE_NAME "KorvelUsb.inf"

namespace {

// Writes "<own folder>\KorvelUsb.inf" into infPath; FALSE when it does not fit.
BOOL FormatInfPath(char* infPath)
{
    char modulePath[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, modulePath, MAX_PATH);
    // A path cut short by the buffer is no path to the folder.
    if (length == 0 || length >= MAX_PATH)
        return FALSE;
    unsigned char* slash = _mbsrchr((unsigned char*)modulePath, '\\');
    if (slash != NULL)
        slash[1] = '\0';
    else
        modulePath[0] = '\0';
    if (strlen(modulePath) + sizeof(INF_FILE_NAME) > MAX_PATH)
        return FALSE;
    strcpy(infPath, modulePath);
    strcat(infPath, INF_FILE_NAME);
    return TRUE;
}

DWORD WINAPI InstallThreadProc(LPVOID param)
{
    CInstallerDlg* dialog = (CInstallerDlg*)param;
    char infPath[MAX_PATH];
    if (!FormatInfPath(infPath)) {
        dialog->MessageBox("KorvelUsb.inf path too long");
        dialog->EndDialog(0);
        return 0;
    }
    if (dialog->GetInstallDevice())
        dialog->InstallDevice(infPath);
    if (dialog->m_bRebootRequired)
        DeviceInstall.SetupPromptReboot(NULL, dialog->m_hWnd, FALSE);
    dialog->EndDialog(0);
    return 0;
}

} // namespace

BEGIN_MESSAGE_MAP(CInstallerDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CInstallerDlg::CInstallerDlg(CWnd* parent)
    : CDialog(IDD, parent), m_strStatus(""), m_hIcon(AfxGetApp()->LoadIcon(IDR_MAINFRAME)), m_hThread(NULL),
      m_bRebootRequired(FALSE)
{
}

CInstallerDlg::~CInstallerDlg()
{
}

void CInstallerDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PROGRESS, m_ctlProgress);
    DDX_Text(dx, IDC_STATUS, m_strStatus);
}

BOOL CInstallerDlg::PreTranslateMessage(MSG* msg)
{
    // Only the worker ends this dialog.
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
        return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

BOOL CInstallerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_hThread = CreateThread(NULL, 0, InstallThreadProc, this, 0, NULL);
    if (m_hThread == NULL) {
        CString text;
        text.Format("CreateThread Failed! Error code %d", (int)GetLastError());
        MessageBox(text);
    }
    return TRUE;
}

void CInstallerDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, (WPARAM)dc.GetSafeHdc(), 0);
    int cxIcon = GetSystemMetrics(SM_CXICON);
    int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    int x = (rect.right - rect.left - cxIcon + 1) / 2;
    int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CInstallerDlg::OnQueryDragIcon()
{
    return (HCURSOR)m_hIcon;
}

void CInstallerDlg::OnDestroy()
{
    CDialog::OnDestroy();
    if (m_hThread != NULL) {
        CloseHandle(m_hThread);
        m_hThread = NULL;
    }
}

// A worker, once started, uses the dialog up to its last step, which ends the dialog:
// nothing else may end it before. Without a worker, closing the window is the way out.
BOOL CInstallerDlg::CanEndDialog()
{
    return m_hThread == NULL;
}
