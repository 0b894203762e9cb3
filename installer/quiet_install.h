// The installer's step without a window, for scripts and the Windows Installer
// package: "Korvelseek.exe /quiet" stages the driver package with Windows and installs
// the driver on every supported device present. Nothing is shown; the outcome is the
// process's exit code, and a failure also writes one line to standard error when the
// caller gave the program one.
#pragma once

#include <windows.h>

// Exit codes of the quiet step.
#define QUIET_EXIT_DONE 0
#define QUIET_EXIT_FAILED 1
#define QUIET_EXIT_USAGE 2
#define QUIET_EXIT_RESTART ERROR_SUCCESS_REBOOT_REQUIRED

// The quiet step the command line asks for, from the words after the program's name.
enum QuietRequest { QUIET_NONE, QUIET_INSTALL, QUIET_USAGE_ERROR };

QuietRequest ParseQuietCommandLine(const char* commandLine);

// Runs the install and returns its exit code.
int RunQuietInstall();

// Writes "Korvelseek: TEXT" as one line to standard error, when there is one.
void WriteQuietLine(const char* text);
