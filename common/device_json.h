// The JSON text form of the device protocol. Every message is an object with
// integer "act" and "cmd"; members are read by name, and a missing or
// mistyped member reads as 0, false or the empty string.
//
// Messages written by the PC use the indented form, members in ascending
// byte order of their names, three blanks of indent, " : " between name and
// value, and one line feed at the end:
//   {
//      "act" : 1,
//      "cmd" : 20
//   }
#pragma once

#include <json/value.h>
#include <string>
#include <string_view>

// The indented text of a value (UTF-8 written as is, not escaped).
std::string DeviceJsonText(const Json::Value& value);

// Parses a device message without trusting it. A text that does not parse,
// including one nested deeper than the parser allows, gives a null value and
// false.
bool ParseDeviceJson(std::string_view text, Json::Value* value);

// Member readers with the protocol's defaults. A non-object value reads as empty.
int JsonInt(const Json::Value& object, const char* name);
bool JsonBool(const Json::Value& object, const char* name);
std::string JsonString(const Json::Value& object, const char* name);

// {"act": act, "cmd": cmd}, the start of every message.
Json::Value MakeCommand(int act, int cmd);
