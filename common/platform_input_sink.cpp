#include "hid_input_sink.h"

#include "platform/clipboard.h"
#include "platform/input.h"

PlatformInputSink& PlatformInputSink::Instance() {
  static PlatformInputSink sink;
  return sink;
}

void PlatformInputSink::SendMouse(uint32_t flags, int32_t dx, int32_t dy, int32_t data) {
  platform::SendMouseInput(flags, dx, dy, data);
}

void PlatformInputSink::SendKey(uint8_t virtual_key, uint8_t scan_code, uint32_t flags) {
  platform::SendKeyInput(virtual_key, scan_code, flags);
}

bool PlatformInputSink::SetClipboardText(const std::string& utf8) {
  return platform::SetClipboardText(utf8);
}
