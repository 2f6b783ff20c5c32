// The program's own location and version, the special folders and the
// computer's name.
#pragma once

#include <string>

namespace platform {

// Product version compiled in from the build (2.5.1.685).
struct ProductVersion {
  int major, minor, patch, build;
};
ProductVersion GetProductVersion();

// Full path of the running executable.
std::string ProgramPath();
// Folder of the running executable, without a trailing separator.
std::string ProgramFolder();

// Per-user roaming settings folder: $XDG_CONFIG_HOME, else ~/.config.
// Empty when neither can be determined. No trailing separator.
std::string RoamingAppDataFolder();
// The user's documents folder (XDG_DOCUMENTS_DIR from user-dirs.dirs, else
// ~/Documents). Empty when no home folder is known. No trailing separator.
std::string DocumentsFolder();
// $TMPDIR or /tmp, with a trailing separator.
std::string TempFolder();
// $XDG_RUNTIME_DIR, else the temp folder; no trailing separator.
std::string RuntimeFolder();

// Creates the folder and every missing level; true when it exists afterwards.
bool CreateFolderTree(const std::string& path);

// The computer's name as devices see it: the host name, at most 15 characters.
// Empty on failure.
std::string ComputerName();

}  // namespace platform
