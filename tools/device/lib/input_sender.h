// The device's remote mouse and keyboard: pointer and key packets and text,
// sent to the receiver's UDP port as a phone sends them.
//
// Pointer and key packet (after the kind byte 0):
//   | code | value 1 hi | value 1 lo | value 2 hi | value 2 lo |
// Text: {"act": 2, "cmd": 1, "string": text} as a JSON datagram (kind byte 1).
#pragma once

#include <cstdint>
#include <string>

#include "platform/socket.h"

class InputSender {
 public:
  static constexpr uint16_t kReceiverPort = 7990;

  // local_ip (network byte order) is the address the packets leave from; 0
  // lets the system choose.
  InputSender(uint32_t receiver_ip, uint16_t receiver_port = kReceiverPort, uint32_t local_ip = 0);

  bool IsOpen() const { return socket_.IsValid(); }

  // code 0x91..0x99 (relative, signed values) or 0xA1..0xA9 (absolute 0..65535).
  bool SendPointer(uint8_t code, uint16_t value1, uint16_t value2);
  // code 0xB1 (down), 0xB2 (up) or 0xB3 (type the decimal digits of the key byte).
  bool SendKey(uint8_t code, uint8_t virtual_key);
  // Down then up.
  bool PressKey(uint8_t virtual_key);
  bool SendText(const std::string& utf8);
  // The text, then the Return key.
  bool TypeLine(const std::string& utf8);
  // One datagram exactly as given, kind byte included (for malformed packets).
  bool SendRaw(const std::string& datagram);

 private:

  platform::Socket socket_;
  uint32_t receiver_ip_;
  uint16_t receiver_port_;
};
