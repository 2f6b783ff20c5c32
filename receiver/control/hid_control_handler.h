// The HID processor in the device link's roles: pointer and key packets
// (classes 0x90, 0xA0, 0xB0) and the text-entry and window-switching commands
// (act 2). Runs on the packet-processing thread.
#pragma once

#include "common/hid_action_processor.h"
#include "receiver/link/command_handler.h"

class PacketProcessor;

class HIDControlHandler : public JsonCommandHandler, public BytePacketHandler {
 public:
  // Over the receiver's processor, VPHIDActionProcessor::Instance().
  static HIDControlHandler& Instance();

  explicit HIDControlHandler(VPHIDActionProcessor& processor) : processor_(processor) {}

  int ProcessJsonCommand(const JsonCommand& command) override;
  int ProcessBytePacket(const Packet& packet) override;

 private:
  VPHIDActionProcessor& processor_;
};

// Registers the remote-control handlers with the device link; called once at start-up.
void RegisterControlHandlers(PacketProcessor& processor);
