#include "received_message.h"

#include <cstdio>
#include <json/writer.h>

#include "common/device_json.h"
#include "device_frame.h"
#include "platform/socket.h"

bool ReceivedMessage::IsKeepAlive() const {
  return channel == DeviceChannel::Udp && kind == kKindByteStream && payload.size() == 1 &&
         payload[0] == 0;
}

bool ReceivedMessage::IsCommand(int act, int cmd) const {
  return kind == kKindJson && json.isObject() && JsonInt(json, "act") == act &&
         JsonInt(json, "cmd") == cmd;
}

std::string ReceivedMessage::Describe() const {
  std::string line = channel == DeviceChannel::Udp ? "udp " : "tcp ";
  line += platform::Ipv4ToText(from_ip);
  if (kind == kKindJson) {
    Json::StreamWriterBuilder compact;
    compact["indentation"] = "";
    compact["emitUTF8"] = true;
    line += " json ";
    line += json.isNull() ? std::string(payload.begin(), payload.end())
                          : Json::writeString(compact, json);
    return line;
  }
  line += kind == kKindByteStream ? " bytes" : " kind " + std::to_string(kind);
  char hex[4];
  for (uint8_t byte : payload) {
    std::snprintf(hex, sizeof hex, " %02X", byte);
    line += hex;
  }
  return line;
}
