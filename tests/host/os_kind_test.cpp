#include "shared/os_kind.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

struct PlatformCase {
    unsigned long platformId, major, minor;
    int expected;
};

TEST(OsKind, ClassifiesEveryListedPlatformAndTheRestAsOther)
{
    const PlatformCase cases[] = {
        {0, 3, 10, OS_KIND_WIN32S},
        {1, 4, 0, OS_KIND_WIN95},
        {1, 4, 10, OS_KIND_WIN98},
        {1, 4, 90, OS_KIND_WINME},
        {1, 4, 11, OS_KIND_WINME},
        {1, 4, 1, OS_KIND_OTHER},
        {1, 4, 9, OS_KIND_OTHER},
        {1, 4, 0xFFFFFFFFul, OS_KIND_WINME},
        {2, 4, 0, OS_KIND_NT4},
        {2, 5, 0, OS_KIND_WIN2000_XP},
        {2, 5, 1, OS_KIND_WIN2000_XP},
        {2, 5, 2, OS_KIND_WIN2000_XP},
        {2, 3, 51, OS_KIND_OTHER},
        {2, 6, 1, OS_KIND_OTHER},
        {2, 10, 0, OS_KIND_OTHER},
        {3, 5, 1, OS_KIND_OTHER},
    };
    for (const PlatformCase& c : cases)
        EXPECT_EQ(c.expected, ClassifyOsKind(c.platformId, c.major, c.minor))
            << "platform " << c.platformId << " version " << c.major << "." << c.minor;
}

TEST(ParametersKeyPath, FollowsTheOsKind)
{
    const struct {
        int osKind;
        const char* expected;
    } cases[] = {
        {OS_KIND_WIN98, "System\\CurrentControlSet\\Services\\Class\\Korvelscreen\\Parameters"},
        {OS_KIND_WINME, "System\\CurrentControlSet\\Services\\Class\\Korvelscreen\\Parameters"},
        {OS_KIND_WIN2000_XP, "System\\CurrentControlSet\\Services\\Korvelscreen\\Parameters"},
        {OS_KIND_WIN32S, nullptr},
        {OS_KIND_WIN95, nullptr},
        {OS_KIND_NT4, nullptr},
        {OS_KIND_OTHER, nullptr},
        {-1, nullptr},
    };
    for (const auto& c : cases) {
        char path[PARAMETERS_PATH_SIZE];
        memset(path, 'x', sizeof(path));
        bool ok = FormatParametersKeyPath(c.osKind, path, sizeof(path));
        if (c.expected == nullptr) {
            EXPECT_FALSE(ok) << "OsKind " << c.osKind << " has no key, got " << path;
            EXPECT_STREQ("", path) << "OsKind " << c.osKind;
        } else {
            EXPECT_TRUE(ok) << "OsKind " << c.osKind;
            EXPECT_STREQ(c.expected, path) << "OsKind " << c.osKind;
        }
    }
}

TEST(ParametersKeyPath, RefusesABufferTooSmallInsteadOfTruncating)
{
    const size_t needed = strlen("System\\CurrentControlSet\\Services\\Korvelscreen\\Parameters") + 1;
    char path[PARAMETERS_PATH_SIZE];
    EXPECT_TRUE(FormatParametersKeyPath(OS_KIND_WIN2000_XP, path, needed));
    memset(path, 'x', sizeof(path));
    EXPECT_FALSE(FormatParametersKeyPath(OS_KIND_WIN2000_XP, path, needed - 1));
    EXPECT_STREQ("", path);
    EXPECT_FALSE(FormatParametersKeyPath(OS_KIND_WIN2000_XP, path, 0));
    EXPECT_EQ('\0', path[0]) << "a zero size must not be written";
}

TEST(Privilege, StartsFromTheOsKind)
{
    const struct {
        int osKind;
        PrivilegeStart expected;
    } cases[] = {
        {OS_KIND_WIN32S, PRIVILEGE_CHECK_TOKEN}, {OS_KIND_WIN95, PRIVILEGE_REFUSED},
        {OS_KIND_WIN98, PRIVILEGE_GRANTED},      {OS_KIND_WINME, PRIVILEGE_GRANTED},
        {OS_KIND_NT4, PRIVILEGE_CHECK_TOKEN},    {OS_KIND_WIN2000_XP, PRIVILEGE_CHECK_TOKEN},
        {OS_KIND_OTHER, PRIVILEGE_CHECK_TOKEN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, PrivilegeStartFor(c.osKind)) << "OsKind " << c.osKind;
}

TEST(Privilege, AdjustGrantsUnlessNotAllAssigned)
{
    EXPECT_TRUE(PrivilegeGrantedAfterAdjust(0));
    EXPECT_TRUE(PrivilegeGrantedAfterAdjust(5));
    EXPECT_FALSE(PrivilegeGrantedAfterAdjust(1300));
}

} // namespace
