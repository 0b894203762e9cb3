// The installer's dialog on its framework, in a process of its own: data exchange
// from another thread, the end of the modal loop from another thread, the closing
// rule while a worker runs, the driver update's calls and its report of a failure,
// the drag icon, the default caption, string formatting, and the dialog template,
// icon group and version that the program carries.
#include "installer_dlg.h"
#include "setup_functions.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/wine/applet_import_hook.h"
#include "tests/wine/wine_support.h"

namespace {

// Runs the tests from InitInstance, as the program runs its dialog, so that the
// application's names come from this file as they do for the program.
class CTestApp : public CWinApp {
public:
    BOOL InitInstance() override
    {
        CString failure;
        if (LoadSetupFunctions(failure))
            m_result = RUN_ALL_TESTS();
        else
            printf("%s\n", (const char*)failure);
        return FALSE;
    }
    int ExitInstance() override { return m_result; }

private:
    int m_result = 1;
};

CTestApp theApp;

// The installer's dialog with a test's own start in place of the worker. A timer
// ends it with 5: a timer message comes only once no posted message, and no WM_QUIT,
// is left in the queue.
class CTestDlg : public CInstallerDlg {
public:
    typedef std::function<void(CTestDlg* dialog)> Start;
    explicit CTestDlg(Start start) : m_start(start) {}

    std::string m_statusAfterInit;
    std::string m_statusFromThread;
    HWND m_boundProgress = NULL;
    HWND m_window = NULL;
    LRESULT m_dragIcon = 0;
    DWORD_PTR m_barPosition = 0;
    DWORD_PTR m_barUpper = 0;

private:
    Start m_start;

protected:
    BOOL OnInitDialog() override
    {
        m_window = m_hWnd;
        if (!m_start) // the program's own worker
            return CInstallerDlg::OnInitDialog();
        CDialog::OnInitDialog();
        m_start(this);
        return TRUE;
    }

    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_TIMER) {
            EndDialog(5);
            return TRUE;
        }
        return CInstallerDlg::PreTranslateMessage(msg);
    }
};

std::string ControlText(HWND dialog, int id)
{
    char text[256];
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

DWORD WINAPI ExchangeAndEnd(LPVOID param)
{
    CTestDlg* dialog = (CTestDlg*)param;
    dialog->m_strStatus = "Searching Device...";
    dialog->UpdateData(FALSE);
    dialog->m_statusFromThread = ControlText(dialog->m_hWnd, IDC_STATUS);
    // A package that does not exist: nothing is installed, and the bar still ends at 5 of 5.
    dialog->InstallDevice("C:\\korvel-no-such-folder\\KorvelUsb.inf");
    HWND bar = GetDlgItem(dialog->m_hWnd, IDC_PROGRESS);
    dialog->m_barPosition = (DWORD_PTR)SendMessageA(bar, PBM_GETPOS, 0, 0);
    dialog->m_barUpper = (DWORD_PTR)SendMessageA(bar, PBM_GETRANGE, FALSE, 0);
    dialog->EndDialog(7);
    return 0;
}

TEST(InstallerDialog, WorkerThreadExchangesDataAndEndsTheDialog)
{
    CTestDlg dialog([](CTestDlg* self) {
        self->m_statusAfterInit = ControlText(self->m_hWnd, IDC_STATUS);
        self->m_boundProgress = self->m_ctlProgress.m_hWnd;
        self->m_dragIcon = self->SendMessage(WM_QUERYDRAGICON);
        self->m_hThread = CreateThread(NULL, 0, ExchangeAndEnd, self, 0, NULL);
    });
    ASSERT_NE((HICON)NULL, dialog.m_hIcon) << "icon group 128";
    EXPECT_EQ(7, dialog.DoModal());

    EXPECT_EQ("", dialog.m_statusAfterInit) << "the empty status replaces the template's text";
    EXPECT_NE((HWND)NULL, dialog.m_boundProgress) << "control 1000 bound";
    EXPECT_EQ((LRESULT)dialog.m_hIcon, dialog.m_dragIcon);
    EXPECT_STREQ("Install Device...", dialog.m_strStatus);
    EXPECT_EQ("Searching Device...", dialog.m_statusFromThread);
    EXPECT_EQ(5u, dialog.m_barPosition);
    EXPECT_EQ(5u, dialog.m_barUpper);
    EXPECT_FALSE(dialog.m_bRebootRequired);
    EXPECT_EQ((HANDLE)NULL, dialog.m_hThread) << "closed when the window went";
}

// The ways to end the dialog from outside its own code, and DoModal's result when
// the dialog may end. Enter and Esc come as they would from the keyboard.
const struct {
    const char* name;
    UINT message;
    WPARAM wParam;
    INT_PTR ended;
} endingWays[] = {
    {"WM_CLOSE", WM_CLOSE, 0, IDCANCEL}, {"SC_CLOSE", WM_SYSCOMMAND, SC_CLOSE, IDCANCEL},
    {"IDOK", WM_COMMAND, IDOK, IDOK},    {"IDCANCEL", WM_COMMAND, IDCANCEL, IDCANCEL},
    {"Enter", WM_KEYDOWN, VK_RETURN, 5}, {"Esc", WM_KEYDOWN, VK_ESCAPE, 5},
    {"WM_QUIT", WM_QUIT, 3, -1},
};

TEST(InstallerDialog, NothingEndsTheDialogWhileTheWorkerRuns)
{
    for (const auto& way : endingWays) {
        for (bool worker : {true, false}) {
            CTestDlg dialog([&](CTestDlg* self) {
                // Any handle stands for the running worker; it is closed with the window.
                if (worker)
                    self->m_hThread = CreateEventA(NULL, TRUE, FALSE, NULL);
                if (way.message == WM_QUIT)
                    PostQuitMessage((int)way.wParam);
                else
                    PostMessageA(self->m_hWnd, way.message, way.wParam, 0);
                SetTimer(self->m_hWnd, 1, 10, NULL);
            });
            EXPECT_EQ(worker ? 5 : way.ended, dialog.DoModal()) << way.name << (worker ? " with" : " without")
                                                                << " a worker";
            EXPECT_EQ((HANDLE)NULL, dialog.m_hThread);
            // A WM_QUIT is left for the program's next loop, whether it ended the dialog or not.
            MSG quit;
            BOOL quitLeft = PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE);
            EXPECT_EQ(way.message == WM_QUIT, quitLeft != FALSE) << way.name;
            if (quitLeft) {
                EXPECT_EQ(way.wParam, quit.wParam);
            }
        }
    }
}

// The driver-update calls seen (parent window and hardware ID), the errors they are
// made to give (none: success), the call that asks for a restart (the others write
// FALSE, as Windows' own do), the message boxes and restart prompts shown (owners).
// The search sees one device, of entry 4.
std::vector<std::pair<HWND, std::string>> updateCalls;
std::vector<DWORD> updateErrors;
size_t restartCall;
std::vector<std::pair<HWND, std::string>> shownBoxes;
std::vector<HWND> restartPrompts;

BOOL WINAPI OneDevice(HDEVINFO, DWORD index, PSP_DEVINFO_DATA)
{
    SetLastError(ERROR_NO_MORE_ITEMS);
    return index == 0;
}

BOOL WINAPI EntryFourIds(HDEVINFO, PSP_DEVINFO_DATA, DWORD, PDWORD, PBYTE list, DWORD, PDWORD size)
{
    static const char ids[] = "USB\\VID_7E03&PID_0020\0";
    memcpy(list, ids, *size = sizeof(ids));
    return TRUE;
}

INT WINAPI RecordRestartPrompt(HSPFILEQ, HWND owner, BOOL)
{
    restartPrompts.push_back(owner);
    return 0;
}

BOOL WINAPI RecordUpdate(HWND parent, LPCSTR hardwareId, LPCSTR, DWORD, PBOOL restart)
{
    updateCalls.push_back(std::make_pair(parent, hardwareId));
    *restart = updateCalls.size() == restartCall;
    DWORD error = updateCalls.size() <= updateErrors.size() ? updateErrors[updateCalls.size() - 1] : ERROR_GEN_FAILURE;
    SetLastError(error);
    return error == ERROR_SUCCESS;
}

int WINAPI RecordMessageBox(HWND owner, LPCSTR text, LPCSTR, UINT)
{
    shownBoxes.push_back(std::make_pair(owner, text));
    return IDOK;
}

TEST(InstallerDialog, DriverUpdateReportsWhatWindowsRefusedAndOffersTheRestart)
{
    ImportHook boxes(GetModuleHandleA(NULL), "USER32.dll", "MessageBoxA", (void*)RecordMessageBox);
    ASSERT_TRUE(boxes.Installed());
    const SetupFunctions loaded = DeviceInstall;
    DeviceInstall.UpdateDriverForPlugAndPlayDevicesA = RecordUpdate;
    DeviceInstall.SetupDiEnumDeviceInfo = OneDevice;
    DeviceInstall.SetupDiGetDeviceRegistryPropertyA = EntryFourIds;
    DeviceInstall.SetupPromptReboot = RecordRestartPrompt;

    const char* const ids[] = {"USB\\VID_7E01&PID_0001", "USB\\VID_7E02&PID_0001", "USB\\VID_7E03&PID_0007",
                               "USB\\VID_7E03&PID_0020", "USB\\VID_7E04&PID_0001"};
    const DWORD none = ERROR_NO_SUCH_DEVINST;
    const DWORD wow = ERROR_IN_WOW64;
    const struct {
        const char* name;
        std::vector<DWORD> errors;
        const char* message;
        size_t restartCall = 0;
    } cases[] = {
        {"all installed", {0, 0, 0, 0, 0}, NULL},
        {"only the found ID present", {none, none, none, 0, none}, NULL},
        {"the found ID's update asks for a restart, the later one not", {none, none, none, 0, none}, NULL, 4},
        {"a system text with an insert", {none, none, none, ERROR_BAD_EXE_FORMAT, none},
         "InstallDevice-UpdateDriverForPlugAndPlayDevices 193\nStep 4 of 5: USB\\VID_7E03&PID_0020\nBad EXE format for."},
        {"limited account", {none, none, none, ERROR_ACCESS_DENIED, none},
         "InstallDevice-UpdateDriverForPlugAndPlayDevices 5\nStep 4 of 5: USB\\VID_7E03&PID_0020\nAccess denied."},
        {"no system text, after a call that installed", {0, 0x12345, none, 0, ERROR_ACCESS_DENIED},
         "InstallDevice-UpdateDriverForPlugAndPlayDevices 74565\nStep 2 of 5: USB\\VID_7E02&PID_0001\n"
         "Later steps that failed as well: 1"},
        {"32-bit program on 64-bit Windows", {wow, wow, wow, wow, wow},
         "InstallDevice-UpdateDriverForPlugAndPlayDevices 3758096949\nStep 1 of 5: USB\\VID_7E01&PID_0001\n"
         "Later steps that failed as well: 4\n"
         "This 32-bit Korvelseek cannot install drivers on 64-bit Windows: run the 64-bit Korvelseek instead."},
    };
    for (const auto& c : cases) {
        updateCalls.clear();
        updateErrors = c.errors;
        restartCall = c.restartCall;
        shownBoxes.clear();
        restartPrompts.clear();
        CTestDlg dialog(nullptr);
        EXPECT_EQ(0, dialog.DoModal()) << c.name;
        HWND window = dialog.m_window;

        std::vector<std::pair<HWND, std::string>> calls;
        for (const char* id : ids)
            calls.push_back(std::make_pair(window, id));
        EXPECT_EQ(calls, updateCalls) << c.name << ": every ID in order, Windows' prompts owned by the dialog";
        std::vector<std::pair<HWND, std::string>> boxes;
        if (c.message != NULL)
            boxes.push_back(std::make_pair(window, c.message));
        EXPECT_EQ(boxes, shownBoxes) << c.name;
        EXPECT_EQ(std::vector<HWND>(c.restartCall != 0, window), restartPrompts) << c.name << ": restart prompts";
    }
    DeviceInstall = loaded;
}

TEST(Framework, MessageBoxWithoutCaptionShowsTheProgramName)
{
    MessageBoxCatcher catcher;
    CWnd owner;
    EXPECT_EQ(IDOK, owner.MessageBox("KorvelUsb.inf path too long"));
    ASSERT_TRUE(catcher.Wait());
    EXPECT_EQ("installer_framework_test", catcher.caption);
    EXPECT_EQ("KorvelUsb.inf path too long", catcher.text);
    const char* help = AfxGetApp()->m_pszHelpFilePath;
    const char* name = strrchr(help, '\\');
    EXPECT_STREQ("\\installer_framework_test.HLP", name) << help;
}

TEST(Framework, FormatReplacesTheStringAndCutsItAtItsLimit)
{
    CString text("old");
    text.Format("CreateThread Failed! Error code %d", 8);
    EXPECT_STREQ("CreateThread Failed! Error code 8", text);

    const std::string part(3000, 'x');
    text.Format("%s%d", part.c_str(), 1);
    EXPECT_EQ(part + "1", (const char*)text);
    EXPECT_EQ(3001, text.GetLength());
    const std::string past(CString::FORMAT_LIMIT + 2, 'y');
    text.Format("%s", past.c_str());
    EXPECT_EQ(past.substr(0, CString::FORMAT_LIMIT), (const char*)text);

    text.Format("%s", "");
    EXPECT_TRUE(text.IsEmpty());
}

// The program's resources in its one language, Chinese (Simplified, PRC).
const void* LockChineseResource(LPCSTR type, UINT id, DWORD* size)
{
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    if (found == NULL)
        return NULL;
    *size = SizeofResource(module, found);
    return LockResource(LoadResource(module, found));
}

// Reads an extended dialog template field by field, never past its end.
class TemplateReader {
public:
    TemplateReader(const void* data, DWORD size) : m_at((const BYTE*)data), m_end((const BYTE*)data + size) {}
    bool ok() const { return m_ok; }
    template <class T> T Take()
    {
        T value = T();
        if (m_end - m_at < (ptrdiff_t)sizeof(T)) {
            m_ok = false;
            return value;
        }
        memcpy(&value, m_at, sizeof(T));
        m_at += sizeof(T);
        return value;
    }
    // A name or an ordinal: "#N" for an ordinal, else the UTF-16 units as they stand.
    std::wstring TakeNameOrOrdinal()
    {
        WORD first = Take<WORD>();
        if (first == 0xFFFF)
            return L"#" + std::to_wstring(Take<WORD>());
        std::wstring text;
        for (WORD unit = first; m_ok && unit != 0; unit = Take<WORD>())
            text += (wchar_t)unit;
        return text;
    }
    void AlignToDword(const void* start)
    {
        while (m_ok && (m_at - (const BYTE*)start) % 4 != 0)
            Take<BYTE>();
    }

private:
    const BYTE* m_at;
    const BYTE* m_end;
    bool m_ok = true;
};

TEST(InstallerResources, DialogTemplate)
{
    DWORD size = 0;
    const void* data = LockChineseResource(RT_DIALOG, IDD_KORVELSEEK_DIALOG, &size);
    ASSERT_NE((const void*)NULL, data) << "dialog 102 in language 2052";
    TemplateReader reader(data, size);
    EXPECT_EQ(1, reader.Take<WORD>()) << "extended template version";
    EXPECT_EQ(0xFFFF, reader.Take<WORD>()) << "extended template signature";
    reader.Take<DWORD>();
    EXPECT_EQ((DWORD)WS_EX_APPWINDOW, reader.Take<DWORD>());
    EXPECT_EQ((DWORD)(WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_SETFONT), reader.Take<DWORD>())
        << "a caption but no system menu";
    WORD controls = reader.Take<WORD>();
    const short frame[4] = {reader.Take<short>(), reader.Take<short>(), reader.Take<short>(), reader.Take<short>()};
    EXPECT_EQ(320, frame[2]);
    EXPECT_EQ(65, frame[3]);
    EXPECT_EQ(L"", reader.TakeNameOrOrdinal()) << "menu";
    EXPECT_EQ(L"", reader.TakeNameOrOrdinal()) << "class";
    EXPECT_EQ(L"Korvel Scan Device", reader.TakeNameOrOrdinal());
    EXPECT_EQ(9, reader.Take<WORD>()) << "points";
    EXPECT_EQ(0, reader.Take<WORD>()) << "weight";
    EXPECT_EQ(0, reader.Take<BYTE>()) << "italic";
    EXPECT_EQ(DEFAULT_CHARSET, reader.Take<BYTE>());
    EXPECT_EQ(std::wstring(L"\x5B8B\x4F53"), reader.TakeNameOrOrdinal()) << "the face name Song";

    const struct {
        DWORD id;
        const wchar_t* windowClass;
        const wchar_t* text;
        DWORD style;
        short x, y, cx, cy;
    } expected[] = {
        {IDC_PROGRESS, L"msctls_progress32", L"Progress1", WS_CHILD | WS_VISIBLE | WS_BORDER, 21, 37, 275, 14},
        {IDC_STATUS, L"Static", L"Searching...", WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 58, 15, 91, 9},
        {(DWORD)-1, L"Static", L"#128", WS_CHILD | WS_VISIBLE | SS_ICON, 28, 9, 21, 21},
    };
    ASSERT_EQ(sizeof(expected) / sizeof(expected[0]), (size_t)controls);
    for (const auto& e : expected) {
        reader.AlignToDword(data);
        reader.Take<DWORD>();
        EXPECT_EQ(0u, reader.Take<DWORD>()) << e.id;
        EXPECT_EQ(e.style, reader.Take<DWORD>()) << e.id;
        EXPECT_EQ(e.x, reader.Take<short>()) << e.id;
        EXPECT_EQ(e.y, reader.Take<short>()) << e.id;
        EXPECT_EQ(e.cx, reader.Take<short>()) << e.id;
        EXPECT_EQ(e.cy, reader.Take<short>()) << e.id;
        EXPECT_EQ(e.id, reader.Take<DWORD>());
        // The Static class by its atom or by its name, in any case, as the window manager takes it.
        std::wstring windowClass = reader.TakeNameOrOrdinal();
        if (windowClass == L"#130")
            windowClass = L"Static";
        EXPECT_EQ(0, _wcsicmp(e.windowClass, windowClass.c_str())) << e.id;
        EXPECT_EQ(std::wstring(e.text), reader.TakeNameOrOrdinal()) << e.id;
        WORD extra = reader.Take<WORD>();
        for (WORD i = 0; i < extra; ++i)
            reader.Take<BYTE>();
    }
    EXPECT_TRUE(reader.ok()) << "the template ended early";
}

TEST(InstallerResources, IconGroupAndVersion)
{
    DWORD size = 0;
    const BYTE* group = (const BYTE*)LockChineseResource(RT_GROUP_ICON, IDR_MAINFRAME, &size);
    ASSERT_NE((const BYTE*)NULL, group) << "icon group 128 in language 2052";
    ASSERT_GE(size, 6u);
    WORD count = 0;
    memcpy(&count, group + 4, sizeof(count));
    ASSERT_EQ(6u + count * 14u, size);
    std::vector<std::pair<int, int>> images;
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = group + 6 + i * 14;
        WORD bits = 0;
        memcpy(&bits, entry + 6, sizeof(bits));
        EXPECT_EQ(entry[0], entry[1]) << "square image " << i;
        images.push_back(std::make_pair((int)entry[0], (int)bits));
    }
    std::sort(images.begin(), images.end());
    const std::vector<std::pair<int, int>> expected = {{16, 4}, {16, 8}, {16, 32}, {32, 4},
                                                       {32, 8}, {32, 32}, {48, 8}, {48, 32}};
    EXPECT_EQ(expected, images) << "(size, bits per pixel) of each image";

    const BYTE* version = (const BYTE*)LockChineseResource(RT_VERSION, VS_VERSION_INFO, &size);
    ASSERT_NE((const BYTE*)NULL, version) << "version resource in language 2052";
    const VS_FIXEDFILEINFO* fixed = NULL;
    for (DWORD at = 0; at + sizeof(VS_FIXEDFILEINFO) <= size && fixed == NULL; at += 4) {
        if (((const VS_FIXEDFILEINFO*)(version + at))->dwSignature == VS_FFI_SIGNATURE)
            fixed = (const VS_FIXEDFILEINFO*)(version + at);
    }
    ASSERT_NE((const VS_FIXEDFILEINFO*)NULL, fixed);
    const DWORD parts[4] = {fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                            fixed->dwProductVersionLS};
    const DWORD wanted[4] = {MAKELONG(0, 1), MAKELONG(1, 0), MAKELONG(0, 1), MAKELONG(1, 0)};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(wanted[i], parts[i]) << "file and product version 1.0.0.1, part " << i;
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    return AfxWinMain(GetModuleHandleA(NULL));
}
