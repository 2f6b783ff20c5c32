#include "client_clock.h"

#include <chrono>
#include <ctime>

SystemClientClock& SystemClientClock::Instance() {
  static SystemClientClock clock;
  return clock;
}

int64_t SystemClientClock::NowSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

void SystemClientClock::WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                                uint32_t milliseconds, const std::function<bool()>& woken) {
  wake.wait_for(lock, std::chrono::milliseconds(milliseconds), woken);
}
