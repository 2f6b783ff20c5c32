// The clipboard is served by one thread with a display connection and a
// hidden window of its own. Callers hand it the text and wait until it owns
// the selection; from then on it answers every paste request until another
// program takes the selection.
#include "platform/clipboard.h"

#include "platform/display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "platform/text.h"
#include "x_display.h"

namespace platform {
namespace {

constexpr auto kOwnWait = std::chrono::seconds(5);

class ClipboardOwner {
 public:
  static ClipboardOwner& Instance() {
    static ClipboardOwner* owner = new ClipboardOwner();  // serves to the end of the process
    return *owner;
  }

  bool Set(std::string text) {
    std::unique_lock lock(lock_);
    if (!display_) return false;
    pending_text_ = std::move(text);
    const uint64_t ticket = ++requested_;
    const uint64_t one = 1;
    if (write(wake_fd_, &one, sizeof one) != sizeof one) return false;
    if (!answered_cv_.wait_for(lock, kOwnWait, [&] { return answered_ >= ticket; })) return false;
    return last_result_;
  }

 private:
  ClipboardOwner() {
    InitDisplayThreads();
    display_ = XOpenDisplay(nullptr);
    if (!display_) return;
    XSetWindowAttributes attributes{};
    attributes.event_mask = PropertyChangeMask;
    window_ = XCreateWindow(display_, DefaultRootWindow(display_), -10, -10, 1, 1, 0,
                            CopyFromParent, InputOnly, CopyFromParent, CWEventMask, &attributes);
    clipboard_ = XInternAtom(display_, "CLIPBOARD", False);
    utf8_ = XInternAtom(display_, "UTF8_STRING", False);
    text_ = XInternAtom(display_, "TEXT", False);
    targets_ = XInternAtom(display_, "TARGETS", False);
    stamp_ = XInternAtom(display_, "VELAPORT_CLIPBOARD_TIME", False);
    // Longest property one request can set (request sizes count 4-byte units),
    // less the request's own header.
    const long units = XExtendedMaxRequestSize(display_) ? XExtendedMaxRequestSize(display_)
                                                         : XMaxRequestSize(display_);
    max_bytes_ = static_cast<size_t>(units) * 4 - 64;
    XSync(display_, False);
    wake_fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    std::thread([this] { Serve(); }).detach();
  }

  void Serve() {
    pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wake_fd_, POLLIN, 0}};
    for (;;) {
      while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        HandleEvent(event);
      }
      if (poll(fds, 2, -1) < 0) continue;
      if (fds[1].revents & POLLIN) TakePendingText();
    }
  }

  void TakePendingText() {
    uint64_t count = 0;
    if (read(wake_fd_, &count, sizeof count) < 0) return;
    std::string text;
    uint64_t ticket = 0;
    {
      std::lock_guard lock(lock_);
      text = std::move(pending_text_);
      ticket = requested_;
    }
    const bool owned = TakeSelection();
    if (owned) served_ = std::move(text);
    std::lock_guard lock(lock_);
    last_result_ = owned;
    answered_ = ticket;
    answered_cv_.notify_all();
  }

  // Selection ownership needs a real server time, not CurrentTime: a zero-length
  // append to our own window yields one.
  bool TakeSelection() {
    XChangeProperty(display_, window_, stamp_, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XEvent event;
    XIfEvent(display_, &event, IsStampEvent, reinterpret_cast<XPointer>(this));
    XSetSelectionOwner(display_, clipboard_, window_, event.xproperty.time);
    owned_since_ = event.xproperty.time;
    owned_ = XGetSelectionOwner(display_, clipboard_) == window_;
    return owned_;
  }

  static Bool IsStampEvent(Display*, XEvent* event, XPointer self_pointer) {
    auto* self = reinterpret_cast<ClipboardOwner*>(self_pointer);
    return event->type == PropertyNotify && event->xproperty.window == self->window_ &&
           event->xproperty.atom == self->stamp_;
  }

  void HandleEvent(const XEvent& event) {
    if (event.type == SelectionClear && event.xselectionclear.selection == clipboard_) {
      owned_ = false;  // another program holds the clipboard now
      served_.clear();
    } else if (event.type == SelectionRequest) {
      Answer(event.xselectionrequest);
    }
  }

  void Answer(const XSelectionRequestEvent& request) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = request.display;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = None;
    // Old clients name no property; they expect the target's name to be used.
    const Atom property = request.property != None ? request.property : request.target;
    const bool ours = owned_ && request.selection == clipboard_ &&
                      (request.time == CurrentTime || request.time >= owned_since_);
    if (ours && request.target == targets_) {
      const Atom offered[] = {targets_, utf8_, text_, XA_STRING};
      XChangeProperty(display_, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(offered), 4);
      reply.property = property;
    } else if (ours && (request.target == utf8_ || request.target == text_) &&
               served_.size() <= max_bytes_) {
      XChangeProperty(display_, request.requestor, property, utf8_, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(served_.data()),
                      static_cast<int>(served_.size()));
      reply.property = property;
    } else if (ours && request.target == XA_STRING) {
      std::string latin1;
      if (ToLatin1(served_, &latin1) && latin1.size() <= max_bytes_) {
        XChangeProperty(display_, request.requestor, property, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(latin1.data()),
                        static_cast<int>(latin1.size()));
        reply.property = property;
      }
    }
    XSendEvent(display_, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XFlush(display_);
  }

  // STRING is Latin-1; texts with other characters are offered as UTF8_STRING only.
  static bool ToLatin1(const std::string& utf8, std::string* latin1) {
    for (char16_t unit : Utf8ToUtf16(utf8)) {
      if (unit > 0xFF) return false;
      latin1->push_back(static_cast<char>(unit));
    }
    return true;
  }

  Display* display_ = nullptr;
  Window window_ = 0;
  Atom clipboard_ = 0, utf8_ = 0, text_ = 0, targets_ = 0, stamp_ = 0;
  size_t max_bytes_ = 0;
  int wake_fd_ = -1;

  // Owned by the serving thread.
  std::string served_;
  bool owned_ = false;
  Time owned_since_ = 0;

  std::mutex lock_;  // guards the hand-over below
  std::condition_variable answered_cv_;
  std::string pending_text_;
  uint64_t requested_ = 0;
  uint64_t answered_ = 0;
  bool last_result_ = false;
};

}  // namespace

bool SetClipboardText(std::string_view utf8) {
  return ClipboardOwner::Instance().Set(MakeValidUtf8(utf8));
}

}  // namespace platform
