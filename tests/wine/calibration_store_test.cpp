// Storing a confirmed calibration: the five values under the key of the platform,
// and a failure reported for a platform that has no key.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calibrate/korvelaim.h"
#include "tests/wine/applet_import_hook.h"
#include "tests/wine/wine_support.h"

// The platform WriteCalibration reads; Korvelaim's entry sets it, the tests here.
int g_osKind;

namespace {

const char kServicesParameters[] = "System\\CurrentControlSet\\Services\\Korvelscreen\\Parameters";
const char kClassParameters[] = "System\\CurrentControlSet\\Services\\Class\\Korvelscreen\\Parameters";

// What WriteCalibration asks of the registry, seen through this program's imports.
// The hooks take no context, so the record lives at namespace level.
struct RegistryCalls {
    std::vector<REGSAM> createAccess;
    std::vector<HKEY> opened;
    std::vector<std::string> written;
    std::vector<HKEY> closed;
    std::string failing; // a value whose write is refused
};
RegistryCalls g_calls;
decltype(&RegCreateKeyExA) realRegCreateKeyExA;
decltype(&RegSetValueExA) realRegSetValueExA;
decltype(&RegCloseKey) realRegCloseKey;

LONG WINAPI RegCreateKeyRecorded(HKEY parent, LPCSTR path, DWORD reserved, LPSTR keyClass, DWORD options,
                                 REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition)
{
    g_calls.createAccess.push_back(access);
    LONG status = realRegCreateKeyExA(parent, path, reserved, keyClass, options, access, security, key, disposition);
    if (status == ERROR_SUCCESS)
        g_calls.opened.push_back(*key);
    return status;
}

LONG WINAPI RegSetValueRecorded(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    g_calls.written.push_back(name);
    if (g_calls.failing == name)
        return ERROR_ACCESS_DENIED;
    return realRegSetValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI RegCloseKeyRecorded(HKEY key)
{
    g_calls.closed.push_back(key);
    return realRegCloseKey(key);
}

struct StoredValue {
    const char* name;
    DWORD expected;
};

void ExpectStored(const char* path, const StoredValue* values, int count)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key)) << path;
    for (int i = 0; i < count; ++i) {
        DWORD type = 0, value = 0xdeadbeef, size = sizeof(value);
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, values[i].name, NULL, &type, (BYTE*)&value, &size))
            << values[i].name;
        EXPECT_EQ((DWORD)REG_DWORD, type) << values[i].name;
        EXPECT_EQ(4u, size) << values[i].name;
        EXPECT_EQ(values[i].expected, value) << values[i].name;
    }
    RegCloseKey(key);
}

class CalibrationStore : public ::testing::Test {
protected:
    void SetUp() override { DeleteServicesParametersKey(); }
    void TearDown() override
    {
        DeleteServicesParametersKey();
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kClassParameters);
    }
};

TEST_F(CalibrationStore, WindowsXpStoresTheFiveValuesUnderTheServiceKey)
{
    g_osKind = 5;
    // An inverted horizontal axis: XLow above XHigh.
    EXPECT_TRUE(WriteCalibration(3700, 200, 200, 3700, 1));
    const StoredValue values[] = {{"XLow", 3700}, {"XHigh", 200}, {"YLow", 200}, {"YHigh", 3700}, {"SwapXY", 1}};
    ExpectStored(kServicesParameters, values, 5);
}

TEST_F(CalibrationStore, Windows98AndMeStoreUnderTheClassKey)
{
    for (int osKind : {2, 3}) {
        SCOPED_TRACE(osKind);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kClassParameters);
        g_osKind = osKind;
        EXPECT_TRUE(WriteCalibration(300, 200, 3801, 3700, 0));
        const StoredValue values[] = {{"XLow", 300}, {"XHigh", 3801}, {"YLow", 200}, {"YHigh", 3700}, {"SwapXY", 0}};
        ExpectStored(kClassParameters, values, 5);
    }
}

TEST_F(CalibrationStore, APlatformWithoutAKeyFailsAndWritesNothing)
{
    for (int osKind : {0, 1, 4, 6}) {
        SCOPED_TRACE(osKind);
        g_osKind = osKind;
        EXPECT_FALSE(WriteCalibration(300, 200, 3801, 3700, 0));
        HKEY key;
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServicesParameters, 0, KEY_READ, &key));
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kClassParameters, 0, KEY_READ, &key));
    }
}

// One value missing or of another type leaves no stored calibration to give back.
TEST_F(CalibrationStore, TheStoredCalibrationIsReadOnlyWhenComplete)
{
    g_osKind = 5;
    CalibrationRecord record;
    ASSERT_TRUE(WriteCalibration(3700, 200, 250, 3850, 1) && ReadStoredCalibration(&record));
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServicesParameters, 0, KEY_SET_VALUE, &key));
    const DWORD yHigh = 3850;
    RegSetValueExA(key, "YHigh", 0, REG_BINARY, (const BYTE*)&yHigh, sizeof(yHigh));
    EXPECT_FALSE(ReadStoredCalibration(&record)) << "YHigh of another type";
    RegDeleteValueA(key, "YHigh");
    RegCloseKey(key);
    EXPECT_FALSE(ReadStoredCalibration(&record)) << "YHigh missing";
}

TEST_F(CalibrationStore, TheKeyIsOpenedForWritingAndEveryValueTriedInItsOrder)
{
    ImportHook createHook(GetModuleHandleA(NULL), "ADVAPI32.dll", "RegCreateKeyExA", (void*)RegCreateKeyRecorded);
    ImportHook setHook(GetModuleHandleA(NULL), "ADVAPI32.dll", "RegSetValueExA", (void*)RegSetValueRecorded);
    ImportHook closeHook(GetModuleHandleA(NULL), "ADVAPI32.dll", "RegCloseKey", (void*)RegCloseKeyRecorded);
    ASSERT_TRUE(createHook.Installed() && setHook.Installed() && closeHook.Installed());
    realRegCreateKeyExA = (decltype(realRegCreateKeyExA))createHook.Original();
    realRegSetValueExA = (decltype(realRegSetValueExA))setHook.Original();
    realRegCloseKey = (decltype(realRegCloseKey))closeHook.Original();
    g_osKind = 5;

    const std::vector<std::string> order = {"XLow", "XHigh", "YLow", "YHigh", "SwapXY"};
    // "" refuses nothing; a refused value, first, middle or last, fails the whole
    // store but never stops the values after it.
    for (const char* failing : {"", "XLow", "YLow", "SwapXY"}) {
        SCOPED_TRACE(testing::Message() << "refused: '" << failing << "'");
        DeleteServicesParametersKey();
        g_calls = RegistryCalls();
        g_calls.failing = failing;
        EXPECT_EQ(failing[0] == '\0', !!WriteCalibration(300, 200, 3801, 3700, 0));
        ASSERT_EQ(1u, g_calls.createAccess.size());
        EXPECT_EQ((REGSAM)0x2001F, g_calls.createAccess[0]) << "KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY";
        EXPECT_EQ(order, g_calls.written);
        ASSERT_EQ(1u, g_calls.opened.size());
        EXPECT_EQ(g_calls.opened, g_calls.closed) << "the key is closed once";
    }
    g_calls = RegistryCalls();
}

} // namespace
