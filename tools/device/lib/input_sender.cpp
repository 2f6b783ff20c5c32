#include "input_sender.h"

#include "common/device_json.h"

namespace {

constexpr uint8_t kVkReturn = 0x0D;

}  // namespace

InputSender::InputSender(uint32_t receiver_ip, uint16_t receiver_port, uint32_t local_ip)
    : socket_(platform::Socket::Udp()), receiver_ip_(receiver_ip), receiver_port_(receiver_port) {
  if (socket_.IsValid() && !socket_.Bind(local_ip, 0)) socket_.Close();
}

bool InputSender::SendPointer(uint8_t code, uint16_t value1, uint16_t value2) {
  const char packet[6] = {0x00,
                          static_cast<char>(code),
                          static_cast<char>(value1 >> 8),
                          static_cast<char>(value1 & 0xFF),
                          static_cast<char>(value2 >> 8),
                          static_cast<char>(value2 & 0xFF)};
  return SendRaw(std::string(packet, sizeof packet));
}

bool InputSender::SendKey(uint8_t code, uint8_t virtual_key) {
  return SendPointer(code, static_cast<uint16_t>(virtual_key << 8), 0);
}

bool InputSender::PressKey(uint8_t virtual_key) {
  return SendKey(0xB1, virtual_key) && SendKey(0xB2, virtual_key);
}

bool InputSender::SendText(const std::string& utf8) {
  Json::Value command = MakeCommand(2, 1);
  command["string"] = utf8;
  return SendRaw("\x01" + DeviceJsonText(command));
}

bool InputSender::TypeLine(const std::string& utf8) {
  return SendText(utf8) && PressKey(kVkReturn);
}

bool InputSender::SendRaw(const std::string& datagram) {
  return socket_.IsValid() && socket_.SendTo(datagram.data(), datagram.size(), receiver_ip_,
                                             receiver_port_) == static_cast<int>(datagram.size());
}
