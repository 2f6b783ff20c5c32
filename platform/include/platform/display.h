// Whether a desktop is there to show windows on.
#pragma once

namespace platform {

// True when the display named by $DISPLAY can be opened now (the connection
// is closed again at once). False without a DISPLAY or when it refuses.
bool CanOpenDisplay();

}  // namespace platform
