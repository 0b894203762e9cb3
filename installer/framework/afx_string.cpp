// CString: the framework's string.
#include "afxwin.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

CString::~CString()
{
    free(m_pszData);
}

void CString::Replace(char* text)
{
    free(m_pszData);
    m_pszData = text;
}

void CString::Assign(const char* text)
{
    if (text == NULL || *text == '\0') {
        Replace(NULL);
        return;
    }
    size_t size = strlen(text) + 1;
    char* copy = (char*)malloc(size);
    if (copy != NULL)
        memcpy(copy, text, size);
    Replace(copy);
}

CString& CString::operator=(const char* text)
{
    if (text != m_pszData)
        Assign(text);
    return *this;
}

CString& CString::operator+=(const char* text)
{
    if (text == NULL || *text == '\0')
        return *this;
    const size_t length = m_pszData != NULL ? strlen(m_pszData) : 0, added = strlen(text);
    char* joined = (char*)malloc(length + added + 1);
    if (joined == NULL)
        return *this;
    if (length > 0)
        memcpy(joined, m_pszData, length);
    memcpy(joined + length, text, added + 1);
    Replace(joined);
    return *this;
}

void CString::Format(const char* format, ...)
{
    // _vsnprintf answers -1 when the text does not fit (Windows 2000's C runtime
    // cannot measure a text beforehand), so the buffer doubles until it does, up to
    // FORMAT_LIMIT characters. A longer text, or one that memory runs out for, keeps
    // what the largest buffer took: a message cut short still says what it begins with.
    // The buffers start zeroed, so what a conversion error leaves unwritten ends the text.
    char* cut = NULL;
    for (size_t size = 256; size <= FORMAT_LIMIT + 1; size *= 2) {
        char* buffer = (char*)calloc(size, 1);
        if (buffer == NULL)
            break;
        va_list args;
        va_start(args, format);
        int length = _vsnprintf(buffer, size, format, args);
        va_end(args);
        free(cut);
        if (length >= 0 && (size_t)length < size) {
            Replace(buffer);
            return;
        }
        buffer[size - 1] = '\0';
        cut = buffer;
    }
    Replace(cut);
}
