#include "instance_guard.h"

#include <chrono>
#include <thread>

#include "common/debug_log.h"

int ReceiverInstanceGuard::Take(std::function<void()> on_show) {
  if (instance_.Acquire(std::move(on_show))) {
    if (!instance_.IsListening()) VPLog("single instance socket could not be opened");
    return 0;
  }
  auto started = std::chrono::steady_clock::now();
  // The request waits for a first instance that is still opening its socket,
  // within the same half second the second start waits anyway.
  platform::SingleInstance::RequestShow(kName, kSecondStartWaitMs);
  std::this_thread::sleep_until(started + std::chrono::milliseconds(kSecondStartWaitMs));
  VPLog("当前程序已运行");
  return 1;
}
