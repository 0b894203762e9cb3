// The installer's steps without a window, for scripts and the Windows Installer
// package: "Korvelseek.exe /quiet" stages the driver package with Windows and installs
// the driver on every supported device present; "Korvelseek.exe /quiet /remove" takes
// all of that away again. Nothing is shown; the outcome is the process's exit code,
// and a failure also writes one line to standard error when the caller gave the
// program one.
#pragma once

#include <windows.h>

// Exit codes of the quiet step.
#define QUIET_EXIT_DONE 0
#define QUIET_EXIT_FAILED 1
#define QUIET_EXIT_USAGE 2
#define QUIET_EXIT_RESTART ERROR_SUCCESS_REBOOT_REQUIRED

// The quiet step the command line asks for, from the words after the program's name.
enum QuietRequest { QUIET_NONE, QUIET_INSTALL, QUIET_REMOVE, QUIET_USAGE_ERROR };

QuietRequest ParseQuietCommandLine(const char* commandLine);

// Loads Windows' device installation functions as the dialog does, then runs the
// install or the removal (quiet_remove.cpp); returns the exit code.
int RunQuietStep(QuietRequest request);
int RunQuietInstall();
int RunQuietRemove();

// Writes the path of KorvelUsb.inf beside the program into path (MAX_PATH characters);
// false, with the line written, when it does not fit.
bool GetPackageInfPath(char* path);

// Writes "STEP CODE: system text" as the quiet step's line; returns QUIET_EXIT_FAILED.
int FailQuietStep(const char* step, DWORD error);

// Writes "Korvelseek: TEXT" as one line to standard error, when there is one.
void WriteQuietLine(const char* text);
