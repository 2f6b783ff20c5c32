// The per-user folder of the receiver and the helper: Velaport/Velaport in
// the roaming settings folder. Crash reports are written there.
#pragma once

#include <string>

// The folder's path; empty when the user's settings folder is unknown.
std::string UserFolderPath();

// Creates the folder with every missing level and returns its path (empty
// when unknown). Failures are logged here.
std::string CreateUserFolder();
