#include "platform/socket.h"

#include <gtest/gtest.h>

#include <string>

using platform::Socket;

namespace {

TEST(Socket, AddressText) {
  uint32_t ip = 0;
  ASSERT_TRUE(platform::TextToIpv4("192.168.1.20", &ip));
  EXPECT_EQ(platform::Ipv4ToText(ip), "192.168.1.20");
  EXPECT_EQ(platform::Ipv4ToText(platform::LoopbackIpv4()), "127.0.0.1");
  EXPECT_FALSE(platform::TextToIpv4("", &ip));
  EXPECT_FALSE(platform::TextToIpv4("300.1.1.1", &ip));
  EXPECT_FALSE(platform::TextToIpv4("host.example", &ip));
}

TEST(Socket, OversizedDatagramIsAnErrorAndNextOneArrives) {
  Socket receiver = Socket::Udp();
  ASSERT_TRUE(receiver.Bind(platform::LoopbackIpv4(), 0));
  const uint16_t port = receiver.LocalAddress().port;
  Socket sender = Socket::Udp();
  std::string big(1501, 'x');
  ASSERT_EQ(sender.SendTo(big.data(), big.size(), platform::LoopbackIpv4(), port), 1501);
  ASSERT_EQ(sender.SendTo("ok", 2, platform::LoopbackIpv4(), port), 2);
  char buffer[1500];
  receiver.SetReceiveTimeout(2000);
  EXPECT_EQ(receiver.RecvFrom(buffer, sizeof buffer), -1);
  EXPECT_EQ(platform::LastSocketError(), platform::kSockErrMessageSize);
  EXPECT_EQ(receiver.RecvFrom(buffer, sizeof buffer), 2);
}

TEST(Socket, ReceiveTimeOutReportsTheTimeOutCode) {
  Socket receiver = Socket::Udp();
  ASSERT_TRUE(receiver.Bind(platform::LoopbackIpv4(), 0));
  receiver.SetReceiveTimeout(50);
  char buffer[16];
  EXPECT_EQ(receiver.RecvFrom(buffer, sizeof buffer), -1);
  EXPECT_EQ(platform::LastSocketError(), platform::kSockErrTimedOut);
}

TEST(Socket, UdpPortIsExclusive) {
  Socket first = Socket::Udp();
  ASSERT_TRUE(first.Bind(0, 0));
  Socket second = Socket::Udp();
  EXPECT_FALSE(second.Bind(0, first.LocalAddress().port));
  EXPECT_EQ(platform::LastSocketError(), platform::kSockErrAddressInUse);
}

TEST(Socket, ConnectRefusedAndAccepted) {
  Socket listener = Socket::Tcp();
  ASSERT_TRUE(listener.Bind(platform::LoopbackIpv4(), 0));
  ASSERT_TRUE(listener.Listen(1));
  const uint16_t port = listener.LocalAddress().port;

  Socket client = Socket::Tcp();
  ASSERT_EQ(client.Connect(platform::LoopbackIpv4(), port, 2000), 0);
  platform::SocketAddress peer;
  Socket served = listener.Accept(&peer);
  ASSERT_TRUE(served.IsValid());
  EXPECT_EQ(peer.ip, platform::LoopbackIpv4());
  ASSERT_TRUE(client.SendAll("abc", 3));
  char got[3];
  ASSERT_TRUE(served.RecvAll(got, 3));
  EXPECT_EQ(std::string(got, 3), "abc");

  listener.Close();
  Socket refused = Socket::Tcp();
  EXPECT_EQ(refused.Connect(platform::LoopbackIpv4(), port, 2000), platform::kSockErrConnRefused);
}

}  // namespace
