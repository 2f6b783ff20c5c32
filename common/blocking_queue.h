// A bounded first-in first-out queue between producer threads and a consumer,
// with an abort signal that wakes everybody. Elements are owned values
// (typically std::unique_ptr); the queue owns what it holds.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

template <typename T>
class BlockingQueue {
 public:
  explicit BlockingQueue(size_t capacity) : capacity_(capacity) {}
  BlockingQueue(const BlockingQueue&) = delete;
  BlockingQueue& operator=(const BlockingQueue&) = delete;
  ~BlockingQueue() { Clear(); }

  // Waits for a free slot. 1 when queued; 0 when the queue is aborted, in
  // which case the element is left with the caller.
  int Push(T&& element) {
    std::unique_lock lock(mutex_);
    has_room_.wait(lock, [this] { return aborted_ || items_.size() < capacity_; });
    if (aborted_) return 0;
    items_.push_back(std::move(element));
    has_items_.notify_one();
    return 1;
  }

  // Waits for an element. 1 when one was taken; 0 on abort, even when
  // elements remain.
  int Pop(T& out) {
    std::unique_lock lock(mutex_);
    has_items_.wait(lock, [this] { return aborted_ || !items_.empty(); });
    return TakeLocked(out);
  }

  // As Pop, but gives up after timeout_ms (returns 0 then as well).
  int PopFor(T& out, uint32_t timeout_ms) {
    std::unique_lock lock(mutex_);
    has_items_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                        [this] { return aborted_ || !items_.empty(); });
    return TakeLocked(out);
  }

  // Every waiting and later Push and Pop returns 0 at once, until Clear.
  void Abort() {
    {
      std::lock_guard lock(mutex_);
      aborted_ = true;
    }
    has_room_.notify_all();
    has_items_.notify_all();
  }

  // Destroys the elements left and lifts the abort.
  void Clear() {
    std::deque<T> dropped;
    {
      std::lock_guard lock(mutex_);
      dropped.swap(items_);
      aborted_ = false;
    }
    has_room_.notify_all();
  }

  size_t Size() const {
    std::lock_guard lock(mutex_);
    return items_.size();
  }

  size_t Capacity() const { return capacity_; }

 private:
  int TakeLocked(T& out) {
    if (aborted_ || items_.empty()) return 0;
    out = std::move(items_.front());
    items_.pop_front();
    has_room_.notify_one();
    return 1;
  }

  const size_t capacity_;
  mutable std::mutex mutex_;
  std::condition_variable has_room_;
  std::condition_variable has_items_;
  std::deque<T> items_;
  bool aborted_ = false;
};
