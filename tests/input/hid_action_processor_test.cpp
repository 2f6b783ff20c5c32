#include "common/hid_action_processor.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "common/device_json.h"
#include "input/recording_input_sink.h"
#include "platform/socket.h"

namespace {

using Calls = std::vector<std::string>;

const Calls kPaste = {"key 11 0 0", "key 56 0 0", "key 56 0 2", "key 11 0 2"};

Calls Concat(Calls a, const Calls& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct PacketCase {
  std::vector<uint8_t> packet;
  Calls expected;
};

void PrintTo(const PacketCase& c, std::ostream* os) {
  for (uint8_t byte : c.packet) *os << std::hex << int(byte) << ' ';
}

class BytePacketTest : public testing::TestWithParam<PacketCase> {};

TEST_P(BytePacketTest, LoopbackPacketBecomesInputCalls) {
  RecordingInputSink sink;
  VPHIDActionProcessor processor(sink, VPHIDActionProcessor::ForeignInput::kDrop);
  const PacketCase& c = GetParam();
  processor.ProcessBytePacket(c.packet.data(), c.packet.size(), platform::LoopbackIpv4());
  EXPECT_EQ(sink.calls, c.expected);
}

// Flags: 0001 move, 0002/0004 left down/up, 0008/0010 right down/up, 0800 wheel,
// 8000 absolute.
INSTANTIATE_TEST_SUITE_P(
    Table, BytePacketTest,
    testing::Values(PacketCase{{0x91, 0x00, 0x03, 0x00, 0x04}, {"mouse 0003 3 4 0"}},
                    PacketCase{{0x92, 0xFF, 0xFF, 0x00, 0x01}, {"mouse 0001 -1 1 0"}},
                    PacketCase{{0x93, 0x80, 0x00, 0x7F, 0xFF}, {"mouse 0005 -32768 32767 0"}},
                    PacketCase{{0x94, 0x00, 0x00, 0x00, 0x00}, {"mouse 0007 0 0 0"}},
                    PacketCase{{0x95, 0x00, 0x00, 0x00, 0x00}, {"mouse 0009 0 0 0"}},
                    PacketCase{{0x96, 0x00, 0x00, 0x00, 0x00}, {"mouse 0011 0 0 0"}},
                    PacketCase{{0x97, 0x00, 0x02, 0x00, 0x00},
                               {"mouse 0007 2 0 0", "mouse 0007 2 0 0"}},
                    PacketCase{{0x98, 0x00, 0x05, 0x00, 0x78}, {"mouse 0800 0 5 120"}},
                    PacketCase{{0x99, 0x00, 0x00, 0x00, 0x00}, {"mouse 0019 0 0 0"}},
                    PacketCase{{0x90, 0x00, 0x01, 0x00, 0x01}, {}},
                    PacketCase{{0x9A, 0x00, 0x01, 0x00, 0x01}, {}},
                    PacketCase{{0x9F, 0x00, 0x01, 0x00, 0x01}, {}},
                    PacketCase{{0xA2, 0xFF, 0xFF, 0xFF, 0xFF}, {"mouse 8001 65535 65535 0"}},
                    PacketCase{{0xA4, 0x80, 0x00, 0x40, 0x00}, {"mouse 8007 32768 16384 0"}},
                    PacketCase{{0xA7, 0x10, 0x00, 0x20, 0x00},
                               {"mouse 8007 4096 8192 0", "mouse 8007 4096 8192 0"}},
                    PacketCase{{0xA8, 0x00, 0x00, 0xFF, 0x88}, {"mouse 0800 0 0 -120"}},
                    PacketCase{{0xA8, 0xFF, 0xFE, 0x00, 0xF0}, {"mouse 0800 0 -2 240"}},
                    PacketCase{{0xA9, 0x00, 0x01, 0x00, 0x02}, {"mouse 8019 1 2 0"}},
                    PacketCase{{0xA0, 0x00, 0x01, 0x00, 0x02}, {}},
                    PacketCase{{0xB1, 0x41, 0x00, 0x00, 0x00}, {"key 41 0 0"}},
                    PacketCase{{0xB2, 0x41, 0x00, 0x00, 0x00}, {"key 41 0 2"}},
                    PacketCase{{0xB1, 0xFF, 0x12, 0x34, 0x56}, {"key FF 0 0"}},
                    PacketCase{{0xB3, 0x07, 0x00, 0x00, 0x00}, {"key 37 0 0", "key 37 0 2"}},
                    PacketCase{{0xB3, 0x41, 0x00, 0x00, 0x00}, Concat({"clipboard 65"}, kPaste)},
                    PacketCase{{0xB3, 0xFF, 0x00, 0x00, 0x00}, Concat({"clipboard 255"}, kPaste)},
                    PacketCase{{0xB0, 0x41, 0x00, 0x00, 0x00}, {}},
                    PacketCase{{0xB4, 0x41, 0x00, 0x00, 0x00}, {}},
                    PacketCase{{0xC1, 0x00, 0x00, 0x00, 0x00}, {}},
                    PacketCase{{0xD1, 0x00, 0x00, 0x00, 0x00}, {}},
                    PacketCase{{0x94, 0x00, 0x00, 0x00, 0x00, 0xAA, 0xBB}, {"mouse 0007 0 0 0"}}));

TEST(BytePacket, ShorterThanFiveBytesIsIgnoredAndNotForwarded) {
  RecordingInputSink sink;
  platform::Socket service = platform::Socket::Udp();
  ASSERT_TRUE(service.Bind(platform::LoopbackIpv4(), 0));
  VPHIDActionProcessor processor(sink, VPHIDActionProcessor::ForeignInput::kForward,
                                 service.LocalAddress().port);
  const uint8_t full[5] = {0x94, 0x00, 0x00, 0x00, 0x00};
  uint32_t device_ip = 0;
  ASSERT_TRUE(platform::TextToIpv4("192.0.2.7", &device_ip));
  for (size_t size = 0; size < 5; ++size) {
    // Each packet lives in a buffer of exactly its own size, so a read past
    // its end shows under the address sanitizer.
    std::vector<uint8_t> packet(full, full + size);
    processor.ProcessBytePacket(packet.data(), packet.size(), platform::LoopbackIpv4());
    processor.ProcessBytePacket(packet.data(), packet.size(), device_ip);
  }
  EXPECT_TRUE(sink.calls.empty());
  // Nothing was forwarded: the first datagram the service port sees is this marker.
  const uint8_t marker[2] = {0x00, 0x42};
  platform::Socket probe = platform::Socket::Udp();
  ASSERT_EQ(probe.SendTo(marker, 2, platform::LoopbackIpv4(), service.LocalAddress().port), 2);
  ASSERT_TRUE(service.SetReceiveTimeout(10000));
  uint8_t received[16];
  ASSERT_EQ(service.RecvFrom(received, sizeof received), 2);
  EXPECT_EQ(received[1], 0x42);
}

TEST(BytePacket, DevicePacketIsForwardedUnchangedNotExecuted) {
  RecordingInputSink sink;
  platform::Socket service = platform::Socket::Udp();
  ASSERT_TRUE(service.Bind(platform::LoopbackIpv4(), 0));
  ASSERT_TRUE(service.SetReceiveTimeout(10000));
  VPHIDActionProcessor processor(sink, VPHIDActionProcessor::ForeignInput::kForward,
                                 service.LocalAddress().port);
  uint32_t device_ip = 0;
  ASSERT_TRUE(platform::TextToIpv4("192.0.2.7", &device_ip));
  const std::vector<std::vector<uint8_t>> packets = {
      {0x94, 0x00, 0x00, 0x00, 0x00}, {0xA2, 0xFF, 0xFF, 0xFF, 0xFF}, {0xB1, 0x41, 1, 2, 3, 4}};
  for (const auto& packet : packets) {
    processor.ProcessBytePacket(packet.data(), packet.size(), device_ip);
    uint8_t received[64];
    platform::SocketAddress from;
    const int size = service.RecvFrom(received, sizeof received, &from);
    ASSERT_EQ(size, static_cast<int>(packet.size() + 1));
    EXPECT_EQ(received[0], 0x00);
    EXPECT_EQ(std::vector<uint8_t>(received + 1, received + size), packet);
    EXPECT_EQ(from.ip, platform::LoopbackIpv4());
  }
  EXPECT_TRUE(sink.calls.empty());
}

TEST(BytePacket, ServiceDropsPacketsNotFromLoopback) {
  RecordingInputSink sink;
  VPHIDActionProcessor processor(sink, VPHIDActionProcessor::ForeignInput::kDrop);
  const uint8_t click[5] = {0x94, 0x00, 0x00, 0x00, 0x00};
  for (const char* source : {"192.0.2.7", "127.0.0.2", "0.0.0.0"}) {
    uint32_t ip = 0;
    ASSERT_TRUE(platform::TextToIpv4(source, &ip));
    processor.ProcessBytePacket(click, sizeof click, ip);
  }
  EXPECT_TRUE(sink.calls.empty());
  processor.ProcessBytePacket(click, sizeof click, platform::LoopbackIpv4());
  EXPECT_EQ(sink.calls, Calls{"mouse 0007 0 0 0"});
}

struct TextCase {
  std::string text;
  Calls expected;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.text.size() << " bytes"; }

class TextEntryTest : public testing::TestWithParam<TextCase> {};

TEST_P(TextEntryTest, JsonStringIsTypedOrPasted) {
  RecordingInputSink sink;
  VPHIDActionProcessor processor(sink, VPHIDActionProcessor::ForeignInput::kForward);
  Json::Value command = MakeCommand(2, 1);
  command["string"] = GetParam().text;
  processor.ProcessJsonCommand(command, platform::LoopbackIpv4());
  EXPECT_EQ(sink.calls, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, TextEntryTest,
                         testing::Values(TextCase{"a", {"key 41 0 0", "key 41 0 2"}},
                                         TextCase{"z", {"key 5A 0 0", "key 5A 0 2"}},
                                         TextCase{"5", {"key 35 0 0", "key 35 0 2"}},
                                         TextCase{"0", {"key 30 0 0", "key 30 0 2"}},
                                         TextCase{"Z", Concat({"clipboard Z"}, kPaste)},
                                         TextCase{"ab", Concat({"clipboard ab"}, kPaste)},
                                         TextCase{"65", Concat({"clipboard 65"}, kPaste)},
                                         TextCase{" ", Concat({"clipboard  "}, kPaste)},
                                         TextCase{"", Concat({"clipboard "}, kPaste)},
                                         TextCase{"é", Concat({"clipboard é"}, kPaste)},
                                         TextCase{"Grüße, 你好",
                                                  Concat({"clipboard Grüße, 你好"}, kPaste)}));

TEST(TextEntry, NoClipboardDropsTheTextWithoutPasting) {
  RecordingInputSink sink;
  sink.clipboard_works = false;
  VPHIDActionProcessor processor(sink, VPHIDActionProcessor::ForeignInput::kForward);
  processor.SendKeyAction(0xB3, "65");
  EXPECT_EQ(sink.calls, Calls{"clipboard 65"});
}

TEST(JsonCommand, OnlyTheExactSwitchWindowKeySwitches) {
  RecordingInputSink sink;
  VPHIDActionProcessor processor(sink, VPHIDActionProcessor::ForeignInput::kForward);
  int switches = 0;
  processor.SetWindowSwitcher([&] { ++switches; });
  for (const char* key : {"switch_windo", "switch_window ", "Switch_window", "", "switch_windows",
                          " switch_window"}) {
    Json::Value command = MakeCommand(2, 2);
    command["key"] = key;
    processor.ProcessJsonCommand(command, platform::LoopbackIpv4());
  }
  EXPECT_EQ(switches, 0);
  Json::Value command = MakeCommand(2, 2);
  command["key"] = "switch_window";
  processor.ProcessJsonCommand(command, platform::LoopbackIpv4());
  EXPECT_EQ(switches, 1);
  EXPECT_TRUE(sink.calls.empty());
}

TEST(JsonCommand, OtherActsAndCommandsDoNothing) {
  RecordingInputSink sink;
  VPHIDActionProcessor processor(sink, VPHIDActionProcessor::ForeignInput::kForward);
  int switches = 0;
  processor.SetWindowSwitcher([&] { ++switches; });
  const char* texts[] = {R"({"act":2,"cmd":3,"string":"ab","key":"switch_window"})",
                         R"({"act":3,"cmd":1,"string":"ab"})", R"({"act":2,"cmd":1,"string":17})",
                         R"({"act":"2","cmd":1,"string":"ab"})", R"([2,1])"};
  for (const char* text : texts) {
    Json::Value command;
    ParseDeviceJson(text, &command);
    processor.ProcessJsonCommand(command, platform::LoopbackIpv4());
  }
  // A mistyped "string" reads as empty text, which is still pasted.
  EXPECT_EQ(sink.calls, Concat({"clipboard "}, kPaste));
  EXPECT_EQ(switches, 0);
}

}  // namespace
