#include "packet_processor.h"

#include <cstdio>
#include <string>

#include "client_list.h"
#include "common/debug_log.h"
#include "common/device_json.h"
#include "pairing_handler.h"
#include "platform/text.h"
#include "spotlight_handler.h"

namespace {

constexpr int kPairingAct = 1;
constexpr int kSpotlightAct = 8;
constexpr uint8_t kKeepAliveClass = 0x00;
constexpr uint8_t kNeverRouted = 0xF0;

// Classes 0x10 to 0x80 carry nothing the receiver handles, and 0xF0 and
// above are never routed.
bool IsRoutableClass(uint8_t nibble) { return nibble == 0x00 || (nibble >= 0x90 && nibble < 0xF0); }

}  // namespace

PacketProcessor& PacketProcessor::Instance() {
  static PacketProcessor* processor = [] {
    auto* created = new PacketProcessor(ClientList::Instance(), VPLogText);
    created->RegisterJsonHandler(kPairingAct, &PairingHandler::Instance());
    created->RegisterByteHandler(kKeepAliveClass, &PairingHandler::Instance());
    created->RegisterJsonHandler(kSpotlightAct, &SpotlightHandler::Instance());
    ClientList::Instance().SetRemovalObserver(&SpotlightHandler::Instance());
    return created;
  }();
  return *processor;
}

PacketProcessor::PacketProcessor(ClientList& clients, LogSink log)
    : clients_(clients), log_(std::move(log)) {}

bool PacketProcessor::RegisterJsonHandler(int act, JsonCommandHandler* handler) {
  if (act < 0 || act >= static_cast<int>(json_handlers_.size())) return false;
  std::lock_guard lock(handlers_lock_);
  json_handlers_[static_cast<size_t>(act)] = handler;
  return true;
}

bool PacketProcessor::RegisterByteHandler(uint8_t nibble, BytePacketHandler* handler) {
  nibble &= 0xF0;
  if (!IsRoutableClass(nibble)) return false;
  std::lock_guard lock(handlers_lock_);
  byte_handlers_[nibble >> 4] = handler;
  return true;
}

JsonCommandHandler* PacketProcessor::JsonHandler(int act) {
  if (act < 0 || act >= static_cast<int>(json_handlers_.size())) return nullptr;
  std::lock_guard lock(handlers_lock_);
  return json_handlers_[static_cast<size_t>(act)];
}

BytePacketHandler* PacketProcessor::ByteHandler(uint8_t nibble) {
  std::lock_guard lock(handlers_lock_);
  return byte_handlers_[nibble >> 4];
}

int PacketProcessor::Process(const Packet& packet) {
  switch (packet.kind) {
    case PacketKind::ByteStream: ProcessBytes(packet); break;
    case PacketKind::Json: ProcessJson(packet); break;
    case PacketKind::Unknown: break;
  }
  return 0;
}

std::string PacketProcessor::HexDump(const std::vector<uint8_t>& payload) {
  std::string dump;
  const size_t count = std::min(payload.size(), kDumpBytes);
  dump.reserve(count * 3);
  for (size_t i = 0; i < count; ++i) {
    char part[4];
    std::snprintf(part, sizeof part, "%02X ", payload[i]);
    dump += part;
  }
  return dump;
}

void PacketProcessor::ProcessBytes(const Packet& packet) {
  const std::string peer = packet.PeerText();
  clients_.Touch(peer);
  const std::string dump = HexDump(packet.payload);
  RouteBytes(packet);
  std::string line = "Process ByteStream Packet from " + peer + ":" + dump;
  if (line.size() > kByteLogChars) line.resize(kByteLogChars);  // ASCII only
  log_(line);
}

void PacketProcessor::ProcessJson(const Packet& packet) {
  const std::string peer = packet.PeerText();
  JsonCommand command;
  ParseDeviceJson(std::string_view(reinterpret_cast<const char*>(packet.payload.data()),
                                   packet.payload.size()),
                  &command.value);
  clients_.Touch(peer);
  command.peer = packet.peer;
  command.connection_socket = packet.connection_socket;
  command.peer_ip = packet.peer_ip;
  RouteJson(command);
  const std::string text = DeviceJsonText(command.value);
  // Texts with a percent sign are left out of the log.
  if (text.find('%') != std::string::npos) return;
  log_(platform::TruncateUtf8("Process Json Packet from " + peer + ": " + text, kJsonLogChars));
}

void PacketProcessor::RouteJson(const JsonCommand& command) {
  const int act = JsonInt(command.value, "act");
  if (act != kPairingAct && !clients_.Contains(command.PeerText())) return;
  if (JsonCommandHandler* handler = JsonHandler(act)) handler->ProcessJsonCommand(command);
}

void PacketProcessor::RouteBytes(const Packet& packet) {
  // An empty payload has no first byte to route by.
  if (packet.payload.empty()) return;
  if (!clients_.Contains(packet.PeerText())) return;
  const uint8_t first = packet.payload[0];
  if (first >= kNeverRouted || !IsRoutableClass(first & 0xF0)) return;
  if (BytePacketHandler* handler = ByteHandler(first & 0xF0)) handler->ProcessBytePacket(packet);
}
