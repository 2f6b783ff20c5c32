#include "device_listeners.h"

#include <mutex>

#include "network_context.h"
#include "packet_processor.h"

DeviceListeners::DeviceListeners(PacketQueue& queue, PacketProcessor& processor)
    : udp_(queue), frames_(queue), processing_(queue, processor) {}

int DeviceListeners::Start(const DeviceLinkConfig& config) {
  if (started_) return 0;
  started_ = true;
  bool bound = udp_.Start(config.bind_ip, config.udp_port);
  bound = frames_.Start(config.bind_ip, config.frame_port) && bound;
  processing_.Start();
  bound = files_.Start(config.bind_ip, config.file_port, config.file_role) && bound;
  return bound ? 0 : -1;
}

void DeviceListeners::Stop() {
  if (!started_) return;
  started_ = false;
  // Receivers first, so none is left waiting on a full queue; the processing
  // thread then handles what they queued and ends.
  files_.Stop();
  frames_.Stop();
  udp_.Stop();
  processing_.Stop();
}

int StartDeviceListeners() {
  static std::once_flag once;
  std::call_once(once, [] {
    // Never destroyed: the listeners run for the life of the process.
    auto* listeners =
        new DeviceListeners(NetworkContext::Instance().Queue(), PacketProcessor::Instance());
    listeners->Start(DeviceLinkConfig{});
  });
  return 0;
}
