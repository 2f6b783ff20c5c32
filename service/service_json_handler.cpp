#include "service_json_handler.h"

#include <json/writer.h>

#include "common/debug_log.h"
#include "common/device_json.h"
#include "platform/socket.h"

namespace {

constexpr int kActStart = 2;
constexpr int kActStop = 4;

bool Reply(const Json::Value& request, int code) {
  const Json::Value& port = request["rport"];
  if (!port.isInt() || port.asInt() <= 0 || port.asInt() > 0xFFFF) {
    VPLog("service request without a valid rport, answer %d not sent", code);
    return false;
  }
  Json::Value answer(Json::objectValue);
  answer["code"] = code;
  Json::StreamWriterBuilder writer;
  writer["indentation"] = "";
  const std::string text = Json::writeString(writer, answer);
  platform::Socket socket = platform::Socket::Udp();
  return socket.IsValid() &&
         socket.SendTo(text.data(), text.size(), platform::LoopbackIpv4(),
                       static_cast<uint16_t>(port.asInt())) == static_cast<int>(text.size());
}

}  // namespace

int ServiceJsonHandler::Handle(std::string_view text) {
  Json::Value request;
  if (!ParseDeviceJson(text, &request) || !request.isObject()) {
    VPLog("service request is not a JSON object");
    return -1;
  }
  switch (JsonInt(request, "act")) {
    case kActStart:
      return Reply(request, network_.Start(JsonString(request, "ssid"),
                                           JsonString(request, "password")))
                 ? 0
                 : -1;
    case kActStop:
      return Reply(request, network_.Stop()) ? 0 : -1;
    default:
      return -1;
  }
}
