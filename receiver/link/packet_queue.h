// The one meeting point between the device receivers and the packet-processing
// thread: many producers (the UDP 7990 receiver, every TCP 7991 worker), one
// consumer. At most 255 packets wait; a producer that finds it full waits
// without limit, so a stalled processor finally stops all device input.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

#include "packet.h"
#include "platform/sync.h"

class PacketQueue {
 public:
  static constexpr int32_t kCapacity = 255;

  PacketQueue() = default;
  PacketQueue(const PacketQueue&) = delete;
  PacketQueue& operator=(const PacketQueue&) = delete;

  // Takes ownership; blocks until a slot is free. An empty pointer is queued
  // like a packet: the consumer reads it as the request to end.
  void Push(std::unique_ptr<Packet> packet);
  // Waits for the oldest packet. False when nothing arrived within the
  // time-out; true with an empty pointer for the end request.
  bool Pop(std::unique_ptr<Packet>* packet, uint32_t timeout_ms = platform::kInfinite);

  size_t Size() const;

 private:
  // Counting is done outside the list lock; the lock guards the list only.
  platform::Semaphore free_slots_{kCapacity, kCapacity};
  platform::Semaphore items_{0, kCapacity};
  mutable std::mutex list_lock_;
  std::deque<std::unique_ptr<Packet>> list_;
};
