#include "korvelctl/command_line.h"

#include <string.h>

#include "applet/settings_rules.h"
#include "shared/touch_ioctl.h"

namespace {

// One argument: a decimal number from low to high, or one of the names, which stand
// for low, low + 1, ... in order.
struct ArgumentRule {
    const char* name;
    uint32_t low;
    uint32_t high;
    const char* const* words;
};

struct CommandRule {
    const char* name;
    CommandKind kind;
    int argumentCount;
    const ArgumentRule* arguments[COMMAND_VALUES_MAX];
};

const char* const kMouseModeWords[] = {"click", "release", "drag", "double", NULL};
const char* const kBeepModeWords[] = {"off", "touch", "release", NULL};

const ArgumentRule kMouseMode = {"VALUE", 0, MOUSE_MODE_MAX, kMouseModeWords};
const ArgumentRule kBeepMode = {"MODE", 0, BEEP_MODE_MAX, kBeepModeWords};
const ArgumentRule kBeepFreq = {"FREQ", BEEP_FREQ_MIN, BEEP_FREQ_MAX, NULL};
const ArgumentRule kBeepTime = {"TIME", BEEP_TIME_MIN, BEEP_TIME_MAX, NULL};

const CommandRule kCommands[] = {
    {"help", COMMAND_HELP, 0, {NULL, NULL, NULL}},
    {"status", COMMAND_STATUS, 0, {NULL, NULL, NULL}},
    {"mode", COMMAND_MODE, 1, {&kMouseMode, NULL, NULL}},
    {"beep", COMMAND_BEEP, 3, {&kBeepMode, &kBeepFreq, &kBeepTime}},
    {"enable", COMMAND_ENABLE, 0, {NULL, NULL, NULL}},
    {"disable", COMMAND_DISABLE, 0, {NULL, NULL, NULL}},
    {"calibrate", COMMAND_CALIBRATE, 0, {NULL, NULL, NULL}},
};

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

bool IsSameWord(const char* text, const char* word)
{
    while (*text != '\0' && LowerAscii(*text) == *word) {
        ++text;
        ++word;
    }
    return *text == '\0' && *word == '\0';
}

// Digits only, at least one, and the value must fit in 32 bits on the way: a longer
// number must not wrap around into the range.
bool ParseDecimal(const char* text, uint32_t* value)
{
    if (*text == '\0')
        return false;
    uint32_t result = 0;
    for (; *text != '\0'; ++text) {
        if (*text < '0' || *text > '9')
            return false;
        uint32_t digit = (uint32_t)(*text - '0');
        if (result > (UINT32_MAX - digit) / 10)
            return false;
        result = result * 10 + digit;
    }
    *value = result;
    return true;
}

bool ParseArgument(const ArgumentRule& rule, const char* text, uint32_t* value)
{
    if (rule.words != NULL) {
        for (uint32_t i = 0; rule.words[i] != NULL; ++i) {
            if (IsSameWord(text, rule.words[i])) {
                *value = rule.low + i;
                return true;
            }
        }
    }
    uint32_t number = 0;
    if (!ParseDecimal(text, &number) || number < rule.low || number > rule.high)
        return false;
    *value = number;
    return true;
}

const CommandRule* FindCommand(CommandKind kind)
{
    for (const CommandRule& rule : kCommands) {
        if (rule.kind == kind)
            return &rule;
    }
    return NULL;
}

void AppendText(char* text, size_t size, size_t* length, const char* piece)
{
    while (*piece != '\0' && *length + 1 < size)
        text[(*length)++] = *piece++;
    text[*length] = '\0';
}

void AppendNumber(char* text, size_t size, size_t* length, uint32_t value)
{
    char digits[11];
    size_t at = sizeof(digits) - 1;
    digits[at] = '\0';
    do {
        digits[--at] = (char)('0' + value % 10);
        value /= 10;
    } while (value != 0);
    AppendText(text, size, length, digits + at);
}

} // namespace

ParseOutcome ParseCommandLine(int argc, const char* const* argv, ParsedCommand* command)
{
    memset(command, 0, sizeof(*command));
    command->kind = COMMAND_HELP;
    if (argc < 2)
        return PARSE_OK;
    const CommandRule* found = NULL;
    for (const CommandRule& rule : kCommands) {
        if (IsSameWord(argv[1], rule.name))
            found = &rule;
    }
    if (found == NULL)
        return PARSE_UNKNOWN_COMMAND;
    command->kind = found->kind;
    if (argc - 2 != found->argumentCount)
        return PARSE_ARGUMENT_COUNT;
    for (int i = 0; i < found->argumentCount; ++i) {
        if (!ParseArgument(*found->arguments[i], argv[2 + i], &command->values[i])) {
            command->badArgument = 2 + i;
            return PARSE_BAD_VALUE;
        }
    }
    return PARSE_OK;
}

void DescribeArgument(CommandKind kind, int index, char* text, size_t size)
{
    if (size == 0)
        return;
    text[0] = '\0';
    const CommandRule* command = FindCommand(kind);
    if (command == NULL || index < 0 || index >= command->argumentCount)
        return;
    const ArgumentRule& rule = *command->arguments[index];
    size_t length = 0;
    AppendText(text, size, &length, rule.name);
    AppendText(text, size, &length, " is ");
    AppendNumber(text, size, &length, rule.low);
    AppendText(text, size, &length, "..");
    AppendNumber(text, size, &length, rule.high);
    if (rule.words != NULL) {
        AppendText(text, size, &length, " or ");
        for (int i = 0; rule.words[i] != NULL; ++i) {
            if (i > 0)
                AppendText(text, size, &length, ", ");
            AppendText(text, size, &length, rule.words[i]);
        }
    }
}

const char CommandUsage[] =
    "usage: korvelctl status                 the driver's mouse mode and beep, and the stored\n"
    "                                        values present, as name=value lines\n"
    "       korvelctl mode VALUE             set the mouse mode; VALUE is 0..3 or\n"
    "                                        click, release, drag, double\n"
    "       korvelctl beep MODE FREQ TIME    set the beep; MODE is 0..2 or off, touch, release,\n"
    "                                        FREQ 1000..5000 (Hz), TIME 32..512\n"
    "       korvelctl enable | disable       switch touch input on or off\n"
    "       korvelctl calibrate              run Korvelaim and wait until it has ended\n"
    "       korvelctl help                   this text\n"
    "Exit status: 0 done, 1 the driver is absent or refused the request, 2 a usage error.\n";
