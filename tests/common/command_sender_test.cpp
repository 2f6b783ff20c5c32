#include "common/command_sender.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <poll.h>

#include "common/debug_log.h"
#include "platform/socket.h"
#include "support/udp_listener.h"

using platform::Socket;

namespace {

const std::string kText20 = R"({"act": 1, "cmd": 0})";  // 20 bytes

// A loopback TCP listener on a free port.
struct TcpListener {
  Socket socket = Socket::Tcp();
  uint16_t port = 0;
  explicit TcpListener(int backlog = 4) {
    socket.Bind(platform::LoopbackIpv4(), 0);
    socket.Listen(backlog);
    port = socket.LocalAddress().port;
  }
  // Everything one connection sends until it closes.
  std::string ReceiveConnection() {
    Socket peer = socket.Accept();
    std::string bytes;
    char buffer[4096];
    for (int got; (got = peer.Recv(buffer, sizeof buffer)) > 0;) bytes.append(buffer, got);
    return bytes;
  }
  bool HasPendingConnection(int timeout_ms) {
    pollfd pfd{socket.Fd(), POLLIN, 0};
    return poll(&pfd, 1, timeout_ms) == 1;
  }
};

TEST(SendJsonCommand, TcpFrameBytes) {
  ASSERT_EQ(kText20.size(), 20u);
  TcpListener device;
  auto received = std::async(std::launch::async, [&] { return device.ReceiveConnection(); });
  EXPECT_EQ(SendJsonCommand(kText20, "127.0.0.1", device.port, kTransportTcp), 0);
  EXPECT_EQ(received.get(), std::string("\x00\x17\x01", 3) + kText20);
}

TEST(SendJsonCommand, UdpDatagramBytes) {
  UdpListener device;
  EXPECT_EQ(SendJsonCommand(kText20, "127.0.0.1", device.Port(), kTransportUdp), 0);
  auto datagram = device.Receive();
  ASSERT_TRUE(datagram);
  EXPECT_EQ(*datagram, "\x01" + kText20);
}

TEST(SendJsonCommand, EmptyDestinationSendsNothing) {
  UdpListener log_viewer;
  DebugLog::StartProcessLog(log_viewer.Port());
  EXPECT_EQ(SendJsonCommand(kText20, "", 7991, kTransportTcp), 1);
  EXPECT_EQ(SendJsonCommand(kText20, "", 7990, kTransportUdp), 1);
  EXPECT_FALSE(log_viewer.Receive(200)) << "nothing sent, nothing logged";
  DebugLog::StopProcessLog();
}

TEST(SendJsonCommand, TextTooLongForTheFrameIsRefused) {
  TcpListener device;
  const std::string huge = "\"" + std::string(70000, 'a') + "\"";
  EXPECT_EQ(SendJsonCommand(huge, "127.0.0.1", device.port, kTransportTcp), -1);
  EXPECT_FALSE(device.HasPendingConnection(200)) << "a wrapped length must never go out";
  // The largest text that fits still goes.
  const std::string largest(kMaxJsonFrameText, 'b');
  auto received = std::async(std::launch::async, [&] { return device.ReceiveConnection(); });
  EXPECT_EQ(SendJsonCommand(largest, "127.0.0.1", device.port, kTransportTcp), 0);
  std::string bytes = received.get();
  ASSERT_EQ(bytes.size(), 0xFFFFu);
  EXPECT_EQ(bytes.substr(0, 3), "\xFF\xFF\x01");
}

TEST(SendJsonCommand, RefusedConnectionFails) {
  uint16_t closed_port;
  {
    TcpListener gone;
    closed_port = gone.port;
  }
  EXPECT_EQ(SendJsonCommand(kText20, "127.0.0.1", closed_port, kTransportTcp), -1);
}

// A listener whose accept queue is full drops new handshakes, so a connect
// to it never completes: the sender must give up after about 5 s and say so.
TEST(SendJsonCommand, HandshakeThatNeverCompletesTimesOut) {
  UdpListener log_viewer;
  DebugLog::StartProcessLog(log_viewer.Port());
  TcpListener silent(0);
  std::vector<Socket> fillers;
  for (int i = 0; i < 4; ++i) {
    fillers.push_back(Socket::Tcp());
    fillers.back().Connect(platform::LoopbackIpv4(), silent.port, 300);
  }
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(SendJsonCommand(kText20, "127.0.0.1", silent.port, kTransportTcp), -1);
  auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GT(seconds, 4.5);
  EXPECT_LT(seconds, 10.0);
  bool logged = false;
  while (auto line = log_viewer.Receive(1000))
    if (line->find("Failed to Send Json Command, errcode = 10060, 127.0.0.1:\n" + kText20) !=
        std::string::npos)
      logged = true;
  EXPECT_TRUE(logged);
  DebugLog::StopProcessLog();
}

TEST(SendBytes, KindByteThenPayload) {
  UdpListener device;
  const uint8_t keep_alive = 0x00;
  EXPECT_EQ(SendBytes(&keep_alive, 1, "127.0.0.1", device.Port()), 2);
  EXPECT_EQ(device.Receive(), std::string("\x00\x00", 2));
  const uint8_t quit = 0xFF;
  EXPECT_EQ(SendBytes(&quit, 1, "127.0.0.1", device.Port()), 2);
  EXPECT_EQ(device.Receive(), std::string("\x00\xFF", 2));
  EXPECT_EQ(SendBytes(&quit, 1, "not an address", device.Port()), -1);
}

TEST(SendTestStream, FourMebibytesOverOneConnection) {
  TcpListener device;
  auto received = std::async(std::launch::async, [&] { return device.ReceiveConnection(); });
  EXPECT_EQ(SendTestStream("127.0.0.1", device.port), 0);
  EXPECT_EQ(received.get().size(), 4096u * 1024u);
}

}  // namespace
