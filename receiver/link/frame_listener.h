// The TCP 7991 listener: accepts device connections (backlog 15) and hands
// each to a pool of 20 workers as a SpecificWorkItem. A connection that stays
// open holds its worker; later connections wait for a free one.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "active_connections.h"
#include "platform/socket.h"
#include "receiver/core/work_queue.h"

class PacketQueue;

class FrameListener {
 public:
  static constexpr int kBacklog = 15;
  static constexpr unsigned kWorkers = 20;

  explicit FrameListener(PacketQueue& queue) : queue_(queue) {}
  FrameListener(const FrameListener&) = delete;
  FrameListener& operator=(const FrameListener&) = delete;
  ~FrameListener() { Stop(); }

  // Binds, listens and starts the acceptor. A bind or listen failure is
  // logged and the acceptor keeps retrying at a slow pace; returns false then.
  bool Start(uint32_t bind_ip, uint16_t port);
  // Closes the listening socket and every connection, waits for all threads.
  void Stop();
  uint16_t Port() const { return port_; }

 private:
  void AcceptLoop();

  PacketQueue& queue_;
  platform::Socket socket_;
  uint16_t port_ = 0;
  CWorkQueue workers_;
  ActiveConnections active_;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};
