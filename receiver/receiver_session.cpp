#include "receiver/receiver_session.h"

#include "common/debug_log.h"
#include "receiver/control/hid_control_handler.h"
#include "receiver/core/main_thread_dispatcher.h"
#include "receiver/link/device_listeners.h"
#include "receiver/link/packet_processor.h"
#include "receiver/link/pc_lock_watcher.h"
#include "receiver/media/media_handlers.h"

namespace {

// The device link: the processor comes with the link's own handlers
// (pairing, keep-alive answers, spotlight); the subsystems that handle the
// other acts register theirs with PacketProcessor::Instance() before this.
// Paired devices learn when the desktop is locked or unlocked.
void StartDeviceLink() {
  RegisterControlHandlers(PacketProcessor::Instance());
  RegisterMediaHandlers([](int act, JsonCommandHandler* handler) {
    PacketProcessor::Instance().RegisterJsonHandler(act, handler);
  });
  StartDeviceListeners();
  PcLockWatcher::Instance().Start();
}

}  // namespace

// There is no main window yet: the windowed mode runs like the headless one,
// with the dispatcher's loop on the main thread, until the window takes over
// (its initialisation will start the device link, as here).
int RunReceiverSession(const ReceiverOptions& options) {
  (void)options;
  MainThreadDispatcher& dispatcher = MainThreadDispatcher::Instance();
  dispatcher.BindToCurrentThread();
  StartDeviceLink();
  return dispatcher.Run();
}

void ShowMainWindow() { VPLog("asked to show the main window; there is no window to show"); }
