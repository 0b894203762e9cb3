// The shared foundation against the prefix's registry and the simulated driver.
#include <windows.h>

#include <gtest/gtest.h>

#include "shared/parameters_key.h"
#include "shared/platform.h"
#include "shared/privilege.h"
#include "shared/touch_device.h"
#include "tests/wine/wine_support.h"

namespace {

const char kServicesParameters[] = "System\\CurrentControlSet\\Services\\Korvelscreen\\Parameters";

class Foundation : public ::testing::Test {
protected:
    void SetUp() override { ResetSim(); }
    void TearDown() override { SimFailRequest(0); }
};

// A page that reads but cannot be written, for the unwritable-pointer rule.
struct ReadOnlyPage {
    ReadOnlyPage()
    {
        memory = (DWORD*)VirtualAlloc(NULL, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READONLY);
    }
    ~ReadOnlyPage() { VirtualFree(memory, 0, MEM_RELEASE); }
    DWORD* memory;
};

TEST_F(Foundation, ThePrefixIsWindowsXpAndKeepsTheKeyUnderServices)
{
    ASSERT_EQ(OS_KIND_WIN2000_XP, GetOsKind());
    char path[PARAMETERS_PATH_SIZE];
    ASSERT_TRUE(FormatParametersKeyPath(GetOsKind(), path, sizeof(path)));
    EXPECT_STREQ(kServicesParameters, path);
}

TEST_F(Foundation, OpeningForReadingCreatesAMissingKeyEmpty)
{
    DeleteServicesParametersKey();
    HKEY probe;
    ASSERT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServicesParameters, 0, KEY_READ, &probe))
        << "the key should be gone before the test";

    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, OpenParametersKey(OS_KIND_WIN2000_XP, FALSE, &key));
    DWORD values = 99, subkeys = 99;
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryInfoKeyA(key, NULL, NULL, NULL, &subkeys, NULL, NULL, &values, NULL, NULL, NULL, NULL));
    EXPECT_EQ(0u, values);
    EXPECT_EQ(0u, subkeys);
    DWORD type, size, value = 1234;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadParameterValue(key, "BeepFreq", &type, &size, &value));
    EXPECT_EQ(1234u, value) << "a failed read must leave the value alone";
    RegCloseKey(key);

    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServicesParameters, 0, KEY_READ, &probe));
    RegCloseKey(probe);
}

TEST_F(Foundation, ValuesWrittenThroughTheKeyReadBackAsDwords)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, OpenParametersKey(OS_KIND_WIN2000_XP, TRUE, &key));
    EXPECT_EQ(ERROR_SUCCESS, WriteParameterValue(key, "DragDelay", 750));
    RegCloseKey(key);

    ASSERT_EQ(ERROR_SUCCESS, OpenParametersKey(OS_KIND_WIN2000_XP, FALSE, &key));
    DWORD type = 0, size = 0, value = 0;
    EXPECT_EQ(ERROR_SUCCESS, ReadParameterValue(key, "DragDelay", &type, &size, &value));
    EXPECT_EQ((DWORD)REG_DWORD, type);
    EXPECT_EQ(4u, size);
    EXPECT_EQ(750u, value);
    RegCloseKey(key);
}

TEST_F(Foundation, PlatformsWithoutAKeyFailBeforeTheRegistry)
{
    const int kinds[] = {OS_KIND_WIN32S, OS_KIND_WIN95, OS_KIND_NT4, OS_KIND_OTHER};
    for (int kind : kinds) {
        HKEY key = (HKEY)1;
        EXPECT_NE(ERROR_SUCCESS, OpenParametersKey(kind, TRUE, &key)) << "OsKind " << kind;
        EXPECT_EQ(NULL, key) << "OsKind " << kind;
    }
}

TEST_F(Foundation, RefusedMouseModeArgumentsNeverOpenTheDevice)
{
    ReadOnlyPage page;
    ASSERT_TRUE(page.memory != NULL);
    SimState before = ReadSimState();

    SetLastError(0xdeadbeef);
    EXPECT_FALSE(SetTouchMouseMode(4));
    EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, GetLastError());
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(SetTouchMouseMode(0xFFFFFFFFu)) << "the mode is compared unsigned";
    EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, GetLastError());
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetTouchMouseMode(page.memory));
    EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, GetLastError());
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetTouchMouseMode(NULL));
    EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, GetLastError());

    SimState after = ReadSimState();
    EXPECT_EQ(before.opens, after.opens) << "a refused argument opened the device";
    EXPECT_EQ(0u, RequestCount(after, IOCTL_TOUCH_SET_MOUSE_MODE));
    EXPECT_EQ(0u, RequestCount(after, IOCTL_TOUCH_GET_MOUSE_MODE));
}

TEST_F(Foundation, MouseModeRequestsOnAHeldDeviceFollowTheSameRule)
{
    HANDLE device = OpenTouchDevice();
    ASSERT_NE(INVALID_HANDLE_VALUE, device) << "error " << GetLastError();
    ReadOnlyPage page;

    SetLastError(0xdeadbeef);
    EXPECT_FALSE(SetDeviceMouseMode(device, 4));
    EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, GetLastError());
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetDeviceMouseMode(device, page.memory));
    EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, GetLastError());
    SimState refused = ReadSimState();
    EXPECT_EQ(0u, RequestCount(refused, IOCTL_TOUCH_SET_MOUSE_MODE));
    EXPECT_EQ(0u, RequestCount(refused, IOCTL_TOUCH_GET_MOUSE_MODE));

    EXPECT_TRUE(SetDeviceMouseMode(device, 3)) << "error " << GetLastError();
    DWORD mode = 77;
    EXPECT_TRUE(GetDeviceMouseMode(device, &mode)) << "error " << GetLastError();
    EXPECT_EQ(3u, mode);
    CloseHandle(device);

    SimState after = ReadSimState();
    EXPECT_EQ(3u, after.mouse_mode);
    EXPECT_EQ(1u, after.opens);
    EXPECT_EQ(1u, after.closes);
}

TEST_F(Foundation, EachModeIsSentAndReadBackAroundItsOwnOpen)
{
    for (DWORD wanted = 0; wanted <= 3; ++wanted) {
        EXPECT_TRUE(SetTouchMouseMode(wanted)) << "mode " << wanted << ", error " << GetLastError();
        DWORD mode = 77;
        EXPECT_TRUE(GetTouchMouseMode(&mode)) << "error " << GetLastError();
        EXPECT_EQ(wanted, mode);
    }
    SimState state = ReadSimState();
    EXPECT_EQ(8u, state.opens);
    EXPECT_EQ(state.opens, state.closes) << "a request left a handle open";
    EXPECT_EQ(4u, RequestCount(state, IOCTL_TOUCH_SET_MOUSE_MODE));
}

TEST_F(Foundation, AFailedRequestLeavesTheModeAlone)
{
    ASSERT_TRUE(SetTouchMouseMode(2));
    ASSERT_TRUE(SimFailRequest(IOCTL_TOUCH_GET_MOUSE_MODE));
    DWORD mode = 77;
    EXPECT_FALSE(GetTouchMouseMode(&mode));
    EXPECT_EQ(77u, mode) << "the getter stored a mode from a failed request";

    ASSERT_TRUE(SimFailRequest(IOCTL_TOUCH_SET_MOUSE_MODE));
    EXPECT_FALSE(SetTouchMouseMode(1));
    EXPECT_EQ(2u, ReadSimState().mouse_mode) << "a failed set changed the driver's mode";
    SimState state = ReadSimState();
    EXPECT_EQ(state.opens, state.closes) << "a failed request left a handle open";
}

TEST_F(Foundation, ReloadAdoptsTheStoredValues)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, OpenParametersKey(OS_KIND_WIN2000_XP, TRUE, &key));
    const struct {
        const char* name;
        DWORD value;
    } stored[] = {
        {"XLow", 300},      {"XHigh", 3801},    {"YLow", 200},       {"YHigh", 3700},
        {"SwapXY", 1},      {"BeepMode", 2},    {"BeepFreq", 4000},  {"BeepTime", 256},
        {"MouseMode", 1},   {"ButtonMode", 2},  {"DragDelay", 1200}, {"DblClkRegion", 40},
    };
    for (const auto& value : stored)
        ASSERT_EQ(ERROR_SUCCESS, WriteParameterValue(key, value.name, value.value)) << value.name;
    RegCloseKey(key);

    SimState before = ReadSimState();
    EXPECT_NE(4000u, before.beep_freq) << "the reset state should differ from the stored one";
    ASSERT_TRUE(SendTouchRequestOnce(IOCTL_TOUCH_RELOAD_SETTINGS, NULL, 0, NULL, 0, NULL))
        << "error " << GetLastError();

    SimState after = ReadSimState();
    EXPECT_EQ(1u, RequestCount(after, IOCTL_TOUCH_RELOAD_SETTINGS));
    EXPECT_EQ(300, after.calibration.XLow);
    EXPECT_EQ(200, after.calibration.YLow);
    EXPECT_EQ(3801, after.calibration.XHigh);
    EXPECT_EQ(3700, after.calibration.YHigh);
    EXPECT_EQ(1u, after.calibration.SwapXY);
    EXPECT_EQ(2u, after.beep_mode);
    EXPECT_EQ(4000u, after.beep_freq);
    EXPECT_EQ(256u, after.beep_time);
    EXPECT_EQ(1u, after.mouse_mode);
    EXPECT_EQ(2u, after.button_mode);
    EXPECT_EQ(1200u, after.drag_delay);
    EXPECT_EQ(40u, after.dblclk_region);
}

TEST_F(Foundation, PrivilegeFollowsThePlatform)
{
    EXPECT_TRUE(CheckPrivilege(OS_KIND_WIN2000_XP, NULL)) << "Wine's user holds every privilege";
    EXPECT_TRUE(CheckPrivilege(OS_KIND_WIN98, NULL));
    EXPECT_TRUE(CheckPrivilege(OS_KIND_WINME, NULL));
    EXPECT_FALSE(CheckPrivilege(OS_KIND_WIN95, NULL));
}

BOOL CountingReport(const char*);
int g_reports;
BOOL CountingReport(const char*)
{
    ++g_reports;
    return FALSE;
}

TEST_F(Foundation, Windows95IsRefusedWithoutAStepReport)
{
    g_reports = 0;
    EXPECT_FALSE(CheckPrivilege(OS_KIND_WIN95, CountingReport));
    EXPECT_TRUE(CheckPrivilege(OS_KIND_WIN2000_XP, CountingReport));
    EXPECT_EQ(0, g_reports);
}

TEST_F(Foundation, SystemErrorReportShowsTheSystemTextAndKeepsTheCode)
{
    MessageBoxCatcher catcher;
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(ReportSystemError("CheckPrivilege_OpenProcessToken"));
    EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError()) << "the last error was not restored";
    ASSERT_TRUE(catcher.Wait()) << "no message box was shown";
    EXPECT_EQ("CheckPrivilege_OpenProcessToken", catcher.caption);
    EXPECT_NE(std::string::npos, catcher.text.find("denied")) << "text: " << catcher.text;
}

TEST_F(Foundation, SystemErrorReportFallsBackToTheCodeForAnUnknownError)
{
    MessageBoxCatcher catcher;
    SetLastError(0x12345);
    EXPECT_FALSE(ReportSystemError("CheckPrivilege_AdjustTokenPrivileges"));
    EXPECT_EQ(0x12345u, GetLastError());
    ASSERT_TRUE(catcher.Wait()) << "no message box was shown";
    EXPECT_EQ("CheckPrivilege_AdjustTokenPrivileges", catcher.caption);
    EXPECT_EQ("CheckPrivilege_AdjustTokenPrivileges FAILURE: (0x00012345)", catcher.text);
}

} // namespace

namespace {

// Stops the driver's service for the life of the object and starts it again after.
class StoppedDriver {
public:
    StoppedDriver()
    {
        manager_ = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
        service_ = manager_ ? OpenServiceA(manager_, "Korvelscreen", SERVICE_ALL_ACCESS) : NULL;
        SERVICE_STATUS status;
        stopped_ = service_ != NULL && ControlService(service_, SERVICE_CONTROL_STOP, &status);
        for (int i = 0; stopped_ && i < 50 && QueryServiceStatus(service_, &status) &&
                        status.dwCurrentState != SERVICE_STOPPED;
             ++i)
            Sleep(100);
    }
    ~StoppedDriver()
    {
        SERVICE_STATUS status;
        for (int attempt = 0; service_ != NULL && attempt < 3; ++attempt) {
            if (StartServiceA(service_, 0, NULL) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING)
                break;
            Sleep(500);
        }
        for (int i = 0; service_ != NULL && i < 50 && QueryServiceStatus(service_, &status) &&
                        status.dwCurrentState != SERVICE_RUNNING;
             ++i)
            Sleep(100);
        if (service_ != NULL)
            CloseServiceHandle(service_);
        if (manager_ != NULL)
            CloseServiceHandle(manager_);
    }
    bool stopped() const { return stopped_; }

private:
    SC_HANDLE manager_;
    SC_HANDLE service_;
    bool stopped_;
};

TEST(DriverAbsent, TheOpenFailsAndNoRequestGoesOut)
{
    {
        StoppedDriver absent;
        ASSERT_TRUE(absent.stopped()) << "cannot stop the driver's service, error " << GetLastError();
        SetLastError(0xdeadbeef);
        EXPECT_EQ(INVALID_HANDLE_VALUE, OpenTouchDevice());
        DWORD openError = GetLastError();
        EXPECT_NE(0xdeadbeefu, openError);
        DWORD mode = 77;
        SetLastError(0xdeadbeef);
        EXPECT_FALSE(GetTouchMouseMode(&mode));
        EXPECT_EQ(openError, GetLastError()) << "the getter should keep the open's last error";
        EXPECT_EQ(77u, mode);
        SetLastError(0xdeadbeef);
        EXPECT_FALSE(SetTouchMouseMode(1));
        EXPECT_EQ(openError, GetLastError()) << "the setter should keep the open's last error";
    }
    HANDLE device = OpenTouchDevice();
    EXPECT_NE(INVALID_HANDLE_VALUE, device) << "the driver did not come back, error " << GetLastError();
    if (device != INVALID_HANDLE_VALUE)
        CloseHandle(device);
}

// Runs a tool from tools/ (beside this test) and returns its exit code.
DWORD RunTool(const char* commandLine)
{
    char line[1024];
    lstrcpynA(line, commandLine, sizeof(line));
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine << ", error " << GetLastError();
        return 0xFFFFFFFF;
    }
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

TEST(PrivilegeToken, AUserWithoutThePrivilegeIsRefused)
{
    EXPECT_EQ(1u, RunTool("privilege_probe.exe")) << "the full token should be granted";
    EXPECT_EQ(0u, RunTool("run_restricted.exe privilege_probe.exe"))
        << "a token without SeSystemProfilePrivilege should be refused";
}

} // namespace
