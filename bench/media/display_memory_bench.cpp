// Resident memory while mirroring 1080p60 through the real display (run under
// scripts/with-desktop.sh):
//   media_memory_bench [seconds, default 60]
// Baselines in the same run: the process before the display starts and after
// it stops again.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "bench_streams.h"
#include "platform/memory.h"
#include "receiver/media/recorder_listener.h"
#include "receiver/media/vp_video_display.h"

int main(int argc, char** argv) {
  if (!std::getenv("DISPLAY")) {
    std::printf("{\"bench\":\"mirror_memory\",\"error\":\"needs a desktop\"}\n");
    return 1;
  }
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  const int fps = 60;
  std::string path = MakeBenchStream(1920, 1080, fps, 10, false);
  std::vector<device::Chunk> stream;
  if (path.empty() || !device::ReadH264File(path, &stream) || stream.empty()) return 1;
  VPVideoDisplay& display = VPVideoDisplay::Instance();
  const double mib = 1024.0 * 1024.0;
  const double idle = platform::ResidentMemoryBytes() / mib;
  display.SetConfiguredSize(1920, 1080);
  if (!display.Start()) return 1;
  RecorderListener listener(display);
  listener.Start(0);
  device::ChunkSender sender;
  if (sender.Connect("127.0.0.1", listener.Port()) != 0) return 1;
  const auto interval = std::chrono::microseconds(1000000 / fps);
  const auto begin = std::chrono::steady_clock::now();
  auto next = begin, next_sample = begin + std::chrono::seconds(1);
  double peak = 0, sum = 0, last = 0;
  int samples = 0;
  // The file loops; each pass starts with a key picture and its parameter sets.
  for (size_t n = 0; std::chrono::steady_clock::now() - begin < std::chrono::seconds(seconds);
       ++n) {
    sender.Send(stream[n % stream.size()]);
    next += interval;
    std::this_thread::sleep_until(next);
    if (std::chrono::steady_clock::now() >= next_sample) {
      last = platform::ResidentMemoryBytes() / mib;
      peak = last > peak ? last : peak;
      sum += last;
      ++samples;
      next_sample += std::chrono::seconds(1);
    }
  }
  listener.RequestStop();
  display.Stop();
  listener.Join();
  const double after = platform::ResidentMemoryBytes() / mib;
  std::printf(
      "{\"bench\":\"mirror_memory\",\"stream\":\"1920x1080p60\",\"seconds\":%d,"
      "\"idle_mib\":%.1f,\"mirroring_mean_mib\":%.1f,\"mirroring_peak_mib\":%.1f,"
      "\"mirroring_last_mib\":%.1f,\"after_stop_mib\":%.1f}\n",
      seconds, idle, samples ? sum / samples : 0, peak, last, after);
  return 0;
}
