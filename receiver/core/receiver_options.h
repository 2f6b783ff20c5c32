// What the receiver's command line asks for.
#pragma once

#include <string>
#include <vector>

struct ReceiverOptions {
  // "-toTray" anywhere: the main window starts hidden in the tray.
  bool to_tray = false;
  // "--headless": no windows at all; also chosen when no display opens.
  bool headless = false;
};

// Unknown words are ignored, as the receiver always did.
ReceiverOptions ParseReceiverOptions(const std::vector<std::string>& args);
