#include "updater_launcher.h"

#include <thread>
#include <unistd.h>

#include "common/debug_log.h"
#include "platform/process.h"

void LaunchUpdaterInBackground(const std::string& folder, const std::string& version) {
  std::thread([path = folder + "/VelaportUpdate", version] {
    if (access(path.c_str(), X_OK) != 0) return;
    int pid = platform::StartProcess(path, {version});
    if (pid < 0) {
      VPLog("cannot start %s", path.c_str());
      return;
    }
    // The updater may run for long; waiting here keeps it from lingering as
    // a zombie of the service.
    platform::WaitProcess(pid, platform::kWaitForever);
  }).detach();
}
