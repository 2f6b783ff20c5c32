// An input sink that writes each call down as a line of text, for tables of
// expected calls.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "common/hid_input_sink.h"

class RecordingInputSink : public HIDInputSink {
 public:
  void SendMouse(uint32_t flags, int32_t dx, int32_t dy, int32_t data) override {
    char line[64];
    std::snprintf(line, sizeof line, "mouse %04X %d %d %d", flags, dx, dy, data);
    calls.push_back(line);
  }
  void SendKey(uint8_t virtual_key, uint8_t scan_code, uint32_t flags) override {
    char line[64];
    std::snprintf(line, sizeof line, "key %02X %u %u", virtual_key, scan_code, flags);
    calls.push_back(line);
  }
  bool SetClipboardText(const std::string& utf8) override {
    calls.push_back("clipboard " + utf8);
    return clipboard_works;
  }

  std::vector<std::string> calls;
  bool clipboard_works = true;
};
