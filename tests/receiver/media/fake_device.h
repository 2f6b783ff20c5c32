// The device's end of the reply port: accepts the receiver's JSON frames on
// TCP (| len hi | len lo | 0x01 | JSON |) and queues the parsed messages.
#pragma once

#include <json/value.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/socket.h"

class FakeDevice {
 public:
  ~FakeDevice();
  bool Start(const char* address, uint16_t port);
  std::optional<Json::Value> NextMessage(std::chrono::milliseconds timeout);
  // True when no message is waiting or on its way: a marker sent to ourselves
  // after the fact arrives first (connections are served in order).
  bool NothingPending();

 private:
  void AcceptLoop();

  platform::Socket listener_;
  std::string address_;
  uint16_t port_ = 0;
  std::thread thread_;
  std::mutex lock_;
  std::condition_variable arrived_;
  std::deque<Json::Value> messages_;
};
