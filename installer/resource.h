// Resource ids of Korvelseek.
#pragma once

// Dialogs
#define IDD_KORVELSEEK_DIALOG 102

// Icons
#define IDR_MAINFRAME 128

// Controls
#define IDC_PROGRESS 1000
#define IDC_STATUS 1001
