// Runs the test window (x_event_recorder) and reads the lines it prints.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

class RecorderProcess {
 public:
  // Starts the window; false when it cannot run or does not become ready in time.
  bool Start();
  ~RecorderProcess();

  // Waits for the next line that satisfies match, at most timeout; every line
  // read on the way is kept in Lines(). False on time-out or when the window ends.
  bool WaitFor(const std::function<bool(const std::string&)>& match, std::string* line = nullptr,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // Waits for the next line, whatever it is.
  bool NextLine(std::string* line, std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // Every line read so far.
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  int pid_ = -1;
  int out_fd_ = -1;
  int in_fd_ = -1;
  std::string buffer_;
  std::vector<std::string> lines_;
};

// True when a desktop is there to test against.
bool HaveDisplay();
