// Draws the mirror windows' artwork: the window icon "logo.png" and the
// waiting picture "sdl_wait.bmp", written into the folder given as argument.
#include <SDL.h>
#include <SDL_image.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

struct Colour {
  Uint8 r, g, b, a;
};

void Put(SDL_Surface* s, int x, int y, Colour c) {
  if (x < 0 || y < 0 || x >= s->w || y >= s->h) return;
  auto* row = static_cast<Uint8*>(s->pixels) + static_cast<size_t>(y) * s->pitch;
  reinterpret_cast<Uint32*>(row)[x] = SDL_MapRGBA(s->format, c.r, c.g, c.b, c.a);
}

// Distance from (px, py) to the segment (ax, ay)-(bx, by).
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  double dx = bx - ax, dy = by - ay;
  double t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
  t = t < 0 ? 0 : t > 1 ? 1 : t;
  return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// Inside a rectangle with rounded corners of radius r.
bool InRoundedRect(double x, double y, double left, double top, double right, double bottom,
                   double r) {
  if (x < left || x > right || y < top || y > bottom) return false;
  double cx = x < left + r ? left + r : x > right - r ? right - r : x;
  double cy = y < top + r ? top + r : y > bottom - r ? bottom - r : y;
  return std::hypot(x - cx, y - cy) <= r;
}

// A teal tile with a white "V" whose right arm ends in a dot: a picture
// arriving at the receiver.
SDL_Surface* DrawLogo() {
  const int size = 64;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_RGBA32);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double px = x + 0.5, py = y + 0.5;
      Colour c{0, 0, 0, 0};
      if (InRoundedRect(px, py, 2, 2, 62, 62, 12)) {
        Uint8 shade = static_cast<Uint8>(120 + py);
        c = Colour{16, shade, static_cast<Uint8>(shade - 20), 255};
        bool arm = SegmentDistance(px, py, 16, 18, 31, 47) < 4.5 ||
                   SegmentDistance(px, py, 31, 47, 44, 22) < 4.5;
        if (arm || std::hypot(px - 48, py - 16) < 6) c = Colour{255, 255, 255, 255};
      }
      Put(s, x, y, c);
    }
  }
  return s;
}

// A dark slate field with an upright phone outline and three dots beneath:
// the device's picture is on its way.
SDL_Surface* DrawWaitingPicture() {
  const int w = 640, h = 360;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      double px = x + 0.5, py = y + 0.5;
      Uint8 base = static_cast<Uint8>(28 + 20 * py / h);
      Colour c{base, static_cast<Uint8>(base + 8), static_cast<Uint8>(base + 22), 255};
      bool outer = InRoundedRect(px, py, 275, 70, 365, 230, 14);
      bool inner = InRoundedRect(px, py, 282, 84, 358, 212, 6);
      if (outer && !inner) c = Colour{220, 230, 235, 255};
      if (std::hypot(px - 320, py - 221) < 4) c = Colour{28, 36, 50, 255};
      for (int dot = 0; dot < 3; ++dot)
        if (std::hypot(px - (296 + dot * 24), py - 275) < 6) c = Colour{40, 190, 170, 255};
      Put(s, x, y, c);
    }
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  SDL_Surface* logo = DrawLogo();
  SDL_Surface* waiting = DrawWaitingPicture();
  bool ok = logo && waiting && IMG_SavePNG(logo, (folder + "/logo.png").c_str()) == 0 &&
            SDL_SaveBMP(waiting, (folder + "/sdl_wait.bmp").c_str()) == 0;
  if (!ok) std::fprintf(stderr, "artwork not written: %s\n", SDL_GetError());
  SDL_FreeSurface(logo);
  SDL_FreeSurface(waiting);
  return ok ? 0 : 1;
}
