// The desktop's display connection: whether there is one, and making it safe
// for the several threads that share it.
#pragma once

namespace platform {

// True when the display named by $DISPLAY can be opened now (the connection
// is closed again at once). False without a DISPLAY or when it refuses.
bool CanOpenDisplay();

// Makes the display library safe for use from several threads. Call before
// any other use of the display (the video windows, the main window, input and
// capture share one desktop from several threads); later calls do nothing.
void InitDisplayThreads();

}  // namespace platform
