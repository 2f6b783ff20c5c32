#include "session_bus.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/process.h"

SessionBus::SessionBus(const NetNamespace& ns, const std::string& socket_path)
    : address_("unix:path=" + socket_path) {
  if (!daemon_.Start(ns.Name(), "/usr/bin/dbus-daemon",
                     {"--session", "--nofork", "--nopidfile", "--address=" + address_}, {}))
    return;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!std::filesystem::exists(socket_path) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ready_ = std::filesystem::exists(socket_path);
}

bool SessionBus::EmitScreenSaverActive(bool active) {
  int pid = platform::StartProcess(
      "/usr/bin/dbus-send",
      {"--bus=" + address_, "--type=signal", "/org/freedesktop/ScreenSaver",
       "org.freedesktop.ScreenSaver.ActiveChanged", active ? "boolean:true" : "boolean:false"});
  int status = -1;
  return pid > 0 && platform::WaitProcess(pid, 10000, &status) && status == 0;
}
