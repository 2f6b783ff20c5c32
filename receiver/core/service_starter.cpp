#include "service_starter.h"

#include "common/command_sender.h"
#include "common/debug_log.h"
#include "platform/process.h"
#include "platform/single_instance.h"

int StartServiceIfNeeded(const std::string& program_folder) {
  if (platform::NamedLock::IsTaken(kServiceGuardName)) return 0;
  const std::string path = program_folder + "/" + kServiceProgramName;
  if (platform::ShellExecute("runas", path, {path}) < 0) {
    VPLog("open orbitaneservice failed");
    return -1;
  }
  return 0;
}

int SendServiceQuit() {
  const uint8_t quit = 0xFF;
  return SendBytes(&quit, 1, "127.0.0.1", kServicePort);
}
