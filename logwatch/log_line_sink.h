// The receiver's road to whoever shows the lines. Both calls come from the
// receiver thread; an implementation hands the work to its own thread.
#pragma once

#include <string>

class LogLineSink {
 public:
  virtual ~LogLineSink() = default;
  // One received line, in arrival order.
  virtual void OnLogLine(std::string line) = 0;
  // The port could not be bound (another viewer holds it); no line will come.
  virtual void OnBindFailed() = 0;
};
