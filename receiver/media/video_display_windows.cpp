// The visible half of VPVideoDisplay: WindowThread, RenderThread and
// SdlEventThread.
#include <SDL.h>

#include <chrono>

#include "common/debug_log.h"
#include "display_probe.h"
#include "mirror_renderer.h"
#include "platform/system.h"
#include "sdl_lock.h"
#include "vp_video_display.h"
#include "window_geometry.h"

namespace {

constexpr const char* kWindowTitle = "Velaport_VideoShow";
// How often the event thread looks for SDL events when there are none.
constexpr auto kEventPollInterval = std::chrono::milliseconds(10);

bool IsPortrait(int rotation) { return rotation == 1 || rotation == 3; }

SDL_Window* CreateMirrorWindow(const WindowRect& rect, bool positioned, bool shown) {
  Uint32 flags = shown ? (SDL_WINDOW_SHOWN | SDL_WINDOW_ALWAYS_ON_TOP) : SDL_WINDOW_HIDDEN;
  int x = positioned ? rect.x : SDL_WINDOWPOS_UNDEFINED;
  int y = positioned ? rect.y : SDL_WINDOWPOS_UNDEFINED;
  // Made for OpenGL when it is there, so that the accelerated renderer can use
  // the window as it is; without it the software renderer draws into it.
  SDL_Window* window =
      SDL_CreateWindow(kWindowTitle, x, y, rect.width, rect.height, flags | SDL_WINDOW_OPENGL);
  if (!window) window = SDL_CreateWindow(kWindowTitle, x, y, rect.width, rect.height, flags);
  if (!window) VPLog("SDL_CreateWindow failed: %s", SDL_GetError());
  return window;
}

}  // namespace

bool VPVideoDisplay::CreateWindows() {
  std::lock_guard lock(SdlLock());
  SDL_Rect screen{}, usable{};
  if (SDL_GetDisplayBounds(0, &screen) != 0) return false;
  // The work area as the window manager publishes it; the whole screen when none does.
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = screen;
  WindowRect landscape = LandscapeWindowRect({usable.x, usable.y, usable.w, usable.h});
  WindowRect portrait = PortraitWindowRect(screen.w, screen.h);
  portrait.x += screen.x;
  portrait.y += screen.y;
  const bool portrait_shown = IsPortrait(rotation_);
  if (portrait_shown) {
    landscape_window_ = CreateMirrorWindow(landscape, false, false);
    portrait_window_ = landscape_window_ ? CreateMirrorWindow(portrait, true, true) : nullptr;
  } else {
    portrait_window_ = CreateMirrorWindow(portrait, true, false);
    landscape_window_ = portrait_window_ ? CreateMirrorWindow(landscape, false, true) : nullptr;
  }
  return landscape_window_ && portrait_window_;
}

void VPVideoDisplay::DestroyWindows() {
  std::lock_guard lock(SdlLock());
  if (landscape_window_) SDL_DestroyWindow(landscape_window_);
  if (portrait_window_) SDL_DestroyWindow(portrait_window_);
  landscape_window_ = nullptr;
  portrait_window_ = nullptr;
}

void VPVideoDisplay::WindowThread() {
  creation_result_ = CreateWindows();
  windows_ready_.Set();
  // The windows' messages are read by SdlEventThread (SDL has one event queue
  // per process); this thread holds the windows until Stop releases it.
  windows_release_.Wait();
}

void VPVideoDisplay::RenderThread() {
  const std::string folder = platform::ProgramFolder();
  MirrorRenderer renderer(landscape_window_, portrait_window_);
  renderer.SetIcon(folder + "/logo.png");
  if (!renderer.Create(width_, height_)) {
    creation_result_ = false;
    renderer_ready_.Set();
    return;
  }
  creation_result_ = true;
  renderer_ready_.Set();
  renderer.ShowWaitingPicture(folder + "/sdl_wait.bmp", rotation_);
  std::shared_ptr<PictureQueue> pictures;
  {
    std::lock_guard lock(queues_lock_);
    pictures = picture_queue_;
  }
  while (running_) {
    PicturePtr picture;
    if (!pictures->Pop(picture)) continue;
    renderer.Present(*picture, rotation_);
    if (probe_) probe_->OnPicturePresented(picture->pts);
  }
  // The renderer's textures and renderers go with it, on this thread.
}

void VPVideoDisplay::SdlEventThread() {
  for (;;) {
    SDL_Event event;
    int got;
    {
      std::lock_guard lock(SdlLock());
      SDL_PumpEvents();
      got = SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    if (got < 0) {
      VPLog("SDL event wait failed: %s", SDL_GetError());
      return;
    }
    if (got == 0) {
      std::this_thread::sleep_for(kEventPollInterval);
      continue;
    }
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE) {
      StopRequest request;
      {
        std::lock_guard lock(seams_lock_);
        request = stop_request_;
      }
      if (request) request();
    }
  }
}
