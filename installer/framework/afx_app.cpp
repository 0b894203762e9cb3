// The application object and the program's entry.
#include "afxdisp.h"
#include "afxwin.h"

#include <mbctype.h>
#include <mbstring.h>
#include <string.h>

namespace {

// The program's one application object, registered by its constructor.
CWinApp* currentApp;

void CopyText(char* target, size_t size, const char* text)
{
    size_t length = strlen(text);
    if (length >= size)
        length = size - 1;
    memcpy(target, text, length);
    target[length] = '\0';
}

} // namespace

CWinApp::CWinApp(const char* appName)
    : m_pMainWnd(NULL), m_hInstance(NULL), m_pszAppName(appName), m_pszExeName(m_exeName),
      m_pszHelpFilePath(m_helpFilePath)
{
    // The multibyte string functions follow the system's ANSI code page from here on.
    _setmbcp(_MB_CP_ANSI);
    m_appName[0] = '\0';
    m_exeName[0] = '\0';
    m_helpFilePath[0] = '\0';
    currentApp = this;
}

CWinApp::~CWinApp()
{
    if (currentApp == this)
        currentApp = NULL;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

// Every system the program supports draws its controls three-dimensional itself;
// there is no control library to load for it.
BOOL CWinApp::Enable3dControls()
{
    return TRUE;
}

HICON CWinApp::LoadIcon(UINT id) const
{
    return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id));
}

void CWinApp::OnHelp()
{
    ::WinHelpA(m_pMainWnd != NULL ? m_pMainWnd->m_hWnd : NULL, m_pszHelpFilePath, HELP_FINDER, 0);
}

// The program's names, from its file: "C:\dir\Name.exe" gives the name "Name" and
// the help file "C:\dir\Name.HLP". Without a name of its own the application takes
// its title string, else the file's name.
void CWinApp::SetCurrentHandles(HINSTANCE instance)
{
    m_hInstance = instance;
    char path[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(instance, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        path[0] = '\0';

    const unsigned char* slash = _mbsrchr((const unsigned char*)path, '\\');
    const char* fileName = slash != NULL ? (const char*)slash + 1 : path;
    CopyText(m_exeName, sizeof(m_exeName), fileName);
    unsigned char* dot = _mbsrchr((unsigned char*)m_exeName, '.');
    if (dot != NULL)
        *dot = '\0';

    size_t folderLength = (size_t)(fileName - path);
    if (folderLength + strlen(m_exeName) + sizeof(".HLP") <= sizeof(m_helpFilePath)) {
        memcpy(m_helpFilePath, path, folderLength);
        CopyText(m_helpFilePath + folderLength, sizeof(m_helpFilePath) - folderLength, m_exeName);
        strcat(m_helpFilePath, ".HLP");
    }

    if (m_pszAppName == NULL) {
        if (::LoadStringA(instance, AFX_IDS_APP_TITLE, m_appName, sizeof(m_appName)) <= 0)
            CopyText(m_appName, sizeof(m_appName), m_exeName);
        m_pszAppName = m_appName;
    }
}

CWinApp* AfxGetApp()
{
    return currentApp;
}

const char* AfxGetAppName()
{
    return currentApp != NULL && currentApp->m_pszAppName != NULL ? currentApp->m_pszAppName : "";
}

HINSTANCE AfxGetInstanceHandle()
{
    return currentApp != NULL ? currentApp->m_hInstance : ::GetModuleHandleA(NULL);
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetInstanceHandle();
}

void AfxEnableControlContainer(COccManager*)
{
}

// Dialog programs do all their work in InitInstance: the program ends when it returns.
int AfxWinMain(HINSTANCE instance)
{
    CWinApp* app = AfxGetApp();
    if (app == NULL)
        return -1;
    app->SetCurrentHandles(instance);
    app->InitInstance();
    return app->ExitInstance();
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return AfxWinMain(instance);
}
