// The framing of the device message ports, device side. A TCP 7991 stream
// carries frames:
//   | len hi | len lo | kind | payload ... |   len = payload + 3, big-endian
// and a UDP 7990 datagram is | kind | payload ... |. Kind 0 is a byte stream,
// kind 1 JSON text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr uint8_t kKindByteStream = 0;
inline constexpr uint8_t kKindJson = 1;

struct DeviceFrame {
  uint8_t kind = 0;
  std::vector<uint8_t> payload;
};

// One TCP frame. Payloads longer than 65532 bytes do not fit: empty result.
std::vector<uint8_t> EncodeFrame(uint8_t kind, const std::vector<uint8_t>& payload);
// One UDP datagram.
std::vector<uint8_t> EncodeDatagram(uint8_t kind, const std::vector<uint8_t>& payload);

// Cuts a TCP stream into frames, whatever the pieces it arrives in.
class FrameReader {
 public:
  // Appends received bytes; complete frames go to out in order. False when a
  // length below 3 shows the stream is not framed (the caller drops it).
  bool Feed(const uint8_t* data, size_t size, std::vector<DeviceFrame>* out);

 private:
  std::vector<uint8_t> pending_;
};
