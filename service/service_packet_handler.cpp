#include "service_packet_handler.h"

#include <string>

#include "common/debug_log.h"
#include "platform/socket.h"

ServicePacketHandler& ServicePacketHandler::Instance() {
  static ServicePacketHandler handler;
  return handler;
}

// Input execution and the JSON requests come next; until then every packet
// is logged so that the receiver's traffic can be followed.
int ServicePacketHandler::Handle(const ServicePacket& packet) {
  const std::string sender = platform::Ipv4ToText(packet.sender_ip);
  if (packet.kind == 1) {
    std::string text(packet.payload.begin(), packet.payload.end());
    VPLog("service json from %s:%u: %s", sender.c_str(), packet.sender_port, text.c_str());
  } else if (!packet.payload.empty()) {
    VPLog("service bytes from %s:%u: first byte %02X, %zu bytes", sender.c_str(),
          packet.sender_port, packet.payload[0], packet.payload.size());
  }
  return 0;
}
