// Only one receiver runs per user session. The first one holds the guard
// "Velaport" for its whole life and is asked to show itself when the user
// starts the receiver again.
#pragma once

#include <functional>

#include "platform/single_instance.h"

class ReceiverInstanceGuard {
 public:
  static constexpr const char* kName = "Velaport";
  // How long a second start waits after its request before it ends.
  static constexpr int kSecondStartWaitMs = 500;

  ReceiverInstanceGuard() : instance_(kName) {}

  // 0 when this is the first receiver; on_show then runs on the guard's own
  // thread whenever a second start asks. 1 when another receiver runs: it
  // has been asked to show itself, 500 ms have passed and "当前程序已运行"
  // is logged; the caller ends with exit code 1.
  int Take(std::function<void()> on_show);

 private:
  platform::SingleInstance instance_;
};
