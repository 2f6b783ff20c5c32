// The one thread that takes packets from the queue in arrival order and
// lets the processor handle them. Every handler runs here, so a handler that
// blocks delays all later device input.
#pragma once

#include <thread>

class PacketProcessor;
class PacketQueue;

class PacketProcessingThread {
 public:
  PacketProcessingThread(PacketQueue& queue, PacketProcessor& processor)
      : queue_(queue), processor_(processor) {}
  PacketProcessingThread(const PacketProcessingThread&) = delete;
  PacketProcessingThread& operator=(const PacketProcessingThread&) = delete;
  ~PacketProcessingThread() { Stop(); }

  void Start();
  // Queues the end request behind the packets already waiting and waits for
  // the thread, so those packets are still processed.
  void Stop();

 private:
  void Loop();

  PacketQueue& queue_;
  PacketProcessor& processor_;
  std::thread thread_;
};
