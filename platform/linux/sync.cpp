#include "platform/sync.h"

namespace platform {
namespace {

// Runs cv.wait with the design's millisecond time-out convention.
template <typename Pred>
bool WaitFor(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, uint32_t timeout_ms,
             Pred pred) {
  if (timeout_ms == kInfinite) {
    cv.wait(lock, pred);
    return true;
  }
  return cv.wait_for(lock, std::chrono::milliseconds(timeout_ms), pred);
}

}  // namespace

Event::Event(bool manual_reset, bool initially_set)
    : manual_reset_(manual_reset), signalled_(initially_set) {}

void Event::Set() {
  {
    std::lock_guard lock(mutex_);
    signalled_ = true;
  }
  if (manual_reset_)
    cv_.notify_all();
  else
    cv_.notify_one();
}

void Event::Reset() {
  std::lock_guard lock(mutex_);
  signalled_ = false;
}

bool Event::Wait(uint32_t timeout_ms) {
  std::unique_lock lock(mutex_);
  if (!WaitFor(cv_, lock, timeout_ms, [this] { return signalled_; })) return false;
  if (!manual_reset_) signalled_ = false;
  return true;
}

bool Event::IsSet() const {
  std::lock_guard lock(mutex_);
  return signalled_;
}

Semaphore::Semaphore(int32_t initial, int32_t maximum) : count_(initial), maximum_(maximum) {}

bool Semaphore::Release(int32_t count) {
  {
    std::lock_guard lock(mutex_);
    if (count <= 0 || count > maximum_ - count_) return false;
    count_ += count;
  }
  cv_.notify_all();
  return true;
}

bool Semaphore::Wait(uint32_t timeout_ms) {
  std::unique_lock lock(mutex_);
  if (!WaitFor(cv_, lock, timeout_ms, [this] { return count_ > 0; })) return false;
  --count_;
  return true;
}

int32_t Semaphore::Count() const {
  std::lock_guard lock(mutex_);
  return count_;
}

}  // namespace platform
