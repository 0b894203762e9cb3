// The folder a loaded module lies in: where each program finds the files shipped
// beside it.
#pragma once

#include <windows.h>

// Writes the folder of module (NULL: the program) with its trailing backslash. False
// when the module's file name does not fit in size characters: GetModuleFileNameA
// then leaves it cut off (on Windows XP unterminated).
bool GetModuleFolder(HMODULE module, char* folder, DWORD size);
