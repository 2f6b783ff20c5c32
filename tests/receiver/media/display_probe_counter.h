// Counts the pictures the display decodes and presents.
#pragma once

#include <atomic>

#include "receiver/media/display_probe.h"

class DisplayProbeCounter : public DisplayProbe {
 public:
  void OnPictureDecoded(int64_t) override { ++decoded_; }
  void OnPicturePresented(int64_t) override { ++presented_; }
  int Decoded() const { return decoded_; }
  int Presented() const { return presented_; }

 private:
  std::atomic<int> decoded_{0};
  std::atomic<int> presented_{0};
};
