// Turns a device's pointer, key and text messages into the PC's mouse and
// keyboard. Compiled into the receiver, which forwards pointer and key packets
// to the service program, and into the service program, which executes them.
//
// Byte-stream input packet (payload after the kind byte), 5 bytes:
//   +------+---------+---------+
//   | code | value 1 | value 2 |   code: high nibble class, low nibble action
//   +------+---------+---------+   values big-endian 16-bit; keys use byte 1 only
//      0     1     2   3     4
// Classes: 0x90 relative pointer (signed pixels), 0xA0 absolute pointer
// (0..65535, signed for the wheel action 8), 0xB0 keys. Pen classes belong
// to the annotation overlay and are not handled here.
//
// Calls come from one thread at a time (the packet-processing thread, or the
// service program's worker); the processor holds no lock of its own.
#pragma once

#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "hid_input_sink.h"

class VPHIDActionProcessor {
 public:
  static constexpr uint16_t kServicePort = 7989;
  static constexpr size_t kPacketSize = 5;

  // What happens to pointer and key packets whose sender is not "127.0.0.1".
  enum class ForeignInput {
    kForward,  // sent unchanged to the service program, which executes them (the receiver)
    kDrop,     // ignored: only the receiver on this PC may drive the input (the service)
  };

  struct ScreenMetrics {
    int screen_width = 0, screen_height = 0;
    int virtual_width = 0, virtual_height = 0;
    int virtual_x = 0, virtual_y = 0;
  };

  // The receiver's processor: the desktop's input, forwarding to the service program.
  static VPHIDActionProcessor& Instance();

  VPHIDActionProcessor(HIDInputSink& sink, ForeignInput foreign,
                       uint16_t service_port = kServicePort);
  VPHIDActionProcessor(const VPHIDActionProcessor&) = delete;
  VPHIDActionProcessor& operator=(const VPHIDActionProcessor&) = delete;

  // A byte-stream payload from source_ip (network byte order). Packets shorter
  // than 5 bytes are ignored. Returns 0.
  int ProcessBytePacket(const uint8_t* payload, size_t size, uint32_t source_ip);
  // A parsed device message ("act" 2: text entry and window switching). Returns 0.
  int ProcessJsonCommand(const Json::Value& command, uint32_t source_ip);

  // Performs a pointer action (low nibble of code) with signed values.
  void SendMouseEvent(int code, int32_t value1, int32_t value2, bool absolute);
  // 0xB1 key down and 0xB2 key up of the virtual key written in text as
  // decimal; 0xB3 enters text itself.
  void SendKeyAction(int code, const std::string& text);
  void RefreshScreenMetrics();
  const ScreenMetrics& Metrics() const { return metrics_; }

  // Called for the "switch_window" key; the window switcher installs it at start-up.
  void SetWindowSwitcher(std::function<void()> switcher) { switcher_ = std::move(switcher); }

 private:
  void EnterText(const std::string& utf8);
  void TapKey(uint8_t virtual_key);

  HIDInputSink& sink_;
  const ForeignInput foreign_;
  const uint16_t service_port_;
  ScreenMetrics metrics_;
  std::function<void()> switcher_;
};
