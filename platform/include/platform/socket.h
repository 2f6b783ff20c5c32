// IPv4 sockets with the semantics the device link is written against:
// RAII ownership, connect with a time-out, receive time-outs, and the numeric
// error codes callers test (10060 time-out, 10050 network down, ...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Error codes, as the callers compare them.
inline constexpr int kSockErrInterrupted = 10004;
inline constexpr int kSockErrAccess = 10013;
inline constexpr int kSockErrInvalid = 10022;
inline constexpr int kSockErrWouldBlock = 10035;
inline constexpr int kSockErrNotSocket = 10038;
inline constexpr int kSockErrMessageSize = 10040;
inline constexpr int kSockErrAddressInUse = 10048;
inline constexpr int kSockErrNetDown = 10050;
inline constexpr int kSockErrNetUnreachable = 10051;
inline constexpr int kSockErrConnAborted = 10053;
inline constexpr int kSockErrConnReset = 10054;
inline constexpr int kSockErrNotConnected = 10057;
inline constexpr int kSockErrShutdown = 10058;
inline constexpr int kSockErrTimedOut = 10060;
inline constexpr int kSockErrConnRefused = 10061;
inline constexpr int kSockErrHostUnreachable = 10065;
inline constexpr int kSockErrOther = 10100;

// The error of this thread's last failed socket call, as a code above.
int LastSocketError();
// Maps an errno value to the codes above.
int MapErrno(int err);

// An IPv4 endpoint: address in network byte order, port in host order.
struct SocketAddress {
  uint32_t ip = 0;
  uint16_t port = 0;
};

// Dotted-decimal text of an address in network byte order.
std::string Ipv4ToText(uint32_t ip_net);
// False when the text is not a dotted-decimal IPv4 address.
bool TextToIpv4(std::string_view text, uint32_t* ip_net);
// 127.0.0.1 in network byte order.
uint32_t LoopbackIpv4();

class Socket {
 public:
  static Socket Udp();
  static Socket Tcp();

  Socket() = default;
  explicit Socket(int fd) : fd_(fd) {}
  Socket(Socket&& other) noexcept : fd_(other.Release()) {}
  Socket& operator=(Socket&& other) noexcept;
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  ~Socket() { Close(); }

  bool IsValid() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  int Release();
  void Close();
  // Ends both directions; a thread blocked in Recv or Accept on this socket returns.
  void Shutdown();

  // Address 0 binds every interface. TCP sockets may rebind a port in TIME_WAIT;
  // UDP ports stay exclusive, so a second binder fails.
  bool Bind(uint32_t ip_net, uint16_t port);
  bool Listen(int backlog);
  Socket Accept(SocketAddress* peer = nullptr);
  // 0 once connected, otherwise the error code (kSockErrTimedOut after timeout_ms).
  int Connect(uint32_t ip_net, uint16_t port, uint32_t timeout_ms);

  bool SetReceiveTimeout(uint32_t timeout_ms);
  bool SetSendTimeout(uint32_t timeout_ms);
  bool SetBroadcast(bool on);
  bool SetNonBlocking(bool on);
  bool SetNoDelay(bool on);
  // Asks for a kernel receive queue of this many bytes; the system may grant less.
  bool SetReceiveBufferSize(int bytes);

  // Byte counts, or -1 with LastSocketError set. Sends never raise SIGPIPE.
  int Send(const void* data, size_t size);
  // Sends everything or fails.
  bool SendAll(const void* data, size_t size);
  int Recv(void* buffer, size_t size);
  // Receives exactly size bytes; false on error or when the peer closes first.
  bool RecvAll(void* buffer, size_t size);
  int SendTo(const void* data, size_t size, uint32_t ip_net, uint16_t port);
  // A datagram longer than size fails with kSockErrMessageSize and is discarded.
  int RecvFrom(void* buffer, size_t size, SocketAddress* from = nullptr);

  SocketAddress LocalAddress() const;

 private:
  int fd_ = -1;
};

}  // namespace platform
