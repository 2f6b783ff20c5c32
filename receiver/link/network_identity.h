// The PC's own addresses: the IPv4 addresses devices can reach (for the
// connection code) and a hardware address (for the usage report).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The system's IPv4 addresses in table order, without 0.0.0.0 and 127.0.0.1
// (network byte order). Returns 0, also when the table is empty.
int GetLocalAddresses(std::vector<uint32_t>* addresses);
// The same filter over a given table.
std::vector<uint32_t> FilterLocalAddresses(const std::vector<uint32_t>& table);

// The hardware address of the first adapter whose address does not start
// with 0 (else of the last adapter), as lower-case hexadecimal with each byte
// written without leading zero: 3C 97 0E 01 A2 FF gives "3c97e1a2ff".
// Returns 0, or -1 (and empty text) when the adapter table cannot be read.
int GetAdapterAddressText(std::string* text);
// The same choice over given adapter addresses.
std::string AdapterAddressText(const std::vector<std::vector<uint8_t>>& adapters);
// One address in the text form above.
std::string HardwareAddressText(const std::vector<uint8_t>& address);
