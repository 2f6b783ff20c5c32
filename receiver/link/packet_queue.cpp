#include "packet_queue.h"

void PacketQueue::Push(std::unique_ptr<Packet> packet) {
  free_slots_.Wait();
  {
    std::lock_guard lock(list_lock_);
    list_.push_back(std::move(packet));
  }
  items_.Release();
}

bool PacketQueue::Pop(std::unique_ptr<Packet>* packet, uint32_t timeout_ms) {
  if (!items_.Wait(timeout_ms)) return false;
  {
    std::lock_guard lock(list_lock_);
    // Every item unit stands for one element, so the list is never empty here.
    *packet = std::move(list_.front());
    list_.pop_front();
  }
  free_slots_.Release();
  return true;
}

size_t PacketQueue::Size() const {
  std::lock_guard lock(list_lock_);
  return list_.size();
}
