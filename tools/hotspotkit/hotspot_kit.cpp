#include "hotspot_kit.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

extern char** environ;

namespace {

// The connection NetworkManager keeps for our network, so that a second start
// replaces the first instead of adding another.
constexpr const char* kConnectionName = "Velaport-Hotspot";
// Bringing an access point up can take NetworkManager several seconds; the
// receiver waits 30 s for the whole request.
constexpr auto kClientTimeout = std::chrono::seconds(25);
// nmcli's documented exit statuses.
constexpr int kNmcliNotRunning = 8;
constexpr int kNmcliNotFound = 10;

std::string FindOnPath(const char* program) {
  const char* path = std::getenv("PATH");
  if (!path) return {};
  std::string list = path;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    // An empty entry means the current folder.
    const std::string dir = end > start ? list.substr(start, end - start) : std::string(".");
    const std::string candidate = dir + "/" + program;
    struct stat info {};
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        access(candidate.c_str(), X_OK) == 0)
      return candidate;
    start = end + 1;
  }
  return {};
}

// Runs nmcli with the arguments, its output discarded. Returns its exit status,
// or -1 when nmcli is not installed, -2 when it could not be run to its end.
int RunNmcli(const std::vector<std::string>& args) {
  const std::string nmcli = FindOnPath("nmcli");
  if (nmcli.empty()) return -1;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(nmcli.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, nmcli.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -2;
  const auto deadline = std::chrono::steady_clock::now() + kClientTimeout;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -2;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
}

int CodeOf(int nmcli_status) {
  switch (nmcli_status) {
    case 0: return kHotspotOk;
    case -1: return kHotspotNoNetworkManager;
    case -2: return kHotspotClientFailed;
    case kNmcliNotRunning: return kHotspotManagerNotRunning;
    default: return kHotspotRequestFailed;
  }
}

}  // namespace

extern "C" int startDHCP(int, int) { return CodeOf(RunNmcli({"general", "status"})); }

extern "C" int StartVirtualWiFi(std::string ssid, std::string password, int, int) {
  if (ssid.empty() || ssid.size() > 32 || password.size() < 8 || password.size() > 63)
    return kHotspotBadArguments;
  return CodeOf(RunNmcli({"device", "wifi", "hotspot", "con-name", kConnectionName, "ssid", ssid,
                          "password", password}));
}

extern "C" int StopVirtualWiFi(int, int) {
  const int status = RunNmcli({"connection", "down", "id", kConnectionName});
  // Not active means already closed.
  return status == kNmcliNotFound ? kHotspotOk : CodeOf(status);
}
