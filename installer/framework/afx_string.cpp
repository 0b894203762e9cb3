// CString: the framework's string.
#include "afxwin.h"

#include <stdarg.h>
#include <stdio.h>

CString& CString::operator=(const char* text)
{
    m_text = text != NULL ? text : "";
    return *this;
}

CString& CString::operator+=(const char* text)
{
    if (text != NULL)
        m_text += text;
    return *this;
}

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int length = vsnprintf(NULL, 0, format, measure);
    va_end(measure);
    if (length < 0) {
        m_text.clear();
    } else {
        std::string text((size_t)length + 1, '\0');
        vsnprintf(&text[0], text.size(), format, args);
        text.resize((size_t)length);
        m_text.swap(text);
    }
    va_end(args);
}
