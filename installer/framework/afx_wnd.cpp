// Windows and dialogs: message maps, data exchange and the modal loop.
#include "afxcmn.h"

#include <stdlib.h>

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY noEntries[] = {{0, 0, NULL}};
    static const AFX_MSGMAP messageMap = {NULL, noEntries};
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

BOOL CCmdTarget::OnMsgMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    UINT id = message == WM_COMMAND ? LOWORD(wParam) : 0;
    for (const AFX_MSGMAP* map = GetMessageMap(); map != NULL;
         map = map->pfnGetBaseMap != NULL ? map->pfnGetBaseMap() : NULL) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn != NULL; ++entry) {
            if (entry->nMessage == message && entry->nID == id)
                return entry->pfn(this, wParam, lParam, result);
        }
    }
    return FALSE;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

void CWnd::DoDataExchange(CDataExchange*)
{
}

BOOL CWnd::UpdateData(BOOL saveAndValidate)
{
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type)
{
    return ::MessageBoxA(m_hWnd, text, caption != NULL ? caption : AfxGetAppName(), type);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::SendNotifyMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendNotifyMessageA(m_hWnd, message, wParam, lParam);
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon)
{
    return (HICON)::SendMessageA(m_hWnd, WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, (LPARAM)icon);
}

// A dialog procedure cannot call the default processing from inside a handler, so
// the request is noted and the procedure leaves the message to the dialog manager.
LRESULT CWnd::Default()
{
    m_bDefaultPending = TRUE;
    return 0;
}

void CWnd::OnDestroy()
{
    Default();
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    // The control's messages need no handling of their own: binding is enough.
    if (control.m_hWnd == NULL)
        control.m_hWnd = ::GetDlgItem(dx->m_pDlgWnd->m_hWnd, id);
}

void DDX_Text(CDataExchange* dx, int id, CString& value)
{
    HWND control = ::GetDlgItem(dx->m_pDlgWnd->m_hWnd, id);
    if (!dx->m_bSaveAndValidate) {
        ::SetWindowTextA(control, value);
        return;
    }
    int size = ::GetWindowTextLengthA(control) + 1;
    char* text = (char*)calloc((size_t)size, 1);
    if (text == NULL)
        return;
    ::GetWindowTextA(control, text, size);
    value = text;
    free(text);
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, CDialog::OnOK)
    ON_COMMAND(IDCANCEL, CDialog::OnCancel)
    // F1 in a dialog: the Help command, which the application's map may handle.
    {WM_HELP, 0, [](CCmdTarget* target, WPARAM, LPARAM, LRESULT* result) -> BOOL {
         *result = TRUE;
         static_cast<ThisClass*>(target)->OnHelpKey();
         return TRUE;
     }},
END_MESSAGE_MAP()

CDialog::CDialog(UINT idTemplate, CWnd* parent)
    : m_nIDTemplate(idTemplate), m_pParentWnd(parent), m_bContinueModal(false), m_nModalResult(-1)
{
}

INT_PTR CDialog::DoModal()
{
    HINSTANCE resources = AfxGetResourceHandle();
    HRSRC found = ::FindResourceA(resources, MAKEINTRESOURCEA(m_nIDTemplate), RT_DIALOG);
    HGLOBAL loaded = found != NULL ? ::LoadResource(resources, found) : NULL;
    const DLGTEMPLATE* dialogTemplate = loaded != NULL ? (const DLGTEMPLATE*)::LockResource(loaded) : NULL;
    if (dialogTemplate == NULL)
        return -1;

    HWND parent = m_pParentWnd != NULL ? m_pParentWnd->m_hWnd : NULL;
    m_nModalResult = -1;
    m_bContinueModal = true;
    if (::CreateDialogIndirectParamA(resources, dialogTemplate, parent, DialogProc, (LPARAM)this) == NULL)
        return -1;
    BOOL parentDisabled = parent != NULL && ::IsWindowEnabled(parent);
    if (parentDisabled)
        ::EnableWindow(parent, FALSE);

    MSG msg;
    BOOL quit = FALSE;
    int quitCode = 0;
    while (m_bContinueModal) {
        BOOL got = ::GetMessageA(&msg, NULL, 0, 0);
        if (got == 0) {
            quit = TRUE;
            quitCode = (int)msg.wParam;
            if (CanEndDialog())
                break;
            continue;
        }
        if (got == -1)
            break;
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    // Leave WM_QUIT for the loop that the program may run after the dialog.
    if (quit)
        ::PostQuitMessage(quitCode);

    if (parentDisabled)
        ::EnableWindow(parent, TRUE);
    ::DestroyWindow(m_hWnd);
    m_hWnd = NULL;
    return m_nModalResult;
}

void CDialog::EndDialog(int result)
{
    // Once the loop may end, the dialog may be gone: nothing of it is touched after.
    HWND hwnd = m_hWnd;
    m_nModalResult = result;
    m_bContinueModal = false;
    // Wakes the modal loop, which may be waiting for a message on another thread.
    ::PostMessageA(hwnd, WM_NULL, 0, 0);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    return ::IsDialogMessageA(m_hWnd, msg);
}

void CDialog::OnOK()
{
    if (!CanEndDialog())
        return;
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    if (CanEndDialog())
        EndDialog(IDCANCEL);
}

BOOL CDialog::CanEndDialog()
{
    return TRUE;
}

void CDialog::OnHelpKey()
{
    SendMessage(WM_COMMAND, ID_HELP);
}

namespace {

// Over its owner, or in the middle of the work area when it has none.
void CenterWindow(HWND hwnd)
{
    RECT window;
    RECT area;
    HWND owner = ::GetWindow(hwnd, GW_OWNER);
    ::GetWindowRect(hwnd, &window);
    if (owner != NULL)
        ::GetWindowRect(owner, &area);
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int x = area.left + ((area.right - area.left) - (window.right - window.left)) / 2;
    int y = area.top + ((area.bottom - area.top) - (window.bottom - window.top)) / 2;
    ::SetWindowPos(hwnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        CDialog* dialog = (CDialog*)lParam;
        ::SetWindowLongPtrA(hwnd, DWLP_USER, (LONG_PTR)dialog);
        dialog->m_hWnd = hwnd;
        RECT before;
        ::GetWindowRect(hwnd, &before);
        BOOL result = dialog->OnInitDialog();
        // A top-level dialog that its initialisation did not place comes up centred.
        RECT after;
        ::GetWindowRect(hwnd, &after);
        if (::EqualRect(&before, &after) && !(::GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD))
            CenterWindow(hwnd);
        return result;
    }
    CDialog* dialog = (CDialog*)::GetWindowLongPtrA(hwnd, DWLP_USER);
    if (dialog == NULL)
        return FALSE;
    return dialog->OnDialogMessage(message, wParam, lParam);
}

INT_PTR CDialog::OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    BOOL handled = OnMsgMap(message, wParam, lParam, &result);
    // Commands the dialog does not handle go on to the application.
    if (!handled && message == WM_COMMAND && AfxGetApp() != NULL)
        handled = AfxGetApp()->OnMsgMap(message, wParam, lParam, &result);
    if (!handled)
        return FALSE;
    // This message's result is the dialog procedure's return value itself; every
    // other result goes through DWLP_MSGRESULT.
    if (message == WM_QUERYDRAGICON)
        return (INT_PTR)result;
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

CPaintDC::CPaintDC(CWnd* window) : m_hWnd(window->m_hWnd)
{
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
}
