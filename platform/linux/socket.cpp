#include "platform/socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {
namespace {

thread_local int t_last_error = 0;

int Fail(int err) {
  t_last_error = MapErrno(err);
  return -1;
}

sockaddr_in MakeAddress(uint32_t ip_net, uint16_t port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = ip_net;
  addr.sin_port = htons(port);
  return addr;
}

bool SetTimeout(int fd, int option, uint32_t timeout_ms) {
  timeval tv{};
  tv.tv_sec = timeout_ms / 1000;
  tv.tv_usec = (timeout_ms % 1000) * 1000;
  if (setsockopt(fd, SOL_SOCKET, option, &tv, sizeof tv) == 0) return true;
  Fail(errno);
  return false;
}

}  // namespace

int LastSocketError() { return t_last_error; }

int MapErrno(int err) {
  switch (err) {
    case 0: return 0;
    case EINTR: return kSockErrInterrupted;
    case EACCES: case EPERM: return kSockErrAccess;
    case EINVAL: return kSockErrInvalid;
    case EAGAIN: case EINPROGRESS: case EALREADY: return kSockErrWouldBlock;
    case ENOTSOCK: case EBADF: return kSockErrNotSocket;
    case EMSGSIZE: return kSockErrMessageSize;
    case EADDRINUSE: return kSockErrAddressInUse;
    case ENETDOWN: return kSockErrNetDown;
    case ENETUNREACH: return kSockErrNetUnreachable;
    case ECONNABORTED: return kSockErrConnAborted;
    case ECONNRESET: case EPIPE: return kSockErrConnReset;
    case ENOTCONN: return kSockErrNotConnected;
    case ESHUTDOWN: return kSockErrShutdown;
    case ETIMEDOUT: return kSockErrTimedOut;
    case ECONNREFUSED: return kSockErrConnRefused;
    case EHOSTUNREACH: return kSockErrHostUnreachable;
    default: return kSockErrOther;
  }
}

std::string Ipv4ToText(uint32_t ip_net) {
  char text[INET_ADDRSTRLEN] = {};
  in_addr addr{};
  addr.s_addr = ip_net;
  inet_ntop(AF_INET, &addr, text, sizeof text);
  return text;
}

bool TextToIpv4(std::string_view text, uint32_t* ip_net) {
  std::string copy(text);
  in_addr addr{};
  if (inet_pton(AF_INET, copy.c_str(), &addr) != 1) return false;
  *ip_net = addr.s_addr;
  return true;
}

uint32_t LoopbackIpv4() { return htonl(INADDR_LOOPBACK); }

Socket Socket::Udp() {
  int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) Fail(errno);
  return Socket(fd);
}

Socket Socket::Tcp() {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) Fail(errno);
  return Socket(fd);
}

Socket& Socket::operator=(Socket&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.Release();
  }
  return *this;
}

int Socket::Release() {
  int fd = fd_;
  fd_ = -1;
  return fd;
}

void Socket::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void Socket::Shutdown() {
  if (fd_ >= 0) ::shutdown(fd_, SHUT_RDWR);
}

bool Socket::Bind(uint32_t ip_net, uint16_t port) {
  int type = 0;
  socklen_t len = sizeof type;
  if (getsockopt(fd_, SOL_SOCKET, SO_TYPE, &type, &len) == 0 && type == SOCK_STREAM) {
    int on = 1;
    setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  }
  sockaddr_in addr = MakeAddress(ip_net, port);
  if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) return true;
  Fail(errno);
  return false;
}

bool Socket::Listen(int backlog) {
  if (::listen(fd_, backlog) == 0) return true;
  Fail(errno);
  return false;
}

Socket Socket::Accept(SocketAddress* peer) {
  sockaddr_in addr{};
  socklen_t len = sizeof addr;
  int fd;
  do {
    fd = ::accept4(fd_, reinterpret_cast<sockaddr*>(&addr), &len, SOCK_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    Fail(errno);
    return Socket();
  }
  if (peer) *peer = {addr.sin_addr.s_addr, ntohs(addr.sin_port)};
  return Socket(fd);
}

int Socket::Connect(uint32_t ip_net, uint16_t port, uint32_t timeout_ms) {
  int flags = fcntl(fd_, F_GETFL);
  fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
  sockaddr_in addr = MakeAddress(ip_net, port);
  int result = ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  int err = result == 0 ? 0 : errno;
  if (err == EINPROGRESS) {
    pollfd pfd{fd_, POLLOUT, 0};
    int ready;
    do {
      ready = ::poll(&pfd, 1, timeout_ms > 0x7FFFFFFF ? -1 : static_cast<int>(timeout_ms));
    } while (ready < 0 && errno == EINTR);
    if (ready == 0) {
      err = ETIMEDOUT;
    } else if (ready < 0) {
      err = errno;
    } else {
      socklen_t len = sizeof err;
      getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &len);
    }
  }
  fcntl(fd_, F_SETFL, flags);
  if (err == 0) return 0;
  Fail(err);
  return MapErrno(err);
}

bool Socket::SetReceiveTimeout(uint32_t timeout_ms) { return SetTimeout(fd_, SO_RCVTIMEO, timeout_ms); }
bool Socket::SetSendTimeout(uint32_t timeout_ms) { return SetTimeout(fd_, SO_SNDTIMEO, timeout_ms); }

bool Socket::SetBroadcast(bool on) {
  int value = on ? 1 : 0;
  if (setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &value, sizeof value) == 0) return true;
  Fail(errno);
  return false;
}

bool Socket::SetNonBlocking(bool on) {
  int flags = fcntl(fd_, F_GETFL);
  if (flags < 0 || fcntl(fd_, F_SETFL, on ? flags | O_NONBLOCK : flags & ~O_NONBLOCK) < 0) {
    Fail(errno);
    return false;
  }
  return true;
}

bool Socket::SetNoDelay(bool on) {
  int value = on ? 1 : 0;
  if (setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &value, sizeof value) == 0) return true;
  Fail(errno);
  return false;
}

bool Socket::SetReceiveBufferSize(int bytes) {
  if (setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes) == 0) return true;
  Fail(errno);
  return false;
}

int Socket::Send(const void* data, size_t size) {
  ssize_t sent;
  do {
    sent = ::send(fd_, data, size, MSG_NOSIGNAL);
  } while (sent < 0 && errno == EINTR);
  return sent < 0 ? Fail(errno) : static_cast<int>(sent);
}

bool Socket::SendAll(const void* data, size_t size) {
  auto* bytes = static_cast<const uint8_t*>(data);
  while (size > 0) {
    int sent = Send(bytes, size);
    if (sent <= 0) return false;
    bytes += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

int Socket::Recv(void* buffer, size_t size) {
  ssize_t got;
  do {
    got = ::recv(fd_, buffer, size, 0);
  } while (got < 0 && errno == EINTR);
  if (got < 0) {
    // A receive time-out reports "would block" on Linux; callers test for the time-out.
    return Fail(errno == EAGAIN ? ETIMEDOUT : errno);
  }
  return static_cast<int>(got);
}

bool Socket::RecvAll(void* buffer, size_t size) {
  auto* bytes = static_cast<uint8_t*>(buffer);
  while (size > 0) {
    int got = Recv(bytes, size);
    if (got <= 0) return false;
    bytes += got;
    size -= static_cast<size_t>(got);
  }
  return true;
}

int Socket::SendTo(const void* data, size_t size, uint32_t ip_net, uint16_t port) {
  sockaddr_in addr = MakeAddress(ip_net, port);
  ssize_t sent = ::sendto(fd_, data, size, MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&addr),
                          sizeof addr);
  return sent < 0 ? Fail(errno) : static_cast<int>(sent);
}

int Socket::RecvFrom(void* buffer, size_t size, SocketAddress* from) {
  sockaddr_in addr{};
  socklen_t len = sizeof addr;
  ssize_t got;
  do {
    got = ::recvfrom(fd_, buffer, size, MSG_TRUNC, reinterpret_cast<sockaddr*>(&addr), &len);
  } while (got < 0 && errno == EINTR);
  if (got < 0) return Fail(errno == EAGAIN ? ETIMEDOUT : errno);
  if (static_cast<size_t>(got) > size) return Fail(EMSGSIZE);
  if (from) *from = {addr.sin_addr.s_addr, ntohs(addr.sin_port)};
  return static_cast<int>(got);
}

SocketAddress Socket::LocalAddress() const {
  sockaddr_in addr{};
  socklen_t len = sizeof addr;
  if (getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return {};
  return {addr.sin_addr.s_addr, ntohs(addr.sin_port)};
}

}  // namespace platform
