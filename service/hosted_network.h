// The hosted Wi-Fi network as the service program drives it: through
// libHotspotKit.so, loaded at run time from beside the program. Every call
// runs on the control link's worker thread.
#pragma once

#include <string>

#include "platform/shared_library.h"

class HostedNetwork {
 public:
  static constexpr const char* kLibraryName = "libHotspotKit.so";

  // The service program's network, with the library beside the program.
  static HostedNetwork& Instance();

  explicit HostedNetwork(std::string library_path);
  HostedNetwork(const HostedNetwork&) = delete;
  HostedNetwork& operator=(const HostedNetwork&) = delete;

  // Loads the library and calls its startDHCP once. False when the library is
  // missing; the service program then answers every request with -1.
  bool Load();
  // StartVirtualWiFi's code, -1 when the library or the export is missing.
  int Start(const std::string& name, const std::string& passphrase);
  // StopVirtualWiFi's code, -1 when the library or the export is missing.
  int Stop();

 private:
  std::string library_path_;
  platform::SharedLibrary library_;
};
