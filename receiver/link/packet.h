// One device message as cut from UDP 7990 or a TCP 7991 frame, and the
// parsed form JSON handlers receive. The dotted-decimal text of the peer's
// IPv4 address is the device's identity throughout the device link.
#pragma once

#include <cstdint>
#include <json/value.h>
#include <string>
#include <vector>

#include "platform/socket.h"

// On the wire one byte: 0 byte stream, 1 JSON, anything else unknown.
enum class PacketKind : int32_t { ByteStream = 0, Json = 1, Unknown = -1 };

inline PacketKind PacketKindFromByte(uint8_t byte) {
  return byte == 0 ? PacketKind::ByteStream : byte == 1 ? PacketKind::Json : PacketKind::Unknown;
}

struct Packet {
  std::vector<uint8_t> payload;        // the message without its framing bytes
  platform::SocketAddress peer{};      // the TCP peer; zero for UDP packets
  int connection_socket = 0;           // the TCP socket it came on; 0 for UDP
  PacketKind kind = PacketKind::Unknown;
  uint32_t peer_ip = 0;                // network byte order

  std::string PeerText() const { return platform::Ipv4ToText(peer_ip); }
};

// Built on the packet-processing thread for each JSON packet; lives until
// its handler returns.
struct JsonCommand {
  platform::SocketAddress peer{};
  int connection_socket = 0;
  uint32_t peer_ip = 0;
  Json::Value value;  // null when the text did not parse

  std::string PeerText() const { return platform::Ipv4ToText(peer_ip); }
};
