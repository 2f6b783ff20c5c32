#include "service_request.h"

#include "common/command_sender.h"
#include "common/debug_log.h"
#include "common/device_json.h"
#include "platform/socket.h"

namespace {

constexpr size_t kReplyBytes = 1500;

}  // namespace

bool SendServiceRequest(const Json::Value& request, Json::Value* reply, uint16_t service_port,
                        uint32_t timeout_ms) {
  *reply = Json::Value();
  // Bound to loopback: only a program on this PC can answer.
  platform::Socket socket = platform::Socket::Udp();
  if (!socket.IsValid() || !socket.Bind(platform::LoopbackIpv4(), 0) ||
      !socket.SetReceiveTimeout(timeout_ms)) {
    VPLog("service reply socket failed, error %d", platform::LastSocketError());
    return false;
  }
  Json::Value message = request;
  message["rport"] = socket.LocalAddress().port;
  SendJsonCommand(DeviceJsonText(message), "127.0.0.1", service_port, kTransportUdp);

  char buffer[kReplyBytes];
  const int size = socket.RecvFrom(buffer, sizeof buffer);
  if (size < 0) {
    const int error = platform::LastSocketError();
    if (error == platform::kSockErrTimedOut || error == platform::kSockErrNetDown) {
      VPLog("service request not answered, error %d", error);
      return false;
    }
    return true;
  }
  ParseDeviceJson(std::string_view(buffer, static_cast<size_t>(size)), reply);
  return true;
}
