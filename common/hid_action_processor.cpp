#include "hid_action_processor.h"

#include <charconv>

#include "command_sender.h"
#include "debug_log.h"
#include "device_json.h"
#include "platform/input.h"
#include "platform/screen_metrics.h"
#include "platform/socket.h"

namespace {

constexpr int kClassRelative = 0x90;
constexpr int kClassAbsolute = 0xA0;
constexpr int kClassKeys = 0xB0;
constexpr int kKeyDown = 0xB1;
constexpr int kKeyUp = 0xB2;
constexpr int kKeyText = 0xB3;
constexpr int kActionWheel = 8;

constexpr int kActText = 2;
constexpr int kCmdString = 1;
constexpr int kCmdKey = 2;

constexpr uint8_t kVkV = 0x56;

int32_t Unsigned16(const uint8_t* bytes) { return (bytes[0] << 8) | bytes[1]; }
int32_t Signed16(const uint8_t* bytes) { return static_cast<int16_t>(Unsigned16(bytes)); }

// Button flags of pointer actions 1..9 (8, the wheel, is built apart).
uint32_t ButtonFlags(int action) {
  using namespace platform;
  switch (action) {
    case 1: return kMouseEventLeftDown;
    case 3: return kMouseEventLeftUp;
    case 4: case 7: return kMouseEventLeftDown | kMouseEventLeftUp;
    case 5: return kMouseEventRightDown;
    case 6: return kMouseEventRightUp;
    case 9: return kMouseEventRightDown | kMouseEventRightUp;
    default: return 0;
  }
}

}  // namespace

VPHIDActionProcessor& VPHIDActionProcessor::Instance() {
  static VPHIDActionProcessor processor(PlatformInputSink::Instance(), ForeignInput::kForward);
  return processor;
}

VPHIDActionProcessor::VPHIDActionProcessor(HIDInputSink& sink, ForeignInput foreign,
                                           uint16_t service_port)
    : sink_(sink), foreign_(foreign), service_port_(service_port) {}

int VPHIDActionProcessor::ProcessBytePacket(const uint8_t* payload, size_t size,
                                            uint32_t source_ip) {
  // The fields sit at fixed offsets; a shorter packet has no values to read.
  if (size < kPacketSize) return 0;
  const int code = payload[0];
  const int packet_class = code & 0xF0;
  if (packet_class != kClassRelative && packet_class != kClassAbsolute &&
      packet_class != kClassKeys)
    return 0;
  if (source_ip != platform::LoopbackIpv4()) {
    if (foreign_ == ForeignInput::kForward)
      SendBytes(payload, size, "127.0.0.1", service_port_);
    return 0;
  }
  if (packet_class == kClassRelative) {
    SendMouseEvent(code, Signed16(payload + 1), Signed16(payload + 3), false);
  } else if (packet_class == kClassAbsolute) {
    const bool wheel = (code & 0x0F) == kActionWheel;
    SendMouseEvent(code, wheel ? Signed16(payload + 1) : Unsigned16(payload + 1),
                   wheel ? Signed16(payload + 3) : Unsigned16(payload + 3), true);
  } else {
    SendKeyAction(code, std::to_string(payload[1]));
  }
  return 0;
}

int VPHIDActionProcessor::ProcessJsonCommand(const Json::Value& command, uint32_t /*source_ip*/) {
  if (JsonInt(command, "act") != kActText) return 0;
  const int cmd = JsonInt(command, "cmd");
  if (cmd == kCmdString) {
    EnterText(JsonString(command, "string"));
  } else if (cmd == kCmdKey && JsonString(command, "key") == "switch_window" && switcher_) {
    switcher_();
  }
  return 0;
}

void VPHIDActionProcessor::SendMouseEvent(int code, int32_t value1, int32_t value2,
                                          bool absolute) {
  const int action = code & 0x0F;
  if (action == kActionWheel) {
    sink_.SendMouse(platform::kMouseEventWheel, 0, value1, value2);
    return;
  }
  if (action < 1 || action > 9) return;
  const uint32_t flags = platform::kMouseEventMove | ButtonFlags(action) |
                         (absolute ? platform::kMouseEventAbsolute : 0);
  sink_.SendMouse(flags, value1, value2, 0);
  if (action == 7) sink_.SendMouse(flags, value1, value2, 0);  // double click: the same again
}

void VPHIDActionProcessor::SendKeyAction(int code, const std::string& text) {
  if (code == kKeyText) {
    EnterText(text);
    return;
  }
  if (code != kKeyDown && code != kKeyUp) return;
  unsigned key = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), key);
  if (error != std::errc() || end != text.data() + text.size() || key > 0xFF) return;
  sink_.SendKey(static_cast<uint8_t>(key), 0, code == kKeyUp ? platform::kKeyEventKeyUp : 0);
}

void VPHIDActionProcessor::RefreshScreenMetrics() {
  using namespace platform;
  metrics_.screen_width = GetSystemMetrics(kSmCxScreen);
  metrics_.screen_height = GetSystemMetrics(kSmCyScreen);
  metrics_.virtual_width = GetSystemMetrics(kSmCxVirtualScreen);
  metrics_.virtual_height = GetSystemMetrics(kSmCyVirtualScreen);
  metrics_.virtual_x = GetSystemMetrics(kSmXVirtualScreen);
  metrics_.virtual_y = GetSystemMetrics(kSmYVirtualScreen);
}

// A single lower-case letter or digit is typed as its key; anything else is
// pasted, which reaches every character a keyboard layout may lack.
void VPHIDActionProcessor::EnterText(const std::string& utf8) {
  if (utf8.size() == 1 && utf8[0] >= 'a' && utf8[0] <= 'z') {
    TapKey(static_cast<uint8_t>(utf8[0] - 32));
    return;
  }
  if (utf8.size() == 1 && utf8[0] >= '0' && utf8[0] <= '9') {
    TapKey(static_cast<uint8_t>(utf8[0]));
    return;
  }
  if (!sink_.SetClipboardText(utf8)) {
    VPLog("clipboard not available, text of %zu bytes dropped", utf8.size());
    return;
  }
  sink_.SendKey(platform::kVkControl, 0, 0);
  sink_.SendKey(kVkV, 0, 0);
  sink_.SendKey(kVkV, 0, platform::kKeyEventKeyUp);
  sink_.SendKey(platform::kVkControl, 0, platform::kKeyEventKeyUp);
}

void VPHIDActionProcessor::TapKey(uint8_t virtual_key) {
  sink_.SendKey(virtual_key, 0, 0);
  sink_.SendKey(virtual_key, 0, platform::kKeyEventKeyUp);
}
