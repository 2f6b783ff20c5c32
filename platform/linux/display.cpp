#include "platform/display.h"

#include <X11/Xlib.h>
#include <cstdlib>
#include <mutex>

namespace platform {

bool CanOpenDisplay() {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return false;
  InitDisplayThreads();
  Display* display = XOpenDisplay(name);
  if (!display) return false;
  XCloseDisplay(display);
  return true;
}

void InitDisplayThreads() {
  static std::once_flag once;
  std::call_once(once, [] { XInitThreads(); });
}

}  // namespace platform
