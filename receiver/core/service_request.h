// Requests from the receiver to the service program over the local control
// link, answered on a reply port of the request's own.
#pragma once

#include <json/value.h>

#include <cstdint>

#include "service_starter.h"

inline constexpr uint32_t kServiceReplyTimeoutMs = 30000;

// Adds "rport" (a fresh loopback reply port) to the request, sends it as a
// JSON datagram to 127.0.0.1:service_port and waits for one answer datagram.
// True when an answer arrived (reply holds it parsed; null when it did not
// parse) or the wait failed for a reason other than time-out and network-down
// (reply null); false on time-out. Blocks the caller: run it on a worker.
bool SendServiceRequest(const Json::Value& request, Json::Value* reply,
                        uint16_t service_port = kServicePort,
                        uint32_t timeout_ms = kServiceReplyTimeoutMs);
