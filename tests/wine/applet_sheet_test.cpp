// The applet's sheet hosted in this test's own process, as the Control Panel hosts
// it: the help requests of the Settings page, the saves of OK counted page by page,
// and the one-sheet-per-process rule. The library's calls to WinHelpA, MessageBoxA
// and RegSetValueExA are watched by swapping its imports.
#include <windows.h>

#include <commctrl.h>
#include <cpl.h>
#include <gtest/gtest.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "shared/touch_ioctl.h"
#include "tests/wine/applet_import_hook.h"
#include "tests/wine/wine_support.h"

namespace {

typedef LONG(APIENTRY* CplAppletProc)(HWND, UINT, LPARAM, LPARAM);

const char kSheetTitle[] = "Korvel Touchscreen Properties";
// The control id that comctl32 gives a sheet's Apply button.
const int kApplyButton = 0x3021;

struct HelpCall {
    HWND window;
    std::string file;
    UINT command;
    const DWORD* table;
};
std::vector<HelpCall> helpCalls;
LONG boxesShown;
LONG valuesWritten;
LONG(WINAPI* realRegSetValueExA)(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD);

BOOL WINAPI RecordWinHelp(HWND window, LPCSTR file, UINT command, ULONG_PTR data)
{
    helpCalls.push_back({window, file ? file : "", command, (const DWORD*)data});
    return FALSE;
}

int WINAPI CountMessageBox(HWND, LPCSTR, LPCSTR, UINT)
{
    InterlockedIncrement(&boxesShown);
    return IDOK;
}

LONG WINAPI CountRegSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    InterlockedIncrement(&valuesWritten);
    return realRegSetValueExA(key, name, reserved, type, data, size);
}

// The help context a table gives a control id, as the help system looks it up; 0
// when the table does not list it.
DWORD ContextOf(const DWORD* table, DWORD id)
{
    for (; table[0] != 0; table += 2)
        if (table[0] == id)
            return table[1];
    return 0;
}

struct OpenCall {
    CplAppletProc cplApplet;
    LONG result;
};

DWORD WINAPI OpenApplet(void* parameter)
{
    OpenCall* call = (OpenCall*)parameter;
    call->result = call->cplApplet(NULL, CPL_DBLCLK, 0, 0);
    return 0;
}

HWND WaitForSheet(void)
{
    for (int i = 0; i < 200; ++i) {
        HWND sheet = FindWindowA(NULL, kSheetTitle);
        if (sheet != NULL && IsWindowVisible(sheet))
            return sheet;
        Sleep(50);
    }
    return NULL;
}

// Waits until the sheet's thread has handled everything posted to it so far.
void Settle(HWND sheet)
{
    SendMessageA(sheet, WM_NULL, 0, 0);
    for (int i = 0; i < 5; ++i) {
        Sleep(20);
        SendMessageA(sheet, WM_NULL, 0, 0);
    }
}

void Key(WORD key)
{
    INPUT input[2];
    ZeroMemory(input, sizeof(input));
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

void RightClickAt(POINT at)
{
    SetCursorPos(at.x, at.y);
    INPUT input[2];
    ZeroMemory(input, sizeof(input));
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, input, sizeof(INPUT));
}

TEST(AppletSheet, HelpOkSavesPerVisitedPageAndOneSheetPerProcess)
{
    ResetSim();
    DeleteServicesParametersKey();
    struct Library {
        HMODULE module = LoadLibraryA(AppletLibraryPath().c_str());
        ~Library()
        {
            if (module != NULL)
                FreeLibrary(module);
        }
    } library;
    HMODULE applet = library.module;
    ASSERT_TRUE(applet != NULL);
    CplAppletProc cplApplet = (CplAppletProc)(void*)GetProcAddress(applet, "CPlApplet");
    ImportHook help(applet, "USER32.dll", "WinHelpA", (void*)RecordWinHelp);
    ImportHook boxes(applet, "USER32.dll", "MessageBoxA", (void*)CountMessageBox);
    ImportHook writes(applet, "ADVAPI32.dll", "RegSetValueExA", (void*)CountRegSetValue);
    ASSERT_TRUE(help.Installed() && boxes.Installed() && writes.Installed());
    realRegSetValueExA = (decltype(realRegSetValueExA))writes.Original();

    OpenCall call = {cplApplet, -1};
    HANDLE thread = CreateThread(NULL, 0, OpenApplet, &call, 0, NULL);
    HWND sheet = WaitForSheet();
    ASSERT_TRUE(sheet != NULL) << "no sheet";

    // The caption as given, the four page titles in order, the first page in front,
    // and OK and Cancel without Apply.
    char text[128] = "";
    GetWindowTextA(sheet, text, sizeof(text));
    EXPECT_STREQ(kSheetTitle, text);
    HWND tabs = (HWND)SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0);
    ASSERT_TRUE(tabs != NULL);
    const char* const titles[] = {"Calibration", "Settings", "Sound", "About"};
    ASSERT_EQ(4, (int)SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < 4; ++i) {
        TCITEMA tab;
        ZeroMemory(&tab, sizeof(tab));
        tab.mask = TCIF_TEXT;
        tab.pszText = text;
        tab.cchTextMax = sizeof(text);
        text[0] = '\0';
        EXPECT_TRUE(SendMessageA(tabs, TCM_GETITEMA, i, (LPARAM)&tab)) << "tab " << i;
        EXPECT_STREQ(titles[i], text) << "tab " << i;
    }
    WPARAM front = (WPARAM)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    EXPECT_EQ(0, (int)SendMessageA(sheet, PSM_HWNDTOINDEX, front, 0)) << "the sheet starts on another page";
    HWND apply = GetDlgItem(sheet, kApplyButton);
    EXPECT_TRUE(apply == NULL || !IsWindowVisible(apply)) << "an Apply button shows";
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(sheet, IDOK)) && IsWindowVisible(GetDlgItem(sheet, IDCANCEL)));

    // Settings page: F1 on "Drag" with the focus on it.
    ASSERT_TRUE(SendMessageA(sheet, PSM_SETCURSEL, 1, 0));
    HWND page = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    HWND drag = GetDlgItem(page, 1006);
    HWND group = GetDlgItem(page, 1020);
    ASSERT_TRUE(drag != NULL && group != NULL);
    // Visual styles in a process without a manifest of its own: inside the library's
    // activation context the pages' buttons are comctl32 6's, which alone know their
    // ideal size.
    SIZE ideal = {0, 0};
    EXPECT_TRUE(SendMessageA(drag, BCM_GETIDEALSIZE, 0, (LPARAM)&ideal)) << "a button of comctl32 5";
    DWORD sheetThread = GetWindowThreadProcessId(sheet, NULL);
    AttachThreadInput(GetCurrentThreadId(), sheetThread, TRUE);
    SetForegroundWindow(sheet);
    SetFocus(drag);
    AttachThreadInput(GetCurrentThreadId(), sheetThread, FALSE);
    Settle(sheet);
    Key(VK_F1);
    Settle(sheet);
    ASSERT_EQ(1u, helpCalls.size()) << "F1 on Drag asked no help";
    EXPECT_TRUE(helpCalls[0].window == drag);
    EXPECT_EQ("TamUsb.hlp", helpCalls[0].file);
    EXPECT_EQ((UINT)HELP_WM_HELP, helpCalls[0].command);
    EXPECT_EQ(15482u, ContextOf(helpCalls[0].table, (DWORD)GetDlgCtrlID(helpCalls[0].window)));

    // A right click on the Mouse Mode group's label gives no topic. Under Wine the
    // group box lets the click through, so the request names the page itself.
    RECT frame;
    GetWindowRect(group, &frame);
    RightClickAt({frame.left + 12, frame.top + 4});
    Settle(sheet);
    ASSERT_EQ(2u, helpCalls.size()) << "the right click asked no help";
    EXPECT_EQ("TamUsb.hlp", helpCalls[1].file);
    EXPECT_EQ((UINT)HELP_CONTEXTMENU, helpCalls[1].command);
    DWORD clickedId = (DWORD)GetDlgCtrlID(helpCalls[1].window);
    EXPECT_TRUE(helpCalls[1].window == group || helpCalls[1].window == page) << "help for id " << clickedId;
    DWORD context = ContextOf(helpCalls[1].table, clickedId);
    EXPECT_TRUE(context == 0 || context == (DWORD)-1) << "topic " << context;
    EXPECT_EQ((DWORD)-1, ContextOf(helpCalls[1].table, 1020));
    EXPECT_EQ(15480u, ContextOf(helpCalls[1].table, 1004));
    EXPECT_EQ(15502u, ContextOf(helpCalls[1].table, 1003));

    // A change, all four pages visited, OK: a save and a reload per page.
    SendMessageA(drag, BM_CLICK, 0, 0);
    ASSERT_TRUE(SendMessageA(sheet, PSM_SETCURSEL, 2, 0));
    ASSERT_TRUE(SendMessageA(sheet, PSM_SETCURSEL, 3, 0));
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 30000)) << "the sheet did not close";
    CloseHandle(thread);
    EXPECT_EQ(0, call.result);
    EXPECT_EQ(4 * 7, valuesWritten);
    SimState state = ReadSimState();
    EXPECT_EQ(4u, RequestCount(state, IOCTL_TOUCH_RELOAD_SETTINGS));
    EXPECT_EQ(0, boxesShown);

    // The process still owns "TamPanel": a second open does nothing at all.
    SimState before = ReadSimState();
    EXPECT_EQ(0, cplApplet(NULL, CPL_DBLCLK, 0, 0));
    EXPECT_TRUE(FindWindowA(NULL, kSheetTitle) == NULL);
    EXPECT_EQ(0, boxesShown);
    EXPECT_EQ(before.opens, ReadSimState().opens) << "the second open reached the driver";
}

} // namespace
