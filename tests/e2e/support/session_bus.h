// A private D-Bus session bus for one test (dbus-daemon on a socket in the
// test's folder), where the test plays the desktop's screen saver.
#pragma once

#include <string>

#include "namespace_process.h"
#include "net_namespace.h"

class SessionBus {
 public:
  // The daemon runs inside ns, so that the namespace's removal ends it even
  // when the test itself was killed; its socket is a file, reachable from
  // every namespace.
  SessionBus(const NetNamespace& ns, const std::string& socket_path);
  SessionBus(const SessionBus&) = delete;
  SessionBus& operator=(const SessionBus&) = delete;

  bool IsReady() const { return ready_; }
  // Emits org.freedesktop.ScreenSaver.ActiveChanged(active). True when sent.
  bool EmitScreenSaverActive(bool active);

 private:
  std::string address_;
  NamespaceProcess daemon_;
  bool ready_ = false;
};
