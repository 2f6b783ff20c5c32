// Latency of remote pointer input, one JSON object per line: from the
// device's packet leaving the emulator (in a network namespace of its own)
// to the pointer event arriving at a test window, through the receiver's
// device link, the forwarding to the service program and its execution;
// against injecting the same move straight from this process. Both figures
// include the test window's report over a pipe. Goal: p99 under 5 ms.
// Run: bash scripts/with-desktop.sh build/default/bin/input_latency_bench   (as root)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "hosted_network/service_process.h"
#include "input/desktop_test_support.h"
#include "input/device_network.h"
#include "input/linked_receiver.h"
#include "input/recorder_process.h"
#include "platform/input.h"
#include "support/temp_dir.h"
#include "tools/device/lib/input_sender.h"

using Clock = std::chrono::steady_clock;

namespace {

constexpr int kSamples = 1000;
constexpr int kWarmUp = 50;

uint32_t Ip(const char* text) {
  uint32_t ip = 0;
  platform::TextToIpv4(text, &ip);
  return ip;
}

// Alternates between two positions so that every move is an event; times
// each move from inject() until the window reports it. Empty on a lost event.
std::vector<double> TimeMoves(RecorderProcess& recorder, const platform::ScreenRect& primary,
                              const std::function<void(uint16_t, uint16_t)>& inject) {
  std::vector<double> samples;
  for (int i = 0; i < kWarmUp + kSamples; ++i) {
    const uint16_t n = (i % 2) ? 0x4000 : 0xC000;
    const std::string expected = "motion " +
                                 std::to_string(ExpectedPixel(n, primary.x, primary.width)) + " " +
                                 std::to_string(ExpectedPixel(n, primary.y, primary.height));
    const auto start = Clock::now();
    inject(n, n);
    if (!recorder.WaitFor(Is(expected), nullptr, std::chrono::seconds(5))) return {};
    if (i >= kWarmUp)
      samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(samples.begin(), samples.end());
  return samples;
}

void Report(const char* path, const std::vector<double>& samples, const std::vector<double>& base) {
  if (samples.empty() || base.empty()) {
    std::printf("{\"bench\":\"input_latency\",\"path\":\"%s\",\"error\":\"events lost\"}\n", path);
    return;
  }
  std::printf(
      "{\"bench\":\"input_latency\",\"path\":\"%s\",\"samples\":%zu,\"p50_ms\":%.3f,"
      "\"p99_ms\":%.3f,\"max_ms\":%.3f,\"baseline\":\"XTest from this process\","
      "\"baseline_p50_ms\":%.3f,\"baseline_p99_ms\":%.3f,\"goal_p99_ms\":5}\n",
      path, samples.size(), samples[samples.size() / 2], samples[samples.size() * 99 / 100],
      samples.back(), base[base.size() / 2], base[base.size() * 99 / 100]);
}

}  // namespace

int main() {
  if (!HaveDisplay()) {
    std::printf("{\"bench\":\"input_latency\",\"skipped\":\"no desktop\"}\n");
    return 0;
  }
  TempDir config;
  setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
  setenv("XDG_RUNTIME_DIR", config.Path().c_str(), 1);
  DeviceNetwork network;
  if (geteuid() != 0 || !network.Create() || !network.EnterPc()) {
    std::printf("{\"bench\":\"input_latency\",\"skipped\":\"needs root for namespaces\"}\n");
    return 0;
  }
  ServiceProcess service;
  LinkedReceiver receiver(DeviceNetwork::kDeviceAddress, Ip(DeviceNetwork::kPcAddress));
  RecorderProcess recorder;
  platform::ScreenRect primary, desk;
  if (!service.Start(VP_SERVICE_PATH) || !receiver.Start() || !recorder.Start() ||
      !platform::GetScreenAreas(&primary, &desk)) {
    std::printf("{\"bench\":\"input_latency\",\"error\":\"set-up failed\"}\n");
    return 1;
  }
  InputSender* sender = nullptr;
  std::thread([&] {
    if (network.EnterDevice())
      sender = new InputSender(Ip(DeviceNetwork::kPcAddress), receiver.UdpPort());
  }).join();
  if (!sender || !sender->IsOpen()) return 1;

  const auto base = TimeMoves(recorder, primary, [](uint16_t x, uint16_t y) {
    platform::SendMouseInput(platform::kMouseEventMove | platform::kMouseEventAbsolute, x, y, 0);
  });
  const auto chain = TimeMoves(recorder, primary,
                               [&](uint16_t x, uint16_t y) { sender->SendPointer(0xA2, x, y); });
  Report("device_to_window", chain, base);
  delete sender;
  return 0;
}
