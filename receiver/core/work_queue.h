// A fixed pool of worker threads that run submitted work items one per
// thread at a time, in submission order. The TCP listeners that serve many
// connections at once each own one with 20 workers; a connection that stays
// open occupies its worker until it ends, later ones wait in the queue.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class WorkItemBase {
 public:
  virtual ~WorkItemBase() = default;
  // Runs on a worker thread; thread_context is the value the pool gave that
  // worker (0 when none). The item is destroyed when it returns.
  virtual void DoWork(uint32_t thread_context) = 0;
  // Called instead of DoWork for an item still queued when the pool is
  // destroyed; the item is destroyed right after.
  virtual void Abort() {}
};

class CWorkQueue {
 public:
  CWorkQueue() = default;
  CWorkQueue(const CWorkQueue&) = delete;
  CWorkQueue& operator=(const CWorkQueue&) = delete;
  // Destroys the pool if its owner has not.
  virtual ~CWorkQueue();

  // Starts workers; contexts, when given, holds one value per worker. False
  // (and no thread left running) when a worker cannot be started.
  bool Create(unsigned workers, const uint32_t* contexts = nullptr);
  // The pool owns the item from now on. False when the pool is not running.
  bool InsertWorkItem(std::unique_ptr<WorkItemBase> item);
  // Stops the workers (waiting for running items to return), then aborts
  // every item still queued, in queue order. Never call from a worker.
  bool Destroy();

  size_t WorkerCount() const { return workers_.size(); }
  size_t QueuedCount() const;

 private:
  void WorkerLoop(uint32_t context);

  mutable std::mutex lock_;
  std::condition_variable wake_;
  std::deque<std::unique_ptr<WorkItemBase>> items_;
  bool aborting_ = false;
  bool running_ = false;
  std::vector<std::thread> workers_;
};
