// Turning contiguous I420 pictures (Y plane, then U, then V) to match the
// device's rotation. A picture of W x H has chroma planes of
// ceil(W/2) x ceil(H/2), the layout the decoder and the textures use, so odd
// sizes turn without losing or misplacing a row or column.
#pragma once

#include <cstddef>
#include <cstdint>

struct I420Size {
  int width = 0;
  int height = 0;

  int ChromaWidth() const { return (width + 1) / 2; }
  int ChromaHeight() const { return (height + 1) / 2; }
  size_t LumaBytes() const { return static_cast<size_t>(width) * height; }
  size_t ChromaBytes() const { return static_cast<size_t>(ChromaWidth()) * ChromaHeight(); }
  size_t ByteSize() const { return LumaBytes() + 2 * ChromaBytes(); }
};

// Device rotation 1: a quarter turn clockwise. The target is H x W; its row r
// is source column r read from the bottom row up.
void TurnQuarterClockwise(const uint8_t* source, I420Size size, uint8_t* target);

// Device rotation 3: a quarter turn counter-clockwise. The target is H x W;
// its row r is source column W - 1 - r read from the top row down.
void TurnQuarterCounterClockwise(const uint8_t* source, I420Size size, uint8_t* target);

// Device rotation 2: a half turn; each plane in reverse byte order.
void TurnHalf(const uint8_t* source, I420Size size, uint8_t* target);
