#include "service_packet_handler.h"

#include <string_view>

#include "hosted_network.h"
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
    static ServiceJsonHandler json_handler(HostedNetwork::Instance());
    json_handler.Handle(std::string_view(reinterpret_cast<const char*>(packet.payload.data()),
                                         packet.payload.size()));
  }
  return 0;
}
