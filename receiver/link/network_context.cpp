#include "network_context.h"

#include "network_identity.h"
#include "platform/network.h"

NetworkContext& NetworkContext::Instance() {
  // Leaked on purpose: receiver threads may still use the queue while the
  // process exits.
  static NetworkContext* context = new NetworkContext();
  return *context;
}

int NetworkContext::GetLocalAddresses(std::vector<uint32_t>* addresses) {
  std::lock_guard lock(table_lock_);
  local_address_table_ = platform::IPv4AddressTable();
  *addresses = FilterLocalAddresses(local_address_table_);
  return 0;
}
