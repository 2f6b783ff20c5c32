#include "network_identity.h"

#include <cstdio>

#include "platform/network.h"
#include "platform/socket.h"

std::vector<uint32_t> FilterLocalAddresses(const std::vector<uint32_t>& table) {
  std::vector<uint32_t> addresses;
  for (uint32_t ip : table) {
    std::string text = platform::Ipv4ToText(ip);
    if (text != "0.0.0.0" && text != "127.0.0.1") addresses.push_back(ip);
  }
  return addresses;
}

int GetLocalAddresses(std::vector<uint32_t>* addresses) {
  *addresses = FilterLocalAddresses(platform::IPv4AddressTable());
  return 0;
}

std::string HardwareAddressText(const std::vector<uint8_t>& address) {
  std::string text;
  for (uint8_t byte : address) {
    char part[3];
    std::snprintf(part, sizeof part, "%x", byte);
    text += part;
  }
  return text;
}

std::string AdapterAddressText(const std::vector<std::vector<uint8_t>>& adapters) {
  std::string text;
  for (const auto& address : adapters) {
    text = HardwareAddressText(address);
    if (!address.empty() && address[0] != 0) break;
  }
  return text;
}

int GetAdapterAddressText(std::string* text) {
  std::vector<std::vector<uint8_t>> adapters;
  if (!platform::AdapterHardwareAddresses(&adapters)) {
    text->clear();
    return -1;
  }
  *text = AdapterAddressText(adapters);
  return 0;
}
