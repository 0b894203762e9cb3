// Texts that report a failure: the system's text for an error code made fit to show,
// and the program's own text when the system has none. No Windows calls.
#pragma once

#include <stddef.h>

#define FAILURE_TEXT_SIZE 100

// "<step> FAILURE: (0x%08x)", the text shown when the system has none for a code.
// A step too long for the buffer is cut, never the code.
void FormatFailureText(const char* step, unsigned long code, char* text, size_t size);

// The system's text for a code, as FormatMessageA gives it with
// FORMAT_MESSAGE_IGNORE_INSERTS, made fit to show: each insert ("%1" to "%99", with a
// "!format!" part or without) becomes insert or, when that is NULL, is left out with
// one space beside it; "%%" becomes a per cent sign and "%0" ends the text, as
// FormatMessageA reads them; the line break and spaces at the end go. Written into text of
// size characters, cut at its end when it does not fit.
void FillSystemTextInserts(const char* systemText, const char* insert, char* text, size_t size);
