#include "hid_control_handler.h"

#include "receiver/link/packet_processor.h"

HIDControlHandler& HIDControlHandler::Instance() {
  static HIDControlHandler handler(VPHIDActionProcessor::Instance());
  return handler;
}

int HIDControlHandler::ProcessJsonCommand(const JsonCommand& command) {
  return processor_.ProcessJsonCommand(command.value, command.peer_ip);
}

int HIDControlHandler::ProcessBytePacket(const Packet& packet) {
  return processor_.ProcessBytePacket(packet.payload.data(), packet.payload.size(), packet.peer_ip);
}

void RegisterControlHandlers(PacketProcessor& processor) {
  HIDControlHandler& handler = HIDControlHandler::Instance();
  processor.RegisterJsonHandler(2, &handler);
  for (uint8_t packet_class : {0x90, 0xA0, 0xB0})
    processor.RegisterByteHandler(packet_class, &handler);
}
