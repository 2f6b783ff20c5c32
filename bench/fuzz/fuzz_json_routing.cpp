// Parsing, routing and logging of device packets with recording handlers:
// whatever arrives, a JSON handler runs only for a paired sender or act 1,
// byte handlers only for paired senders and routable classes, and log lines
// keep their limits.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/device_json.h"
#include "receiver/link/client_list.h"
#include "receiver/link/packet_processor.h"

namespace {

class QuietSender : public DeviceSender {
 public:
  int SendJsonCommand(const std::string&, const std::string&, uint16_t, int) override { return 0; }
  int SendBytes(const void*, size_t size, const std::string&, uint16_t) override {
    return static_cast<int>(size + 1);
  }
};

// Time stands still, so the paired sender is never dropped for silence.
class StillClock : public ClientClock {
 public:
  int64_t NowSeconds() override { return 1'700'000'000; }
  void WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& wake, uint32_t,
               const std::function<bool()>& woken) override {
    wake.wait(lock, woken);
  }
};

class CountingHandler : public JsonCommandHandler, public BytePacketHandler {
 public:
  int ProcessJsonCommand(const JsonCommand& command) override {
    last_act = JsonInt(command.value, "act");
    ++json_calls;
    return 0;
  }
  int ProcessBytePacket(const Packet& packet) override {
    if (packet.payload.empty()) abort();
    last_class = packet.payload[0] & 0xF0;
    ++byte_calls;
    return 0;
  }
  int json_calls = 0, byte_calls = 0, last_act = -1, last_class = -1;
};

constexpr uint32_t kPairedIp = 0x0500000A;    // 10.0.0.5
constexpr uint32_t kUnpairedIp = 0x0600000A;  // 10.0.0.6

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static QuietSender sender;
  static StillClock clock;
  static ClientList* clients = [] {
    auto* list = new ClientList(clock, sender, 7990);
    list->Add("fuzz", "10.0.0.5");
    return list;
  }();
  static size_t longest_line = 0;
  static bool percent_logged = false;
  static PacketProcessor processor(*clients, [](std::string_view line) {
    longest_line = std::max(longest_line, line.size());
    if (line.starts_with("Process Json") && line.find('%') != std::string_view::npos)
      percent_logged = true;
  });
  static CountingHandler handler;
  static bool registered = [] {
    for (int act = 0; act < 16; ++act) processor.RegisterJsonHandler(act, &handler);
    for (int nibble = 0; nibble < 0xF0; nibble += 0x10)
      processor.RegisterByteHandler(static_cast<uint8_t>(nibble), &handler);
    return true;
  }();
  (void)registered;

  if (size < 1) return 0;
  Packet packet;
  packet.kind = PacketKindFromByte(data[0] & 0x03);
  packet.peer_ip = (data[0] & 0x04) ? kPairedIp : kUnpairedIp;
  packet.payload.assign(data + 1, data + size);

  const int json_before = handler.json_calls, bytes_before = handler.byte_calls;
  processor.Process(packet);
  const bool paired = packet.peer_ip == kPairedIp;
  if (handler.json_calls > json_before) {
    if (packet.kind != PacketKind::Json) abort();
    if (!paired && handler.last_act != 1) abort();
  }
  if (handler.byte_calls > bytes_before) {
    if (packet.kind != PacketKind::ByteStream || !paired) abort();
    if (handler.last_class != 0 && (handler.last_class < 0x90 || handler.last_class > 0xE0)) abort();
  }
  if (longest_line > PacketProcessor::kJsonLogChars * 4) abort();  // bytes of at most 2047 characters
  if (percent_logged) abort();
  if (clients->Count() != 1) abort();
  return 0;
}
