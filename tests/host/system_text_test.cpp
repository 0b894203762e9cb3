// The texts that report a failure: the program's own and the system's made fit to show.
#include "shared/system_text.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

TEST(FailureText, NamesStepAndCodeInEightLowerCaseHexDigits)
{
    const struct {
        const char* step;
        unsigned long code;
        const char* expected;
    } cases[] = {
        {"CheckPrivilege_OpenProcessToken", 5, "CheckPrivilege_OpenProcessToken FAILURE: (0x00000005)"},
        {"Step", 0x12345, "Step FAILURE: (0x00012345)"},
        {"Step", 0xDEADBEEFul, "Step FAILURE: (0xdeadbeef)"},
    };
    for (const auto& c : cases) {
        char text[FAILURE_TEXT_SIZE];
        FormatFailureText(c.step, c.code, text, sizeof(text));
        EXPECT_STREQ(c.expected, text);
    }
}

TEST(FailureText, ALongStepNameIsCutBeforeTheCode)
{
    char step[200];
    memset(step, 'S', sizeof(step) - 1);
    step[sizeof(step) - 1] = '\0';
    char text[FAILURE_TEXT_SIZE + 8];
    memset(text, '#', sizeof(text));
    FormatFailureText(step, 1, text, FAILURE_TEXT_SIZE);
    EXPECT_EQ(FAILURE_TEXT_SIZE - 1, strlen(text));
    EXPECT_STREQ("S FAILURE: (0x00000001)", text + FAILURE_TEXT_SIZE - 24);
    EXPECT_EQ('#', text[FAILURE_TEXT_SIZE]) << "wrote past the buffer";
}

TEST(FailureText, SystemTextInsertsFilledOrLeftOut)
{
    const struct {
        const char* systemText;
        const char* insert;
        const char* expected;
    } cases[] = {
        {"File %12!s! or %2 at 100% %n \r\n", "f", "File f or f at 100% %n"},
        {"%1 is not %2 valid.\r\n", NULL, "is not valid."},
        // As FormatMessageA reads them: a per cent sign, also before a digit, and the end.
        {"100%% of %1.", "f", "100% of f."},
        {"%%1 kept, %1 filled, %%%1%%", "f", "%1 kept, f filled, %f%"},
        {"Up to here%0 and not %1\r\n", "f", "Up to here"},
    };
    for (const auto& c : cases) {
        char text[40];
        FillSystemTextInserts(c.systemText, c.insert, text, sizeof(text));
        EXPECT_STREQ(c.expected, text) << c.systemText;
    }
}

} // namespace
