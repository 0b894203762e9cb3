// Common controls as framework windows.
#pragma once

#include "afxwin.h"

#include <commctrl.h>

// A progress bar; its messages are sent with SendMessage.
class CProgressCtrl : public CWnd {
};
