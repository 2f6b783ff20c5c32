// Events and semaphores with timed waits, in place of the kernel objects the
// receiver's design waits on. Waits take milliseconds; kInfinite waits forever.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform {

inline constexpr uint32_t kInfinite = 0xFFFFFFFF;

// Manual-reset events stay signalled until Reset; auto-reset events release
// one waiter and fall back to non-signalled.
class Event {
 public:
  explicit Event(bool manual_reset, bool initially_set = false);
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  void Set();
  void Reset();
  // True when the event was signalled within the time-out.
  bool Wait(uint32_t timeout_ms = kInfinite);
  bool IsSet() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  const bool manual_reset_;
  bool signalled_;
};

class Semaphore {
 public:
  Semaphore(int32_t initial, int32_t maximum);
  Semaphore(const Semaphore&) = delete;
  Semaphore& operator=(const Semaphore&) = delete;

  // False (and no change) when the release would pass the maximum.
  bool Release(int32_t count = 1);
  // True when one unit was taken within the time-out.
  bool Wait(uint32_t timeout_ms = kInfinite);
  int32_t Count() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  int32_t count_;
  const int32_t maximum_;
};

}  // namespace platform
