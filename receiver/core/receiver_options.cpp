#include "receiver_options.h"

ReceiverOptions ParseReceiverOptions(const std::vector<std::string>& args) {
  ReceiverOptions options;
  for (const std::string& arg : args) {
    if (arg == "-toTray") options.to_tray = true;
    if (arg == "--headless") options.headless = true;
  }
  return options;
}
