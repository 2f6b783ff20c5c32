// The stateless send operations towards devices and the local service. Each
// call opens its own socket, sends and closes it again.
//
// Wire forms (identical to what the receiver accepts):
//   JSON over TCP:         | len hi | len lo | 0x01 | JSON text ... |   len = text + 3, big-endian
//   JSON over UDP:         | 0x01 | JSON text ... |                     one datagram
//   byte stream over UDP:  | 0x00 | payload ... |                       one datagram
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr int kTransportUdp = 0;
inline constexpr int kTransportTcp = 1;

// Longest JSON text a TCP frame can carry (16-bit total length minus 3).
inline constexpr size_t kMaxJsonFrameText = 0xFFFF - 3;

// Sends one JSON message. transport 1 is TCP (connect waits at most 5 s),
// any other value UDP. Returns 0 when sent, 1 when the destination is empty
// (nothing is sent), -1 on failure, including a text too long for the frame.
int SendJsonCommand(const std::string& json, const std::string& address, uint16_t port,
                    int transport);

// Sends kind byte 0 and the payload as one UDP datagram. Returns the bytes
// sent (size + 1) or -1.
int SendBytes(const void* payload, size_t size, const std::string& address, uint16_t port);

// Sends 4096 blocks of 1024 bytes over one TCP connection, the bandwidth test
// for PC-screen mirroring. 0 after sending, -1 when the connection fails.
int SendTestStream(const std::string& address, uint16_t port);
