// Where the HID processor's synthetic input goes: the desktop in the programs,
// a recorder in tests. Calls carry the flag semantics of platform/input.h.
#pragma once

#include <cstdint>
#include <string>

class HIDInputSink {
 public:
  virtual ~HIDInputSink() = default;
  virtual void SendMouse(uint32_t flags, int32_t dx, int32_t dy, int32_t data) = 0;
  virtual void SendKey(uint8_t virtual_key, uint8_t scan_code, uint32_t flags) = 0;
  // False when the clipboard could not be taken; the text is then dropped.
  virtual bool SetClipboardText(const std::string& utf8) = 0;
};

// The desktop's own input and clipboard.
class PlatformInputSink : public HIDInputSink {
 public:
  static PlatformInputSink& Instance();
  void SendMouse(uint32_t flags, int32_t dx, int32_t dy, int32_t data) override;
  void SendKey(uint8_t virtual_key, uint8_t scan_code, uint32_t flags) override;
  bool SetClipboardText(const std::string& utf8) override;
};
