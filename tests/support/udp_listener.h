// A UDP socket on a loopback port that collects datagrams for assertions.
#pragma once

#include <optional>
#include <string>

#include "platform/socket.h"

class UdpListener {
 public:
  // Port 0 picks a free port.
  explicit UdpListener(uint16_t port = 0) : socket_(platform::Socket::Udp()) {
    bound_ = socket_.Bind(platform::LoopbackIpv4(), port);
    port_ = socket_.LocalAddress().port;
  }
  bool IsBound() const { return bound_; }
  uint16_t Port() const { return port_; }

  // The next datagram, or nothing after timeout_ms.
  std::optional<std::string> Receive(uint32_t timeout_ms = 3000) {
    socket_.SetReceiveTimeout(timeout_ms);
    char buffer[70000];
    int got = socket_.RecvFrom(buffer, sizeof buffer);
    if (got < 0) return std::nullopt;
    return std::string(buffer, static_cast<size_t>(got));
  }

 private:
  platform::Socket socket_;
  bool bound_ = false;
  uint16_t port_ = 0;
};
