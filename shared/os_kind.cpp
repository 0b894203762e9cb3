#include "os_kind.h"

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

int ClassifyOsKind(unsigned long platformId, unsigned long majorVersion, unsigned long minorVersion)
{
    switch (platformId) {
    case OS_PLATFORM_WIN32S:
        return OS_KIND_WIN32S;
    case OS_PLATFORM_WIN32_WINDOWS:
        if (minorVersion == 0)
            return OS_KIND_WIN95;
        if (minorVersion == 10)
            return OS_KIND_WIN98;
        if (minorVersion > 10)
            return OS_KIND_WINME;
        return OS_KIND_OTHER;
    case OS_PLATFORM_WIN32_NT:
        if (majorVersion == 4)
            return OS_KIND_NT4;
        if (majorVersion == 5)
            return OS_KIND_WIN2000_XP;
        return OS_KIND_OTHER;
    default:
        return OS_KIND_OTHER;
    }
}

const char* ParametersBasePath(int osKind)
{
    switch (osKind) {
    case OS_KIND_WIN98:
    case OS_KIND_WINME:
        return CLASS_BASE_PATH;
    case OS_KIND_WIN2000_XP:
        return SERVICES_BASE_PATH;
    default:
        return NULL;
    }
}

bool FormatParametersKeyPath(int osKind, char* path, size_t size)
{
    if (size > 0)
        path[0] = '\0';
    const char* base = ParametersBasePath(osKind);
    if (base == NULL || size == 0)
        return false;
    size_t length = 0;
    if (!AppendText(path, size, &length, base) || !AppendText(path, size, &length, "\\") ||
        !AppendText(path, size, &length, PARAMETERS_SUBKEY)) {
        path[0] = '\0';
        return false;
    }
    return true;
}

PrivilegeStart PrivilegeStartFor(int osKind)
{
    if (osKind == OS_KIND_WIN98 || osKind == OS_KIND_WINME)
        return PRIVILEGE_GRANTED;
    if (osKind == OS_KIND_WIN95)
        return PRIVILEGE_REFUSED;
    return PRIVILEGE_CHECK_TOKEN;
}

bool PrivilegeGrantedAfterAdjust(unsigned long lastError)
{
    return lastError != 1300ul; // ERROR_NOT_ALL_ASSIGNED
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
        if (at[0] != '%' || at[1] < '1' || at[1] > '9') {
            const char piece[2] = {*at++, '\0'};
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
