#include "platform/display.h"

#include <X11/Xlib.h>

#include <mutex>

namespace platform {

void InitDisplayThreads() {
  static std::once_flag once;
  std::call_once(once, [] { XInitThreads(); });
}

}  // namespace platform
