// The service's end of the local control link: UDP 127.0.0.1:7989, a queue of
// at most 500 received packets and one worker thread that handles them in
// order. The receiver sends forwarded input, requests and, when it ends, the
// quit datagram 00 FF.
//
// Only the loopback address is bound and only packets whose sender is
// 127.0.0.1 are acted on: input injected by any other host, or a quit from
// it, would let the network drive the user's desktop.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "common/blocking_queue.h"
#include "platform/socket.h"
#include "service_packet.h"

class ServiceControlLink {
 public:
  static constexpr uint16_t kPort = 7989;
  static constexpr size_t kQueueCapacity = 500;
  static constexpr size_t kDatagramBytes = 1024;
  using Handler = std::function<void(const ServicePacket&)>;

  // handler runs on the worker thread for every packet from 127.0.0.1 but the
  // quit datagram.
  explicit ServiceControlLink(Handler handler, uint16_t port = kPort);
  ServiceControlLink(const ServiceControlLink&) = delete;
  ServiceControlLink& operator=(const ServiceControlLink&) = delete;
  ~ServiceControlLink() { Stop(); }

  void StartWorker();
  // Binds 127.0.0.1:port. 0, or -1 when the port is taken (another copy runs).
  int Open();
  // Receives on the calling thread until the quit datagram has been handled
  // or the network goes down. Returns 0.
  int Run();
  // Ends the worker (packets still queued are dropped) and closes the socket.
  void Stop();

 private:
  void ReceiveOne(uint8_t* buffer);
  void WorkerLoop();
  void Quit();

  Handler handler_;
  const uint16_t port_;
  platform::Socket socket_;
  BlockingQueue<std::unique_ptr<ServicePacket>> queue_{kQueueCapacity};
  std::atomic<bool> running_{true};
  std::thread worker_;
};
