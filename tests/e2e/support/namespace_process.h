// A program started inside a network namespace ("ip netns exec"), with an
// environment of the test's choosing, owned by the test: it is ended (SIGTERM,
// then SIGKILL) when the object goes, whatever the test's outcome.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class NamespaceProcess {
 public:
  NamespaceProcess() = default;
  NamespaceProcess(const NamespaceProcess&) = delete;
  NamespaceProcess& operator=(const NamespaceProcess&) = delete;
  ~NamespaceProcess() { End(); }

  // env entries are set on top of the test's environment; DISPLAY is
  // removed, so that the programs run without a desktop, unless env gives it.
  // stdout and stderr go to output_file when given. False when it cannot be
  // started.
  bool Start(const std::string& ns, const std::string& program,
             const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
             const std::string& output_file = "");

  int Pid() const { return pid_; }
  bool IsRunning();
  // True when it ended within the time-out; exit_code gets its status as a
  // byte (exit(-1) reads 255), or 128 + signal.
  bool Wait(uint32_t timeout_ms, int* exit_code = nullptr);
  bool Signal(int sig);
  // SIGTERM, a grace period, then SIGKILL; always reaps.
  void End();

 private:
  int pid_ = -1;
  bool reaped_ = false;
  int exit_status_ = -1;
};
