// Storing a confirmed calibration: the five values under the key of the platform,
// and a failure reported for a platform that has no key.
#include <windows.h>

#include <gtest/gtest.h>

#include "calibrate/korvelaim.h"
#include "tests/wine/wine_support.h"

// The platform WriteCalibration reads; Korvelaim's entry sets it, the tests here.
int g_osKind;

namespace {

const char kServicesParameters[] = "System\\CurrentControlSet\\Services\\Korvelscreen\\Parameters";
const char kClassParameters[] = "System\\CurrentControlSet\\Services\\Class\\Korvelscreen\\Parameters";

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

} // namespace
