// sheet_probe: looks at and drives the applet's property sheet from outside its
// process, for the end-to-end tests. Commands (one per run):
//   wait                  exit 0 once the sheet is visible (up to 20 s)
//   page                  the current page's index
//   visit N               brings page N forward, as a click on its tab does
//   press ok|cancel       presses the sheet's button
//   responds              "yes" when the sheet answers a message within 3 s, else "no"
//   state ID...           a line for each control ID of the current page: its id, class,
//                         enabled, visible, text, and the values of buttons, trackbars,
//                         up-downs and combos
//   center ID             screen coordinates of the centre of the control's visible part
//                         (a control of the current page, else of the sheet)
//   rect ID               the control's screen rectangle: left top right bottom
//   overflow              each visible control of the current page that reaches past the
//                         page's visible area, as "ID class text", then "checked N"
//   msgbox                caption, owner and text of this desktop's visible message box
//   answer ID             presses button ID of that message box
//   thumb ID              screen coordinates of a trackbar thumb's centre
//   gone                  exit 0 once no sheet is left (up to 20 s)
// and, for any program's windows (in a Wine virtual desktop they are no X windows):
//   window TITLE [S]      exit 0 once a visible top-level window has that title (up to S s)
//   windows CLASS         "WIDTHxHEIGHT" of each visible top-level window of that class
//   foreground            the title of the foreground window
//   activate TITLE        brings the visible window of that title to the foreground; exit
//                         0 once its thread has it active with a focus (up to 5 s)
//   mutex NAME            "exists" while a named mutex of that name exists, else "none"
//   end CLASS HOW         ends the visible window of that class from outside, HOW being
//                         close (WM_CLOSE sent), postclose (posted), quit (WM_QUIT posted
//                         to its thread) or logoff (WM_QUERYENDSESSION, then WM_ENDSESSION
//                         when it agrees, both sent as Windows does; prints "query=" and
//                         the answer once WM_ENDSESSION has returned)
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char kSheetTitle[] = "Korvel Touchscreen Properties";

HWND FindVisible(const char* className, const char* title)
{
    HWND window = NULL;
    while ((window = FindWindowExA(NULL, window, className, title)) != NULL)
        if (IsWindowVisible(window))
            return window;
    return NULL;
}

HWND FindSheet(void)
{
    return FindVisible(NULL, kSheetTitle);
}

HWND CurrentPage(HWND sheet)
{
    return (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
}

HWND FindControl(HWND sheet, int id)
{
    HWND control = GetDlgItem(CurrentPage(sheet), id);
    return control != NULL ? control : GetDlgItem(sheet, id);
}

void PrintState(HWND control)
{
    char className[64] = "";
    GetClassNameA(control, className, sizeof(className));
    // Asked of the control itself: another process's edit text is not its caption.
    char text[256] = "";
    SendMessageA(control, WM_GETTEXT, sizeof(text), (LPARAM)text);
    LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
    printf("class=%s enabled=%d visible=%d text=%s", className, IsWindowEnabled(control) ? 1 : 0,
           (style & WS_VISIBLE) ? 1 : 0, text);
    if (lstrcmpiA(className, "Button") == 0) {
        printf(" checked=%d", (int)SendMessageA(control, BM_GETCHECK, 0, 0));
    } else if (lstrcmpiA(className, TRACKBAR_CLASSA) == 0) {
        printf(" pos=%ld min=%ld max=%ld ticks=%ld", (long)SendMessageA(control, TBM_GETPOS, 0, 0),
               (long)SendMessageA(control, TBM_GETRANGEMIN, 0, 0), (long)SendMessageA(control, TBM_GETRANGEMAX, 0, 0),
               (long)SendMessageA(control, TBM_GETNUMTICS, 0, 0));
    } else if (lstrcmpiA(className, UPDOWN_CLASSA) == 0) {
        LRESULT range = SendMessageA(control, UDM_GETRANGE, 0, 0);
        printf(" pos=%d low=%d high=%d", (int)LOWORD(SendMessageA(control, UDM_GETPOS, 0, 0)),
               (int)(short)HIWORD(range), (int)(short)LOWORD(range));
    } else if (lstrcmpiA(className, "ComboBox") == 0) {
        int count = (int)SendMessageA(control, CB_GETCOUNT, 0, 0);
        printf(" sel=%d count=%d items=", (int)SendMessageA(control, CB_GETCURSEL, 0, 0), count);
        // Wide: the ANSI request came back cut to one character across processes under Wine.
        for (int i = 0; i < count; ++i) {
            WCHAR item[64] = L"";
            if (SendMessageW(control, CB_GETLBTEXTLEN, i, 0) < 64)
                SendMessageW(control, CB_GETLBTEXT, i, (LPARAM)item);
            char narrow[64] = "";
            WideCharToMultiByte(CP_ACP, 0, item, -1, narrow, sizeof(narrow), NULL, NULL);
            printf("%s%s", i ? "|" : "", narrow);
        }
    }
    printf("\n");
}

// Pages are cut to the sheet's size, so a control may reach past its page.
int PrintCenter(HWND control)
{
    RECT rect, parent;
    GetWindowRect(control, &rect);
    GetWindowRect(GetParent(control), &parent);
    IntersectRect(&rect, &rect, &parent);
    printf("%ld %ld\n", (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    return 0;
}

int PrintRect(HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    return 0;
}

// Prints the control when part of it lies outside the area; false when it is hidden.
bool ReportOverflow(HWND control, const RECT& area)
{
    if (!IsWindowVisible(control))
        return false;
    RECT rect, inside;
    GetWindowRect(control, &rect);
    IntersectRect(&inside, &rect, &area);
    if (!EqualRect(&inside, &rect)) {
        char className[64] = "", text[256] = "";
        GetClassNameA(control, className, sizeof(className));
        SendMessageA(control, WM_GETTEXT, sizeof(text), (LPARAM)text);
        for (char* c = text; *c != '\0'; ++c)
            if (*c == '\r' || *c == '\n')
                *c = ' ';
        printf("%d %s %s\n", GetDlgCtrlID(control), className, text);
    }
    return true;
}

// What of the page shows: the page's window, clipped by the sheet's client area.
int PrintOverflow(HWND sheet)
{
    HWND page = CurrentPage(sheet);
    RECT pageRect, client, area;
    GetWindowRect(page, &pageRect);
    GetClientRect(sheet, &client);
    MapWindowPoints(sheet, NULL, (POINT*)&client, 2);
    IntersectRect(&area, &pageRect, &client);
    int checked = 0;
    for (HWND control = GetWindow(page, GW_CHILD); control != NULL; control = GetWindow(control, GW_HWNDNEXT))
        checked += ReportOverflow(control, area) ? 1 : 0;
    printf("checked %d\n", checked);
    return 0;
}

// A message box is a dialog whose text is the static control 0xFFFF.
HWND FindMessageBox(void)
{
    HWND box = NULL;
    while ((box = FindWindowExA(NULL, box, "#32770", NULL)) != NULL)
        if (IsWindowVisible(box) && GetDlgItem(box, 0xFFFF) != NULL)
            return box;
    return NULL;
}

int PrintMessageBox(HWND sheet)
{
    HWND box = FindMessageBox();
    if (box == NULL) {
        printf("none\n");
        return 1;
    }
    char caption[256] = "", text[512] = "";
    SendMessageA(box, WM_GETTEXT, sizeof(caption), (LPARAM)caption);
    SendMessageA(GetDlgItem(box, 0xFFFF), WM_GETTEXT, sizeof(text), (LPARAM)text);
    HWND owner = GetWindow(box, GW_OWNER);
    printf("caption=%s owner=%s text=%s\n", caption, owner == NULL ? "none" : owner == sheet ? "sheet" : "other", text);
    return 0;
}

// The thumb's rectangle lives in the sheet's process: the request writes it into
// memory lent there.
int PrintThumb(HWND trackbar)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(trackbar, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process == NULL)
        return 1;
    void* remote = VirtualAllocEx(process, NULL, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    RECT rect = {0, 0, 0, 0};
    SIZE_T read = 0;
    int status = 1;
    if (remote != NULL) {
        SendMessageA(trackbar, TBM_GETTHUMBRECT, 0, (LPARAM)remote);
        if (ReadProcessMemory(process, remote, &rect, sizeof(rect), &read) && read == sizeof(rect)) {
            POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
            ClientToScreen(trackbar, &centre);
            printf("%ld %ld\n", centre.x, centre.y);
            status = 0;
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return status;
}

bool WaitForWindow(const char* title, bool present, int seconds)
{
    for (int i = 0;; ++i) {
        if ((FindVisible(NULL, title) != NULL) == present)
            return true;
        if (i >= seconds * 10)
            return false;
        Sleep(100);
    }
}

int PrintWindowSizes(const char* className)
{
    HWND window = NULL;
    while ((window = FindWindowExA(NULL, window, className, NULL)) != NULL) {
        RECT rect;
        if (IsWindowVisible(window) && GetWindowRect(window, &rect))
            printf("%ldx%ld\n", rect.right - rect.left, rect.bottom - rect.top);
    }
    return 0;
}

// The foreground window as the system sees it is not enough for keys: its own thread
// must have taken the activation too, which it does only when it next gets to it.
bool Activate(HWND window)
{
    if (window == NULL)
        return false;
    SetForegroundWindow(window);
    GUITHREADINFO info;
    for (int i = 0; i < 50; ++i) {
        info.cbSize = sizeof(info);
        if (GetForegroundWindow() == window && GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &info) &&
            info.hwndActive == window && info.hwndFocus != NULL)
            return true;
        Sleep(100);
    }
    return false;
}

int PrintForeground(void)
{
    char title[256] = "";
    GetWindowTextA(GetForegroundWindow(), title, sizeof(title));
    printf("%s\n", title);
    return 0;
}

int EndWindow(HWND window, const char* how)
{
    DWORD_PTR answer = 0;
    if (window == NULL)
        return 1;
    if (strcmp(how, "close") == 0)
        return SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_NORMAL, 10000, &answer) ? 0 : 1;
    if (strcmp(how, "postclose") == 0)
        return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
    if (strcmp(how, "quit") == 0)
        return PostThreadMessageA(GetWindowThreadProcessId(window, NULL), WM_QUIT, 0, 0) ? 0 : 1;
    if (strcmp(how, "logoff") != 0 ||
        !SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &answer))
        return 1;
    const bool agreed = answer != 0;
    if (agreed && !SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &answer))
        return 1;
    printf("query=%d\n", agreed ? 1 : 0);
    return 0;
}

// A refused visit says what the sheet looked like after it: whether it is still there,
// how many tabs it has and which page is current, and the sender's last error.
int Visit(HWND sheet, int index)
{
    if (SendMessageA(sheet, PSM_SETCURSEL, index, 0))
        return 0;
    const DWORD error = GetLastError();
    if (!IsWindow(sheet)) {
        fprintf(stderr, "sheet_probe: PSM_SETCURSEL %d refused (error %lu); the sheet is gone\n", index, error);
        return 1;
    }
    HWND tabs = (HWND)SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0);
    const int current = (int)SendMessageA(sheet, PSM_HWNDTOINDEX, (WPARAM)CurrentPage(sheet), 0);
    fprintf(stderr, "sheet_probe: PSM_SETCURSEL %d refused (error %lu); the sheet has %d tabs, page %d current\n", index,
            error, (int)SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), current);
    return 1;
}

int Usage(void)
{
    fprintf(stderr, "usage: sheet_probe wait|gone|page|visit N|press ok|cancel|responds|overflow|msgbox|answer ID|"
                    "state ID...|center ID|rect ID|thumb ID|window TITLE [S]|windows CLASS|"
                    "foreground|activate TITLE|mutex NAME|end CLASS close|postclose|quit|logoff\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const char* command = argv[1];
    if (strcmp(command, "wait") == 0)
        return WaitForWindow(kSheetTitle, true, 20) ? 0 : 1;
    if (strcmp(command, "gone") == 0)
        return WaitForWindow(kSheetTitle, false, 20) ? 0 : 1;
    if (strcmp(command, "foreground") == 0)
        return PrintForeground();
    if (strcmp(command, "window") == 0 && argc >= 3)
        return WaitForWindow(argv[2], true, argc >= 4 ? atoi(argv[3]) : 0) ? 0 : 1;
    if (strcmp(command, "windows") == 0 && argc >= 3)
        return PrintWindowSizes(argv[2]);
    if (strcmp(command, "activate") == 0 && argc >= 3)
        return Activate(FindVisible(NULL, argv[2])) ? 0 : 1;
    if (strcmp(command, "end") == 0 && argc >= 4)
        return EndWindow(FindVisible(argv[2], NULL), argv[3]);
    if (strcmp(command, "mutex") == 0 && argc >= 3) {
        HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, argv[2]);
        printf("%s\n", mutex != NULL ? "exists" : "none");
        if (mutex != NULL)
            CloseHandle(mutex);
        return 0;
    }
    if (strcmp(command, "msgbox") == 0)
        return PrintMessageBox(FindWindowA(NULL, kSheetTitle));
    if (strcmp(command, "answer") == 0 && argc >= 3) {
        HWND box = FindMessageBox();
        return box != NULL && PostMessageA(box, WM_COMMAND, MAKEWPARAM(atoi(argv[2]), BN_CLICKED), 0) ? 0 : 1;
    }

    HWND sheet = FindSheet();
    if (sheet == NULL) {
        fprintf(stderr, "sheet_probe: no sheet\n");
        return 1;
    }
    if (strcmp(command, "responds") == 0) {
        DWORD_PTR ignored;
        bool answered = SendMessageTimeoutA(sheet, WM_NULL, 0, 0, SMTO_NORMAL, 3000, &ignored) != 0;
        printf("%s\n", answered ? "yes" : "no");
        return 0;
    }
    if (strcmp(command, "overflow") == 0)
        return PrintOverflow(sheet);
    if (strcmp(command, "page") == 0) {
        printf("%d\n", (int)SendMessageA(sheet, PSM_HWNDTOINDEX, (WPARAM)CurrentPage(sheet), 0));
        return 0;
    }
    if (argc < 3)
        return Usage();
    if (strcmp(command, "visit") == 0)
        return Visit(sheet, atoi(argv[2]));
    if (strcmp(command, "press") == 0) {
        int button = strcmp(argv[2], "ok") == 0 ? PSBTN_OK : PSBTN_CANCEL;
        if (PostMessageA(sheet, PSM_PRESSBUTTON, button, 0))
            return 0;
        fprintf(stderr, "sheet_probe: PSM_PRESSBUTTON not posted (error %lu)\n", GetLastError());
        return 1;
    }
    for (int i = 2; i < argc; ++i)
        if (FindControl(sheet, atoi(argv[i])) == NULL) {
            fprintf(stderr, "sheet_probe: no control %s\n", argv[i]);
            return 1;
        }
    if (strcmp(command, "state") == 0) {
        for (int i = 2; i < argc; ++i) {
            printf("id=%s ", argv[i]);
            PrintState(FindControl(sheet, atoi(argv[i])));
        }
        return 0;
    }
    HWND control = FindControl(sheet, atoi(argv[2]));
    if (strcmp(command, "center") == 0)
        return PrintCenter(control);
    if (strcmp(command, "rect") == 0)
        return PrintRect(control);
    if (strcmp(command, "thumb") == 0)
        return PrintThumb(control);
    return Usage();
}
