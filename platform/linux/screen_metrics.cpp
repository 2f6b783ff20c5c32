#include "platform/screen_metrics.h"

#include "x_display.h"

namespace platform {

bool GetScreenAreas(ScreenRect* primary, ScreenRect* virtual_desk) {
  Display* display = ThreadDisplay();
  if (!display) return false;
  QueryScreenAreas(display, primary, virtual_desk);
  return true;
}

int GetSystemMetrics(int index) {
  ScreenRect primary, desk;
  if (!GetScreenAreas(&primary, &desk)) return 0;
  switch (index) {
    case kSmCxScreen: return primary.width;
    case kSmCyScreen: return primary.height;
    case kSmXVirtualScreen: return desk.x;
    case kSmYVirtualScreen: return desk.y;
    case kSmCxVirtualScreen: return desk.width;
    case kSmCyVirtualScreen: return desk.height;
    default: return 0;
  }
}

}  // namespace platform
