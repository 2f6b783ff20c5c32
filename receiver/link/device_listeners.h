// Start of the device link: the UDP 7990 receiver, the TCP 7991 listener with
// its 20 workers, the packet-processing thread and the TCP 7992 listener.
#pragma once

#include <cstdint>

#include "file_port_listener.h"
#include "frame_listener.h"
#include "link_ports.h"
#include "packet_processing_thread.h"
#include "udp_receiver.h"

class FileTransferRole;
class PacketProcessor;
class PacketQueue;

// Where the listeners bind. The product binds every interface on its fixed
// ports; tests choose a loopback address and free ports (0 picks one).
struct DeviceLinkConfig {
  uint32_t bind_ip = 0;  // network byte order; 0 = every interface
  uint16_t udp_port = kDeviceUdpPort;
  uint16_t frame_port = kDeviceTcpPort;
  uint16_t file_port = kFileTransferPort;
  FileTransferRole* file_role = nullptr;  // null: the process-wide registration
};

class DeviceListeners {
 public:
  DeviceListeners(PacketQueue& queue, PacketProcessor& processor);
  DeviceListeners(const DeviceListeners&) = delete;
  DeviceListeners& operator=(const DeviceListeners&) = delete;
  ~DeviceListeners() { Stop(); }

  // Starts, in this order, the UDP receiver, the frame listener, the
  // packet-processing thread and the file port listener. Failures to bind
  // are logged; the others keep running. 0 when every port was bound, -1
  // otherwise.
  int Start(const DeviceLinkConfig& config);
  // Stops them in reverse order, closing sockets and waiting for threads.
  void Stop();

  uint16_t UdpPort() const { return udp_.Port(); }
  uint16_t FramePort() const { return frames_.Port(); }
  uint16_t FilePort() const { return files_.Port(); }

 private:
  UdpReceiver udp_;
  FrameListener frames_;
  PacketProcessingThread processing_;
  FilePortListener files_;
  bool started_ = false;
};

// Starts the four listeners of the process once, on the product's ports,
// over the NetworkContext queue and PacketProcessor::Instance(); they run
// for the life of the process. Returns 0.
int StartDeviceListeners();
