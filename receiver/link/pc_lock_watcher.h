// Tells the pairing handler when the user's desktop is locked or unlocked,
// so that paired devices learn it (act 1, cmd 25 and 26). Sources that this
// desktop lacks are logged once at start.
#pragma once

#include "platform/session_lock.h"

class PairingHandler;

class PcLockWatcher {
 public:
  // Over the process-wide pairing handler; never destroyed.
  static PcLockWatcher& Instance();

  explicit PcLockWatcher(PairingHandler& pairing) : pairing_(pairing) {}
  ~PcLockWatcher() { Stop(); }

  // Starts watching; the pairing handler is called on the watcher's thread.
  // Returns 0, also when no source is available (then nothing is reported).
  int Start();
  void Stop();
  int SourceCount() const { return watcher_.SourceCount(); }

 private:
  PairingHandler& pairing_;
  platform::SessionLockWatcher watcher_;
};
