// A private D-Bus session bus for one test (dbus-daemon on a socket in the
// test's folder), where the test plays the desktop's screen saver.
#pragma once

#include <string>

class SessionBus {
 public:
  // address is "unix:path=<socket>".
  explicit SessionBus(const std::string& socket_path);
  SessionBus(const SessionBus&) = delete;
  SessionBus& operator=(const SessionBus&) = delete;
  ~SessionBus();

  bool IsReady() const { return ready_; }
  // Emits org.freedesktop.ScreenSaver.ActiveChanged(active). True when sent.
  bool EmitScreenSaverActive(bool active);

 private:
  std::string address_;
  int pid_ = -1;
  bool ready_ = false;
};
