// A test window that covers the whole screen, takes the keyboard focus and
// prints one line on standard output for each input event it receives:
//   ready
//   motion X Y                      (root coordinates)
//   button_press B X Y / button_release B X Y
//   key_press NAME / key_release NAME   (the key's unshifted keysym name)
//   paste HEX                       (on Ctrl+V: the CLIPBOARD text, UTF-8 as hex)
//   paste_failed
// Ends when standard input closes.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

void Print(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

std::string Hex(const unsigned char* data, unsigned long size) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned long i = 0; i < size; ++i) {
    hex += kDigits[data[i] >> 4];
    hex += kDigits[data[i] & 0xF];
  }
  return hex;
}

Bool IsSelectionNotify(Display*, XEvent* event, XPointer) {
  return event->type == SelectionNotify;
}

void PrintClipboard(Display* display, Window window, Time time) {
  const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  const Atom property = XInternAtom(display, "RECORDER_PASTE", False);
  XConvertSelection(display, clipboard, utf8, property, window, time);
  XEvent event;
  XIfEvent(display, &event, IsSelectionNotify, nullptr);
  if (event.xselection.property == None) {
    Print("paste_failed");
    return;
  }
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  XGetWindowProperty(display, window, property, 0, 1 << 20, True, AnyPropertyType, &type,
                     &format, &count, &after, &data);
  Print("paste " + Hex(data, data ? count : 0));
  if (data) XFree(data);
}

std::string KeyName(XKeyEvent* event) {
  const KeySym keysym = XLookupKeysym(event, 0);
  const char* name = XKeysymToString(keysym);
  return name ? name : "NoSymbol";
}

}  // namespace

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "no display\n");
    return 1;
  }
  const int screen = DefaultScreen(display);
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixel = WhitePixel(display, screen);
  attributes.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                          PointerMotionMask | StructureNotifyMask | FocusChangeMask;
  const Window window = XCreateWindow(
      display, RootWindow(display, screen), 0, 0, DisplayWidth(display, screen),
      DisplayHeight(display, screen), 0, CopyFromParent, InputOutput, CopyFromParent,
      CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
  XMapRaised(display, window);
  XFlush(display);

  bool mapped = false, focused = false;
  pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
  for (;;) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      switch (event.type) {
        case MapNotify:
          mapped = true;
          XSetInputFocus(display, window, RevertToParent, CurrentTime);
          break;
        case FocusIn:
          if (mapped && !focused) Print("ready");
          focused = true;
          break;
        case FocusOut:
          // Keep the keyboard: the tests type into this window only.
          focused = false;
          XSetInputFocus(display, window, RevertToParent, CurrentTime);
          break;
        case MotionNotify:
          Print("motion " + std::to_string(event.xmotion.x_root) + " " +
                std::to_string(event.xmotion.y_root));
          break;
        case ButtonPress:
        case ButtonRelease:
          Print(std::string(event.type == ButtonPress ? "button_press " : "button_release ") +
                std::to_string(event.xbutton.button) + " " + std::to_string(event.xbutton.x_root) +
                " " + std::to_string(event.xbutton.y_root));
          break;
        case KeyPress:
        case KeyRelease: {
          const std::string name = KeyName(&event.xkey);
          Print((event.type == KeyPress ? "key_press " : "key_release ") + name);
          if (event.type == KeyPress && name == "v" && (event.xkey.state & ControlMask))
            PrintClipboard(display, window, event.xkey.time);
          break;
        }
        default:
          break;
      }
    }
    if (poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents) {
      char buffer[64];
      if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0) break;
    }
  }
  XCloseDisplay(display);
  return 0;
}
