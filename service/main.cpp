// Entry of the helper program, VelaportService: started by the receiver,
// it serves the local control link until the receiver's quit datagram.
#include <cstdio>
#include <string>

#include "common/crash_handler.h"
#include "common/debug_log.h"
#include "common/product_version.h"
#include "common/user_folder.h"
#include "platform/single_instance.h"
#include "platform/system.h"
#include "service/control_link.h"
#include "service/hosted_network.h"
#include "service/legacy_autostart.h"
#include "service/service_packet_handler.h"
#include "service/updater_launcher.h"

namespace {

constexpr const char* kGuardName = "VPService";
constexpr uint32_t kLogFlushMs = 1000;

void InstallCrashReporter() {
  std::string error;
  if (InstallCrashHandler("VelaportService", ProductVersionText(), UserFolderPath(), &error) != 0)
    std::printf("%s\n", error.c_str());
}

int EndProcess(int code) {
  if (DebugLog* log = DebugLog::Process()) log->Flush(kLogFlushMs);
  DebugLog::StopProcessLog();
  UninstallCrashHandler();
  return code;
}

}  // namespace

int main() {
  DebugLog::StartProcessLog();
  CreateUserFolder();
  RemoveLegacyAutostartEntry();
  InstallCrashReporter();
  LaunchUpdaterInBackground(platform::ProgramFolder(), ProductVersionText());

  platform::NamedLock guard(kGuardName);
  if (!guard.TryAcquire()) {
    VPLog("VelaportService already runs");
    return EndProcess(-1);
  }
  ServiceControlLink link(
      [](const ServicePacket& packet) { ServicePacketHandler::Instance().Handle(packet); });
  link.StartWorker();
  if (link.Open() != 0) return EndProcess(-1);
  HostedNetwork::Instance().Load();
  link.Run();
  link.Stop();
  // The network does not outlive the receiver that asked for it.
  HostedNetwork::Instance().Stop();
  return EndProcess(0);
}
