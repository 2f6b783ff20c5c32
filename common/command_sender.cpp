#include "command_sender.h"

#include <algorithm>
#include <vector>

#include "debug_log.h"
#include "platform/socket.h"

using platform::Socket;

namespace {

constexpr uint32_t kConnectTimeoutMs = 5000;
constexpr uint32_t kDatagramTimeoutMs = 10000;
// What a blocking connect to a silent host costs before it gives up.
constexpr uint32_t kTestStreamConnectTimeoutMs = 21000;

bool SendTcpFrame(Socket& socket, const std::string& json) {
  const size_t total = json.size() + 3;
  const uint8_t length[2] = {static_cast<uint8_t>(total >> 8), static_cast<uint8_t>(total & 0xFF)};
  const uint8_t kind = 1;
  return socket.SendAll(length, sizeof length) && socket.SendAll(&kind, 1) &&
         socket.SendAll(json.data(), json.size());
}

bool SendUdpMessage(Socket& socket, const std::string& json) {
  std::string datagram(1, '\x01');
  datagram += json;
  return socket.Send(datagram.data(), datagram.size()) == static_cast<int>(datagram.size());
}

}  // namespace

int SendJsonCommand(const std::string& json, const std::string& address, uint16_t port,
                    int transport) {
  if (address.empty()) return 1;
  const bool tcp = transport == kTransportTcp;
  if (tcp && json.size() > kMaxJsonFrameText) {
    // The 16-bit length would wrap and the device would read garbage.
    VPLog("Json Command too long for a frame (%zu bytes), not sent to %s", json.size(),
          address.c_str());
    return -1;
  }
  uint32_t ip = 0;
  if (!platform::TextToIpv4(address, &ip)) {
    VPLog("connect error = %d", platform::kSockErrInvalid);
    return -1;
  }
  Socket socket = tcp ? Socket::Tcp() : Socket::Udp();
  if (!socket.IsValid()) {
    VPLog("Could not create valid socket, errcode = %d.", platform::LastSocketError());
    return -1;
  }
  int err = socket.Connect(ip, port, kConnectTimeoutMs);
  if (err == platform::kSockErrTimedOut) {
    VPLog("Failed to Send Json Command, errcode = %d, %s:\n%s", err, address.c_str(), json.c_str());
    return -1;
  }
  if (err != 0) {
    VPLog("sending command connection time out");
    return -1;
  }
  if (!(tcp ? SendTcpFrame(socket, json) : SendUdpMessage(socket, json))) return -1;
  VPLog("Json Command Sent over : %s", json.c_str());
  return 0;
}

int SendBytes(const void* payload, size_t size, const std::string& address, uint16_t port) {
  uint32_t ip = 0;
  if (!platform::TextToIpv4(address, &ip)) return -1;
  Socket socket = Socket::Udp();
  if (!socket.IsValid() || socket.Connect(ip, port, kDatagramTimeoutMs) != 0) return -1;
  std::vector<uint8_t> datagram(size + 1);
  datagram[0] = 0;
  if (size) std::copy_n(static_cast<const uint8_t*>(payload), size, datagram.begin() + 1);
  return socket.Send(datagram.data(), datagram.size());
}

int SendTestStream(const std::string& address, uint16_t port) {
  uint32_t ip = 0;
  if (!platform::TextToIpv4(address, &ip)) return -1;
  Socket socket = Socket::Tcp();
  if (!socket.IsValid() || socket.Connect(ip, port, kTestStreamConnectTimeoutMs) != 0) return -1;
  static const std::vector<uint8_t> block(1024, 0x5A);
  for (int i = 0; i < 4096; ++i) socket.Send(block.data(), block.size());
  return 0;
}
