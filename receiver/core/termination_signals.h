// SIGINT and SIGTERM end the receiver through its ordinary shutdown rather
// than killing it: a signal is turned into a call on a thread of our own,
// where any code may run (a signal handler may not).
#pragma once

#include <functional>
#include <thread>

class TerminationSignals {
 public:
  TerminationSignals() = default;
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;
  ~TerminationSignals() { Stop(); }

  // on_signal runs on the watcher thread, once per signal received.
  // Returns 0, or -1 when the handlers cannot be installed.
  int Start(std::function<void()> on_signal);
  // Puts the default actions back and ends the watcher thread.
  void Stop();

 private:
  void WatchLoop();

  std::function<void()> on_signal_;
  std::thread watcher_;
};
