// The receiver's device link as the product assembles it, on loopback ports
// chosen by the system, with the remote-control handlers registered and one
// device already paired. Pointer and key packets from that device are
// forwarded to the service program on 127.0.0.1:7989.
#pragma once

#include <string>

#include "platform/socket.h"
#include "receiver/control/hid_control_handler.h"
#include "receiver/link/client_list.h"
#include "receiver/link/device_listeners.h"
#include "receiver/link/packet_processor.h"
#include "receiver/link/packet_queue.h"

class LinkedReceiver {
 public:
  // bind_ip: where the device listeners bind (network byte order).
  LinkedReceiver(const std::string& device_address, uint32_t bind_ip)
      : bind_ip_(bind_ip),
        keep_alive_sink_(platform::Socket::Udp()),
        clients_(SystemClientClock::Instance(), NetworkDeviceSender::Instance(), KeepAlivePort()),
        processor_(clients_, [](std::string_view) {}),
        listeners_(queue_, processor_) {
    clients_.Add("emulator", device_address);
    processor_.RegisterJsonHandler(2, &handler_);
    for (uint8_t packet_class : {0x90, 0xA0, 0xB0})
      processor_.RegisterByteHandler(packet_class, &handler_);
  }
  ~LinkedReceiver() {
    listeners_.Stop();
    clients_.RemoveFirst();
  }

  bool Start() {
    DeviceLinkConfig config;
    config.bind_ip = bind_ip_;
    config.udp_port = 0;
    config.frame_port = 0;
    config.file_port = 0;
    return listeners_.Start(config) == 0;
  }
  uint16_t UdpPort() const { return listeners_.UdpPort(); }

 private:
  // Keep-alive datagrams of the client list land on a socket of ours.
  uint16_t KeepAlivePort() {
    keep_alive_sink_.Bind(platform::LoopbackIpv4(), 0);
    return keep_alive_sink_.LocalAddress().port;
  }

  uint32_t bind_ip_;
  platform::Socket keep_alive_sink_;
  ClientList clients_;
  PacketQueue queue_;
  PacketProcessor processor_;
  HIDControlHandler handler_{VPHIDActionProcessor::Instance()};
  DeviceListeners listeners_;
};
