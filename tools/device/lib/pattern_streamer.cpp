#include "pattern_streamer.h"

#include <chrono>

namespace device {

bool PatternStreamer::Start(ChunkSender sender, int width, int height, int fps) {
  Stop();
  if (fps <= 0 || !encoder_.Open(width, height, fps)) return false;
  sender_ = std::move(sender);
  running_ = true;
  connected_ = true;
  thread_ = std::thread([this, fps] { Loop(fps); });
  return true;
}

void PatternStreamer::Stop() {
  running_ = false;
  if (thread_.joinable()) thread_.join();
  sender_.Close();
}

void PatternStreamer::Loop(int fps) {
  const auto interval = std::chrono::microseconds(1000000 / fps);
  auto next = std::chrono::steady_clock::now();
  while (running_) {
    Chunk chunk;
    if (encoder_.EncodeNext(&chunk)) {
      if (!sender_.Send(chunk)) {
        connected_ = false;
        return;
      }
      ++sent_;
    }
    next += interval;
    std::this_thread::sleep_until(next);
  }
}

}  // namespace device
