#include "service_input.h"

ServiceInput& ServiceInput::Instance() {
  static ServiceInput input(PlatformInputSink::Instance());
  return input;
}

// Input from anywhere but this PC is never executed here: the receiver has
// already checked the device's pairing before forwarding.
ServiceInput::ServiceInput(HIDInputSink& sink)
    : processor_(sink, VPHIDActionProcessor::ForeignInput::kDrop) {}

int ServiceInput::ProcessBytePacket(const uint8_t* payload, size_t size, uint32_t source_ip) {
  if (size == 0) return 0;
  const uint8_t code = payload[0];
  if ((code >= 0x90 && code <= 0xBF) || (code >= 0xD0 && code <= 0xDF))
    return processor_.ProcessBytePacket(payload, size, source_ip);
  if (code >= 0xC0 && code <= 0xCF && presenter_)
    return presenter_->ProcessBytePacket(payload, size, source_ip);
  return 0;
}
