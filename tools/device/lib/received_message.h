// What the emulated device received from a receiver, as recorded for tests
// and for the vpdevice program.
#pragma once

#include <chrono>
#include <cstdint>
#include <json/value.h>
#include <string>
#include <vector>

enum class DeviceChannel { Udp, Tcp };

struct ReceivedMessage {
  DeviceChannel channel = DeviceChannel::Udp;
  uint32_t from_ip = 0;  // network byte order
  uint8_t kind = 0;      // the kind byte as received
  std::vector<uint8_t> payload;
  Json::Value json;      // parsed JSON for kind 1, null otherwise
  std::chrono::steady_clock::time_point at;

  // The receiver's keep-alive: UDP 00 00.
  bool IsKeepAlive() const;
  bool IsCommand(int act, int cmd) const;
  // One line for people: "udp 10.0.0.1 json {...}" or "udp 10.0.0.1 bytes 00".
  std::string Describe() const;
};
