#include "platform/display.h"

#include <X11/Xlib.h>
#include <cstdlib>

namespace platform {

bool CanOpenDisplay() {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return false;
  Display* display = XOpenDisplay(name);
  if (!display) return false;
  XCloseDisplay(display);
  return true;
}

}  // namespace platform
