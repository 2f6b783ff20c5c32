// Named guards in place of the named mutexes "Velaport" and "VPService", and
// the road by which a second receiver asks the first one to show itself.
//
// A guard is the file "<RuntimeFolder>/<name>.lock" locked with flock: the
// kernel drops the lock when its holder ends, however it ends, so a crashed
// instance never leaves a stale guard behind.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace platform {

class NamedLock {
 public:
  explicit NamedLock(std::string name);
  NamedLock(const NamedLock&) = delete;
  NamedLock& operator=(const NamedLock&) = delete;
  ~NamedLock() { Release(); }

  // True when this object now holds the lock; false when another holder has
  // it or the lock file cannot be opened (logged by the caller).
  bool TryAcquire();
  void Release();
  bool IsHeld() const { return fd_ >= 0; }
  const std::string& Path() const { return path_; }

  // True while some other holder has the lock of that name. The test takes
  // the lock for an instant and gives it back at once.
  static bool IsTaken(const std::string& name);

 private:
  std::string path_;
  int fd_ = -1;
};

// The first instance holds the lock and listens on the local socket
// "<RuntimeFolder>/<name>.sock" for the text "show".
class SingleInstance {
 public:
  using ShowHandler = std::function<void()>;

  explicit SingleInstance(std::string name);
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;
  ~SingleInstance() { Stop(); }

  // True when this process is the first instance: it holds the lock and
  // listens, and on_show runs on the guard's own thread for every "show"
  // received. False when another instance holds the lock. A socket that
  // cannot be opened leaves the guard held but deaf (true, logged nowhere:
  // the caller may test IsListening).
  bool Acquire(ShowHandler on_show);
  bool IsListening() const { return listen_fd_ >= 0; }
  // Stops listening; the lock stays held until destruction.
  void Stop();

  // Second instance: sends "show" to the first, retrying while the first is
  // still opening its socket, for at most timeout_ms. True when delivered.
  static bool RequestShow(const std::string& name, uint32_t timeout_ms);

 private:
  void ListenLoop();

  std::string name_;
  NamedLock lock_;
  ShowHandler on_show_;
  int listen_fd_ = -1;
  int wake_fds_[2] = {-1, -1};  // written by Stop to end ListenLoop
  std::thread listener_;
};

}  // namespace platform
