#include "installer/system_message.h"

#include "shared/system_text.h"

void GetSystemMessage(DWORD error, const char* insert, char* text)
{
    char systemText[SYSTEM_MESSAGE_SIZE];
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), systemText, sizeof(systemText), NULL) == 0)
        systemText[0] = '\0';
    FillSystemTextInserts(systemText, insert, text, SYSTEM_MESSAGE_SIZE);
}
