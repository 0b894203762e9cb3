// Resource ids of Korvelpad: page templates, icons and bitmaps, the manifest, strings,
// controls.
#pragma once

// Page templates.
#define IDD_CALIBRATION 107
#define IDD_SETTINGS 108
#define IDD_SOUND 109
#define IDD_ABOUT 110

// Icons and bitmaps.
#define IDI_APPLET 103
#define IDB_ABOUT_MASK 109
#define IDB_ABOUT_PICTURE 110
#define IDI_BEEP 111

// The manifest: the id under which the Control Panel looks for a control panel's own.
#define IDR_MANIFEST 123

// Strings the Control Panel shows for the applet.
#define IDS_APPLET_NAME 1
#define IDS_APPLET_DESCRIPTION 2

// Calibration page.
#define IDC_CALIBRATE 1011

// Settings page.
#define IDC_CLICK_ON_TOUCH 1004
#define IDC_CLICK_ON_RELEASE 1005
#define IDC_DRAG 1006
#define IDC_DOUBLE_CLICK_DRAG 1007
#define IDC_REGION_EDIT 1008
#define IDC_REGION_UPDOWN 1009
#define IDC_DRAG_DELAY 1010
#define IDC_REGION_LABEL 1012
#define IDC_DRAG_DELAY_GROUP 1013
#define IDC_DRAG_DELAY_SHORT 1014
#define IDC_DRAG_DELAY_LONG 1015
#define IDC_BUTTON_MODE 1019
#define IDC_MOUSE_MODE_GROUP 1020

// Sound page.
#define IDC_BEEP_MODE 1001
#define IDC_BEEP_FREQUENCY 1002
#define IDC_BEEP_DURATION 1003

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
