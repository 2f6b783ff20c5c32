#include "device_json.h"

#include <json/reader.h>
#include <json/writer.h>
#include <exception>
#include <memory>

std::string DeviceJsonText(const Json::Value& value) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "   ";
  builder["emitUTF8"] = true;
  // JsonCpp keeps object members in a map ordered by name, which is the
  // protocol's member order.
  return Json::writeString(builder, value) + "\n";
}

bool ParseDeviceJson(std::string_view text, Json::Value* value) {
  Json::CharReaderBuilder builder;
  builder["collectComments"] = false;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string errors;
  try {
    if (reader->parse(text.data(), text.data() + text.size(), value, &errors)) return true;
  } catch (const std::exception&) {
    // Nesting deeper than the parser allows is thrown, not reported: a device
    // must not be able to end the program with it.
  }
  *value = Json::Value();
  return false;
}

int JsonInt(const Json::Value& object, const char* name) {
  if (!object.isObject()) return 0;
  const Json::Value& member = object[name];
  if (member.isInt()) return member.asInt();
  if (member.isUInt()) return static_cast<int>(member.asUInt());
  if (member.isDouble()) return static_cast<int>(member.asDouble());
  if (member.isBool()) return member.asBool() ? 1 : 0;
  return 0;
}

bool JsonBool(const Json::Value& object, const char* name) {
  if (!object.isObject()) return false;
  const Json::Value& member = object[name];
  if (member.isBool()) return member.asBool();
  if (member.isNumeric()) return member.asDouble() != 0;
  return false;
}

std::string JsonString(const Json::Value& object, const char* name) {
  if (!object.isObject()) return {};
  const Json::Value& member = object[name];
  return member.isString() ? member.asString() : std::string();
}

Json::Value MakeCommand(int act, int cmd) {
  Json::Value value(Json::objectValue);
  value["act"] = act;
  value["cmd"] = cmd;
  return value;
}
