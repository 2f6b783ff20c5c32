// Figures of the foundation, one JSON object per line:
//  - one DebugLog::Log call with no viewer (median, p99), against formatting
//    the same line alone;
//  - BlockingQueue push/pop throughput between two threads, against a bare
//    mutex-and-deque hand-off;
//  - SendJsonCommand on loopback per message, against a bare connect, send
//    and close of the same frame.
// Run: build/default/bin/foundation_bench
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "common/blocking_queue.h"
#include "common/command_sender.h"
#include "common/debug_log.h"
#include "platform/socket.h"

using Clock = std::chrono::steady_clock;

namespace {

struct Percentiles {
  double median_ns, p99_ns;
};

Percentiles Summarise(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return {samples[samples.size() / 2], samples[samples.size() * 99 / 100]};
}

template <typename F>
std::vector<double> TimeEach(int count, F&& call) {
  std::vector<double> samples;
  samples.reserve(count);
  for (int i = 0; i < count; ++i) {
    auto start = Clock::now();
    call(i);
    samples.push_back(std::chrono::duration<double, std::nano>(Clock::now() - start).count());
  }
  return samples;
}

void BenchLog() {
  uint16_t silent_port;
  {
    platform::Socket probe = platform::Socket::Udp();
    probe.Bind(platform::LoopbackIpv4(), 0);
    silent_port = probe.LocalAddress().port;
  }
  DebugLog log(silent_port);
  const int count = 20000;
  // Paced below the sender's rate so the numbers show the call, not a full queue.
  auto log_samples = TimeEach(count, [&](int i) {
    log.Log("Process Json Packet from %s: %s", "192.168.1.20", i % 2 ? "{\"act\":1}" : "{}");
    if (i % 400 == 399) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  });
  char buffer[512];
  auto format_samples = TimeEach(count, [&](int i) {
    std::snprintf(buffer, sizeof buffer, "Process Json Packet from %s: %s", "192.168.1.20",
                  i % 2 ? "{\"act\":1}" : "{}");
  });
  log.Stop();
  Percentiles l = Summarise(log_samples), f = Summarise(format_samples);
  std::printf(
      "{\"bench\":\"log_call_no_viewer\",\"calls\":%d,\"median_ns\":%.0f,\"p99_ns\":%.0f,"
      "\"baseline\":\"snprintf alone\",\"baseline_median_ns\":%.0f,\"baseline_p99_ns\":%.0f}\n",
      count, l.median_ns, l.p99_ns, f.median_ns, f.p99_ns);
}

template <typename Push, typename Pop>
double HandOffsPerSecond(int count, Push push, Pop pop) {
  auto start = Clock::now();
  std::thread consumer([&] {
    for (int i = 0; i < count; ++i) pop();
  });
  for (int i = 0; i < count; ++i) push(i);
  consumer.join();
  return count / std::chrono::duration<double>(Clock::now() - start).count();
}

void BenchQueue() {
  const int count = 2000000;
  BlockingQueue<std::unique_ptr<int>> queue(500);
  double blocking = HandOffsPerSecond(
      count, [&](int i) { queue.Push(std::make_unique<int>(i)); },
      [&] {
        std::unique_ptr<int> out;
        queue.Pop(out);
      });
  std::mutex mutex;
  std::deque<std::unique_ptr<int>> bare;
  double baseline = HandOffsPerSecond(
      count,
      [&](int i) {
        auto item = std::make_unique<int>(i);
        for (;;) {
          std::lock_guard lock(mutex);
          if (bare.size() < 500) {
            bare.push_back(std::move(item));
            return;
          }
        }
      },
      [&] {
        for (;;) {
          std::lock_guard lock(mutex);
          if (!bare.empty()) {
            bare.pop_front();
            return;
          }
        }
      });
  std::printf(
      "{\"bench\":\"blocking_queue_two_threads\",\"items\":%d,\"per_second\":%.0f,"
      "\"baseline\":\"spinning mutex+deque\",\"baseline_per_second\":%.0f}\n",
      count, blocking, baseline);
}

void BenchSend() {
  platform::Socket listener = platform::Socket::Tcp();
  listener.Bind(platform::LoopbackIpv4(), 0);
  listener.Listen(64);
  const uint16_t port = listener.LocalAddress().port;
  std::thread device([&] {
    char buffer[2048];
    for (;;) {
      platform::Socket peer = listener.Accept();
      if (!peer.IsValid()) return;
      while (peer.Recv(buffer, sizeof buffer) > 0) {
      }
    }
  });
  const std::string json = "{\n   \"act\" : 1,\n   \"cmd\" : 22,\n   \"result\" : \"1\"\n}\n";
  const int count = 2000;
  auto send_samples =
      TimeEach(count, [&](int) { SendJsonCommand(json, "127.0.0.1", port, kTransportTcp); });
  auto bare_samples = TimeEach(count, [&](int) {
    platform::Socket s = platform::Socket::Tcp();
    s.Connect(platform::LoopbackIpv4(), port, 5000);
    std::string frame = {0, static_cast<char>(json.size() + 3), 1};
    frame += json;
    s.SendAll(frame.data(), frame.size());
  });
  listener.Shutdown();
  device.join();
  Percentiles s = Summarise(send_samples), b = Summarise(bare_samples);
  std::printf(
      "{\"bench\":\"send_json_command_loopback\",\"messages\":%d,\"median_us\":%.1f,"
      "\"p99_us\":%.1f,\"baseline\":\"bare connect+send+close\",\"baseline_median_us\":%.1f,"
      "\"baseline_p99_us\":%.1f}\n",
      count, s.median_ns / 1000, s.p99_ns / 1000, b.median_ns / 1000, b.p99_ns / 1000);
}

}  // namespace

int main() {
  BenchLog();
  BenchQueue();
  BenchSend();
}
