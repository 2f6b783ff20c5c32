#include "pc_lock_watcher.h"

#include "common/debug_log.h"
#include "pairing_handler.h"

PcLockWatcher& PcLockWatcher::Instance() {
  static PcLockWatcher* watcher = new PcLockWatcher(PairingHandler::Instance());
  return *watcher;
}

int PcLockWatcher::Start() {
  watcher_.Start([this] { pairing_.SetLocked(); }, [this] { pairing_.SetUnlocked(); },
                 [](const std::string& text) { VPLogText(text); });
  return 0;
}

void PcLockWatcher::Stop() { watcher_.Stop(); }
