// JSON text that comes from a device, parsed without trusting it: a text the
// parser refuses by throwing (nesting deeper than it allows) reads as null,
// like any other text that does not parse, instead of ending the receiver.
#pragma once

#include <json/value.h>
#include <string_view>

// True when the text parsed; otherwise the value is null.
bool ParseDevicePayload(std::string_view text, Json::Value* value);
