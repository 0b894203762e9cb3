#include "korvelctl/console_output.h"

#include <string.h>

#include "shared/system_text.h"

namespace {

const int kExitFailed = 1;

} // namespace

// The system's texts and the command line's words come in the ANSI code page, and a
// console shows its own output code page (an OEM page by default), so text is
// converted on the way; without a console, or when it does not fit, it goes as it is.
void WriteText(FILE* stream, const char* text)
{
    UINT console = GetConsoleOutputCP();
    WCHAR wide[1024];
    char converted[2048];
    if (console != 0 && MultiByteToWideChar(CP_ACP, 0, text, -1, wide, ARRAYSIZE(wide)) != 0 &&
        WideCharToMultiByte(console, 0, wide, -1, converted, sizeof(converted), NULL, NULL) != 0)
        text = converted;
    fwrite(text, 1, strlen(text), stream);
}

int ReportFailureText(const char* step, const char* text)
{
    char line[1024];
    wsprintfA(line, "korvelctl: %.300s: %.700s\n", step, text);
    WriteText(stderr, line);
    return kExitFailed;
}

int ReportFailure(const char* step, const char* insert)
{
    DWORD code = GetLastError();
    // A call may fail without saying why; the text for 0 would read as success.
    if (code == ERROR_SUCCESS)
        return ReportFailureText(step, "failed without an error code");
    char* systemText = NULL;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  NULL, code, 0x0400, (LPSTR)&systemText, 0, NULL);
    char text[800];
    text[0] = '\0';
    if (length != 0)
        FillSystemTextInserts(systemText, insert, text, sizeof(text));
    if (systemText != NULL)
        LocalFree(systemText);
    if (text[0] != '\0')
        return ReportFailureText(step, text);
    // The whole step, however long (a path), and the code after it.
    char fallback[400];
    FormatFailureText(step, code, fallback, sizeof(fallback));
    char line[sizeof(fallback) + 16];
    wsprintfA(line, "korvelctl: %s\n", fallback);
    WriteText(stderr, line);
    return kExitFailed;
}
