#include "packet_processing_thread.h"

#include "packet_processor.h"
#include "packet_queue.h"

void PacketProcessingThread::Start() {
  if (thread_.joinable()) return;
  thread_ = std::thread([this] { Loop(); });
}

void PacketProcessingThread::Stop() {
  if (!thread_.joinable()) return;
  queue_.Push(nullptr);
  thread_.join();
}

void PacketProcessingThread::Loop() {
  for (;;) {
    std::unique_ptr<Packet> packet;
    if (!queue_.Pop(&packet)) continue;
    if (!packet) return;  // the end request
    processor_.Process(*packet);
  }
}
