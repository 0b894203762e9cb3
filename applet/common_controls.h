// The common controls the sheet is made with. On Windows XP and later the library's
// manifest asks for version 6, the one with visual styles: its activation context is
// made active around the sheet, whichever program loaded the library, and comctl32 is
// loaded inside it. Windows 2000 has no activation contexts and keeps version 5, from
// the system folder; every function it lacks is looked up at run time.
#pragma once

#include <windows.h>

#include <prsht.h>

// PropertySheetA's result, from the newest common controls the system offers; -1,
// after a message naming the failing call, when comctl32 cannot be loaded.
INT_PTR RunStyledPropertySheet(const PROPSHEETHEADERA* header);

// Gives a page of the running sheet the tab's texture behind its controls where the
// sheet has visual styles; elsewhere nothing.
void UseTabTexture(HWND page);
