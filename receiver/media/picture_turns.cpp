#include "picture_turns.h"

#include <algorithm>

namespace {

// One plane of width x height into a plane of height x width.
void PlaneClockwise(const uint8_t* source, int width, int height, uint8_t* target) {
  for (int r = 0; r < width; ++r) {
    uint8_t* row = target + static_cast<size_t>(r) * height;
    for (int i = 0; i < height; ++i)
      row[i] = source[static_cast<size_t>(height - 1 - i) * width + r];
  }
}

void PlaneCounterClockwise(const uint8_t* source, int width, int height, uint8_t* target) {
  for (int r = 0; r < width; ++r) {
    uint8_t* row = target + static_cast<size_t>(r) * height;
    const int column = width - 1 - r;
    for (int i = 0; i < height; ++i) row[i] = source[static_cast<size_t>(i) * width + column];
  }
}

template <typename PlaneTurn>
void TurnPlanes(const uint8_t* source, I420Size size, uint8_t* target, PlaneTurn turn) {
  turn(source, size.width, size.height, target);
  const uint8_t* source_u = source + size.LumaBytes();
  uint8_t* target_u = target + size.LumaBytes();
  turn(source_u, size.ChromaWidth(), size.ChromaHeight(), target_u);
  turn(source_u + size.ChromaBytes(), size.ChromaWidth(), size.ChromaHeight(),
       target_u + size.ChromaBytes());
}

}  // namespace

void TurnQuarterClockwise(const uint8_t* source, I420Size size, uint8_t* target) {
  TurnPlanes(source, size, target, PlaneClockwise);
}

void TurnQuarterCounterClockwise(const uint8_t* source, I420Size size, uint8_t* target) {
  TurnPlanes(source, size, target, PlaneCounterClockwise);
}

void TurnHalf(const uint8_t* source, I420Size size, uint8_t* target) {
  TurnPlanes(source, size, target, [](const uint8_t* from, int width, int height, uint8_t* to) {
    const size_t bytes = static_cast<size_t>(width) * height;
    std::reverse_copy(from, from + bytes, to);
  });
}
