#include "mirror_renderer.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstring>

extern "C" {
#include <libswscale/swscale.h>
}

#include "common/debug_log.h"
#include "sdl_lock.h"

namespace {

bool IsPlanar420(int format) {
  return format == AV_PIX_FMT_YUV420P || format == AV_PIX_FMT_YUVJ420P;
}

SDL_Renderer* CreateRenderer(SDL_Window* window) {
  std::lock_guard lock(SdlLock());
  SDL_Renderer* renderer =
      SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
  if (renderer) return renderer;
  // No usable graphics driver (a virtual frame buffer, a remote desktop): the
  // software renderer still shows the picture.
  VPLog("Accelerated renderer unavailable (%s), using the software renderer", SDL_GetError());
  return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}

}  // namespace

MirrorRenderer::MirrorRenderer(SDL_Window* landscape, SDL_Window* portrait)
    : landscape_window_(landscape), portrait_window_(portrait) {}

MirrorRenderer::~MirrorRenderer() {
  std::lock_guard lock(SdlLock());
  if (landscape_texture_.texture) SDL_DestroyTexture(landscape_texture_.texture);
  if (landscape_renderer_) SDL_DestroyRenderer(landscape_renderer_);
  if (portrait_texture_.texture) SDL_DestroyTexture(portrait_texture_.texture);
  if (portrait_renderer_) SDL_DestroyRenderer(portrait_renderer_);
  sws_freeContext(converter_);
}

bool MirrorRenderer::Create(int width, int height) {
  landscape_renderer_ = CreateRenderer(landscape_window_);
  if (landscape_renderer_) portrait_renderer_ = CreateRenderer(portrait_window_);
  if (!landscape_renderer_ || !portrait_renderer_) {
    VPLog("SDL_CreateRenderer failed: %s", SDL_GetError());
    return false;
  }
  SDL_RendererInfo info{};
  if (SDL_GetRendererInfo(landscape_renderer_, &info) == 0)
    VPLog("Mirror display renders with %s", info.name);
  return EnsurePictureSize(width, height) &&
         EnsureTexture(&landscape_texture_, landscape_renderer_, width, height) &&
         EnsureTexture(&portrait_texture_, portrait_renderer_, height, width);
}

void MirrorRenderer::SetIcon(const std::string& path) {
  SDL_Surface* icon = IMG_Load(path.c_str());
  if (!icon) return;
  {
    std::lock_guard lock(SdlLock());
    SDL_SetWindowIcon(landscape_window_, icon);
    SDL_SetWindowIcon(portrait_window_, icon);
  }
  SDL_FreeSurface(icon);
}

void MirrorRenderer::ShowWaitingPicture(const std::string& path, int rotation) {
  SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
  SDL_Surface* surface = file ? SDL_LoadBMP_RW(file, 1) : nullptr;
  if (!surface) return;
  std::lock_guard lock(SdlLock());
  SDL_Renderer* renderer =
      (rotation == 1 || rotation == 3) ? portrait_renderer_ : landscape_renderer_;
  SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, surface);
  SDL_FreeSurface(surface);
  if (!texture) return;
  SDL_RenderClear(renderer);
  SDL_RenderCopy(renderer, texture, nullptr, nullptr);
  SDL_RenderPresent(renderer);
  SDL_DestroyTexture(texture);
}

void MirrorRenderer::Present(const AVFrame& picture, int rotation) {
  if (rotation == 0 && IsPlanar420(picture.format) && picture.data[0] && picture.data[1] &&
      picture.data[2]) {
    // Upright 4:2:0, the usual case: the texture takes the decoder's planes
    // as they are, which spares a copy of the whole picture.
    ShowOnly(landscape_window_, portrait_window_);
    Planes planes{{picture.data[0], picture.data[1], picture.data[2]},
                  {picture.linesize[0], picture.linesize[1], picture.linesize[2]}};
    Draw(landscape_renderer_, &landscape_texture_, planes, I420Size{picture.width, picture.height});
    return;
  }
  if (!CopyPicture(picture)) return;
  if (rotation == 1 || rotation == 3) {
    ShowOnly(portrait_window_, landscape_window_);
    if (rotation == 1)
      TurnQuarterClockwise(picture_buffer_.data(), size_, quarter_turn_buffer_.data());
    else
      TurnQuarterCounterClockwise(picture_buffer_.data(), size_, quarter_turn_buffer_.data());
    const I420Size turned{size_.height, size_.width};
    Draw(portrait_renderer_, &portrait_texture_,
         ContiguousPlanes(quarter_turn_buffer_.data(), turned), turned);
    return;
  }
  ShowOnly(landscape_window_, portrait_window_);
  const uint8_t* picture_bytes = picture_buffer_.data();
  if (rotation == 2) {
    TurnHalf(picture_buffer_.data(), size_, half_turn_buffer_.data());
    picture_bytes = half_turn_buffer_.data();
  }
  Draw(landscape_renderer_, &landscape_texture_, ContiguousPlanes(picture_bytes, size_), size_);
}

MirrorRenderer::Planes MirrorRenderer::ContiguousPlanes(const uint8_t* picture, I420Size size) {
  const uint8_t* u = picture + size.LumaBytes();
  return Planes{{picture, u, u + size.ChromaBytes()},
                {size.width, size.ChromaWidth(), size.ChromaWidth()}};
}

bool MirrorRenderer::EnsurePictureSize(int width, int height) {
  if (size_.width == width && size_.height == height) return true;
  if (width <= 0 || height <= 0) return false;
  size_ = I420Size{width, height};
  picture_buffer_.assign(size_.ByteSize(), 0);
  quarter_turn_buffer_.assign(size_.ByteSize(), 0);
  half_turn_buffer_.assign(size_.ByteSize(), 0);
  return true;
}

bool MirrorRenderer::EnsureTexture(TextureSlot* slot, SDL_Renderer* renderer, int width,
                                   int height) {
  if (slot->texture && slot->width == width && slot->height == height) return true;
  if (slot->texture) SDL_DestroyTexture(slot->texture);
  slot->texture =
      SDL_CreateTexture(renderer, SDL_PIXELFORMAT_IYUV, SDL_TEXTUREACCESS_STREAMING, width, height);
  slot->width = slot->texture ? width : 0;
  slot->height = slot->texture ? height : 0;
  if (!slot->texture) VPLog("SDL_CreateTexture %dx%d failed: %s", width, height, SDL_GetError());
  return slot->texture != nullptr;
}

// Copies the picture as contiguous I420 into the picture buffer, converting
// other sample formats first.
bool MirrorRenderer::CopyPicture(const AVFrame& picture) {
  if (!EnsurePictureSize(picture.width, picture.height)) return false;
  const uint8_t* planes[3] = {picture.data[0], picture.data[1], picture.data[2]};
  int strides[3] = {picture.linesize[0], picture.linesize[1], picture.linesize[2]};
  uint8_t* targets[3] = {picture_buffer_.data(), picture_buffer_.data() + size_.LumaBytes(),
                         picture_buffer_.data() + size_.LumaBytes() + size_.ChromaBytes()};
  const int widths[3] = {size_.width, size_.ChromaWidth(), size_.ChromaWidth()};
  const int heights[3] = {size_.height, size_.ChromaHeight(), size_.ChromaHeight()};
  if (!IsPlanar420(picture.format)) {
    converter_ = sws_getCachedContext(
        converter_, picture.width, picture.height, static_cast<AVPixelFormat>(picture.format),
        picture.width, picture.height, AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!converter_) return false;
    int target_strides[3] = {widths[0], widths[1], widths[2]};
    return sws_scale(converter_, picture.data, picture.linesize, 0, picture.height, targets,
                     target_strides) > 0;
  }
  for (int p = 0; p < 3; ++p) {
    if (!planes[p]) return false;
    for (int row = 0; row < heights[p]; ++row)
      std::memcpy(targets[p] + static_cast<size_t>(row) * widths[p],
                  planes[p] + static_cast<ptrdiff_t>(row) * strides[p], widths[p]);
  }
  return true;
}

void MirrorRenderer::ShowOnly(SDL_Window* shown, SDL_Window* hidden) {
  std::lock_guard lock(SdlLock());
  if (!(SDL_GetWindowFlags(hidden) & SDL_WINDOW_HIDDEN)) {
    // The window manager forgets the state of a window it no longer shows;
    // clearing it here keeps SDL's idea of it the same, so that showing the
    // window again asks for it anew.
    SDL_SetWindowAlwaysOnTop(hidden, SDL_FALSE);
    SDL_HideWindow(hidden);
  }
  if (SDL_GetWindowFlags(shown) & SDL_WINDOW_HIDDEN) SDL_ShowWindow(shown);
  // Kept above other windows with every picture; SDL only talks to the window
  // manager when the state changes.
  SDL_SetWindowAlwaysOnTop(shown, SDL_TRUE);
}

void MirrorRenderer::Draw(SDL_Renderer* renderer, TextureSlot* slot, const Planes& planes,
                          I420Size size) {
  // Held for the whole draw: the event thread's window events reach the
  // renderer's state (viewport, window surface) through SDL's event watch.
  std::lock_guard lock(SdlLock());
  if (!EnsureTexture(slot, renderer, size.width, size.height)) return;
  SDL_UpdateYUVTexture(slot->texture, nullptr, planes.data[0], planes.pitch[0], planes.data[1],
                       planes.pitch[1], planes.data[2], planes.pitch[2]);
  SDL_RenderClear(renderer);
  SDL_RenderCopy(renderer, slot->texture, nullptr, nullptr);
  SDL_RenderPresent(renderer);
}
