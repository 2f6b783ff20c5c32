#include "device_payload_json.h"

#include <exception>

#include "common/device_json.h"

bool ParseDevicePayload(std::string_view text, Json::Value* value) {
  try {
    return ParseDeviceJson(text, value);
  } catch (const std::exception&) {
    *value = Json::Value();
    return false;
  }
}
