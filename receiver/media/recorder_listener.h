// The mirror stream listener: accepts stream connections on one port (7994 in
// the product) and serves each on a pool of 20 workers with a RecorderWorkItem.
// Any number of connections may feed the sink at once; their chunks
// interleave in arrival order.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "chunk_sink.h"
#include "platform/socket.h"
#include "recorder_work_item.h"

class RecorderListener {
 public:
  static constexpr unsigned kWorkers = 20;
  static constexpr int kBacklog = 15;

  explicit RecorderListener(ChunkSink& sink) : sink_(sink) {}
  RecorderListener(const RecorderListener&) = delete;
  RecorderListener& operator=(const RecorderListener&) = delete;
  ~RecorderListener();

  // Binds every interface on the port (0: any free port) and starts the
  // accept thread. A port that cannot be bound is logged; the thread then
  // keeps trying to accept until the stop, as the device's connections
  // cannot be served anyway.
  void Start(uint16_t port);
  // Clears the run flag and shuts the listening socket and every open
  // connection down. Readers blocked on a full sink are released by the
  // sink's own stop.
  void RequestStop();
  // Waits for the accept thread, which ends the worker pool.
  void Join();
  // The bound port while started (0 when binding failed).
  uint16_t Port() const { return port_; }

 private:
  void AcceptLoop();

  ChunkSink& sink_;
  std::atomic<bool> run_{false};
  platform::Socket listener_;
  std::atomic<uint16_t> port_{0};
  StreamConnections connections_;
  std::thread thread_;
};
