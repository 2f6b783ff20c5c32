// Streams the live test pattern on one mirror stream connection at a steady
// rate, from a thread of its own, until stopped or until the receiver ends the
// connection.
#pragma once

#include <atomic>
#include <cstddef>
#include <thread>

#include "mirror_source.h"

namespace device {

class PatternStreamer {
 public:
  PatternStreamer() = default;
  PatternStreamer(const PatternStreamer&) = delete;
  PatternStreamer& operator=(const PatternStreamer&) = delete;
  ~PatternStreamer() { Stop(); }

  // Takes a connected sender (its socket already lies in the device's
  // network namespace, if any). False when the encoder cannot be opened.
  bool Start(ChunkSender sender, int width, int height, int fps);
  // Ends the thread and closes the connection.
  void Stop();
  // Access units sent so far.
  size_t Sent() const { return sent_.load(); }
  // False once a send failed (the receiver closed the connection).
  bool IsConnected() const { return connected_.load(); }

 private:
  void Loop(int fps);

  TestPatternEncoder encoder_;
  ChunkSender sender_;
  std::atomic<bool> running_{false};
  std::atomic<bool> connected_{false};
  std::atomic<size_t> sent_{0};
  std::thread thread_;
};

}  // namespace device
