#include "desktop_screen.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace {

std::vector<unsigned long> WindowListProperty(Display* display, Window window, const char* name) {
  std::vector<unsigned long> windows;
  Atom actual;
  int format;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 4096, False,
                         AnyPropertyType, &actual, &format, &count, &after, &data) == Success &&
      data && format == 32) {
    auto* values = reinterpret_cast<unsigned long*>(data);
    windows.assign(values, values + count);
  }
  if (data) XFree(data);
  return windows;
}

// Windows come and go while the test looks at them (a window destroyed between
// listing and reading it); such errors only mean "not there any more".
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

DesktopScreen::DesktopScreen() {
  display_ = XOpenDisplay(nullptr);
  XSetErrorHandler(IgnoreXError);
}

DesktopScreen::~DesktopScreen() {
  if (display_) XCloseDisplay(display_);
}

bool DesktopScreen::HasWindowManager() {
  return !WindowListProperty(display_, DefaultRootWindow(display_), "_NET_SUPPORTING_WM_CHECK")
              .empty();
}

std::vector<unsigned long> DesktopScreen::ClientWindows() {
  return WindowListProperty(display_, DefaultRootWindow(display_), "_NET_CLIENT_LIST");
}

std::string DesktopScreen::Title(unsigned long window) {
  char* name = nullptr;
  std::string title;
  if (XFetchName(display_, window, &name) && name) title = name;
  if (name) XFree(name);
  return title;
}

std::vector<ScreenWindow> DesktopScreen::ShownWindows(const std::string& title) {
  std::vector<ScreenWindow> shown;
  for (unsigned long id : ClientWindows()) {
    XWindowAttributes attributes;
    if (Title(id) != title || !XGetWindowAttributes(display_, id, &attributes) ||
        attributes.map_state != IsViewable)
      continue;
    ScreenWindow w;
    w.id = id;
    Window child;
    XTranslateCoordinates(display_, id, DefaultRootWindow(display_), 0, 0, &w.x, &w.y, &child);
    w.width = attributes.width;
    w.height = attributes.height;
    shown.push_back(w);
  }
  return shown;
}

int DesktopScreen::ManagedWindowCount(const std::string& title) {
  int count = 0;
  for (unsigned long id : ClientWindows()) count += Title(id) == title;
  return count;
}

uint32_t DesktopScreen::PixelAt(int x, int y) {
  XImage* image = XGetImage(display_, DefaultRootWindow(display_), x, y, 1, 1, AllPlanes, ZPixmap);
  if (!image) return 0;
  unsigned long pixel = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return static_cast<uint32_t>(pixel & 0xFFFFFF);
}

bool DesktopScreen::HasIcon(unsigned long window) {
  return !WindowListProperty(display_, window, "_NET_WM_ICON").empty();
}

Patch DesktopScreen::PatchAt(int x, int y) { return ClassifyPixel(PixelAt(x, y)); }

ScreenShot DesktopScreen::Grab(const ScreenWindow& window) {
  ScreenShot shot;
  // Only what lies on the screen can be read: a window may reach past its
  // edge (a frame above it pushes it down).
  const int screen_width = DisplayWidth(display_, DefaultScreen(display_));
  const int screen_height = DisplayHeight(display_, DefaultScreen(display_));
  const int left = std::max(window.x, 0), top = std::max(window.y, 0);
  const int width = std::min(window.x + window.width, screen_width) - left;
  const int height = std::min(window.y + window.height, screen_height) - top;
  if (width <= 0 || height <= 0) return shot;
  XImage* image = XGetImage(display_, DefaultRootWindow(display_), left, top,
                            static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes,
                            ZPixmap);
  if (!image) return shot;
  shot.x_ = left;
  shot.y_ = top;
  shot.width_ = width;
  shot.height_ = height;
  shot.pixels_.resize(static_cast<size_t>(width) * height);
  for (int row = 0; row < height; ++row)
    for (int x = 0; x < width; ++x)
      shot.pixels_[static_cast<size_t>(row) * width + x] =
          static_cast<uint32_t>(XGetPixel(image, x, row) & 0xFFFFFF);
  XDestroyImage(image);
  return shot;
}

uint32_t ScreenShot::PixelAt(int x, int y) const {
  x -= x_;
  y -= y_;
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return pixels_[static_cast<size_t>(y) * width_ + x];
}

Patch ClassifyPixel(uint32_t pixel) {
  int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  auto high = [](int c) { return c > 150; };
  auto low = [](int c) { return c < 110; };
  if (r > 190 && g > 190 && b > 190) return Patch::White;
  if (r < 70 && g < 70 && b < 70) return Patch::Black;
  if (high(r) && low(g) && low(b)) return Patch::Red;
  if (high(g) && low(r) && low(b)) return Patch::Green;
  if (high(b) && low(r) && low(g)) return Patch::Blue;
  return Patch::Other;
}

bool DesktopScreen::KeepsAbove(unsigned long window) {
  Atom above = XInternAtom(display_, "_NET_WM_STATE_ABOVE", False);
  for (unsigned long atom : WindowListProperty(display_, window, "_NET_WM_STATE"))
    if (atom == above) return true;
  return false;
}

void DesktopScreen::RequestClose(unsigned long window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display_, "_NET_CLOSE_WINDOW", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = CurrentTime;
  event.xclient.data.l[1] = 2;  // from a pager or tool, as the window manager's own close
  XSendEvent(display_, DefaultRootWindow(display_), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display_);
}

const char* PatchName(Patch patch) {
  switch (patch) {
    case Patch::Red: return "red";
    case Patch::Green: return "green";
    case Patch::Blue: return "blue";
    case Patch::White: return "white";
    case Patch::Black: return "black";
    case Patch::Other: return "other";
  }
  return "?";
}
