// Whether the user's desktop is locked, from the session manager and the
// screen saver: logind's Lock and Unlock signals for this session on the
// system bus, and ActiveChanged of org.freedesktop.ScreenSaver and
// org.gnome.ScreenSaver on the session bus. Sources that are absent (no bus,
// no session) are reported once through the report callback and skipped.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace platform {

class SessionLockWatcher {
 public:
  using Callback = std::function<void()>;
  using Report = std::function<void(const std::string&)>;

  SessionLockWatcher();
  SessionLockWatcher(const SessionLockWatcher&) = delete;
  SessionLockWatcher& operator=(const SessionLockWatcher&) = delete;
  ~SessionLockWatcher();

  // Watches on a thread of its own, which also runs the callbacks: on_locked
  // when the desktop becomes locked, on_unlocked when it becomes unlocked
  // (repeated signals of the same state, or the same change seen by two
  // sources, call once). False when already started.
  bool Start(Callback on_locked, Callback on_unlocked, Report report);
  // Ends the watching thread and waits for it.
  void Stop();
  // The number of sources subscribed to (after Start has returned).
  int SourceCount() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace platform
