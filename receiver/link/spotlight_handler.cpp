#include "spotlight_handler.h"

#include "client_broadcast.h"
#include "common/command_sender.h"
#include "common/debug_log.h"
#include "common/device_json.h"
#include "device_sender.h"
#include "link_ports.h"
#include "platform/process.h"
#include "platform/sync.h"
#include "platform/system.h"

namespace {

constexpr int kAct = 8;
constexpr int kStart = 1;
constexpr int kQuit = 2;
constexpr int kStarted = 21;
constexpr int kEnded = 22;

}  // namespace

SpotlightHandler& SpotlightHandler::Instance() {
  // Leaked on purpose: a launch thread may wait for the program until exit.
  static SpotlightHandler* handler =
      new SpotlightHandler(ClientList::Instance(), NetworkDeviceSender::Instance(),
                           platform::ProgramFolder() + "/" + kProgramName);
  return *handler;
}

SpotlightHandler::SpotlightHandler(ClientList& clients, DeviceSender& sender,
                                   std::string program_path)
    : clients_(clients), sender_(sender), program_path_(std::move(program_path)) {}

SpotlightHandler::~SpotlightHandler() {
  RequestQuit();
  std::thread launch;
  {
    std::lock_guard lock(lock_);
    launch = std::move(launch_);
  }
  if (launch.joinable()) launch.join();
}

int SpotlightHandler::ProcessJsonCommand(const JsonCommand& command) {
  const std::string peer = command.PeerText();
  switch (JsonInt(command.value, "cmd")) {
    case kStart: {
      {
        std::lock_guard lock(lock_);
        if (!running_) {
          // The previous launch thread has left its last locked step once
          // running_ is false, so this join does not wait for the lock.
          if (launch_.joinable()) launch_.join();
          running_ = true;
          launch_ = std::thread([this] { LaunchAndWatch(); });
        }
      }
      sender_.SendJsonCommand(DeviceJsonText(MakeCommand(kAct, kStarted)), peer, kDeviceTcpPort,
                              kTransportTcp);
      break;
    }
    case kQuit: RequestQuit(); break;
    default: break;
  }
  return 0;
}

void SpotlightHandler::OnClientRemoved(const std::string& address) {
  (void)address;
  RequestQuit();
}

void SpotlightHandler::RequestQuit() {
  std::lock_guard lock(lock_);
  if (pid_ > 0) platform::TerminateProcess(pid_);
}

bool SpotlightHandler::IsRunning() {
  std::lock_guard lock(lock_);
  return running_;
}

// Launch thread: runs until the program ends.
void SpotlightHandler::LaunchAndWatch() {
  const int pid = platform::StartProcess(program_path_, {});
  if (pid < 0) {
    VPLog("spotlight program could not be started: %s", program_path_.c_str());
    std::lock_guard lock(lock_);
    running_ = false;
    return;
  }
  {
    std::lock_guard lock(lock_);
    pid_ = pid;
  }
  while (!platform::WaitProcess(pid, platform::kInfinite) && platform::IsProcessRunning(pid)) {
  }
  {
    std::lock_guard lock(lock_);
    pid_ = 0;
  }
  BroadcastToClients(clients_, sender_, MakeCommand(kAct, kEnded));
  std::lock_guard lock(lock_);
  running_ = false;
}
