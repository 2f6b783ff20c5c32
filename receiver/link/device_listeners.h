// Start of the device link: the UDP 7990 receiver, the TCP 7991 listener with
// its 20 workers, the packet-processing thread and the TCP 7992 listener.
#pragma once

// Starts the four listener threads once; they run for the life of the
// process. Returns 0.
int StartDeviceListeners();
