#include "korvelctl/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ParseCase {
    std::vector<const char*> words; // after the program's name
    ParseOutcome outcome;
    CommandKind kind;           // when the command was recognised
    std::vector<uint32_t> values; // when accepted
    int badArgument;            // for PARSE_BAD_VALUE, the index in argv
};

TEST(ParseCommandLine, AcceptsEveryFormAndRefusesEveryBadOne)
{
    const ParseCase cases[] = {
        {{}, PARSE_OK, COMMAND_HELP, {}, 0},
        {{"help"}, PARSE_OK, COMMAND_HELP, {}, 0},
        {{"status"}, PARSE_OK, COMMAND_STATUS, {}, 0},
        {{"enable"}, PARSE_OK, COMMAND_ENABLE, {}, 0},
        {{"disable"}, PARSE_OK, COMMAND_DISABLE, {}, 0},
        {{"calibrate"}, PARSE_OK, COMMAND_CALIBRATE, {}, 0},
        {{"mode", "3"}, PARSE_OK, COMMAND_MODE, {3}, 0},
        {{"mode", "03"}, PARSE_OK, COMMAND_MODE, {3}, 0},
        {{"mode", "drag"}, PARSE_OK, COMMAND_MODE, {2}, 0},
        {{"mode", "double"}, PARSE_OK, COMMAND_MODE, {3}, 0},
        {{"Mode", "Double"}, PARSE_OK, COMMAND_MODE, {3}, 0},
        {{"beep", "0", "1000", "32"}, PARSE_OK, COMMAND_BEEP, {0, 1000, 32}, 0},
        {{"beep", "2", "5000", "512"}, PARSE_OK, COMMAND_BEEP, {2, 5000, 512}, 0},
        {{"beep", "touch", "2360", "100"}, PARSE_OK, COMMAND_BEEP, {1, 2360, 100}, 0},

        {{"frobnicate"}, PARSE_UNKNOWN_COMMAND, COMMAND_HELP, {}, 0},
        {{"stat"}, PARSE_UNKNOWN_COMMAND, COMMAND_HELP, {}, 0},
        {{"/?"}, PARSE_UNKNOWN_COMMAND, COMMAND_HELP, {}, 0},

        {{"help", "mode"}, PARSE_ARGUMENT_COUNT, COMMAND_HELP, {}, 0},
        {{"status", "now"}, PARSE_ARGUMENT_COUNT, COMMAND_STATUS, {}, 0},
        {{"enable", "1"}, PARSE_ARGUMENT_COUNT, COMMAND_ENABLE, {}, 0},
        {{"mode"}, PARSE_ARGUMENT_COUNT, COMMAND_MODE, {}, 0},
        {{"mode", "1", "2"}, PARSE_ARGUMENT_COUNT, COMMAND_MODE, {}, 0},
        {{"beep", "1", "1000"}, PARSE_ARGUMENT_COUNT, COMMAND_BEEP, {}, 0},
        {{"beep", "1", "1000", "32", "5"}, PARSE_ARGUMENT_COUNT, COMMAND_BEEP, {}, 0},
        // The count is judged before the values: a bad value in a wrong count.
        {{"mode", "9", "9"}, PARSE_ARGUMENT_COUNT, COMMAND_MODE, {}, 0},

        {{"mode", "4"}, PARSE_BAD_VALUE, COMMAND_MODE, {}, 2},
        {{"mode", "-1"}, PARSE_BAD_VALUE, COMMAND_MODE, {}, 2},
        {{"mode", "+1"}, PARSE_BAD_VALUE, COMMAND_MODE, {}, 2},
        {{"mode", "1x"}, PARSE_BAD_VALUE, COMMAND_MODE, {}, 2},
        {{"mode", "1 "}, PARSE_BAD_VALUE, COMMAND_MODE, {}, 2},
        {{"mode", "0x1"}, PARSE_BAD_VALUE, COMMAND_MODE, {}, 2},
        {{"mode", ""}, PARSE_BAD_VALUE, COMMAND_MODE, {}, 2},
        // 2^32 + 3 would wrap to 3 in 32 bits; 2^64 + 3 in 64.
        {{"mode", "4294967299"}, PARSE_BAD_VALUE, COMMAND_MODE, {}, 2},
        {{"mode", "18446744073709551619"}, PARSE_BAD_VALUE, COMMAND_MODE, {}, 2},
        {{"mode", "4294967295"}, PARSE_BAD_VALUE, COMMAND_MODE, {}, 2},
        {{"mode", "off"}, PARSE_BAD_VALUE, COMMAND_MODE, {}, 2},
        {{"beep", "3", "1000", "32"}, PARSE_BAD_VALUE, COMMAND_BEEP, {}, 2},
        {{"beep", "drag", "1000", "32"}, PARSE_BAD_VALUE, COMMAND_BEEP, {}, 2},
        {{"beep", "0", "999", "32"}, PARSE_BAD_VALUE, COMMAND_BEEP, {}, 3},
        {{"beep", "0", "1000Hz", "32"}, PARSE_BAD_VALUE, COMMAND_BEEP, {}, 3},
        {{"beep", "0", "4294968296", "32"}, PARSE_BAD_VALUE, COMMAND_BEEP, {}, 3},
        {{"beep", "0", "1000", "31"}, PARSE_BAD_VALUE, COMMAND_BEEP, {}, 4},
        {{"beep", "0", "1000", "4294967328"}, PARSE_BAD_VALUE, COMMAND_BEEP, {}, 4},
        // The first bad value is the one named.
        {{"beep", "9", "9", "9"}, PARSE_BAD_VALUE, COMMAND_BEEP, {}, 2},
    };
    for (const ParseCase& c : cases) {
        std::vector<const char*> argv = {"korvelctl"};
        argv.insert(argv.end(), c.words.begin(), c.words.end());
        std::string line;
        for (const char* word : c.words)
            line += std::string(" '") + word + "'";
        ParsedCommand command;
        ParseOutcome outcome = ParseCommandLine((int)argv.size(), argv.data(), &command);
        ASSERT_EQ(c.outcome, outcome) << "korvelctl" << line;
        if (outcome == PARSE_UNKNOWN_COMMAND)
            continue;
        EXPECT_EQ(c.kind, command.kind) << "korvelctl" << line;
        if (outcome == PARSE_BAD_VALUE) {
            EXPECT_EQ(c.badArgument, command.badArgument) << "korvelctl" << line;
        }
        if (outcome == PARSE_OK) {
            for (size_t i = 0; i < c.values.size(); ++i)
                EXPECT_EQ(c.values[i], command.values[i]) << "korvelctl" << line << ", value " << i;
        }
    }
}

TEST(DescribeArgument, CutsToTheBufferAndTerminates)
{
    char small[8];
    DescribeArgument(COMMAND_BEEP, 1, small, sizeof(small));
    EXPECT_STREQ("FREQ is", small);
}

} // namespace
