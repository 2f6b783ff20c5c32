// The sending role of the device link's handlers: the stateless send
// operations, behind an interface so that tests capture what would go to a
// device instead of opening sockets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class DeviceSender {
 public:
  virtual ~DeviceSender() = default;
  // As SendJsonCommand: 0 sent, 1 empty destination, -1 failure.
  virtual int SendJsonCommand(const std::string& json, const std::string& address, uint16_t port,
                              int transport) = 0;
  // As SendBytes: bytes sent (size + 1) or -1.
  virtual int SendBytes(const void* payload, size_t size, const std::string& address,
                        uint16_t port) = 0;
};

// The real sender over the network; one process-wide instance.
class NetworkDeviceSender : public DeviceSender {
 public:
  static NetworkDeviceSender& Instance();

  int SendJsonCommand(const std::string& json, const std::string& address, uint16_t port,
                      int transport) override;
  int SendBytes(const void* payload, size_t size, const std::string& address,
                uint16_t port) override;
};
