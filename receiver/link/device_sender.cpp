#include "device_sender.h"

#include "common/command_sender.h"

NetworkDeviceSender& NetworkDeviceSender::Instance() {
  static NetworkDeviceSender sender;
  return sender;
}

int NetworkDeviceSender::SendJsonCommand(const std::string& json, const std::string& address,
                                         uint16_t port, int transport) {
  return ::SendJsonCommand(json, address, port, transport);
}

int NetworkDeviceSender::SendBytes(const void* payload, size_t size, const std::string& address,
                                   uint16_t port) {
  return ::SendBytes(payload, size, address, port);
}
