// installer_probe COMMAND ...: looks at the installer's dialog from outside its
// process, holds its worker still, and asks the touch device for an answer.
//   hold TITLE ID TEXT [BAR-ID MINIMUM]
//                        waits until control ID of the window TITLE reads TEXT (and
//                        the progress bar BAR-ID stands at MINIMUM or beyond), then
//                        suspends every thread of its process but the window's own
//   release TITLE        resumes them
//   end TITLE WAY        asks the window to end as another program could: WAY is
//                        close (WM_CLOSE), sysclose (WM_SYSCOMMAND SC_CLOSE), ok or
//                        cancel (WM_COMMAND IDOK or IDCANCEL), or quit (WM_QUIT
//                        posted to the window's thread)
//   text TITLE ID        prints control ID's text
//   bar TITLE ID         prints a progress bar's "position/upper limit"
//   texts TITLE          prints the text of each child window, one a line
//   touch                prints the mouse mode that \\.\KORVELUSB reports
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <tlhelp32.h>

#include "shared/touch_device.h"

namespace {

#define ANSWER_TIMEOUT_MS 2000
#define WAIT_LIMIT_MS 30000
#define HOLD_ATTEMPTS 20

int Fail(const char* what)
{
    fprintf(stderr, "installer_probe: %s (error %lu)\n", what, GetLastError());
    return 1;
}

// A window's text through its own thread, which must answer within the timeout.
bool ReadText(HWND window, char* text, int size)
{
    DWORD_PTR copied = 0;
    text[0] = '\0';
    return SendMessageTimeoutA(window, WM_GETTEXT, (WPARAM)size, (LPARAM)text, SMTO_ABORTIFHUNG, ANSWER_TIMEOUT_MS,
                               &copied) != 0;
}

bool Answers(HWND window)
{
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, ANSWER_TIMEOUT_MS, &ignored) != 0;
}

// Suspends (or resumes) every thread of the window's process except the window's.
int SetOtherThreadsRunning(HWND window, bool run)
{
    DWORD processId = 0;
    DWORD windowThread = GetWindowThreadProcessId(window, &processId);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int changed = 0;
    THREADENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != processId || entry.th32ThreadID == windowThread)
            continue;
        HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID);
        if (thread == NULL)
            continue;
        if ((run ? ResumeThread(thread) : SuspendThread(thread)) != (DWORD)-1)
            ++changed;
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return changed;
}

HWND FindTopLevel(const char* title)
{
    return FindWindowA(NULL, title);
}

// A bar to wait for: the control and the least position it must stand at.
struct BarWait {
    int id;
    int minimum;
};

bool BarReached(HWND dialog, const BarWait& bar)
{
    DWORD_PTR position = 0;
    return bar.id == 0 || (SendMessageTimeoutA(GetDlgItem(dialog, bar.id), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG,
                                               ANSWER_TIMEOUT_MS, &position) != 0 &&
                           (int)position >= bar.minimum);
}

HWND WaitForText(const char* title, int id, const char* wanted, const BarWait& bar)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < WAIT_LIMIT_MS) {
        HWND dialog = FindTopLevel(title);
        char text[256];
        if (dialog != NULL && ReadText(GetDlgItem(dialog, id), text, sizeof(text)) && strcmp(text, wanted) == 0 &&
            BarReached(dialog, bar))
            return dialog;
        Sleep(1);
    }
    return NULL;
}

int Hold(const char* title, int id, const char* wanted, const BarWait& bar)
{
    for (int attempt = 0; attempt < HOLD_ATTEMPTS; ++attempt) {
        HWND dialog = WaitForText(title, id, wanted, bar);
        if (dialog == NULL)
            return Fail("the window never showed the text");
        int held = SetOtherThreadsRunning(dialog, false);
        if (held <= 0)
            return Fail("no thread to hold");
        // A thread stopped while holding a lock that the window's thread needs would
        // stall the window: let it go on a little and try again.
        char text[256];
        if (Answers(dialog) && ReadText(GetDlgItem(dialog, id), text, sizeof(text)) && strcmp(text, wanted) == 0) {
            printf("held %d\n", held);
            return 0;
        }
        SetOtherThreadsRunning(dialog, true);
        Sleep(1);
    }
    return Fail("the window did not answer while its other threads were held");
}

int Release(const char* title)
{
    HWND dialog = FindTopLevel(title);
    if (dialog == NULL)
        return Fail("no such window");
    printf("released %d\n", SetOtherThreadsRunning(dialog, true));
    return 0;
}

int AskToEnd(const char* title, const char* way)
{
    static const struct {
        const char* name;
        UINT message;
        WPARAM wParam;
    } ways[] = {{"close", WM_CLOSE, 0}, {"sysclose", WM_SYSCOMMAND, SC_CLOSE}, {"ok", WM_COMMAND, IDOK},
                {"cancel", WM_COMMAND, IDCANCEL}, {"quit", WM_QUIT, 0}};
    HWND dialog = FindTopLevel(title);
    for (const auto& w : ways) {
        if (dialog == NULL || strcmp(way, w.name) != 0)
            continue;
        BOOL posted = w.message == WM_QUIT
                          ? PostThreadMessageA(GetWindowThreadProcessId(dialog, NULL), WM_QUIT, 0, 0)
                          : PostMessageA(dialog, w.message, w.wParam, 0);
        if (!posted)
            break;
        printf("posted %s\n", way);
        return 0;
    }
    return Fail("nothing posted");
}

int PrintText(const char* title, int id)
{
    HWND dialog = FindTopLevel(title);
    char text[256];
    if (dialog == NULL || !ReadText(GetDlgItem(dialog, id), text, sizeof(text)))
        return Fail("no text to read");
    printf("%s\n", text);
    return 0;
}

int PrintBar(const char* title, int id)
{
    HWND bar = GetDlgItem(FindTopLevel(title), id);
    DWORD_PTR position = 0;
    DWORD_PTR upper = 0;
    if (bar == NULL ||
        !SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, ANSWER_TIMEOUT_MS, &position) ||
        !SendMessageTimeoutA(bar, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, ANSWER_TIMEOUT_MS, &upper))
        return Fail("no bar to read");
    printf("%d/%d\n", (int)position, (int)upper);
    return 0;
}

BOOL CALLBACK PrintChildText(HWND child, LPARAM)
{
    char text[1024];
    if (ReadText(child, text, sizeof(text)) && text[0] != '\0')
        printf("%s\n", text);
    return TRUE;
}

int PrintTexts(const char* title)
{
    HWND window = FindTopLevel(title);
    if (window == NULL)
        return Fail("no such window");
    EnumChildWindows(window, PrintChildText, 0);
    return 0;
}

int PrintTouchMode(void)
{
    HANDLE device = OpenTouchDevice();
    if (device == INVALID_HANDLE_VALUE)
        return Fail("the touch device does not open");
    DWORD mode = 0;
    BOOL ok = GetDeviceMouseMode(device, &mode);
    CloseHandle(device);
    if (!ok)
        return Fail("the touch device did not answer");
    printf("mouse mode %lu\n", mode);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if ((argc == 5 || argc == 7) && strcmp(argv[1], "hold") == 0) {
        BarWait bar = {argc == 7 ? atoi(argv[5]) : 0, argc == 7 ? atoi(argv[6]) : 0};
        return Hold(argv[2], atoi(argv[3]), argv[4], bar);
    }
    if (argc == 3 && strcmp(argv[1], "release") == 0)
        return Release(argv[2]);
    if (argc == 4 && strcmp(argv[1], "end") == 0)
        return AskToEnd(argv[2], argv[3]);
    if (argc == 4 && strcmp(argv[1], "text") == 0)
        return PrintText(argv[2], atoi(argv[3]));
    if (argc == 4 && strcmp(argv[1], "bar") == 0)
        return PrintBar(argv[2], atoi(argv[3]));
    if (argc == 3 && strcmp(argv[1], "texts") == 0)
        return PrintTexts(argv[2]);
    if (argc == 2 && strcmp(argv[1], "touch") == 0)
        return PrintTouchMode();
    fprintf(stderr, "usage: installer_probe hold TITLE ID TEXT [BAR-ID MINIMUM] | release TITLE | end TITLE WAY |"
                    " text TITLE ID | bar TITLE ID | texts TITLE | touch\n");
    return 2;
}
