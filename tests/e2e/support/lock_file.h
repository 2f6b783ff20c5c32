// The programs' named guards as the test sees them: flock on
// "<runtime folder>/<name>.lock".
#pragma once

#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

class HeldLockFile {
 public:
  explicit HeldLockFile(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0 && flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~HeldLockFile() {
    if (fd_ >= 0) close(fd_);
  }
  HeldLockFile(const HeldLockFile&) = delete;
  HeldLockFile& operator=(const HeldLockFile&) = delete;
  bool IsHeld() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// True while another holder has the lock.
inline bool IsLockTaken(const std::string& path) { return !HeldLockFile(path).IsHeld(); }
