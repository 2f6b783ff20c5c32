// The service program's answers to the receiver's JSON requests:
//   {"act": 2, "ssid": name, "password": passphrase, "rport": port}  start the network
//   {"act": 4, "rport": port}                                         stop it
// Each is answered with one datagram to 127.0.0.1:rport whose whole content is
// {"code": result}. Other acts get no answer.
#pragma once

#include <string_view>

#include "hosted_network.h"

class ServiceJsonHandler {
 public:
  explicit ServiceJsonHandler(HostedNetwork& network) : network_(network) {}

  // text is the request without its kind byte. Returns 0 when answered, -1 otherwise.
  int Handle(std::string_view text);

 private:
  HostedNetwork& network_;
};
