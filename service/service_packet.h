// One datagram received on the service's control port, as queued for the
// worker. On the wire:
//   | kind | payload ... |   kind 0 byte stream, 1 JSON text, other values unknown
#pragma once

#include <cstdint>
#include <vector>

struct ServicePacket {
  std::vector<uint8_t> payload;  // the datagram without its kind byte
  int kind = -1;                 // 0, 1, or -1 for any other kind byte
  uint32_t sender_ip = 0;        // network byte order
  uint16_t sender_port = 0;      // where a requester's reply socket may listen
};

// Kind from the datagram's first byte.
inline int ServicePacketKind(uint8_t byte) { return byte == 0 ? 0 : byte == 1 ? 1 : -1; }
