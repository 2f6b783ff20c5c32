// The service program's input execution: byte-stream packets from the
// receiver, routed by their first byte.
//   0x90..0xBF, 0xD0..0xDF  the service's own HID processor (pointer, keys, pen)
//   0xC0..0xCF              the presenter's pointer handling, when installed
//   anything else           ignored
// Runs on the control link's worker thread; the link passes only packets from
// 127.0.0.1, and the processor executes only those.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/hid_action_processor.h"

// The service's copy of the presenter's class 0xC0 pointer handling.
class PresenterPointerHandler {
 public:
  virtual ~PresenterPointerHandler() = default;
  virtual int ProcessBytePacket(const uint8_t* payload, size_t size, uint32_t source_ip) = 0;
};

class ServiceInput {
 public:
  static ServiceInput& Instance();

  explicit ServiceInput(HIDInputSink& sink);

  // Until one is installed, class 0xC0 packets are ignored.
  void SetPresenterPointer(PresenterPointerHandler* handler) { presenter_ = handler; }

  // Returns 0.
  int ProcessBytePacket(const uint8_t* payload, size_t size, uint32_t source_ip);

 private:
  VPHIDActionProcessor processor_;
  PresenterPointerHandler* presenter_ = nullptr;
};
