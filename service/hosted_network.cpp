#include "hosted_network.h"

#include "common/debug_log.h"
#include "platform/system.h"

namespace {

// The library's exports, by the signatures it is built with.
using StartDhcpFunction = int (*)(int, int);
using StartVirtualWiFiFunction = int (*)(std::string, std::string, int, int);
using StopVirtualWiFiFunction = int (*)(int, int);

}  // namespace

HostedNetwork& HostedNetwork::Instance() {
  static HostedNetwork network(platform::ProgramFolder() + "/" + kLibraryName);
  return network;
}

HostedNetwork::HostedNetwork(std::string library_path) : library_path_(std::move(library_path)) {}

bool HostedNetwork::Load() {
  if (!library_.Open(library_path_)) {
    VPLog("hosted network library not loaded: %s", library_.LastError().c_str());
    return false;
  }
  if (auto start_dhcp = reinterpret_cast<StartDhcpFunction>(library_.Symbol("startDHCP"))) {
    const int code = start_dhcp(0, 0);
    VPLog("startDHCP returned %d", code);
  }
  return true;
}

int HostedNetwork::Start(const std::string& name, const std::string& passphrase) {
  auto start = reinterpret_cast<StartVirtualWiFiFunction>(library_.Symbol("StartVirtualWiFi"));
  if (!start) return -1;
  const int code = start(name, passphrase, 0, 0);
  VPLog("StartVirtualWiFi %s returned %d", name.c_str(), code);
  return code;
}

int HostedNetwork::Stop() {
  auto stop = reinterpret_cast<StopVirtualWiFiFunction>(library_.Symbol("StopVirtualWiFi"));
  if (!stop) return -1;
  const int code = stop(0, 0);
  VPLog("StopVirtualWiFi returned %d", code);
  return code;
}
