#include "device_frame.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(DeviceFrame, FrameCarriesTotalLengthBigEndianThenKind) {
  const auto frame = EncodeFrame(kKindJson, Bytes(std::string(20, 'x')));
  ASSERT_EQ(frame.size(), 23u);
  EXPECT_EQ(frame[0], 0x00);
  EXPECT_EQ(frame[1], 0x17);
  EXPECT_EQ(frame[2], 0x01);
  EXPECT_TRUE(EncodeFrame(kKindJson, std::vector<uint8_t>(65533)).empty());
  EXPECT_EQ(EncodeFrame(kKindJson, std::vector<uint8_t>(65532)).size(), 65535u);
}

// However the stream is cut into receives, the same frames come out.
TEST(DeviceFrame, ReaderReassemblesFramesAcrossAnyCuts) {
  std::vector<uint8_t> stream = EncodeFrame(kKindJson, Bytes("{\"act\":1}"));
  const auto empty = EncodeFrame(kKindByteStream, {});
  const auto keep_alive = EncodeFrame(kKindByteStream, {0x00});
  stream.insert(stream.end(), empty.begin(), empty.end());
  stream.insert(stream.end(), keep_alive.begin(), keep_alive.end());
  for (size_t piece : {size_t{1}, size_t{2}, size_t{5}, stream.size()}) {
    FrameReader reader;
    std::vector<DeviceFrame> frames;
    for (size_t at = 0; at < stream.size(); at += piece)
      ASSERT_TRUE(reader.Feed(stream.data() + at, std::min(piece, stream.size() - at), &frames));
    ASSERT_EQ(frames.size(), 3u) << "pieces of " << piece;
    EXPECT_EQ(frames[0].kind, kKindJson);
    EXPECT_EQ(frames[0].payload, Bytes("{\"act\":1}"));
    EXPECT_TRUE(frames[1].payload.empty());
    EXPECT_EQ(frames[2].payload, std::vector<uint8_t>{0x00});
  }
}

TEST(DeviceFrame, LengthBelowThreeIsNotAFrame) {
  FrameReader reader;
  std::vector<DeviceFrame> frames;
  const uint8_t bad[] = {0x00, 0x02, 0x01};
  EXPECT_FALSE(reader.Feed(bad, sizeof bad, &frames));
  EXPECT_TRUE(frames.empty());
}

}  // namespace
