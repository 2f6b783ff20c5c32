#include "platform/single_instance.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/system.h"

namespace platform {
namespace {

constexpr char kShowRequest[] = "show";

std::string GuardPath(const std::string& name, const char* suffix) {
  return RuntimeFolder() + "/" + name + suffix;
}

bool MakeUnixAddress(const std::string& path, sockaddr_un* address) {
  *address = {};
  address->sun_family = AF_UNIX;
  if (path.size() >= sizeof address->sun_path) return false;
  memcpy(address->sun_path, path.c_str(), path.size() + 1);
  return true;
}

bool SendShowOnce(const std::string& path) {
  sockaddr_un address;
  if (!MakeUnixAddress(path, &address)) return false;
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  bool sent = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
              send(fd, kShowRequest, sizeof kShowRequest - 1, MSG_NOSIGNAL) ==
                  static_cast<ssize_t>(sizeof kShowRequest - 1);
  close(fd);
  return sent;
}

}  // namespace

NamedLock::NamedLock(std::string name) : path_(GuardPath(name, ".lock")) {}

bool NamedLock::TryAcquire() {
  if (fd_ >= 0) return true;
  int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void NamedLock::Release() {
  if (fd_ < 0) return;
  close(fd_);  // closing the last descriptor drops the flock
  fd_ = -1;
}

bool NamedLock::IsTaken(const std::string& name) {
  NamedLock probe(name);
  return !probe.TryAcquire();
}

SingleInstance::SingleInstance(std::string name) : name_(name), lock_(std::move(name)) {}

bool SingleInstance::Acquire(ShowHandler on_show) {
  if (!lock_.TryAcquire()) return false;
  on_show_ = std::move(on_show);
  // Holding the lock makes any socket file left by a crashed instance ours
  // to replace.
  const std::string path = GuardPath(name_, ".sock");
  sockaddr_un address;
  if (!MakeUnixAddress(path, &address)) return true;
  unlink(path.c_str());
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return true;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0 ||
      pipe2(wake_fds_, O_CLOEXEC) != 0) {
    close(fd);
    return true;
  }
  listen_fd_ = fd;
  listener_ = std::thread([this] { ListenLoop(); });
  return true;
}

void SingleInstance::ListenLoop() {
  for (;;) {
    pollfd fds[2] = {{listen_fd_, POLLIN, 0}, {wake_fds_[0], POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents) return;
    if (!(fds[0].revents & POLLIN)) continue;
    int client = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    // A caller that connects and says nothing must not stall the guard.
    timeval timeout{0, 500 * 1000};
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    char request[16] = {};
    ssize_t n = recv(client, request, sizeof request - 1, 0);
    close(client);
    if (n == static_cast<ssize_t>(sizeof kShowRequest - 1) &&
        memcmp(request, kShowRequest, sizeof kShowRequest - 1) == 0 && on_show_)
      on_show_();
  }
}

void SingleInstance::Stop() {
  if (listener_.joinable()) {
    char wake = 1;
    if (write(wake_fds_[1], &wake, 1) < 0) {
      // The pipe cannot be full with one byte; nothing else to do.
    }
    listener_.join();
  }
  if (listen_fd_ >= 0) {
    close(listen_fd_);
    unlink(GuardPath(name_, ".sock").c_str());
    listen_fd_ = -1;
  }
  for (int& fd : wake_fds_) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
}

bool SingleInstance::RequestShow(const std::string& name, uint32_t timeout_ms) {
  const std::string path = GuardPath(name, ".sock");
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    if (SendShowOnce(path)) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace platform
