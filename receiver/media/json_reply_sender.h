// Role: how the mirror commands answer the device.
#pragma once

#include <cstdint>
#include <string>

class JsonReplySender {
 public:
  virtual ~JsonReplySender() = default;
  // Sends one JSON message to the device; the result as SendJsonCommand's.
  virtual int SendReply(const std::string& json, const std::string& address) = 0;
};

// The product's sender: one TCP connection to the device's port 7991 per message.
class DeviceReplySender : public JsonReplySender {
 public:
  static constexpr uint16_t kDevicePort = 7991;
  int SendReply(const std::string& json, const std::string& address) override;
};
