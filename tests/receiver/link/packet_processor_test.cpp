#include "receiver/link/packet_processor.h"

#include <gtest/gtest.h>

#include "link_fakes.h"
#include "receiver/link/client_list.h"

namespace {

class CountingJsonHandler : public JsonCommandHandler {
 public:
  int ProcessJsonCommand(const JsonCommand& command) override {
    commands.push_back(command);
    return 0;
  }
  std::vector<JsonCommand> commands;
};

class CountingByteHandler : public BytePacketHandler {
 public:
  int ProcessBytePacket(const Packet& packet) override {
    firsts.push_back(packet.payload[0]);
    return 0;
  }
  std::vector<uint8_t> firsts;
};

uint32_t Ip(const char* text) {
  uint32_t ip = 0;
  platform::TextToIpv4(text, &ip);
  return ip;
}

Packet JsonPacket(const std::string& text, const char* from) {
  Packet packet;
  packet.kind = PacketKind::Json;
  packet.payload.assign(text.begin(), text.end());
  packet.peer_ip = Ip(from);
  return packet;
}

Packet BytePacket(std::vector<uint8_t> payload, const char* from) {
  Packet packet;
  packet.kind = PacketKind::ByteStream;
  packet.payload = std::move(payload);
  packet.peer_ip = Ip(from);
  return packet;
}

class PacketProcessorTest : public testing::Test {
 protected:
  PacketProcessorTest() : clients_(clock_, sender_, 7990), processor_(clients_, [this](auto line) {
    lines_.emplace_back(line);
  }) {
    processor_.RegisterJsonHandler(1, &pairing_);
    processor_.RegisterJsonHandler(2, &hid_);
    processor_.RegisterByteHandler(0x00, &keep_alive_);
    processor_.RegisterByteHandler(0x90, &pointer_);
    processor_.RegisterByteHandler(0xC0, &presenter_);
  }

  ManualClock clock_;
  RecordingSender sender_;
  ClientList clients_;
  std::vector<std::string> lines_;
  PacketProcessor processor_;
  CountingJsonHandler pairing_, hid_;
  CountingByteHandler keep_alive_, pointer_, presenter_;
};

TEST_F(PacketProcessorTest, CommandsOfUnpairedDevicesAreDroppedExceptPairing) {
  const std::string input = R"({"act":2,"cmd":1,"string":"x"})";
  processor_.Process(JsonPacket(input, "10.0.0.5"));
  EXPECT_TRUE(hid_.commands.empty());

  processor_.Process(JsonPacket(R"({"act":1,"cmd":0})", "10.0.0.5"));
  ASSERT_EQ(pairing_.commands.size(), 1u);
  EXPECT_EQ(pairing_.commands[0].PeerText(), "10.0.0.5");

  clients_.Add("phone", "10.0.0.5");
  processor_.Process(JsonPacket(input, "10.0.0.5"));
  ASSERT_EQ(hid_.commands.size(), 1u);
  EXPECT_EQ(JsonString(hid_.commands[0].value, "string"), "x");
  processor_.Process(JsonPacket(input, "10.0.0.6"));
  EXPECT_EQ(hid_.commands.size(), 1u);
}

TEST_F(PacketProcessorTest, UnregisteredActsAndMalformedJsonAreDropped) {
  clients_.Add("phone", "10.0.0.5");
  for (const char* text : {R"({"act":3,"cmd":0})", R"({"act":"2","cmd":1})", "[2,1]", "{\"act\":2,",
                           R"({"act":99,"cmd":1})", R"({"act":-1,"cmd":1})"})
    processor_.Process(JsonPacket(text, "10.0.0.5"));
  EXPECT_TRUE(hid_.commands.empty());
  EXPECT_TRUE(pairing_.commands.empty());
}

TEST_F(PacketProcessorTest, JsonIsLoggedIndentedUnlessItHoldsAPercentSign) {
  clients_.Add("phone", "10.0.0.5");
  processor_.Process(JsonPacket(R"({"cmd":1,"act":2,"string":"50%"})", "10.0.0.5"));
  EXPECT_EQ(hid_.commands.size(), 1u);
  EXPECT_TRUE(lines_.empty());

  processor_.Process(JsonPacket(R"({"cmd":1,"act":2,"string":"x"})", "10.0.0.5"));
  EXPECT_EQ(hid_.commands.size(), 2u);
  ASSERT_EQ(lines_.size(), 1u);
  EXPECT_EQ(lines_[0],
            "Process Json Packet from 10.0.0.5: {\n   \"act\" : 2,\n   \"cmd\" : 1,\n"
            "   \"string\" : \"x\"\n}\n");
}

TEST_F(PacketProcessorTest, LongJsonLogLineIsCut) {
  clients_.Add("phone", "10.0.0.5");
  processor_.Process(JsonPacket(R"({"act":2,"cmd":1,"string":")" + std::string(3000, 'y') + "\"}",
                                "10.0.0.5"));
  ASSERT_EQ(lines_.size(), 1u);
  EXPECT_EQ(lines_[0].size(), PacketProcessor::kJsonLogChars);
}

struct ByteRoute {
  uint8_t first;
  const char* handler;  // "keep-alive", "pointer", "presenter" or "" for dropped
  friend void PrintTo(const ByteRoute& r, std::ostream* os) {
    *os << "first byte " << static_cast<int>(r.first);
  }
};

class ByteRoutingTest : public PacketProcessorTest, public testing::WithParamInterface<ByteRoute> {};

TEST_P(ByteRoutingTest, RoutesPairedPacketsByHighNibble) {
  clients_.Add("phone", "10.0.0.5");
  processor_.Process(BytePacket({GetParam().first, 0, 1, 0, 2}, "10.0.0.5"));
  processor_.Process(BytePacket({GetParam().first, 0, 1, 0, 2}, "10.0.0.9"));  // unpaired
  const std::string expected = GetParam().handler;
  EXPECT_EQ(keep_alive_.firsts.size(), expected == "keep-alive" ? 1u : 0u);
  EXPECT_EQ(pointer_.firsts.size(), expected == "pointer" ? 1u : 0u);
  EXPECT_EQ(presenter_.firsts.size(), expected == "presenter" ? 1u : 0u);
  EXPECT_EQ(lines_.size(), 2u);  // logged whether routed or not
}

INSTANTIATE_TEST_SUITE_P(FirstBytes, ByteRoutingTest,
                         testing::Values(ByteRoute{0x00, "keep-alive"}, ByteRoute{0x0F, "keep-alive"},
                                         ByteRoute{0x91, "pointer"}, ByteRoute{0xC3, "presenter"},
                                         ByteRoute{0x5A, ""}, ByteRoute{0x10, ""},
                                         ByteRoute{0x80, ""}, ByteRoute{0xA0, ""},
                                         ByteRoute{0xF3, ""}, ByteRoute{0xFF, ""}));

TEST_F(PacketProcessorTest, ClassesNeverRoutedCannotBeRegistered) {
  EXPECT_FALSE(processor_.RegisterByteHandler(0x50, &pointer_));
  EXPECT_FALSE(processor_.RegisterByteHandler(0xF0, &pointer_));
  EXPECT_FALSE(processor_.RegisterJsonHandler(16, &hid_));
  EXPECT_TRUE(processor_.RegisterByteHandler(0xE0, &pointer_));
}

TEST_F(PacketProcessorTest, EveryPacketFromAPairedDeviceRefreshesIt) {
  clients_.Add("phone", "10.0.0.5");
  const int64_t paired_at = clients_.Snapshot()[0].last_heard;
  clock_.Advance(20000);
  processor_.Process(BytePacket({0x00}, "10.0.0.5"));
  EXPECT_EQ(clients_.Snapshot()[0].last_heard, paired_at + 20);
  clock_.Advance(20000);
  processor_.Process(JsonPacket(R"({"act":5,"cmd":1})", "10.0.0.5"));  // unregistered act
  EXPECT_EQ(clients_.Snapshot()[0].last_heard, paired_at + 40);
  processor_.Process(BytePacket({0x00}, "10.0.0.6"));
  EXPECT_EQ(clients_.Count(), 1u);
}

TEST_F(PacketProcessorTest, ByteStreamDumpCoversTheFirst170Bytes) {
  clients_.Add("phone", "10.0.0.5");
  std::vector<uint8_t> payload(1000);
  for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<uint8_t>(0xA0 + i % 16);
  processor_.Process(BytePacket(payload, "10.0.0.5"));
  ASSERT_EQ(lines_.size(), 1u);
  const std::string prefix = "Process ByteStream Packet from 10.0.0.5:A0 A1 A2 ";
  EXPECT_EQ(lines_[0].substr(0, prefix.size()), prefix);
  EXPECT_EQ(lines_[0].size(), PacketProcessor::kByteLogChars);
  EXPECT_EQ(PacketProcessor::HexDump(payload).size(), 170u * 3);
  EXPECT_EQ(PacketProcessor::HexDump({0x0A, 0xFF}), "0A FF ");
}

TEST_F(PacketProcessorTest, EmptyAndUnknownPacketsAreHarmless) {
  clients_.Add("phone", "10.0.0.5");
  processor_.Process(BytePacket({}, "10.0.0.5"));
  Packet unknown = BytePacket({0x90}, "10.0.0.5");
  unknown.kind = PacketKind::Unknown;
  processor_.Process(unknown);
  EXPECT_TRUE(keep_alive_.firsts.empty());
  EXPECT_TRUE(pointer_.firsts.empty());
  ASSERT_EQ(lines_.size(), 1u);
  EXPECT_EQ(lines_[0], "Process ByteStream Packet from 10.0.0.5:");
}

}  // namespace
