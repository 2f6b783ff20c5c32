#include "hosted_network_requests.h"

#include <string>

#include "common/debug_log.h"
#include "common/device_json.h"
#include "common/settings_store.h"
#include "service_request.h"

namespace {

// An answer without an integer "code" (a receive error, a text that does not
// parse) is a failure, never a success.
int CodeOf(const Json::Value& request, uint16_t service_port) {
  Json::Value reply;
  if (!SendServiceRequest(request, &reply, service_port)) return -1;
  if (!reply.isObject() || !reply["code"].isInt()) {
    VPLog("service answer without a code");
    return -1;
  }
  return reply["code"].asInt();
}

}  // namespace

int StartHostedNetwork(uint16_t service_port) {
  std::string name, passphrase;
  SettingsStore::Instance().GetHotspotName(&name);
  SettingsStore::Instance().GetHotspotPassphrase(&passphrase);
  Json::Value request(Json::objectValue);
  request["act"] = 2;
  request["ssid"] = name;
  request["password"] = passphrase;
  return CodeOf(request, service_port);
}

int StopHostedNetwork(uint16_t service_port) {
  Json::Value request(Json::objectValue);
  request["act"] = 4;
  return CodeOf(request, service_port);
}
