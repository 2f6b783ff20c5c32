// The desktop's display connection as the video windows need it.
#pragma once

namespace platform {

// Makes the display library safe for use from several threads. Call before
// any other use of the display (the video windows, the main window and the
// capture code share one desktop from several threads); later calls do nothing.
void InitDisplayThreads();

}  // namespace platform
