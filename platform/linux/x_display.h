// The display connections of the desktop input layer (input, clipboard and
// screen metrics). Internal to platform/linux.
#pragma once

#include <X11/Xlib.h>

#include "platform/screen_metrics.h"

namespace platform {

// This thread's own connection to $DISPLAY, opened on first use and closed
// when the thread ends. Null without a display (tried once per thread).
Display* ThreadDisplay();

// The primary screen (XRandR's primary output, else the first active one,
// else the whole desk) and the desk spanning every screen.
void QueryScreenAreas(Display* display, ScreenRect* primary, ScreenRect* virtual_desk);

}  // namespace platform
