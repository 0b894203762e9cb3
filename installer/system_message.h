// The system's text for an error code, as Korvelseek shows it in its messages and its
// quiet step's line.
#pragma once

#include <windows.h>

#define SYSTEM_MESSAGE_SIZE 512

// Writes the system's text for error into text (SYSTEM_MESSAGE_SIZE characters), its
// inserts filled with insert or left out when that is NULL; empty when the system has
// no text for the code.
void GetSystemMessage(DWORD error, const char* insert, char* text);
