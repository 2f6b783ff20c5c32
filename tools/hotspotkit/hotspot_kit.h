// libHotspotKit.so: opens and closes the PC's own Wi-Fi network through
// NetworkManager (its nmcli client, found on PATH). The service program loads
// it at run time and looks the three exports up by name.
//
// Call order: startDHCP once after loading, then any number of starts and
// stops, and a stop before the service program quits. NetworkManager's shared
// mode gives joining devices their addresses, so startDHCP only checks that it
// is there.
#pragma once

#include <string>

// Results of the exports.
enum HotspotKitCode {
  kHotspotOk = 0,
  kHotspotBadArguments = 1,       // name empty or longer than 32 bytes, passphrase not 8..63
  kHotspotNoNetworkManager = 2,   // nmcli is not installed
  kHotspotManagerNotRunning = 3,  // nmcli is there but NetworkManager does not run
  kHotspotRequestFailed = 4,      // NetworkManager refused (no Wi-Fi device, no AP mode, ...)
  kHotspotClientFailed = 5,       // nmcli could not be started or did not finish in time
};

extern "C" {
// Checks that NetworkManager is installed and running; the two ints are unused.
int startDHCP(int reserved1, int reserved2);
// Opens (or re-opens) the network with this name and WPA passphrase.
int StartVirtualWiFi(std::string ssid, std::string password, int reserved1, int reserved2);
// Closes the network; closing one that is not open succeeds.
int StopVirtualWiFi(int reserved1, int reserved2);
}
