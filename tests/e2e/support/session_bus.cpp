#include "session_bus.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/process.h"

SessionBus::SessionBus(const std::string& socket_path) : address_("unix:path=" + socket_path) {
  pid_ = platform::StartProcess("/usr/bin/dbus-daemon",
                                {"--session", "--nofork", "--nopidfile", "--address=" + address_});
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (pid_ > 0 && !std::filesystem::exists(socket_path) &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ready_ = pid_ > 0 && std::filesystem::exists(socket_path);
}

SessionBus::~SessionBus() {
  if (pid_ > 0 && platform::TerminateProcess(pid_)) platform::WaitProcess(pid_, 10000);
}

bool SessionBus::EmitScreenSaverActive(bool active) {
  int pid = platform::StartProcess(
      "/usr/bin/dbus-send",
      {"--bus=" + address_, "--type=signal", "/org/freedesktop/ScreenSaver",
       "org.freedesktop.ScreenSaver.ActiveChanged", active ? "boolean:true" : "boolean:false"});
  int status = -1;
  return pid > 0 && platform::WaitProcess(pid, 10000, &status) && status == 0;
}
