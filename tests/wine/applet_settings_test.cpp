// The applet's touch settings against the prefix's registry: the load with its
// validation and defaults, the save with its per-value reports, and Windows'
// double-click parameters. Message boxes and chosen registry failures are caught
// by swapping this program's own imports.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "applet/touch_settings.h"
#include "shared/os_kind.h"
#include "tests/wine/applet_import_hook.h"
#include "tests/wine/wine_support.h"

namespace {

const char kParameters[] = "System\\CurrentControlSet\\Services\\Korvelscreen\\Parameters";

struct ShownBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
};
std::vector<ShownBox> shownBoxes;

int WINAPI RecordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    shownBoxes.push_back({owner, text ? text : "", caption ? caption : "", style});
    return IDOK;
}

LONG failingStatus;
std::string failingValue;
LONG(WINAPI* realRegSetValueExA)(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD);

LONG WINAPI RegSetValueFailingOne(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    if (name != NULL && failingValue == name)
        return failingStatus;
    return realRegSetValueExA(key, name, reserved, type, data, size);
}

int keyOpens;
LONG WINAPI RegCreateKeyRefused(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY key, LPDWORD)
{
    ++keyOpens;
    *key = NULL;
    return ERROR_ACCESS_DENIED;
}

LONG(WINAPI* realRegCreateKeyExA)(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD);
LONG WINAPI RegCreateKeyCounted(HKEY root, LPCSTR path, DWORD reserved, LPSTR cls, DWORD options, REGSAM access,
                                LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition)
{
    ++keyOpens;
    return realRegCreateKeyExA(root, path, reserved, cls, options, access, security, key, disposition);
}

const TouchSettingsRecord kGarbage = {91, 92, 93, 94, 95, 96, 97};

bool SameSettings(const TouchSettingsRecord& a, const TouchSettingsRecord& b)
{
    return memcmp(&a, &b, sizeof(a)) == 0;
}

std::string SystemText(DWORD code)
{
    char* text = NULL;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, NULL, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), (LPSTR)&text, 0, NULL);
    std::string result = text != NULL ? text : "";
    if (text != NULL)
        LocalFree(text);
    return result;
}

class TouchSettingsStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(boxes.Installed());
        shownBoxes.clear();
        keyOpens = 0;
        DeleteServicesParametersKey();
        savedWidth = GetSystemMetrics(SM_CXDOUBLECLK);
        savedHeight = GetSystemMetrics(SM_CYDOUBLECLK);
        savedTime = GetDoubleClickTime();
    }
    void TearDown() override
    {
        SystemParametersInfoA(SPI_SETDOUBLECLKWIDTH, savedWidth, NULL, SPIF_UPDATEINIFILE);
        SystemParametersInfoA(SPI_SETDOUBLECLKHEIGHT, savedHeight, NULL, SPIF_UPDATEINIFILE);
        SystemParametersInfoA(SPI_SETDOUBLECLICKTIME, savedTime, NULL, SPIF_UPDATEINIFILE);
        DeleteServicesParametersKey();
    }
    void Seed(const char* name, DWORD type, const void* data, DWORD size)
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kParameters, 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                                                 &key, NULL));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, (const BYTE*)data, size));
        RegCloseKey(key);
    }
    // The stored value as a 4-byte REG_DWORD, or -1 when it is missing or not one.
    long long Stored(const char* name)
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kParameters, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return -1;
        DWORD type = 0, value = 0, size = sizeof(value);
        LONG status = RegQueryValueExA(key, name, NULL, &type, (BYTE*)&value, &size);
        RegCloseKey(key);
        return status == ERROR_SUCCESS && type == REG_DWORD && size == 4 ? (long long)value : -1;
    }
    DWORD ValueCount()
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kParameters, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return 0;
        DWORD values = 0;
        RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL, NULL, NULL);
        RegCloseKey(key);
        return values;
    }
    ImportHook boxes{GetModuleHandleA(NULL), "USER32.dll", "MessageBoxA", (void*)RecordMessageBox};
    int savedWidth = 0, savedHeight = 0;
    UINT savedTime = 0;
};

TEST_F(TouchSettingsStore, AMissingKeyIsCreatedEmptyAndEveryFieldTakesItsDefault)
{
    TouchSettings = kGarbage;
    EXPECT_TRUE(LoadProfileSetting(OS_KIND_WIN2000_XP));
    const TouchSettingsRecord defaults = {2, 2360, 32, 3, 0, 0, 25};
    EXPECT_TRUE(SameSettings(defaults, TouchSettings));
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kParameters, 0, KEY_READ, &key));
    RegCloseKey(key);
    EXPECT_EQ(0u, ValueCount());
    EXPECT_TRUE(shownBoxes.empty());
}

struct Seeded {
    const char* name;
    DWORD type;
    std::vector<BYTE> data;
    uint32_t TouchSettingsRecord::*field;
    uint32_t loaded;
};

std::vector<BYTE> Dword(DWORD value)
{
    return {(BYTE)value, (BYTE)(value >> 8), (BYTE)(value >> 16), (BYTE)(value >> 24)};
}

TEST_F(TouchSettingsStore, EachStoredValueIsKeptOrReplacedByItsDomain)
{
    const Seeded cases[] = {
        {"BeepMode", REG_DWORD, Dword(1), &TouchSettingsRecord::BeepMode, 1},
        {"BeepMode", REG_DWORD, Dword(3), &TouchSettingsRecord::BeepMode, 2},
        {"BeepFreq", REG_DWORD, Dword(999), &TouchSettingsRecord::BeepFreq, 2360},
        {"BeepFreq", REG_DWORD, Dword(1000), &TouchSettingsRecord::BeepFreq, 1000},
        {"BeepFreq", REG_DWORD, Dword(5000), &TouchSettingsRecord::BeepFreq, 5000},
        {"BeepFreq", REG_DWORD, Dword(5001), &TouchSettingsRecord::BeepFreq, 2360},
        {"BeepTime", REG_DWORD, Dword(31), &TouchSettingsRecord::BeepTime, 32},
        {"BeepTime", REG_DWORD, Dword(512), &TouchSettingsRecord::BeepTime, 512},
        {"BeepTime", REG_DWORD, Dword(513), &TouchSettingsRecord::BeepTime, 32},
        {"MouseMode", REG_DWORD, Dword(0), &TouchSettingsRecord::MouseMode, 0},
        {"MouseMode", REG_DWORD, Dword(4), &TouchSettingsRecord::MouseMode, 3},
        {"MouseMode", REG_DWORD, Dword(0xFFFFFFFF), &TouchSettingsRecord::MouseMode, 3},
        {"ButtonMode", REG_DWORD, Dword(2), &TouchSettingsRecord::ButtonMode, 2},
        {"ButtonMode", REG_DWORD, Dword(3), &TouchSettingsRecord::ButtonMode, 0},
        {"DragDelay", REG_DWORD, Dword(1500), &TouchSettingsRecord::DragDelay, 1500},
        {"DragDelay", REG_DWORD, Dword(1501), &TouchSettingsRecord::DragDelay, 0},
        {"DblClkRegion", REG_DWORD, Dword(0), &TouchSettingsRecord::DblClkRegion, 0},
        {"DblClkRegion", REG_DWORD, Dword(1000), &TouchSettingsRecord::DblClkRegion, 1000},
        // Another type with at most 4 bytes is read as its raw bytes, then tested.
        {"BeepFreq", REG_BINARY, {0xE8, 0x03}, &TouchSettingsRecord::BeepFreq, 1000},
        {"MouseMode", REG_BINARY, {0x01}, &TouchSettingsRecord::MouseMode, 1},
        {"DragDelay", REG_SZ, {'7', 0}, &TouchSettingsRecord::DragDelay, 0x37},
        {"ButtonMode", REG_BINARY, {5, 0, 0, 0}, &TouchSettingsRecord::ButtonMode, 0},
        {"DblClkRegion", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 40}, &TouchSettingsRecord::DblClkRegion, 0x28000000},
        // Longer than 4 bytes: the read fails and the default stands.
        {"BeepMode", REG_BINARY, {1, 0, 0, 0, 0}, &TouchSettingsRecord::BeepMode, 2},
        {"BeepTime", REG_BINARY, {64, 0, 0, 0, 0, 0, 0, 0}, &TouchSettingsRecord::BeepTime, 32},
        {"DblClkRegion", REG_SZ, {'1', '2', '3', '4', '5', 0}, &TouchSettingsRecord::DblClkRegion, 25},
    };
    for (const Seeded& c : cases) {
        DeleteServicesParametersKey();
        Seed(c.name, c.type, c.data.data(), (DWORD)c.data.size());
        TouchSettings = kGarbage;
        EXPECT_TRUE(LoadProfileSetting(OS_KIND_WIN2000_XP)) << c.name;
        EXPECT_EQ(c.loaded, TouchSettings.*c.field) << c.name << " of type " << c.type << ", "
                                                    << c.data.size() << " bytes";
    }
    EXPECT_TRUE(shownBoxes.empty());
}

TEST_F(TouchSettingsStore, WithoutAKeyForThePlatformNothingIsReadWrittenOrShown)
{
    ImportHook counted(GetModuleHandleA(NULL), "ADVAPI32.dll", "RegCreateKeyExA", (void*)RegCreateKeyCounted);
    ASSERT_TRUE(counted.Installed());
    realRegCreateKeyExA = (decltype(realRegCreateKeyExA))counted.Original();
    for (int osKind : {OS_KIND_WIN32S, OS_KIND_WIN95, OS_KIND_NT4, OS_KIND_OTHER}) {
        TouchSettings = kGarbage;
        EXPECT_FALSE(LoadProfileSetting(osKind)) << osKind;
        EXPECT_FALSE(SaveProfileSetting(osKind)) << osKind;
        EXPECT_TRUE(SameSettings(kGarbage, TouchSettings)) << osKind;
    }
    EXPECT_EQ(0, keyOpens);
    EXPECT_TRUE(shownBoxes.empty());
    EXPECT_EQ(savedWidth, GetSystemMetrics(SM_CXDOUBLECLK));
    EXPECT_EQ(savedTime, GetDoubleClickTime());
}

TEST_F(TouchSettingsStore, AKeyThatCannotBeOpenedIsReportedAndChangesNothing)
{
    ImportHook refused(GetModuleHandleA(NULL), "ADVAPI32.dll", "RegCreateKeyExA", (void*)RegCreateKeyRefused);
    ASSERT_TRUE(refused.Installed());
    TouchSettings = kGarbage;
    EXPECT_FALSE(LoadProfileSetting(OS_KIND_WIN2000_XP));
    EXPECT_TRUE(SameSettings(kGarbage, TouchSettings));
    TouchSettings.MouseMode = 3;
    TouchSettings.DblClkRegion = 61;
    EXPECT_FALSE(SaveProfileSetting(OS_KIND_WIN2000_XP));
    ASSERT_EQ(2u, shownBoxes.size());
    EXPECT_EQ("Open registry path error,Consult us for reasons.", shownBoxes[0].text);
    EXPECT_EQ("Open registry path for updating settings error.", shownBoxes[1].text);
    for (const ShownBox& box : shownBoxes) {
        EXPECT_EQ("Korvel Touchscreen", box.caption);
        EXPECT_EQ((UINT)MB_OK, box.style);
        EXPECT_TRUE(box.owner == NULL);
    }
    EXPECT_EQ(savedWidth, GetSystemMetrics(SM_CXDOUBLECLK)) << "double-click size set by a failed save";
    EXPECT_EQ(savedTime, GetDoubleClickTime());
}

TEST_F(TouchSettingsStore, SaveWritesTheFieldsAsTheyStandAndTheDoubleClickFollowsTheMode)
{
    const struct {
        TouchSettingsRecord settings;
        int size;
        UINT time;
    } cases[] = {
        {{1, 3000, 64, 3, 1, 300, 40}, 40, 800},
        {{0, 1000, 32, 0, 0, 0, 40}, 5, 266},
        {{2, 5000, 512, 1, 2, 1500, 77}, 5, 266},
        {{2, 2360, 32, 2, 0, 150, 12}, 5, 266},
        // Nothing is range-checked on the way out.
        {{7, 9999, 1, 3, 9, 5000, 33}, 33, 800},
    };
    for (const auto& c : cases) {
        TouchSettings = c.settings;
        EXPECT_TRUE(SaveProfileSetting(OS_KIND_WIN2000_XP));
        EXPECT_EQ(c.settings.BeepMode, Stored("BeepMode"));
        EXPECT_EQ(c.settings.BeepFreq, Stored("BeepFreq"));
        EXPECT_EQ(c.settings.BeepTime, Stored("BeepTime"));
        EXPECT_EQ(c.settings.MouseMode, Stored("MouseMode"));
        EXPECT_EQ(c.settings.ButtonMode, Stored("ButtonMode"));
        EXPECT_EQ(c.settings.DragDelay, Stored("DragDelay"));
        EXPECT_EQ(c.settings.DblClkRegion, Stored("DblClkRegion"));
        EXPECT_EQ(7u, ValueCount());
        EXPECT_EQ(c.size, GetSystemMetrics(SM_CXDOUBLECLK)) << "mode " << c.settings.MouseMode;
        EXPECT_EQ(c.size, GetSystemMetrics(SM_CYDOUBLECLK)) << "mode " << c.settings.MouseMode;
        EXPECT_EQ(c.time, GetDoubleClickTime()) << "mode " << c.settings.MouseMode;
    }
    EXPECT_TRUE(shownBoxes.empty());

    // What was saved loads back unchanged when it lies in the domains.
    TouchSettings = kGarbage;
    TouchSettings = cases[0].settings;
    ASSERT_TRUE(SaveProfileSetting(OS_KIND_WIN2000_XP));
    TouchSettings = kGarbage;
    ASSERT_TRUE(LoadProfileSetting(OS_KIND_WIN2000_XP));
    EXPECT_TRUE(SameSettings(cases[0].settings, TouchSettings));
}

TEST_F(TouchSettingsStore, AValueThatFailsToWriteIsReportedAloneAndTheRestIsSaved)
{
    ImportHook writes(GetModuleHandleA(NULL), "ADVAPI32.dll", "RegSetValueExA", (void*)RegSetValueFailingOne);
    ASSERT_TRUE(writes.Installed());
    realRegSetValueExA = (decltype(realRegSetValueExA))writes.Original();
    const struct {
        const char* value;
        LONG status;
        bool shown;
    } cases[] = {
        {"DragDelay", ERROR_ACCESS_DENIED, true},
        {"BeepMode", ERROR_NOT_ENOUGH_MEMORY, true},
        {"DblClkRegion", ERROR_ACCESS_DENIED, true},
        // The system has no text for this status: nothing is shown.
        {"BeepFreq", 0x12345, false},
    };
    for (const auto& c : cases) {
        DeleteServicesParametersKey();
        shownBoxes.clear();
        failingValue = c.value;
        failingStatus = c.status;
        TouchSettings = {1, 3000, 64, 3, 1, 300, 44};
        EXPECT_TRUE(SaveProfileSetting(OS_KIND_WIN2000_XP)) << c.value;
        EXPECT_EQ(6u, ValueCount()) << c.value;
        EXPECT_EQ(-1, Stored(c.value));
        EXPECT_EQ(44, GetSystemMetrics(SM_CXDOUBLECLK)) << "the double-click size is set all the same";
        if (!c.shown) {
            EXPECT_TRUE(shownBoxes.empty()) << c.value;
            continue;
        }
        ASSERT_EQ(1u, shownBoxes.size()) << c.value;
        EXPECT_EQ(std::string("SaveProfileSetting_") + c.value, shownBoxes[0].caption);
        EXPECT_EQ(SystemText(c.status), shownBoxes[0].text);
        EXPECT_FALSE(shownBoxes[0].text.empty());
        EXPECT_EQ((UINT)MB_ICONINFORMATION, shownBoxes[0].style);
        EXPECT_TRUE(shownBoxes[0].owner == NULL);
    }
    failingValue.clear();
}

TEST_F(TouchSettingsStore, ReportErrorCodeShowsTheSystemTextAndKeepsTheLastError)
{
    SetLastError(1234);
    EXPECT_TRUE(ReportErrorCode(ERROR_ACCESS_DENIED, "Some caption"));
    EXPECT_EQ(1234u, GetLastError());
    SetLastError(4321);
    EXPECT_FALSE(ReportErrorCode(0x12345, "Other caption"));
    EXPECT_EQ(4321u, GetLastError());
    ASSERT_EQ(1u, shownBoxes.size());
    EXPECT_EQ("Some caption", shownBoxes[0].caption);
    EXPECT_EQ(SystemText(ERROR_ACCESS_DENIED), shownBoxes[0].text);
}

} // namespace
