// The receiver between start-up and shutdown: the device link is started and
// the main thread serves the main-thread dispatcher until something quits it.
#pragma once

#include "receiver/core/receiver_options.h"

// Main thread. Returns the quit code of the main loop.
int RunReceiverSession(const ReceiverOptions& options);

// Main thread: brings the main window to the front. Without a window (headless)
// the request is only logged.
void ShowMainWindow();
