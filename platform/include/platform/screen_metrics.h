// The desktop's dimensions, by the metric indices the remote control reads:
// the primary screen, and the virtual desk that spans every screen.
#pragma once

namespace platform {

inline constexpr int kSmCxScreen = 0;
inline constexpr int kSmCyScreen = 1;
inline constexpr int kSmXVirtualScreen = 76;
inline constexpr int kSmYVirtualScreen = 77;
inline constexpr int kSmCxVirtualScreen = 78;
inline constexpr int kSmCyVirtualScreen = 79;

// The metric's value in pixels; 0 for unknown indices and when there is no display.
int GetSystemMetrics(int index);

// A screen area in pixels on the virtual desk.
struct ScreenRect {
  int x = 0, y = 0, width = 0, height = 0;
};
// The primary screen's area and the virtual desk's area; false without a display.
bool GetScreenAreas(ScreenRect* primary, ScreenRect* virtual_desk);

}  // namespace platform
