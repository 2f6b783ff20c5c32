// Parses, logs and routes one device packet on the packet-processing thread.
//
// JSON packets go by "act" to the handler registered for it; commands from
// addresses that have not paired are dropped, except act 1 (pairing).
// Byte-stream packets go by the high nibble of their first byte, from paired
// addresses only; first bytes 0xF0 and above are dropped. Nothing registered
// for an act or nibble means the message is dropped. Every packet refreshes
// its sender in the client list.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "command_handler.h"
#include "packet.h"

class ClientList;

class PacketProcessor {
 public:
  using LogSink = std::function<void(std::string_view)>;

  static constexpr size_t kDumpBytes = 170;
  static constexpr size_t kByteLogChars = 511;
  static constexpr size_t kJsonLogChars = 2047;

  // Over the process-wide client list and debug log, with the link's own
  // handlers registered: pairing (act 1, class 0x00) and spotlight (act 8).
  static PacketProcessor& Instance();

  // log gets each finished line as plain text (never read as a format).
  PacketProcessor(ClientList& clients, LogSink log);

  // Registration happens at start-up; a later call replaces the handler,
  // null unregisters. Handlers are not owned. False for an act outside 0..15.
  bool RegisterJsonHandler(int act, JsonCommandHandler* handler);
  // nibble is the class as a byte value: 0x00 or 0x90 ... 0xE0 (the low
  // nibble is ignored). False for the classes never routed: 0x10 to 0x80, 0xF0.
  bool RegisterByteHandler(uint8_t nibble, BytePacketHandler* handler);

  // Returns 0.
  int Process(const Packet& packet);

  // The routing steps alone (no touch, no log).
  void RouteJson(const JsonCommand& command);
  void RouteBytes(const Packet& packet);

  // "%02X " for each of the first 170 payload bytes.
  static std::string HexDump(const std::vector<uint8_t>& payload);

 private:
  void ProcessBytes(const Packet& packet);
  void ProcessJson(const Packet& packet);
  JsonCommandHandler* JsonHandler(int act);
  BytePacketHandler* ByteHandler(uint8_t nibble);

  ClientList& clients_;
  LogSink log_;
  std::mutex handlers_lock_;
  std::array<JsonCommandHandler*, 16> json_handlers_{};  // acts 0..15
  std::array<BytePacketHandler*, 16> byte_handlers_{};   // by high nibble
};
