// The operating system's network tables: IPv4 addresses and the hardware
// addresses of the network adapters.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// Every IPv4 address of every interface that is up, in the system's order,
// in network byte order (loopback included; callers filter).
std::vector<uint32_t> IPv4AddressTable();

// The hardware addresses of the network adapters, in the system's order.
// The loopback interface has none and is left out. False when the table
// cannot be read.
bool AdapterHardwareAddresses(std::vector<std::vector<uint8_t>>* addresses);

}  // namespace platform
