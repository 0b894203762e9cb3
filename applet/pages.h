// The dialog procedures of the sheet's four pages.
#pragma once

#include <windows.h>

INT_PTR CALLBACK CalibrationPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SettingsPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SoundPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
