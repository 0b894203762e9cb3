// Windows' own DLLs that a program does not import: loaded from the system folder by
// full path, never by a search that would first look in the program's folder, where
// anyone may have left a DLL of the same name. Only the DLLs that Windows always takes
// from the system folder (KnownDLLs) are imported.
#pragma once

#include <windows.h>

// The DLL fileName (e.g. "setupapi.dll") from the system folder, its own dependencies
// from there too. NULL when it cannot be loaded, with the reason in GetLastError.
HMODULE LoadSystemLibrary(const char* fileName);

// comctl32.dll as the active activation context names it: by name where the context
// redirects it (Windows XP: the version 6 that a manifest asks for, from WinSxS), from
// the system folder everywhere else (Windows 2000 has no activation contexts). NULL
// when it cannot be loaded, with the reason in GetLastError.
HMODULE LoadCommonControlsLibrary();

// Takes a function of a loaded library into *function, typed as its declaration
// (decltype(&::Name)); false when the library lacks it, with the reason in GetLastError.
template <class Function> bool GetLibraryFunction(HMODULE library, const char* name, Function* function)
{
    *function = (Function)(void*)GetProcAddress(library, name);
    return *function != NULL;
}
