// The TCP 7991 frame assembler under arbitrary streams and arbitrary receive
// cuts: the packets must not depend on where the stream was cut, and every
// packet must fit the assembly buffer.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "receiver/link/frame_assembler.h"

namespace {

struct Result {
  std::vector<std::unique_ptr<Packet>> packets;
  bool in_step = true;
};

Result FeedInPieces(const uint8_t* data, size_t size, const uint8_t* cuts, size_t cut_count) {
  Result result;
  FrameAssembler assembler;
  size_t at = 0, cut = 0;
  while (at < size && result.in_step) {
    size_t piece = cut_count ? 1 + cuts[cut++ % cut_count] % 64 : size;
    if (piece > size - at) piece = size - at;
    result.in_step = assembler.Feed(data + at, piece, &result.packets);
    at += piece;
  }
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // First byte: how many of the following bytes steer the receive cuts.
  const size_t cut_count = data[0] % 16;
  if (size < 1 + cut_count) return 0;
  const uint8_t* cuts = data + 1;
  const uint8_t* stream = data + 1 + cut_count;
  const size_t stream_size = size - 1 - cut_count;

  Result whole = FeedInPieces(stream, stream_size, nullptr, 0);
  Result pieces = FeedInPieces(stream, stream_size, cuts, cut_count);
  if (whole.in_step != pieces.in_step || whole.packets.size() != pieces.packets.size()) abort();
  for (size_t i = 0; i < whole.packets.size(); ++i) {
    if (whole.packets[i]->kind != pieces.packets[i]->kind) abort();
    if (whole.packets[i]->payload != pieces.packets[i]->payload) abort();
    if (whole.packets[i]->payload.size() > FrameAssembler::kBufferSize - 3) abort();
  }
  return 0;
}
