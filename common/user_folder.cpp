#include "user_folder.h"

#include "debug_log.h"
#include "platform/system.h"

std::string UserFolderPath() {
  const std::string roaming = platform::RoamingAppDataFolder();
  return roaming.empty() ? std::string() : roaming + "/Velaport/Velaport";
}

std::string CreateUserFolder() {
  const std::string folder = UserFolderPath();
  if (folder.empty()) {
    VPLog("no per-user settings folder");
    return {};
  }
  if (!platform::CreateFolderTree(folder)) VPLog("cannot create %s", folder.c_str());
  return folder;
}
