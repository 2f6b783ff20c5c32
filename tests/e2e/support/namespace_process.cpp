#include "namespace_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

bool NamespaceProcess::Start(const std::string& ns, const std::string& program,
                             const std::vector<std::string>& args,
                             const std::map<std::string, std::string>& env,
                             const std::string& output_file) {
  // ip netns exec and env both replace themselves with the next program, so
  // the pid we get is the program's own.
  std::vector<std::string> words = {"/usr/sbin/ip", "netns", "exec", ns, "/usr/bin/env",
                                    "-u",           "DISPLAY"};
  for (const auto& [key, value] : env) words.push_back(key + "=" + value);
  words.push_back(program);
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!output_file.empty()) {
    posix_spawn_file_actions_addopen(&actions, 1, output_file.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
  }
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  extern char** environ;
  pid_t pid = -1;
  int rc = posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  pid_ = pid;
  reaped_ = false;
  return true;
}

bool NamespaceProcess::IsRunning() {
  if (pid_ < 0 || reaped_) return false;
  return !Wait(0);
}

bool NamespaceProcess::Wait(uint32_t timeout_ms, int* exit_code) {
  if (pid_ < 0) return true;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!reaped_) {
    int status = 0;
    pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      reaped_ = true;
      exit_status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      break;
    }
    if (done < 0 && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (exit_code) *exit_code = exit_status_;
  return true;
}

bool NamespaceProcess::Signal(int sig) { return pid_ > 0 && !reaped_ && kill(pid_, sig) == 0; }

void NamespaceProcess::End() {
  if (pid_ < 0 || reaped_) return;
  kill(pid_, SIGTERM);
  if (!Wait(5000)) {
    kill(pid_, SIGKILL);
    Wait(5000);
  }
}
