#include "device_frame.h"

std::vector<uint8_t> EncodeFrame(uint8_t kind, const std::vector<uint8_t>& payload) {
  const size_t total = payload.size() + 3;
  if (total > 0xFFFF) return {};
  std::vector<uint8_t> frame{static_cast<uint8_t>(total >> 8), static_cast<uint8_t>(total), kind};
  frame.insert(frame.end(), payload.begin(), payload.end());
  return frame;
}

std::vector<uint8_t> EncodeDatagram(uint8_t kind, const std::vector<uint8_t>& payload) {
  std::vector<uint8_t> datagram{kind};
  datagram.insert(datagram.end(), payload.begin(), payload.end());
  return datagram;
}

bool FrameReader::Feed(const uint8_t* data, size_t size, std::vector<DeviceFrame>* out) {
  pending_.insert(pending_.end(), data, data + size);
  size_t offset = 0;
  while (pending_.size() - offset >= 2) {
    const size_t total = (size_t{pending_[offset]} << 8) | pending_[offset + 1];
    if (total < 3) return false;
    if (pending_.size() - offset < total) break;
    DeviceFrame frame;
    frame.kind = pending_[offset + 2];
    frame.payload.assign(pending_.begin() + offset + 3, pending_.begin() + offset + total);
    out->push_back(std::move(frame));
    offset += total;
  }
  pending_.erase(pending_.begin(), pending_.begin() + offset);
  return true;
}
