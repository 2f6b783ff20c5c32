// Where the two mirror windows go: the landscape window fills the work area
// less a margin, the portrait window keeps the screen's aspect turned upright.
#pragma once

struct WindowRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Size from the work area's right and bottom edges (right - 10 by bottom - 20);
// the position is left to the window manager.
WindowRect LandscapeWindowRect(const WindowRect& work_area);

// trunc((CY - 60) / CX * CY) by CY - 60, computed in double precision and
// centred on the primary screen of CX x CY.
WindowRect PortraitWindowRect(int screen_width, int screen_height);
