#include "frame_assembler.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kHeaderSize = 2;  // the length bytes
constexpr size_t kMinFrame = 3;    // length bytes and kind byte, empty payload

}  // namespace

bool FrameAssembler::Feed(const uint8_t* data, size_t size,
                          std::vector<std::unique_ptr<Packet>>* out) {
  if (broken_) return false;
  while (size > 0) {
    if (assembled_ < kHeaderSize) {
      size_t take = std::min(kHeaderSize - assembled_, size);
      std::memcpy(buffer_ + assembled_, data, take);
      assembled_ += take;
      data += take;
      size -= take;
      if (assembled_ < kHeaderSize) break;
    }
    const size_t total = (static_cast<size_t>(buffer_[0]) << 8) | buffer_[1];
    if (total < kMinFrame || total > kBufferSize) {
      broken_ = true;
      return false;
    }
    size_t take = std::min(total - assembled_, size);
    std::memcpy(buffer_ + assembled_, data, take);
    assembled_ += take;
    data += take;
    size -= take;
    if (assembled_ < total) break;
    auto packet = std::make_unique<Packet>();
    packet->kind = PacketKindFromByte(buffer_[2]);
    packet->payload.assign(buffer_ + kMinFrame, buffer_ + total);
    out->push_back(std::move(packet));
    assembled_ = 0;
  }
  return true;
}
