// korvelctl's command line: which command a run asks for and its values, decided
// before anything touches the driver. Pure decisions, no Windows calls.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum CommandKind {
    COMMAND_HELP,
    COMMAND_STATUS,
    COMMAND_MODE,
    COMMAND_BEEP,
    COMMAND_ENABLE,
    COMMAND_DISABLE,
    COMMAND_CALIBRATE
};

enum ParseOutcome {
    PARSE_OK,
    PARSE_UNKNOWN_COMMAND,
    PARSE_ARGUMENT_COUNT,
    PARSE_BAD_VALUE
};

#define COMMAND_VALUES_MAX 3

struct ParsedCommand {
    CommandKind kind;
    uint32_t values[COMMAND_VALUES_MAX];
    // For PARSE_BAD_VALUE, the index of the offending word in argv.
    int badArgument;
};

// Reads argv[1..argc-1]; no words means help. Numbers are plain decimal digits within
// their range: no sign, no spaces, nothing after them. Command and value names match
// without regard to ASCII case.
ParseOutcome ParseCommandLine(int argc, const char* const* argv, ParsedCommand* command);

// What a value of the command's argument at position index (0-based) may be, for the
// message of a bad value, e.g. "VALUE is 0..3 or click, release, drag, double".
// Writes an empty text when the command has no such argument.
void DescribeArgument(CommandKind kind, int index, char* text, size_t size);

extern const char CommandUsage[];
