// Starting and watching other programs: the service beside the receiver, the
// converter, the updater, the desktop's opener for documents.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Starts path with the arguments (argv[0] is the path). The child inherits the
// environment; returns its process id, or -1 when it could not be started.
int StartProcess(const std::string& path, const std::vector<std::string>& args);

// The shell's verbs: "open" hands the file to the desktop's opener (xdg-open);
// "runas" starts a program with the rights it needs, which on this desktop is
// a plain start. Returns the process id, or -1 when nothing was started.
int ShellExecute(const std::string& verb, const std::string& file,
                 const std::vector<std::string>& args = {});

// Waits for a child started above. True when it ended within the time-out;
// exit_code gets its exit status (128 + signal when killed by a signal).
// kWaitForever blocks until the child ends, without polling.
inline constexpr uint32_t kWaitForever = 0xFFFFFFFF;
bool WaitProcess(int pid, uint32_t timeout_ms, int* exit_code = nullptr);

// True while a process with that id exists (and is not a zombie).
bool IsProcessRunning(int pid);

// Asks the process to end (SIGTERM); false when it does not exist.
bool TerminateProcess(int pid);

// Ids of running processes whose executable file name is name.
std::vector<int> FindProcessesByName(const std::string& name);

}  // namespace platform
