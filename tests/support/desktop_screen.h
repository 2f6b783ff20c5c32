// The test's view of the desktop: windows as the window manager manages them,
// found by title, and the colours the screen shows. Links PkgConfig::X11
// through vp_desktop_screen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ScreenWindow {
  unsigned long id = 0;
  int x = 0, y = 0, width = 0, height = 0;  // client area in screen coordinates
};

enum class Patch { Red, Green, Blue, White, Black, Other };

// The colour class of a 0xRRGGBB pixel.
Patch ClassifyPixel(uint32_t pixel);

// A rectangle of the screen read at once, so that every patch looked at in it
// comes from the same presented picture.
class ScreenShot {
 public:
  bool IsEmpty() const { return pixels_.empty(); }
  // The pixel at screen coordinates (x, y) as 0xRRGGBB; 0 outside the rectangle.
  uint32_t PixelAt(int x, int y) const;
  Patch PatchAt(int x, int y) const { return ClassifyPixel(PixelAt(x, y)); }

 private:
  friend class DesktopScreen;
  int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
  std::vector<uint32_t> pixels_;
};

class DesktopScreen {
 public:
  DesktopScreen();
  ~DesktopScreen();
  bool IsOpen() const { return display_ != nullptr; }

  // Whether a window manager runs on the desktop (it may still be starting).
  bool HasWindowManager();
  // The managed, viewable windows with the title.
  std::vector<ScreenWindow> ShownWindows(const std::string& title);
  // Every managed window with the title, shown or not.
  int ManagedWindowCount(const std::string& title);
  // The colour class of the screen pixel at (x, y).
  Patch PatchAt(int x, int y);
  // The screen pixel at (x, y) as 0xRRGGBB.
  uint32_t PixelAt(int x, int y);
  // The screen inside the window's client area, as far as it lies on the
  // screen; empty when nothing of it can be read.
  ScreenShot Grab(const ScreenWindow& window);
  // Whether the window carries an icon for the window manager.
  bool HasIcon(unsigned long window);
  // Whether the window has asked the window manager to stay above others.
  bool KeepsAbove(unsigned long window);
  // Asks the window manager to close the window, as its close box does.
  void RequestClose(unsigned long window);

 private:
  std::vector<unsigned long> ClientWindows();
  std::string Title(unsigned long window);

  struct _XDisplay* display_ = nullptr;
};

const char* PatchName(Patch patch);
