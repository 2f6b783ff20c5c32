#include "receiver/link/frame_assembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Frame(uint8_t kind, const std::string& payload) {
  const size_t total = payload.size() + 3;
  Bytes frame(total);
  frame[0] = static_cast<uint8_t>(total >> 8);
  frame[1] = static_cast<uint8_t>(total);
  frame[2] = kind;
  std::copy(payload.begin(), payload.end(), frame.begin() + 3);
  return frame;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

struct Expected {
  PacketKind kind;
  std::string payload;
};

struct FramingCase {
  const char* name;
  Bytes stream;
  std::vector<size_t> cuts;  // receive boundaries inside the stream
  std::vector<Expected> packets;
  bool in_step;              // false: the connection is to be dropped
  friend void PrintTo(const FramingCase& c, std::ostream* os) { *os << c.name; }
};

class FramingTest : public testing::TestWithParam<FramingCase> {};

TEST_P(FramingTest, CutsStreamIntoPackets) {
  const FramingCase& c = GetParam();
  FrameAssembler assembler;
  std::vector<std::unique_ptr<Packet>> packets;
  bool in_step = true;
  size_t from = 0;
  std::vector<size_t> ends = c.cuts;
  ends.push_back(c.stream.size());
  for (size_t end : ends) {
    in_step = assembler.Feed(c.stream.data() + from, end - from, &packets);
    from = end;
    if (!in_step) break;
  }
  EXPECT_EQ(in_step, c.in_step);
  ASSERT_EQ(packets.size(), c.packets.size());
  for (size_t i = 0; i < packets.size(); ++i) {
    EXPECT_EQ(packets[i]->kind, c.packets[i].kind) << i;
    EXPECT_EQ(std::string(packets[i]->payload.begin(), packets[i]->payload.end()),
              c.packets[i].payload)
        << i;
  }
}

const Bytes kTwoFrames = Join({Frame(1, R"({"act":1,"cmd":0})"), Frame(0, "\x90\x01")});

INSTANTIATE_TEST_SUITE_P(
    Frames, FramingTest,
    testing::Values(
        FramingCase{"TwoFramesInOneReceive", kTwoFrames, {},
                    {{PacketKind::Json, R"({"act":1,"cmd":0})"}, {PacketKind::ByteStream, "\x90\x01"}},
                    true},
        FramingCase{"LengthBytesSplit", Frame(1, "{}"), {1}, {{PacketKind::Json, "{}"}}, true},
        FramingCase{"EveryByteAlone", kTwoFrames,
                    [] {
                      std::vector<size_t> cuts;
                      for (size_t i = 1; i < kTwoFrames.size(); ++i) cuts.push_back(i);
                      return cuts;
                    }(),
                    {{PacketKind::Json, R"({"act":1,"cmd":0})"}, {PacketKind::ByteStream, "\x90\x01"}},
                    true},
        FramingCase{"SecondFrameSplitInPayload", kTwoFrames, {kTwoFrames.size() - 1},
                    {{PacketKind::Json, R"({"act":1,"cmd":0})"}, {PacketKind::ByteStream, "\x90\x01"}},
                    true},
        FramingCase{"TotalThreeIsEmptyPayload", Bytes{0x00, 0x03, 0x00}, {}, {{PacketKind::ByteStream, ""}},
                    true},
        FramingCase{"UnknownKind", Frame(7, "x"), {}, {{PacketKind::Unknown, "x"}}, true},
        FramingCase{"LargestFrame", Frame(1, std::string(1497, 'a')), {700},
                    {{PacketKind::Json, std::string(1497, 'a')}}, true},
        FramingCase{"PartialFrameWaits", Bytes{0x00, 0x05, 0x01, 'a'}, {}, {}, true},
        FramingCase{"TotalTwoDrops", Join({Frame(0, std::string(1, '\0')), Bytes{0x00, 0x02}}), {}, {{PacketKind::ByteStream, std::string(1, '\0')}},
                    false},
        FramingCase{"TotalZeroDrops", Bytes{0x00, 0x00, 0x01}, {}, {}, false},
        FramingCase{"TotalAboveBufferDrops", Bytes{0x05, 0xDD, 0x01}, {}, {}, false},
        FramingCase{"TotalMaxDrops", Bytes{0xFF, 0xFF, 0x01, 0x02}, {1}, {}, false}),
    [](const testing::TestParamInfo<FramingCase>& info) { return std::string(info.param.name); });

TEST(FrameAssemblerTest, RefusesMoreBytesOnceOutOfStep) {
  FrameAssembler assembler;
  std::vector<std::unique_ptr<Packet>> packets;
  const Bytes bad = {0x00, 0x01};
  ASSERT_FALSE(assembler.Feed(bad.data(), bad.size(), &packets));
  const Bytes good = Frame(1, "{}");
  EXPECT_FALSE(assembler.Feed(good.data(), good.size(), &packets));
  EXPECT_TRUE(packets.empty());
}

}  // namespace
