#include "receiver/link/udp_receiver.h"

#include <gtest/gtest.h>

#include "link_fakes.h"
#include "receiver/link/packet_queue.h"

namespace {

struct DatagramCase {
  const char* name;
  std::vector<uint8_t> datagram;
  PacketKind kind;
  size_t payload_size;
  friend void PrintTo(const DatagramCase& c, std::ostream* os) { *os << c.name; }
};

class DatagramTest : public testing::TestWithParam<DatagramCase> {};

TEST_P(DatagramTest, KindFromFirstByteAndRestAsPayload) {
  const DatagramCase& c = GetParam();
  const uint32_t peer = 0x0A01A8C0;  // 192.168.1.10
  auto packet = PacketFromDatagram(c.datagram.data(), c.datagram.size(), peer);
  ASSERT_TRUE(packet);
  EXPECT_EQ(packet->kind, c.kind);
  ASSERT_EQ(packet->payload.size(), c.payload_size);
  EXPECT_TRUE(std::equal(packet->payload.begin(), packet->payload.end(), c.datagram.begin() + 1));
  EXPECT_EQ(packet->PeerText(), "192.168.1.10");
  EXPECT_EQ(packet->connection_socket, 0);
  EXPECT_EQ(packet->peer.ip, 0u);
}

std::vector<uint8_t> WithKind(uint8_t kind, const std::string& text) {
  std::vector<uint8_t> datagram(text.size() + 1);
  datagram[0] = kind;
  std::copy(text.begin(), text.end(), datagram.begin() + 1);
  return datagram;
}

INSTANTIATE_TEST_SUITE_P(
    Datagrams, DatagramTest,
    testing::Values(DatagramCase{"Json", WithKind(1, R"({"act":1,"cmd":0})"), PacketKind::Json, 17},
                    DatagramCase{"Json16Bytes", WithKind(1, R"({"act":1,"cmd":0)"), PacketKind::Json, 16},
                    DatagramCase{"ByteStream", {0, 0x00}, PacketKind::ByteStream, 1},
                    DatagramCase{"KindSevenIsUnknown", {7, 'x', 'y'}, PacketKind::Unknown, 2},
                    DatagramCase{"OneByteIsEmptyPayload", {1}, PacketKind::Json, 0}),
    [](const testing::TestParamInfo<DatagramCase>& info) { return std::string(info.param.name); });

TEST(DatagramTest, EmptyDatagramMakesNoPacket) {
  uint8_t none = 0;
  EXPECT_EQ(PacketFromDatagram(&none, 0, 1), nullptr);
}

TEST(UdpReceiverTest, QueuesDatagramsAndSkipsOversizedOnes) {
  PacketQueue queue;
  UdpReceiver receiver(queue);
  ASSERT_TRUE(receiver.Start(platform::LoopbackIpv4(), 0));
  platform::Socket device = platform::Socket::Udp();
  ASSERT_TRUE(device.Bind(platform::LoopbackIpv4(), 0));

  std::vector<uint8_t> oversized(1501, 0);
  std::vector<uint8_t> empty;
  std::vector<uint8_t> keep_alive = {0, 0};
  device.SendTo(oversized.data(), oversized.size(), platform::LoopbackIpv4(), receiver.Port());
  device.SendTo(empty.data(), 0, platform::LoopbackIpv4(), receiver.Port());
  device.SendTo(keep_alive.data(), keep_alive.size(), platform::LoopbackIpv4(), receiver.Port());

  std::unique_ptr<Packet> packet;
  ASSERT_TRUE(queue.Pop(&packet, 10000));
  EXPECT_EQ(packet->kind, PacketKind::ByteStream);
  EXPECT_EQ(packet->payload, std::vector<uint8_t>{0});
  EXPECT_EQ(packet->PeerText(), "127.0.0.1");
  receiver.Stop();
  EXPECT_EQ(queue.Size(), 0u);
}

TEST(UdpReceiverTest, SecondBinderOfThePortFails) {
  PacketQueue queue;
  UdpReceiver first(queue), second(queue);
  ASSERT_TRUE(first.Start(platform::LoopbackIpv4(), 0));
  EXPECT_FALSE(second.Start(platform::LoopbackIpv4(), first.Port()));
}

}  // namespace
