// Reassembly of the TCP 7991 frame stream. Each frame:
//
//   | len hi | len lo | kind | payload ... |
//     total length L (big-endian) counts all of it, so L = payload + 3
//
// Frames may arrive several per receive or split across receives. A
// declared length below 3 or above the 1500-byte assembly buffer cannot be
// a frame of the protocol; the stream is then out of step for good.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "packet.h"

class FrameAssembler {
 public:
  static constexpr size_t kBufferSize = 1500;

  // Appends the bytes and moves every completed frame, in order, into out as
  // a packet holding kind and payload (the peer fields are the caller's).
  // False when a declared length is invalid; frames completed before it are
  // still delivered and the assembler must not be fed again.
  bool Feed(const uint8_t* data, size_t size, std::vector<std::unique_ptr<Packet>>* out);

  // Bytes of an unfinished frame held now.
  size_t Pending() const { return assembled_; }

 private:
  uint8_t buffer_[kBufferSize] = {};
  size_t assembled_ = 0;
  bool broken_ = false;
};
