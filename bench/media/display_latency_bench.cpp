// Latency from a chunk fully received to its picture presented, through the
// stream port, the decode thread and the render thread of the real display,
// at 720p30 and 1080p60 (run under scripts/with-desktop.sh):
//   media_latency_bench [seconds per stream, default 10]
// The baseline is the decode time of the same pictures in the same run
// (received -> decoded); the display's share is presented - decoded.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>

#include "bench_streams.h"
#include "receiver/media/display_probe.h"
#include "receiver/media/recorder_listener.h"
#include "receiver/media/vp_video_display.h"

namespace {

class StampProbe : public DisplayProbe {
 public:
  void OnPictureDecoded(int64_t stamp) override {
    std::lock_guard lock(lock_);
    decoded_.emplace_back(stamp, MonotonicMicros());
  }
  void OnPicturePresented(int64_t stamp) override {
    std::lock_guard lock(lock_);
    presented_.emplace_back(stamp, MonotonicMicros());
  }
  std::vector<std::pair<int64_t, int64_t>> decoded_, presented_;
  std::mutex lock_;
};

void Measure(int width, int height, int fps, int seconds) {
  std::string path = MakeBenchStream(width, height, fps, seconds, false);
  std::vector<device::Chunk> stream;
  if (path.empty() || !device::ReadH264File(path, &stream)) {
    std::printf("{\"bench\":\"display_latency\",\"error\":\"no stream\"}\n");
    return;
  }
  VPVideoDisplay& display = VPVideoDisplay::Instance();
  StampProbe probe;
  display.SetProbe(&probe);
  display.SetConfiguredSize(width, height);
  display.SetRotation(0);
  if (!display.Start()) {
    std::printf("{\"bench\":\"display_latency\",\"error\":\"display did not start\"}\n");
    return;
  }
  RecorderListener listener(display);
  listener.Start(0);
  device::ChunkSender sender;
  if (sender.Connect("127.0.0.1", listener.Port()) != 0) return;
  const auto interval = std::chrono::microseconds(1000000 / fps);
  auto next = std::chrono::steady_clock::now();
  for (const auto& chunk : stream) {
    sender.Send(chunk);
    next += interval;
    std::this_thread::sleep_until(next);
  }
  // Let the last pictures through before stopping.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  listener.RequestStop();
  display.Stop();
  listener.Join();
  display.SetProbe(nullptr);

  std::vector<double> decode_ms, present_ms, added_ms;
  std::map<int64_t, int64_t> decoded_at(probe.decoded_.begin(), probe.decoded_.end());
  for (auto [stamp, at] : probe.presented_) {
    present_ms.push_back((at - stamp) / 1000.0);
    auto d = decoded_at.find(stamp);
    if (d == decoded_at.end()) continue;
    decode_ms.push_back((d->second - stamp) / 1000.0);
    added_ms.push_back((at - d->second) / 1000.0);
  }
  std::printf(
      "{\"bench\":\"display_latency\",\"stream\":\"%dx%dp%d\",\"sent\":%zu,\"presented\":%zu,"
      "\"decode_ms\":{\"p50\":%.2f,\"p95\":%.2f,\"p99\":%.2f},"
      "\"presented_ms\":{\"p50\":%.2f,\"p95\":%.2f,\"p99\":%.2f},"
      "\"display_added_ms\":{\"p50\":%.2f,\"p95\":%.2f,\"p99\":%.2f},"
      "\"frame_interval_ms\":%.2f,\"goal\":\"display_added p99 < frame interval\"}\n",
      width, height, fps, stream.size(), probe.presented_.size(),
      Percentile(decode_ms, 50), Percentile(decode_ms, 95), Percentile(decode_ms, 99),
      Percentile(present_ms, 50), Percentile(present_ms, 95), Percentile(present_ms, 99),
      Percentile(added_ms, 50), Percentile(added_ms, 95), Percentile(added_ms, 99), 1000.0 / fps);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("DISPLAY")) {
    std::printf("{\"bench\":\"display_latency\",\"error\":\"needs a desktop\"}\n");
    return 1;
  }
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  Measure(1280, 720, 30, seconds);
  Measure(1920, 1080, 60, seconds);
  return 0;
}
