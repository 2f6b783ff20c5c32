#include "platform/system.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <unistd.h>

#include "version_config.h"

namespace platform {
namespace {

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return {};
}

std::string StripTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// Reads XDG_DOCUMENTS_DIR="$HOME/..." from the user-dirs file.
std::string XdgDocumentsFromUserDirs(const std::string& home, const std::string& config) {
  std::ifstream file(config + "/user-dirs.dirs");
  std::string line;
  const std::string key = "XDG_DOCUMENTS_DIR=";
  while (std::getline(file, line)) {
    if (line.rfind(key, 0) != 0) continue;
    std::string value = line.substr(key.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
    if (!value.empty() && value.front() == '/') return StripTrailingSlash(value);
  }
  return {};
}

}  // namespace

ProductVersion GetProductVersion() {
  return {VP_VERSION_MAJOR, VP_VERSION_MINOR, VP_VERSION_PATCH, VP_VERSION_BUILD};
}

std::string ProgramPath() {
  std::error_code ec;
  auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : path.string();
}

std::string ProgramFolder() {
  std::string path = ProgramPath();
  auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string RoamingAppDataFolder() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
    return StripTrailingSlash(xdg);
  std::string home = HomeFolder();
  return home.empty() ? std::string() : home + "/.config";
}

std::string DocumentsFolder() {
  std::string home = HomeFolder();
  if (home.empty()) return {};
  std::string from_dirs = XdgDocumentsFromUserDirs(home, RoamingAppDataFolder());
  return from_dirs.empty() ? home + "/Documents" : from_dirs;
}

std::string TempFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = tmp && *tmp ? tmp : "/tmp";
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::string RuntimeFolder() {
  if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run == '/')
    return StripTrailingSlash(run);
  return StripTrailingSlash(TempFolder());
}

bool CreateFolderTree(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  return std::filesystem::is_directory(path, ec);
}

std::string ComputerName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  std::string host(name);
  if (auto dot = host.find('.'); dot != std::string::npos) host.resize(dot);
  if (host.size() > 15) host.resize(15);
  return host;
}

}  // namespace platform
