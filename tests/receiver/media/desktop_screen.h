// The test's view of the desktop: the mirror windows as the window manager
// manages them, and the colours the screen shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ScreenWindow {
  unsigned long id = 0;
  int x = 0, y = 0, width = 0, height = 0;  // client area in screen coordinates
};

enum class Patch { Red, Green, Blue, White, Other };

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
