// What the render thread owns: one renderer and one streaming IYUV texture per
// mirror window, and the picture buffers the pictures are copied and turned
// in. Created, used and destroyed on the render thread only.
//
// Pictures whose size differs from the size announced by the device make the
// buffers and textures follow the picture (a device may change its encoding
// size in the middle of a stream); nothing is ever copied past a buffer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "decoded_picture.h"
#include "picture_turns.h"

struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Window;
struct SwsContext;

class MirrorRenderer {
 public:
  MirrorRenderer(SDL_Window* landscape, SDL_Window* portrait);
  MirrorRenderer(const MirrorRenderer&) = delete;
  MirrorRenderer& operator=(const MirrorRenderer&) = delete;
  ~MirrorRenderer();

  // Renderers (accelerated and synchronised with the refresh, else software)
  // and textures for pictures of width x height. False when any fails.
  bool Create(int width, int height);
  // Sets logo.png from the program's folder as both windows' icon.
  void SetIcon(const std::string& path);
  // Fills the window for the rotation with sdl_wait.bmp, when it can be read.
  void ShowWaitingPicture(const std::string& path, int rotation);
  // Copies, turns and presents one picture in the window for the rotation.
  void Present(const AVFrame& picture, int rotation);

 private:
  bool EnsurePictureSize(int width, int height);
  struct TextureSlot {
    SDL_Texture* texture = nullptr;
    int width = 0;
    int height = 0;
  };
  bool EnsureTexture(TextureSlot* slot, SDL_Renderer* renderer, int width, int height);
  // The three planes of a picture to draw, each with its row pitch.
  struct Planes {
    const uint8_t* data[3];
    int pitch[3];
  };
  static Planes ContiguousPlanes(const uint8_t* picture, I420Size size);
  bool CopyPicture(const AVFrame& picture);
  void ShowOnly(SDL_Window* shown, SDL_Window* hidden);
  void Draw(SDL_Renderer* renderer, TextureSlot* slot, const Planes& planes, I420Size size);

  SDL_Window* landscape_window_;
  SDL_Window* portrait_window_;
  SDL_Renderer* landscape_renderer_ = nullptr;
  SDL_Renderer* portrait_renderer_ = nullptr;
  TextureSlot landscape_texture_;
  TextureSlot portrait_texture_;

  I420Size size_;
  std::vector<uint8_t> picture_buffer_;
  std::vector<uint8_t> quarter_turn_buffer_;
  std::vector<uint8_t> half_turn_buffer_;
  SwsContext* converter_ = nullptr;  // for pictures not in 8-bit 4:2:0
};
