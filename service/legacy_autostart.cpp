#include "legacy_autostart.h"

#include <filesystem>

#include "common/debug_log.h"
#include "platform/system.h"

std::string LegacyAutostartEntryPath() {
  const std::string roaming = platform::RoamingAppDataFolder();
  return roaming.empty() ? std::string() : roaming + "/autostart/VelaportService.desktop";
}

int RemoveLegacyAutostartEntry() {
  const std::string path = LegacyAutostartEntryPath();
  if (path.empty()) return 0;
  std::error_code ec;
  std::filesystem::remove(path, ec);
  if (ec) {
    VPLog("cannot remove %s: %s", path.c_str(), ec.message().c_str());
    return -1;
  }
  return 0;
}
