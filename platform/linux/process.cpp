#include "platform/process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <dirent.h>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace platform {

int StartProcess(const std::string& path, const std::vector<std::string>& args) {
  std::vector<std::string> owned;
  owned.push_back(path);
  owned.insert(owned.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : owned) argv.push_back(a.data());
  argv.push_back(nullptr);
  // The child gets a signal mask and dispositions of its own, not ours.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = -1;
  int rc = posix_spawn(&pid, path.c_str(), nullptr, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  return rc == 0 ? pid : -1;
}

int ShellExecute(const std::string& verb, const std::string& file,
                 const std::vector<std::string>& args) {
  if (verb == "open") {
    if (access("/usr/bin/xdg-open", X_OK) != 0) return -1;
    return StartProcess("/usr/bin/xdg-open", {file});
  }
  if (verb == "runas" || verb.empty()) {
    if (access(file.c_str(), X_OK) != 0) return -1;
    return StartProcess(file, args);
  }
  return -1;
}

bool WaitProcess(int pid, uint32_t timeout_ms, int* exit_code) {
  if (timeout_ms == kWaitForever) {
    int status = 0;
    pid_t done;
    while ((done = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    if (done != pid) return false;
    if (exit_code) *exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    int status = 0;
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      if (exit_code)
        *exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return true;
    }
    if (done < 0 && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

bool IsProcessRunning(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return false;
  auto close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

bool TerminateProcess(int pid) { return pid > 0 && kill(pid, SIGTERM) == 0; }

std::vector<int> FindProcessesByName(const std::string& name) {
  std::vector<int> pids;
  DIR* proc = opendir("/proc");
  if (!proc) return pids;
  while (dirent* entry = readdir(proc)) {
    char* end = nullptr;
    long pid = std::strtol(entry->d_name, &end, 10);
    if (*end != '\0' || pid <= 0) continue;
    char target[4096] = {};
    std::string link = std::string("/proc/") + entry->d_name + "/exe";
    ssize_t len = readlink(link.c_str(), target, sizeof target - 1);
    if (len <= 0) continue;
    std::string exe(target, static_cast<size_t>(len));
    const std::string deleted = " (deleted)";
    if (exe.size() > deleted.size() && exe.ends_with(deleted)) exe.resize(exe.size() - deleted.size());
    if (exe.substr(exe.rfind('/') + 1) == name && IsProcessRunning(static_cast<int>(pid)))
      pids.push_back(static_cast<int>(pid));
  }
  closedir(proc);
  return pids;
}

}  // namespace platform
