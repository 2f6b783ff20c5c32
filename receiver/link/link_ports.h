// The device protocol's port numbers. Devices listen on the same two numbers
// for what the receiver sends back.
#pragma once

#include <cstdint>

inline constexpr uint16_t kDeviceUdpPort = 7990;   // datagrams both ways
inline constexpr uint16_t kDeviceTcpPort = 7991;   // framed messages both ways
inline constexpr uint16_t kFileTransferPort = 7992;  // file uploads and downloads
