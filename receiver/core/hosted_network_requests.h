// The receiver's requests to open and close the hosted Wi-Fi network, which
// the service program carries out. Both block for up to 30 s: call them from
// a worker thread.
#pragma once

#include <cstdint>

#include "service_starter.h"

// Opens the network with the stored name and passphrase (generated on first
// use). The service's code (0 success), or -1 when no usable answer came.
int StartHostedNetwork(uint16_t service_port = kServicePort);
// Closes the network. The service's code, or -1 when no usable answer came.
int StopHostedNetwork(uint16_t service_port = kServicePort);
