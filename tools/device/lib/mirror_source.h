// The device's side of screen mirroring: H.264 access units from a live,
// x264-encoded test pattern or from a file, sent as length-prefixed chunks to
// the receiver's mirror stream port.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/socket.h"

typedef struct x264_t x264_t;

namespace device {

using Chunk = std::vector<uint8_t>;

// The test pattern: four quadrants of red (top left), green (top right),
// blue (bottom left) and white (bottom right), so that every turn of the
// picture can be told apart, and a dark bar crossing the middle band from left
// to right so that every picture differs from the last.
struct PatternColour {
  uint8_t y, u, v;
};
inline constexpr PatternColour kPatternRed{81, 90, 240};
inline constexpr PatternColour kPatternGreen{145, 54, 34};
inline constexpr PatternColour kPatternBlue{41, 240, 110};
inline constexpr PatternColour kPatternWhite{235, 128, 128};

// Where picture number `index` of width x height draws the bar: columns
// [left, right) of rows [top, bottom). Tests tell pictures apart by it.
struct PatternBar {
  int left, right, top, bottom;
};
PatternBar TestPatternBar(int width, int height, int index);

// Draws picture number `index` into I420 planes of width x height (chroma
// planes (width+1)/2 x (height+1)/2, rows packed).
void DrawTestPattern(int width, int height, int index, uint8_t* y, uint8_t* u, uint8_t* v);

class TestPatternEncoder {
 public:
  TestPatternEncoder() = default;
  TestPatternEncoder(const TestPatternEncoder&) = delete;
  TestPatternEncoder& operator=(const TestPatternEncoder&) = delete;
  ~TestPatternEncoder();

  // Low-latency encoding (no picture delay, parameter sets before every key
  // picture, a key picture every two seconds). Width and height must be even.
  // preset is an x264 preset name ("ultrafast", "veryfast" ...).
  bool Open(int width, int height, int fps, const std::string& preset = "ultrafast");
  // Encodes the next pattern picture into one chunk (one access unit).
  bool EncodeNext(Chunk* chunk);
  // The next picture is a key picture.
  void ForceKeyFrame() { force_key_ = true; }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  x264_t* encoder_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int64_t index_ = 0;
  bool force_key_ = false;
  std::vector<uint8_t> planes_;
};

// Cuts an Annex B byte stream into access units: a new unit starts at an
// access unit delimiter, or at parameter sets, SEI or the first slice of a
// picture that follow a picture's slices.
std::vector<Chunk> SplitAccessUnits(const std::vector<uint8_t>& stream);

// Reads an Annex B file (".h264") as access units; false when unreadable.
bool ReadH264File(const std::string& path, std::vector<Chunk>* chunks);

// One mirror stream connection to the receiver.
class ChunkSender {
 public:
  // 0 when connected, otherwise the socket error code.
  int Connect(const std::string& address, uint16_t port, uint32_t timeout_ms = 5000);
  // Sends the 4-byte big-endian length and the bytes.
  bool Send(const Chunk& chunk);
  // Sends raw bytes, for streams that break the framing on purpose.
  bool SendRaw(const void* data, size_t size);
  void Close() { socket_.Close(); }

 private:
  platform::Socket socket_;
};

}  // namespace device
