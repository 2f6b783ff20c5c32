#include "service_packet_handler.h"

#include <string_view>

#include "common/debug_log.h"
#include "hosted_network.h"
#include "platform/socket.h"
#include "service_input.h"
#include "service_json_handler.h"

ServicePacketHandler& ServicePacketHandler::Instance() {
  static ServicePacketHandler handler;
  return handler;
}

int ServicePacketHandler::Handle(const ServicePacket& packet) {
  if (packet.kind == 0) {
    ServiceInput::Instance().ProcessBytePacket(packet.payload.data(), packet.payload.size(),
                                               packet.sender_ip);
  } else if (packet.kind == 1) {
    const std::string_view text(reinterpret_cast<const char*>(packet.payload.data()),
                                packet.payload.size());
    VPLog("service json from %s:%u: %.*s", platform::Ipv4ToText(packet.sender_ip).c_str(),
          packet.sender_port, static_cast<int>(text.size()), text.data());
    static ServiceJsonHandler json_handler(HostedNetwork::Instance());
    json_handler.Handle(text);
  }
  return 0;
}
