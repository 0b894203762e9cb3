// Context help of the Settings and Sound pages from the help file "TamUsb.hlp".
#pragma once

#include <windows.h>

// Pairs of control id and help context, ended by a pair of zeros; -1 is no topic.
extern const DWORD HelpIdTable[];

// WM_HELP: help for the control the user pressed F1 on. Always TRUE.
INT_PTR OnHelp(const HELPINFO* info);

// WM_CONTEXTMENU: "What's This?" help for the window clicked. Always FALSE.
INT_PTR OnContextMenu(HWND window);
