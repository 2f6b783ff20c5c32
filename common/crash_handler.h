// Crash reports for every deliverable: on a fatal signal (SIGSEGV, SIGABRT,
// SIGBUS, SIGFPE, SIGILL) a text report with the program's name, version,
// the signal and a backtrace is written into the per-user folder, then the
// signal is raised again so the process still ends the way it would have.
//
// Report file: <folder>/<app_name>-crash-<unix time>-<pid>.txt
#pragma once

#include <string>

// Installs the handlers once per process. Returns 0, or -1 with a short
// reason in error (the caller prints it; start-up goes on without reports).
int InstallCrashHandler(const std::string& app_name, const std::string& version,
                        const std::string& folder, std::string* error);

// Puts the previous dispositions back. Safe to call when nothing is installed.
void UninstallCrashHandler();
