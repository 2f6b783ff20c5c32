#include "receiver/link/device_listeners.h"

#include <gtest/gtest.h>

#include "link_fakes.h"
#include "receiver/link/client_list.h"
#include "receiver/link/packet_processor.h"
#include "receiver/link/packet_queue.h"
#include "receiver/link/pairing_handler.h"
#include "common/settings_store.h"

namespace {

class RecordingHandler : public JsonCommandHandler, public BytePacketHandler {
 public:
  int ProcessJsonCommand(const JsonCommand& command) override {
    std::lock_guard lock(lock_);
    seen_.push_back(std::to_string(JsonInt(command.value, "cmd")) + "@" + command.PeerText() +
                    (command.connection_socket ? "/tcp" : "/udp"));
    return 0;
  }
  int ProcessBytePacket(const Packet& packet) override {
    std::lock_guard lock(lock_);
    seen_.push_back("byte " + std::to_string(packet.payload[0]));
    return 0;
  }
  std::vector<std::string> Seen() {
    std::lock_guard lock(lock_);
    return seen_;
  }

 private:
  std::mutex lock_;
  std::vector<std::string> seen_;
};

std::string TcpFrame(const std::string& json) {
  const size_t total = json.size() + 3;
  return std::string{static_cast<char>(total >> 8), static_cast<char>(total & 0xFF), '\x01'} + json;
}

class DeviceListenersTest : public testing::Test {
 protected:
  void SetUp() override {
    processor_.RegisterJsonHandler(2, &handler_);
    processor_.RegisterJsonHandler(3, &handler_);
    processor_.RegisterByteHandler(0x90, &handler_);
    clients_.Add("emulator", "127.0.0.1");
    DeviceLinkConfig config;
    config.bind_ip = platform::LoopbackIpv4();
    config.udp_port = config.frame_port = config.file_port = 0;
    ASSERT_EQ(listeners_.Start(config), 0);
  }

  platform::Socket ConnectFrames() {
    platform::Socket device = platform::Socket::Tcp();
    EXPECT_EQ(device.Connect(platform::LoopbackIpv4(), listeners_.FramePort(), 5000), 0);
    device.SetReceiveTimeout(10000);
    return device;
  }

  ManualClock clock_;
  RecordingSender sender_;
  ClientList clients_{clock_, sender_, 7990};
  PacketProcessor processor_{clients_, [](std::string_view) {}};
  RecordingHandler handler_;
  PacketQueue queue_;
  DeviceListeners listeners_{queue_, processor_};
};

TEST_F(DeviceListenersTest, DatagramsReachTheirHandlers) {
  platform::Socket device = platform::Socket::Udp();
  const std::string json = std::string("\x01") + R"({"act":2,"cmd":7})";
  const uint8_t pointer[] = {0x00, 0x91, 0x00, 0x10, 0x00, 0x20};
  device.SendTo(json.data(), json.size(), platform::LoopbackIpv4(), listeners_.UdpPort());
  device.SendTo(pointer, sizeof pointer, platform::LoopbackIpv4(), listeners_.UdpPort());
  ASSERT_TRUE(WaitUntil([&] { return handler_.Seen().size() == 2; }));
  EXPECT_EQ(handler_.Seen(), (std::vector<std::string>{"7@127.0.0.1/udp", "byte 145"}));
}

TEST_F(DeviceListenersTest, FramesArriveInOrderHoweverTheyAreCut) {
  platform::Socket device = ConnectFrames();
  const std::string two = TcpFrame(R"({"act":2,"cmd":1})") + TcpFrame(R"({"act":3,"cmd":2})");
  ASSERT_TRUE(device.SendAll(two.data(), two.size()));
  ASSERT_TRUE(WaitUntil([&] { return handler_.Seen().size() == 2; }));
  // The length bytes go out in two segments (exact cuts are the assembler's
  // unit tests; here the whole road is exercised).
  const std::string third = TcpFrame(R"({"act":2,"cmd":3})");
  device.SetNoDelay(true);
  ASSERT_TRUE(device.SendAll(third.data(), 1));
  ASSERT_TRUE(device.SendAll(third.data() + 1, third.size() - 1));
  ASSERT_TRUE(WaitUntil([&] { return handler_.Seen().size() == 3; }));
  EXPECT_EQ(handler_.Seen(), (std::vector<std::string>{"1@127.0.0.1/tcp", "2@127.0.0.1/tcp",
                                                       "3@127.0.0.1/tcp"}));
}

TEST_F(DeviceListenersTest, FrameOfImpossibleLengthDropsTheConnection) {
  platform::Socket device = ConnectFrames();
  const std::string stream = TcpFrame(R"({"act":2,"cmd":1})") + std::string("\x00\x02", 2) +
                             TcpFrame(R"({"act":2,"cmd":2})");
  ASSERT_TRUE(device.SendAll(stream.data(), stream.size()));
  char byte;
  EXPECT_LE(device.Recv(&byte, 1), 0);
  EXPECT_NE(platform::LastSocketError(), platform::kSockErrTimedOut);
  ASSERT_TRUE(WaitUntil([&] { return handler_.Seen().size() == 1; }));
  EXPECT_EQ(handler_.Seen()[0], "1@127.0.0.1/tcp");

  // Other connections go on.
  platform::Socket next = ConnectFrames();
  const std::string frame = TcpFrame(R"({"act":2,"cmd":9})");
  ASSERT_TRUE(next.SendAll(frame.data(), frame.size()));
  ASSERT_TRUE(WaitUntil([&] { return handler_.Seen().size() == 2; }));
}

TEST_F(DeviceListenersTest, StopEndsOpenConnectionsAndEveryThread) {
  platform::Socket device = ConnectFrames();
  const std::string frame = TcpFrame(R"({"act":2,"cmd":1})");
  ASSERT_TRUE(device.SendAll(frame.data(), frame.size()));
  ASSERT_TRUE(WaitUntil([&] { return handler_.Seen().size() == 1; }));
  listeners_.Stop();  // the open connection must not hold it
  char byte;
  EXPECT_LE(device.Recv(&byte, 1), 0);
  EXPECT_NE(platform::LastSocketError(), platform::kSockErrTimedOut);
}

TEST(DeviceLinkTest, DiscoveryDatagramIsAnsweredThroughTheWholeRoad) {
  TempFolder folder;
  SettingsStore settings(folder.Path());
  settings.WriteString("DeviceName", "Room PC");
  ManualClock clock;
  RecordingSender sender;
  ClientList clients(clock, sender, 7990);
  PairingHandler pairing(settings, clients, sender);
  PacketProcessor processor(clients, [](std::string_view) {});
  processor.RegisterJsonHandler(1, &pairing);
  PacketQueue queue;
  DeviceListeners listeners(queue, processor);
  DeviceLinkConfig config{platform::LoopbackIpv4(), 0, 0, 0, nullptr};
  ASSERT_EQ(listeners.Start(config), 0);

  platform::Socket device = platform::Socket::Udp();
  const std::string discovery = std::string("\x01") + R"({"act":1,"cmd":0})";
  device.SendTo(discovery.data(), discovery.size(), platform::LoopbackIpv4(), listeners.UdpPort());
  ASSERT_TRUE(WaitUntil([&] { return sender.Json().size() == 1; }));
  const SentJson reply = sender.Json()[0];
  EXPECT_EQ(reply.address, "127.0.0.1");
  EXPECT_EQ(reply.port, 7990);
  EXPECT_EQ(JsonInt(reply.value, "cmd"), 20);
  EXPECT_EQ(JsonString(reply.value, "name"), "Room PC");
}

}  // namespace
