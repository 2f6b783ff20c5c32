#include "platform/input.h"

#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstdlib>

#include "x_display.h"

namespace platform {
namespace {

constexpr unsigned kButtonLeft = 1, kButtonMiddle = 2, kButtonRight = 3;
constexpr unsigned kButtonWheelUp = 4, kButtonWheelDown = 5;
constexpr unsigned kButtonWheelLeft = 6, kButtonWheelRight = 7;

// 0..65535 spans the area: 0 is its first pixel, 65535 its last.
int Denormalise(int32_t value, int origin, int extent) {
  const int64_t clamped = std::clamp<int64_t>(value, 0, 65535);
  return origin + static_cast<int>(clamped * extent / 65536);
}

void Move(Display* display, uint32_t flags, int32_t dx, int32_t dy) {
  if (!(flags & kMouseEventAbsolute)) {
    XTestFakeRelativeMotionEvent(display, dx, dy, CurrentTime);
    return;
  }
  ScreenRect primary, desk;
  QueryScreenAreas(display, &primary, &desk);
  const ScreenRect& area = (flags & kMouseEventVirtualDesk) ? desk : primary;
  XTestFakeMotionEvent(display, -1, Denormalise(dx, area.x, area.width),
                       Denormalise(dy, area.y, area.height), CurrentTime);
}

void Click(Display* display, unsigned button) {
  XTestFakeButtonEvent(display, button, True, CurrentTime);
  XTestFakeButtonEvent(display, button, False, CurrentTime);
}

// Whole notches are sent as button clicks; the rest waits for the next call.
void Wheel(Display* display, int32_t data, int32_t* remainder, unsigned positive,
           unsigned negative) {
  *remainder += data;
  const int notches = *remainder / kWheelDelta;
  *remainder -= notches * kWheelDelta;
  for (int i = 0; i < std::abs(notches); ++i) Click(display, notches > 0 ? positive : negative);
}

}  // namespace

void SendMouseInput(uint32_t flags, int32_t dx, int32_t dy, int32_t data) {
  Display* display = ThreadDisplay();
  if (!display) return;
  thread_local int32_t wheel_rest = 0;
  thread_local int32_t hwheel_rest = 0;
  if (flags & kMouseEventMove) Move(display, flags, dx, dy);
  if (flags & kMouseEventLeftDown) XTestFakeButtonEvent(display, kButtonLeft, True, CurrentTime);
  if (flags & kMouseEventLeftUp) XTestFakeButtonEvent(display, kButtonLeft, False, CurrentTime);
  if (flags & kMouseEventRightDown) XTestFakeButtonEvent(display, kButtonRight, True, CurrentTime);
  if (flags & kMouseEventRightUp) XTestFakeButtonEvent(display, kButtonRight, False, CurrentTime);
  if (flags & kMouseEventMiddleDown)
    XTestFakeButtonEvent(display, kButtonMiddle, True, CurrentTime);
  if (flags & kMouseEventMiddleUp) XTestFakeButtonEvent(display, kButtonMiddle, False, CurrentTime);
  if (flags & kMouseEventWheel) Wheel(display, data, &wheel_rest, kButtonWheelUp, kButtonWheelDown);
  if (flags & kMouseEventHWheel)
    Wheel(display, data, &hwheel_rest, kButtonWheelRight, kButtonWheelLeft);
  XFlush(display);
}

void SendKeyInput(uint8_t virtual_key, uint8_t /*scan_code*/, uint32_t flags) {
  const uint32_t keysym = VirtualKeyToKeysym(virtual_key);
  if (keysym == 0) return;
  Display* display = ThreadDisplay();
  if (!display) return;
  const KeyCode keycode = XKeysymToKeycode(display, keysym);
  if (keycode == 0) return;
  XTestFakeKeyEvent(display, keycode, (flags & kKeyEventKeyUp) ? False : True, CurrentTime);
  XFlush(display);
}

}  // namespace platform
