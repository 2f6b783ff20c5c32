#include "x_display.h"

#include "platform/display.h"

#include <X11/extensions/Xrandr.h>

#include <memory>
#include <mutex>

namespace platform {
namespace {

struct DisplayCloser {
  void operator()(Display* display) const { XCloseDisplay(display); }
};

bool CrtcArea(Display* display, XRRScreenResources* resources, RRCrtc crtc, ScreenRect* area) {
  if (crtc == 0) return false;
  XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, crtc);
  if (!info) return false;
  const bool active = info->width > 0 && info->height > 0;
  if (active) *area = {info->x, info->y, static_cast<int>(info->width),
                       static_cast<int>(info->height)};
  XRRFreeCrtcInfo(info);
  return active;
}

bool OutputArea(Display* display, XRRScreenResources* resources, RROutput output,
                ScreenRect* area) {
  XRROutputInfo* info = XRRGetOutputInfo(display, resources, output);
  if (!info) return false;
  const bool found = CrtcArea(display, resources, info->crtc, area);
  XRRFreeOutputInfo(info);
  return found;
}

// The primary output's area; without one, the first active output's.
bool RandrPrimaryArea(Display* display, Window root, ScreenRect* area) {
  int event_base = 0, error_base = 0;
  if (!XRRQueryExtension(display, &event_base, &error_base)) return false;
  XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
  if (!resources) return false;
  bool found = false;
  if (RROutput primary = XRRGetOutputPrimary(display, root))
    found = OutputArea(display, resources, primary, area);
  for (int i = 0; !found && i < resources->noutput; ++i)
    found = OutputArea(display, resources, resources->outputs[i], area);
  XRRFreeScreenResources(resources);
  return found;
}

}  // namespace

Display* ThreadDisplay() {
  thread_local std::unique_ptr<Display, DisplayCloser> display;
  thread_local bool tried = false;
  if (!tried) {
    tried = true;
    InitDisplayThreads();
    display.reset(XOpenDisplay(nullptr));
  }
  return display.get();
}

void QueryScreenAreas(Display* display, ScreenRect* primary, ScreenRect* virtual_desk) {
  const int screen = DefaultScreen(display);
  const Window root = RootWindow(display, screen);
  *virtual_desk = {0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
  if (!RandrPrimaryArea(display, root, primary)) *primary = *virtual_desk;
}

}  // namespace platform
