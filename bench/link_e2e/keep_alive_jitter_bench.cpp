// Keep-alive timing as a paired device sees it: the intervals between the
// receiver's 00 00 datagrams on the device's UDP 7990 over a run (default one
// minute), and their deviation from 3 s. Baseline in the same run: a bare
// loop in the receiver's namespace that sleeps 3 s and sends 00 00 to a
// second device, over the same kind of link.
//
//   sudo build/default/bin/keep_alive_jitter_bench [seconds, default 60]
//
// Run by hand, not in CI. Prints one JSON object per line (microseconds).
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "bench_stats.h"
#include "lock_file.h"
#include "receiver_lab.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPeriod = std::chrono::seconds(3);

void Print(const char* name, const DeviceEmulator& device) {
  std::vector<double> intervals, deviations;
  std::optional<Clock::time_point> previous;
  for (const ReceivedMessage& m : device.Messages()) {
    if (!m.IsKeepAlive()) continue;
    if (previous) {
      const double us = std::chrono::duration<double, std::micro>(m.at - *previous).count();
      intervals.push_back(us);
      deviations.push_back(std::fabs(us - 3e6));
    }
    previous = m.at;
  }
  SampleStats i = Summarise(intervals), d = Summarise(deviations);
  std::printf(
      "{\"bench\":\"%s\",\"intervals\":%zu,\"interval_mean_us\":%.0f,\"interval_min_us\":%.0f,"
      "\"interval_max_us\":%.0f,\"jitter_median_us\":%.0f,\"jitter_p99_us\":%.0f,"
      "\"jitter_max_us\":%.0f}\n",
      name, intervals.size(), i.mean, i.min, i.max, d.median, d.p99, d.max);
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  ReceiverLab lab(2);
  if (!lab.IsReady()) {
    std::fprintf(stderr, "network namespaces could not be made (root needed)\n");
    return 1;
  }
  HeldLockFile service_guard(lab.LockPath("VPService"));  // no helper program for this
  NamespaceProcess receiver;
  if (!lab.StartReceiver(receiver)) return 1;
  auto device = lab.StartDevice(1);
  DeviceOptions quiet;
  quiet.answer_keep_alives = false;  // the baseline's datagrams are not the receiver's
  auto baseline_device = lab.StartDevice(2, quiet);
  if (!device || !baseline_device ||
      !WaitUntilDiscovered(*device, ReceiverLab::ReceiverAddress(1), 15000) ||
      device->PairAndWait("", 5000) != "1") {
    std::fprintf(stderr, "the receiver did not pair\n");
    return 1;
  }

  std::atomic<bool> running{true};
  std::thread baseline;
  RunInNamespace(lab.ReceiverNs(), [&] {
    baseline = std::thread([&] {
      platform::Socket socket = platform::Socket::Udp();
      uint32_t ip = 0;
      platform::TextToIpv4(ReceiverLab::DeviceAddress(2), &ip);
      const uint8_t keep_alive[2] = {0, 0};
      while (running) {
        socket.SendTo(keep_alive, sizeof keep_alive, ip, 7990);
        std::this_thread::sleep_for(kPeriod);
      }
    });
  });
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  running = false;
  baseline.join();
  Print("keep_alive_interval_baseline_sleep_loop", *baseline_device);
  Print("keep_alive_interval_receiver", *device);
  return 0;
}
