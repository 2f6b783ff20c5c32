// One chunk of the mirror stream and the queues that carry the stream from
// the stream readers to the decode thread and on to the render thread.
//
// Mirror stream on the stream port, one message per chunk, repeated until the
// device closes the connection:
//   | length L: 4 bytes, unsigned, big-endian | L bytes of H.264 (Annex B) |
#pragma once

#include <cstdint>
#include <memory>

#include "common/blocking_queue.h"
#include "decoded_picture.h"

struct EncodedChunk {
  std::unique_ptr<uint8_t[]> data;  // null for an empty chunk
  uint32_t length = 0;
  // Steady-clock microseconds at which the chunk's last byte arrived; the
  // decoder carries it to the picture, so latency can be measured end to end.
  int64_t received_us = 0;
};

inline constexpr size_t kMirrorQueueCapacity = 500;

using ChunkQueue = BlockingQueue<std::unique_ptr<EncodedChunk>>;
using PictureQueue = BlockingQueue<PicturePtr>;

// Steady-clock microseconds, the time base of received_us and of the probes.
int64_t MonotonicMicros();
