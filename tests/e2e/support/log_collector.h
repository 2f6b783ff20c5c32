// Collects the debug-log datagrams of the programs in one network namespace
// (UDP 127.0.0.1:58372 there) so that tests can wait for a line.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net_namespace.h"
#include "platform/socket.h"

class LogCollector {
 public:
  static constexpr uint16_t kLogPort = 58372;

  LogCollector() = default;
  LogCollector(const LogCollector&) = delete;
  LogCollector& operator=(const LogCollector&) = delete;
  ~LogCollector() { Stop(); }

  // Binds inside ns. False when the port cannot be bound there.
  bool Start(const NetNamespace& ns, uint16_t port = kLogPort);
  void Stop();

  // True once a line containing text has arrived (within timeout_ms).
  bool WaitForLine(const std::string& text, uint32_t timeout_ms) {
    return WaitForLines(text, 1, timeout_ms);
  }
  // True once count lines containing text have arrived (within timeout_ms).
  bool WaitForLines(const std::string& text, size_t count, uint32_t timeout_ms);
  std::vector<std::string> Lines() const;

 private:
  void Loop();

  platform::Socket socket_;
  std::atomic<bool> running_{false};
  std::thread thread_;
  mutable std::mutex lock_;
  std::condition_variable arrived_;
  std::vector<std::string> lines_;
};
