// Pairing round trip as a device sees it: act 1 cmd 1 sent over a new TCP
// connection to the receiver program until the "cmd" 22 answer has arrived on
// the device's own TCP 7991 (a connection the receiver opens). Baseline in the
// same run: the same two connections between the same kind of namespaces with
// a bare echo in place of the receiver, which answers each frame at once.
//
//   sudo build/default/bin/pairing_round_trip_bench [pairings, default 200]
//
// Prints one JSON object per line (microseconds).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "bench_stats.h"
#include "common/device_json.h"
#include "device_frame.h"
#include "lock_file.h"
#include "receiver_lab.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint16_t kEchoPort = 7995;

// The floor: reads one request frame per connection and answers it, like the
// receiver does, on a new connection to the device's port 7991.
class EchoReceiver {
 public:
  bool Start(const ReceiverLab& lab, const std::string& device) {
    RunInNamespace(lab.ReceiverNs(), [&] {
      listener_ = platform::Socket::Tcp();
      if (!listener_.Bind(0, kEchoPort) || !listener_.Listen(15)) return;
      // The serving thread is started here so that its sockets open in the namespace.
      thread_ = std::thread([this, device] { Serve(device); });
    });
    return thread_.joinable();
  }
  ~EchoReceiver() {
    listener_.Shutdown();
    if (thread_.joinable()) thread_.join();
  }

 private:
  void Serve(const std::string& device) {
    uint32_t ip = 0;
    platform::TextToIpv4(device, &ip);
    const std::string answer = DeviceJsonText(MakeCommand(1, 22));
    const auto frame = EncodeFrame(kKindJson, std::vector<uint8_t>(answer.begin(), answer.end()));
    for (;;) {
      platform::Socket client = listener_.Accept();
      if (!client.IsValid()) return;
      uint8_t buffer[1500];
      FrameReader reader;
      std::vector<DeviceFrame> frames;
      while (frames.empty()) {
        int n = client.Recv(buffer, sizeof buffer);
        if (n <= 0 || !reader.Feed(buffer, n, &frames)) break;
      }
      platform::Socket reply = platform::Socket::Tcp();
      if (reply.Connect(ip, 7991, 5000) == 0) reply.SendAll(frame.data(), frame.size());
    }
  }

  platform::Socket listener_;
  std::thread thread_;
};

std::vector<double> Measure(DeviceEmulator& device, int count) {
  std::vector<double> samples;
  for (int i = 0; i < count; ++i) {
    const size_t mark = device.MessageCount();
    const auto began = Clock::now();
    if (device.Pair("") != 0) continue;
    auto answer = device.WaitForCommand(1, 22, 5000, mark);
    if (!answer) continue;
    samples.push_back(std::chrono::duration<double, std::micro>(answer->at - began).count());
  }
  return samples;
}

void Print(const char* name, const std::vector<double>& samples, int wanted) {
  SampleStats s = Summarise(samples);
  std::printf(
      "{\"bench\":\"%s\",\"samples\":%zu,\"wanted\":%d,\"median_us\":%.1f,\"p99_us\":%.1f,"
      "\"min_us\":%.1f,\"max_us\":%.1f}\n",
      name, samples.size(), wanted, s.median, s.p99, s.min, s.max);
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 200;
  ReceiverLab lab(2);
  if (!lab.IsReady()) {
    std::fprintf(stderr, "network namespaces could not be made (root needed)\n");
    return 1;
  }
  HeldLockFile service_guard(lab.LockPath("VPService"));  // no helper program for this
  NamespaceProcess receiver;
  if (!lab.StartReceiver(receiver)) return 1;
  auto device = lab.StartDevice(1);
  if (!device || !WaitUntilDiscovered(*device, ReceiverLab::ReceiverAddress(1), 15000)) {
    std::fprintf(stderr, "the receiver did not answer\n");
    return 1;
  }

  DeviceOptions echo_options;
  echo_options.receiver_tcp_port = kEchoPort;
  auto echo_device = lab.StartDevice(2, echo_options);
  EchoReceiver echo;
  if (!echo_device || !echo.Start(lab, ReceiverLab::DeviceAddress(2))) return 1;
  echo_device->SetReceiver(ReceiverLab::ReceiverAddress(2));

  Measure(*device, 10);  // warm-up: first connections, settings file, ARP
  Measure(*echo_device, 10);
  Print("pairing_round_trip_baseline_echo", Measure(*echo_device, count), count);
  Print("pairing_round_trip_receiver", Measure(*device, count), count);
  return 0;
}
