// The process-wide network object: the packet queue between the device
// receivers and the processing thread, the local address table and a few
// pieces of shared state of the mirroring and recording pieces.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "packet_queue.h"
#include "platform/sync.h"

class NetworkContext {
 public:
  // Created on first call under a process-wide lock; never destroyed.
  static NetworkContext& Instance();

  NetworkContext() = default;
  NetworkContext(const NetworkContext&) = delete;
  NetworkContext& operator=(const NetworkContext&) = delete;

  PacketQueue& Queue() { return queue_; }

  // The PC's IPv4 addresses (network byte order) without 0.0.0.0 and
  // 127.0.0.1, in table order; the table is kept here. Returns 0.
  int GetLocalAddresses(std::vector<uint32_t>* addresses);

  // Run flag of the mirror stream accept loop.
  std::atomic<bool> mirror_listener_running{false};
  // Path of the recording file being written; guarded by recording_lock.
  std::mutex recording_lock;
  std::string current_recording_path;
  // Signalled when a recording has been saved.
  platform::Event recording_saved{true};

 private:
  PacketQueue queue_;
  std::mutex table_lock_;
  std::vector<uint32_t> local_address_table_;
};
