// Older releases started the service from the user's autostart folder; the
// receiver starts it now, so that entry has to go.
#pragma once

#include <string>

// "<roaming settings folder>/autostart/VelaportService.desktop".
std::string LegacyAutostartEntryPath();

// Deletes the entry when present. 0 when it is gone (or never was), -1 when
// it cannot be deleted (logged). Start-up goes on either way.
int RemoveLegacyAutostartEntry();
