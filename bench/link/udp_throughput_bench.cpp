// Datagrams per second through the UDP 7990 road (receiver, packet queue,
// processing thread, routing, logging) to a registered handler, on loopback
// with free ports; compared with a bare loopback socket read in the same run.
// Logging goes to a debug log of its own whose lines a local sink drains.
//
//   build/default/bin/link_udp_bench [datagrams per case, default 200000]
//
// Prints one JSON object per line.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "common/debug_log.h"
#include "receiver/link/client_list.h"
#include "receiver/link/device_listeners.h"
#include "receiver/link/packet_processor.h"
#include "receiver/link/packet_queue.h"

namespace {

using Clock = std::chrono::steady_clock;

// Sends count datagrams, never more than window ahead of what the receiving
// side has counted, so the socket buffer does not overflow and drop them.
double Pump(const std::vector<uint8_t>& datagram, uint16_t port, int count,
            const std::atomic<int>& received) {
  platform::Socket device = platform::Socket::Udp();
  constexpr int kWindow = 128;
  const int start = received.load();
  const auto began = Clock::now();
  for (int sent = 0; sent < count; ++sent) {
    while (sent - (received.load() - start) >= kWindow) std::this_thread::yield();
    device.SendTo(datagram.data(), datagram.size(), platform::LoopbackIpv4(), port);
  }
  while (received.load() - start < count) std::this_thread::yield();
  return std::chrono::duration<double>(Clock::now() - began).count();
}

void Print(const char* name, int count, double seconds, size_t bytes) {
  std::printf("{\"bench\":\"link_udp\",\"case\":\"%s\",\"datagram_bytes\":%zu,\"datagrams\":%d,"
              "\"seconds\":%.3f,\"per_second\":%.0f}\n",
              name, bytes, count, seconds, count / seconds);
  std::fflush(stdout);
}

double BareSocket(const std::vector<uint8_t>& datagram, int count) {
  platform::Socket socket = platform::Socket::Udp();
  socket.Bind(platform::LoopbackIpv4(), 0);
  std::atomic<int> received{0};
  std::atomic<bool> stop{false};
  std::thread reader([&] {
    uint8_t buffer[1500];
    while (!stop) {
      if (socket.RecvFrom(buffer, sizeof buffer) > 0) ++received;
    }
  });
  const double seconds = Pump(datagram, socket.LocalAddress().port, count, received);
  stop = true;
  socket.Shutdown();
  reader.join();
  return seconds;
}

class CountingHandler : public JsonCommandHandler, public BytePacketHandler {
 public:
  int ProcessJsonCommand(const JsonCommand&) override {
    ++handled;
    return 0;
  }
  int ProcessBytePacket(const Packet&) override {
    ++handled;
    return 0;
  }
  std::atomic<int> handled{0};
};

// Time stands still: the bench never waits for the keep-alive watchdog.
class StillClock : public ClientClock {
 public:
  int64_t NowSeconds() override { return 1'700'000'000; }
  void WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& wake, uint32_t,
               const std::function<bool()>& woken) override {
    wake.wait(lock, woken);
  }
};

class NullSender : public DeviceSender {
 public:
  int SendJsonCommand(const std::string&, const std::string&, uint16_t, int) override { return 0; }
  int SendBytes(const void*, size_t size, const std::string&, uint16_t) override {
    return static_cast<int>(size + 1);
  }
};

double ThroughTheLink(const std::vector<uint8_t>& datagram, int count, std::atomic<int>& lines) {
  // The log's datagrams go to a sink of this bench, never to the log port.
  platform::Socket sink = platform::Socket::Udp();
  sink.Bind(platform::LoopbackIpv4(), 0);
  std::atomic<bool> stop{false};
  std::thread drain([&] {
    uint8_t buffer[8192];
    while (!stop)
      if (sink.RecvFrom(buffer, sizeof buffer) > 0) ++lines;
  });
  double seconds = 0;
  {
    DebugLog log(sink.LocalAddress().port);
    StillClock clock;
    NullSender sender;
    ClientList clients(clock, sender, 7990);
    clients.Add("bench", "127.0.0.1");
    PacketProcessor processor(clients, [&log](std::string_view line) { log.LogText(line); });
    CountingHandler handler;
    processor.RegisterJsonHandler(2, &handler);
    processor.RegisterByteHandler(0x90, &handler);
    PacketQueue queue;
    DeviceListeners listeners(queue, processor);
    DeviceLinkConfig config{platform::LoopbackIpv4(), 0, 0, 0, nullptr};
    listeners.Start(config);
    seconds = Pump(datagram, listeners.UdpPort(), count, handler.handled);
    listeners.Stop();
    log.Stop();
  }
  stop = true;
  sink.Shutdown();
  drain.join();
  return seconds;
}

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 200000;
  // A pointer move (kind 0, class 0x91, two 16-bit values) and a text entry command.
  const std::vector<uint8_t> pointer = {0x00, 0x91, 0x01, 0x20, 0x00, 0x40};
  const std::vector<uint8_t> json = Bytes(std::string("\x01") + R"({"act":2,"cmd":1,"string":"hello"})");

  for (const auto& [name, datagram] : {std::pair{"byte_stream", pointer}, std::pair{"json", json}}) {
    const double bare = BareSocket(datagram, count);
    Print((std::string("bare_socket_") + name).c_str(), count, bare, datagram.size());
    std::atomic<int> lines{0};
    const double link = ThroughTheLink(datagram, count, lines);
    Print((std::string("device_link_") + name).c_str(), count, link, datagram.size());
    std::printf("{\"bench\":\"link_udp\",\"case\":\"ratio_%s\",\"link_vs_bare\":%.3f,"
                "\"log_lines_seen\":%d}\n",
                name, bare / link, lines.load());
  }
  return 0;
}
