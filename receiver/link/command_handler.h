// The roles the packet processor routes to. Handlers are process-wide
// singletons registered with the processor at start-up (by act for JSON, by
// the high nibble of the first byte for byte streams), so the device link
// does not depend on the subsystems that handle its messages.
//
// Handlers run on the one packet-processing thread, one message at a time.
#pragma once

#include "packet.h"

class JsonCommandHandler {
 public:
  virtual ~JsonCommandHandler() = default;
  // The result is ignored by the router.
  virtual int ProcessJsonCommand(const JsonCommand& command) = 0;
};

class BytePacketHandler {
 public:
  virtual ~BytePacketHandler() = default;
  // payload is at least one byte; the result is ignored by the router.
  virtual int ProcessBytePacket(const Packet& packet) = 0;
};
