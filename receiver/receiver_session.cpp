#include "receiver/receiver_session.h"

#include "common/debug_log.h"
#include "receiver/core/main_thread_dispatcher.h"

// There is no main window yet: the windowed mode runs like the headless one,
// with the dispatcher's loop on the main thread, until the window takes over.
int RunReceiverSession(const ReceiverOptions& options) {
  (void)options;
  MainThreadDispatcher& dispatcher = MainThreadDispatcher::Instance();
  dispatcher.BindToCurrentThread();
  return dispatcher.Run();
}

void ShowMainWindow() { VPLog("asked to show the main window; there is no window to show"); }
