// What the service does with a packet from the receiver: input packets are
// executed, JSON requests answered. Runs on the control link's one worker
// thread, one packet at a time, and only for packets sent from 127.0.0.1.
// The quit datagram never reaches it: the control link handles that itself.
#pragma once

#include "service_packet.h"

class ServicePacketHandler {
 public:
  static ServicePacketHandler& Instance();

  // Kind 0 (byte stream) and kind 1 (JSON). Returns 0.
  int Handle(const ServicePacket& packet);
};
