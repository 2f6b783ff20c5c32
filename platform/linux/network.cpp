#include "platform/network.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/in.h>
#include <netpacket/packet.h>

namespace platform {

std::vector<uint32_t> IPv4AddressTable() {
  std::vector<uint32_t> table;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return table;
  for (ifaddrs* it = list; it; it = it->ifa_next) {
    if (!it->ifa_addr || it->ifa_addr->sa_family != AF_INET || !(it->ifa_flags & IFF_UP)) continue;
    table.push_back(reinterpret_cast<sockaddr_in*>(it->ifa_addr)->sin_addr.s_addr);
  }
  freeifaddrs(list);
  return table;
}

bool AdapterHardwareAddresses(std::vector<std::vector<uint8_t>>* addresses) {
  addresses->clear();
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return false;
  for (ifaddrs* it = list; it; it = it->ifa_next) {
    if (!it->ifa_addr || it->ifa_addr->sa_family != AF_PACKET) continue;
    auto* link = reinterpret_cast<sockaddr_ll*>(it->ifa_addr);
    if (link->sll_hatype == ARPHRD_LOOPBACK || link->sll_halen == 0) continue;
    addresses->emplace_back(link->sll_addr, link->sll_addr + link->sll_halen);
  }
  freeifaddrs(list);
  return true;
}

}  // namespace platform
