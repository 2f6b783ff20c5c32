#include "window_geometry.h"

WindowRect LandscapeWindowRect(const WindowRect& work_area) {
  WindowRect rect;
  rect.width = work_area.x + work_area.width - 10;
  rect.height = work_area.y + work_area.height - 20;
  return rect;
}

WindowRect PortraitWindowRect(int screen_width, int screen_height) {
  WindowRect rect;
  rect.height = screen_height - 60;
  rect.width = static_cast<int>(static_cast<double>(rect.height) / screen_width * screen_height);
  rect.x = (screen_width - rect.width) / 2;
  rect.y = (screen_height - rect.height) / 2;
  return rect;
}
