// The UDP 7990 receiver: one datagram is one packet.
//
//   | kind | payload ... |   at most 1500 bytes; longer datagrams are discarded
//
// Packets go to the packet queue. The loop ends on a receive time-out or a
// network-down error, or when stopped.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "packet.h"
#include "platform/socket.h"

class PacketQueue;

// The packet of one datagram, or null for an empty datagram.
std::unique_ptr<Packet> PacketFromDatagram(const uint8_t* data, size_t size, uint32_t peer_ip);

class UdpReceiver {
 public:
  static constexpr size_t kBufferSize = 1500;

  explicit UdpReceiver(PacketQueue& queue) : queue_(queue) {}
  UdpReceiver(const UdpReceiver&) = delete;
  UdpReceiver& operator=(const UdpReceiver&) = delete;
  ~UdpReceiver() { Stop(); }

  // Binds and starts the receiving thread. False (logged, no thread) when
  // the port cannot be bound.
  bool Start(uint32_t bind_ip, uint16_t port);
  // Closes the socket and waits for the thread.
  void Stop();
  // The bound port (useful when 0 was asked for).
  uint16_t Port() const { return port_; }

 private:
  void ReceiveLoop();

  PacketQueue& queue_;
  platform::Socket socket_;
  uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};
