// A small application framework for dialog programs, with the names and meaning of
// the classic Windows C++ framework's application, window and dialog classes: an
// application object whose InitInstance runs the program, modal dialogs whose
// members are bound to controls by data exchange, and message maps. It holds only
// what a one-dialog program needs and builds with MinGW-w64.
#pragma once

#include <windows.h>

#include <atomic>

#define afx_msg

// The framework's Help command and its default application-title string.
#define ID_HELP 0xE146
#define AFX_IDS_APP_TITLE 0xE000

// A growable ANSI string, kept on the C runtime's heap.
class CString {
public:
    CString() : m_pszData(NULL) {}
    CString(const char* text) : m_pszData(NULL) { Assign(text); }
    CString(const CString& other) : m_pszData(NULL) { Assign(other); }
    ~CString();
    CString& operator=(const char* text);
    CString& operator=(const CString& other) { return *this = (const char*)other; }
    CString& operator+=(const char* text);
    operator const char*() const { return m_pszData != NULL ? m_pszData : ""; }
    int GetLength() const { return m_pszData != NULL ? lstrlenA(m_pszData) : 0; }
    BOOL IsEmpty() const { return GetLength() == 0; }
    // printf-style formatting with the C runtime's conversions; the result replaces
    // the string. A result longer than FORMAT_LIMIT characters, or one that memory
    // runs out for, is cut at what fitted.
    enum { FORMAT_LIMIT = 65535 };
    void Format(const char* format, ...) __attribute__((format(ms_printf, 2, 3)));

private:
    void Assign(const char* text);
    void Replace(char* text);
    char* m_pszData;   // NULL while the string is empty
};

class CCmdTarget;

// One message map entry: the message (and for WM_COMMAND the command id) and the
// function that calls the handler. It returns FALSE when the handler asked for the
// default processing of the message instead.
typedef BOOL (*AFX_PMSG)(CCmdTarget* target, WPARAM wParam, LPARAM lParam, LRESULT* result);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nID;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                       \
protected:                                          \
    static const AFX_MSGMAP* GetThisMessageMap();   \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                       \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                  \
    {                                                                                \
        typedef theClass ThisClass;                                                  \
        typedef baseClass TheBaseClass;                                              \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {

#define END_MESSAGE_MAP()                                                                 \
        {0, 0, NULL}};                                                                    \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, messageEntries}; \
        return &messageMap;                                                               \
    }

#define ON_COMMAND(id, memberFxn)                                                         \
    {WM_COMMAND, (id), [](CCmdTarget* target, WPARAM, LPARAM, LRESULT*) -> BOOL {          \
         (static_cast<ThisClass*>(target)->*(&memberFxn))();                              \
         return TRUE;                                                                     \
     }},

#define ON_WM_PAINT()                                                                     \
    {WM_PAINT, 0, [](CCmdTarget* target, WPARAM, LPARAM, LRESULT*) -> BOOL {               \
         return static_cast<ThisClass*>(target)->CallHandler(&ThisClass::OnPaint);        \
     }},

#define ON_WM_DESTROY()                                                                   \
    {WM_DESTROY, 0, [](CCmdTarget* target, WPARAM, LPARAM, LRESULT*) -> BOOL {             \
         return static_cast<ThisClass*>(target)->CallHandler(&ThisClass::OnDestroy);      \
     }},

#define ON_WM_QUERYDRAGICON()                                                             \
    {WM_QUERYDRAGICON, 0, [](CCmdTarget* target, WPARAM, LPARAM, LRESULT* result) -> BOOL { \
         *result = (LRESULT)static_cast<ThisClass*>(target)->OnQueryDragIcon();           \
         return TRUE;                                                                     \
     }},

// Anything that has a message map.
class CCmdTarget {
public:
    virtual ~CCmdTarget() {}
    // Runs the handler that the map (or a base class's map) gives for the message.
    BOOL OnMsgMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

class CWnd;

// The direction of one data exchange between a dialog's members and its controls.
class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

class CWnd : public CCmdTarget {
public:
    CWnd() : m_hWnd(NULL), m_bDefaultPending(FALSE) {}
    virtual BOOL PreTranslateMessage(MSG* msg);
    // FALSE: members to controls; TRUE: controls to members.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    // Owned by this window; with no caption the application's name is the caption.
    int MessageBox(const char* text, const char* caption = NULL, UINT type = MB_OK);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Sent like SendMessage, but a window of another thread takes it without the
    // caller waiting; messages sent after it are handled after it.
    BOOL SendNotifyMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    HICON SetIcon(HICON icon, BOOL bigIcon);

    // Inside a message handler: leave the message to the default processing.
    LRESULT Default();
    afx_msg void OnDestroy();

    // Calls a message handler; FALSE when it asked for the default processing.
    template <class T>
    BOOL CallHandler(void (T::*handler)())
    {
        BOOL outer = m_bDefaultPending;
        m_bDefaultPending = FALSE;
        (static_cast<T*>(this)->*handler)();
        BOOL handled = !m_bDefaultPending;
        m_bDefaultPending = outer;
        return handled;
    }

    HWND m_hWnd;

protected:
    virtual void DoDataExchange(CDataExchange* dx);

private:
    BOOL m_bDefaultPending;
};

void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, CString& value);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT idTemplate, CWnd* parent = NULL);

    // Creates the dialog, runs its modal loop until EndDialog, destroys the window
    // and returns EndDialog's result (-1 when the dialog could not be created).
    virtual INT_PTR DoModal();
    // May be called from any thread: ends the modal loop with the given result.
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    // The OK and Cancel commands end the dialog only when CanEndDialog allows it.
    virtual void OnOK();
    virtual void OnCancel();
    // Whether anything but the dialog's own call of EndDialog may end it now: the OK
    // and Cancel commands (also from Enter, Esc and closing the window) and a
    // WM_QUIT. A WM_QUIT that comes while it may not is posted again once the dialog
    // has ended, for the loop that the program may run after it.
    virtual BOOL CanEndDialog();

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam);
    afx_msg void OnHelpKey();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    std::atomic<bool> m_bContinueModal;
    std::atomic<int> m_nModalResult;
};

// The program: one static object of a class derived from this one.
class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(const char* appName = NULL);
    ~CWinApp() override;

    // The program's work; a dialog program runs its dialog here.
    virtual BOOL InitInstance();
    virtual int ExitInstance();
    BOOL Enable3dControls();
    HICON LoadIcon(UINT id) const;
    // The Help command: the application's help file, opened on its contents.
    afx_msg void OnHelp();

    CWnd* m_pMainWnd;
    HINSTANCE m_hInstance;
    const char* m_pszAppName;
    const char* m_pszExeName;
    const char* m_pszHelpFilePath;

private:
    friend int AfxWinMain(HINSTANCE instance);
    void SetCurrentHandles(HINSTANCE instance);

    char m_appName[MAX_PATH];
    char m_exeName[MAX_PATH];
    char m_helpFilePath[MAX_PATH];
};

// Paints a window between BeginPaint and EndPaint for as long as it lives.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    HDC GetSafeHdc() const { return m_hDC; }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

    HDC m_hDC;
    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};

CWinApp* AfxGetApp();
const char* AfxGetAppName();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
int AfxWinMain(HINSTANCE instance);
