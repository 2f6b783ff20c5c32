// The service starts the updater, VelaportUpdate, beside its own executable,
// handing it the service's version text; the updater decides whether there is
// anything to do. Without the updater's file nothing happens.
#pragma once

#include <string>

// Starts a detached thread that launches "<folder>/VelaportUpdate <version>"
// when that file is executable, and collects its exit status when it ends.
void LaunchUpdaterInBackground(const std::string& folder, const std::string& version);
