// korvelctl's output: text on standard output or error through the C runtime's
// streams, and the one line on standard error for a failed step.
#pragma once

#include <windows.h>

#include <stdio.h>

// Writes the text in the console's output code page. Lines are formatted with
// wsprintfA rather than the C runtime's printf family, for which MinGW-w64's C++
// headers put in their own implementation with its locale support, doubling the
// program's size.
void WriteText(FILE* stream, const char* text);

// "korvelctl: STEP: TEXT" with the system's text for the thread's last-error code,
// its inserts filled with insert (what they refer to, such as a file's path) or left
// out when that is NULL; "korvelctl: STEP FAILURE: (0x...)" when the system has none.
// Returns 1, the exit status of a failed request.
int ReportFailure(const char* step, const char* insert = NULL);

// "korvelctl: STEP: TEXT" with a text of the program's own; returns 1 as well.
int ReportFailureText(const char* step, const char* text);
