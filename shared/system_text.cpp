#include "system_text.h"

#include <string.h>

// Appends piece to the text of size characters that already holds length of them,
// as much as fits and always terminated; false when it was cut short.
static bool AppendText(char* text, size_t size, size_t* length, const char* piece)
{
    size_t room = size - 1 - *length;
    size_t count = strlen(piece);
    bool whole = count <= room;
    if (!whole)
        count = room;
    memcpy(text + *length, piece, count);
    *length += count;
    text[*length] = '\0';
    return whole;
}

void FormatFailureText(const char* step, unsigned long code, char* text, size_t size)
{
    if (size == 0)
        return;
    // "0x" and at least eight lower-case hex digits, as printf's %08lx gives them.
    char hex[2 + 2 * sizeof(code) + 1];
    char digits[2 * sizeof(code)];
    int count = 0;
    do {
        digits[count++] = "0123456789abcdef"[code & 0xF];
        code >>= 4;
    } while (code != 0);
    while (count < 8)
        digits[count++] = '0';
    size_t at = 0;
    hex[at++] = '0';
    hex[at++] = 'x';
    while (count > 0)
        hex[at++] = digits[--count];
    hex[at] = '\0';
    char tail[sizeof(" FAILURE: ()") + sizeof(hex)];
    size_t tailLength = 0;
    tail[0] = '\0';
    AppendText(tail, sizeof(tail), &tailLength, " FAILURE: (");
    AppendText(tail, sizeof(tail), &tailLength, hex);
    AppendText(tail, sizeof(tail), &tailLength, ")");
    // The step gives way to the code: it takes what the code leaves of the buffer.
    size_t room = size - 1;
    size_t length = strlen(step);
    if (length > room)
        length = room;
    if (tailLength <= room && length > room - tailLength)
        length = room - tailLength;
    memcpy(text, step, length);
    text[length] = '\0';
    AppendText(text, size, &length, tail);
}

void FillSystemTextInserts(const char* systemText, const char* insert, char* text, size_t size)
{
    if (size == 0)
        return;
    size_t length = 0;
    text[0] = '\0';
    for (const char* at = systemText; *at != '\0';) {
        // "%0" ends the text; "%%" is a per cent sign, also before a digit.
        if (at[0] == '%' && at[1] == '0')
            break;
        if (at[0] != '%' || at[1] < '1' || at[1] > '9') {
            const char piece[2] = {*at, '\0'};
            at += at[0] == '%' && at[1] == '%' ? 2 : 1;
            AppendText(text, size, &length, piece);
            continue;
        }
        at += 2;
        if (*at >= '0' && *at <= '9')
            ++at;
        if (*at == '!') {
            const char* formatEnd = at + 1;
            while (*formatEnd != '\0' && *formatEnd != '!')
                ++formatEnd;
            if (*formatEnd == '!')
                at = formatEnd + 1;
        }
        if (insert != NULL)
            AppendText(text, size, &length, insert);
        else if (length > 0 && text[length - 1] == ' ')
            text[--length] = '\0';
        else if (*at == ' ')
            ++at;
    }
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' '))
        text[--length] = '\0';
}
