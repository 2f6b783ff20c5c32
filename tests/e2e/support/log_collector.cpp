#include "log_collector.h"

#include <chrono>

bool LogCollector::Start(const NetNamespace& ns, uint16_t port) {
  bool bound = false;
  RunInNamespace(ns, [&] {
    socket_ = platform::Socket::Udp();
    bound = socket_.IsValid() && socket_.Bind(platform::LoopbackIpv4(), port) &&
            socket_.SetReceiveTimeout(100);
  });
  if (!bound) return false;
  running_ = true;
  thread_ = std::thread([this] { Loop(); });
  return true;
}

void LogCollector::Stop() {
  running_ = false;
  if (thread_.joinable()) thread_.join();
  socket_.Close();
}

void LogCollector::Loop() {
  char buffer[8192];
  while (running_) {
    int n = socket_.RecvFrom(buffer, sizeof buffer);
    if (n <= 0) continue;
    {
      std::lock_guard lock(lock_);
      lines_.emplace_back(buffer, static_cast<size_t>(n));
    }
    arrived_.notify_all();
  }
}

bool LogCollector::WaitForLines(const std::string& text, size_t count, uint32_t timeout_ms) {
  std::unique_lock lock(lock_);
  return arrived_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] {
    size_t found = 0;
    for (const std::string& line : lines_) found += line.find(text) != std::string::npos;
    return found >= count;
  });
}

std::vector<std::string> LogCollector::Lines() const {
  std::lock_guard lock(lock_);
  return lines_;
}
