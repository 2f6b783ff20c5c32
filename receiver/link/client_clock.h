// Time as the client list sees it: last-heard stamps in seconds and the
// watchdog's pause between passes. A role so that tests can drive the
// 3-second keep-alive and the 50-second silence without waiting for them.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

class ClientClock {
 public:
  virtual ~ClientClock() = default;
  // Seconds of system time.
  virtual int64_t NowSeconds() = 0;
  // Called with lock held on wake's mutex; returns when milliseconds have
  // passed on this clock or when woken() is true (checked whenever wake is
  // notified). The lock is held again on return.
  virtual void WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                       uint32_t milliseconds, const std::function<bool()>& woken) = 0;
};

class SystemClientClock : public ClientClock {
 public:
  static SystemClientClock& Instance();

  int64_t NowSeconds() override;
  void WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
               uint32_t milliseconds, const std::function<bool()>& woken) override;
};
