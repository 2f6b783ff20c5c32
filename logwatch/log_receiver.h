// The viewer's receiver: one thread that binds the debug-log port on every
// local address and hands each received datagram, as a line, to a sink.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>

#include "log_line_sink.h"
#include "platform/socket.h"
#include "platform/sync.h"

class LogReceiver {
 public:
  static constexpr uint16_t kPort = 58372;
  // Longer datagrams fail the receive and are skipped.
  static constexpr size_t kBufferSize = 1500;

  // The port is fixed in the product; tests may listen elsewhere.
  explicit LogReceiver(uint16_t port = kPort);
  LogReceiver(const LogReceiver&) = delete;
  LogReceiver& operator=(const LogReceiver&) = delete;
  // Waits for the thread without limit when Stop did not see it end.
  ~LogReceiver();

  // Starts the thread. The sink must outlive the thread; it is called from it.
  void Start(LogLineSink* sink);
  // Sets the stop flag and shuts the socket down, which ends a waiting
  // receive, then waits at most timeout_ms. True when the thread has ended.
  bool Stop(uint32_t timeout_ms);

 private:
  void Run(LogLineSink* sink);

  const uint16_t port_;
  // Created by Start on the calling thread so that Stop can always reach it;
  // closed by the destructor, once no thread can be blocked on it.
  platform::Socket socket_;
  platform::Event stop_{true};
  platform::Event finished_{true};
  std::thread thread_;
};
