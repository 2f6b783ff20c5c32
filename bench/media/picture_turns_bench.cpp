// Time of the render thread's picture turns on a 1080p picture, against
// copying the same bytes once (the floor any turn pays) in the same run:
//   media_turns_bench [repetitions, default 50]
// One JSON object per turn; the goal is a turn well inside a 60 Hz frame.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "bench_streams.h"
#include "receiver/media/picture_turns.h"

namespace {

// Milliseconds per call, the median of the repetitions.
double MedianMs(int repetitions, const std::function<void()>& body) {
  std::vector<double> times;
  for (int i = 0; i < repetitions; ++i) {
    const auto begin = std::chrono::steady_clock::now();
    body();
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
            .count());
  }
  return Percentile(times, 50);
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  const I420Size size{1920, 1080};
  std::vector<uint8_t> source(size.ByteSize()), target(size.ByteSize());
  std::mt19937 random(5);
  for (auto& byte : source) byte = static_cast<uint8_t>(random());
  const double copy_ms = MedianMs(repetitions, [&] {
    std::memcpy(target.data(), source.data(), source.size());
  });
  struct Case {
    const char* name;
    void (*turn)(const uint8_t*, I420Size, uint8_t*);
  };
  for (const Case& c : {Case{"quarter_clockwise", TurnQuarterClockwise},
                        Case{"quarter_counter_clockwise", TurnQuarterCounterClockwise},
                        Case{"half", TurnHalf}}) {
    const double turn_ms =
        MedianMs(repetitions, [&] { c.turn(source.data(), size, target.data()); });
    std::printf(
        "{\"bench\":\"picture_turn\",\"turn\":\"%s\",\"size\":\"1920x1080\",\"turn_ms\":%.2f,"
        "\"copy_ms\":%.2f,\"ratio_to_copy\":%.1f,\"frame_interval_ms\":16.67}\n",
        c.name, turn_ms, copy_ms, turn_ms / copy_ms);
  }
  return 0;
}
