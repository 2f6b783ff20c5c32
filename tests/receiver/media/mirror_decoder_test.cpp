#include "receiver/media/mirror_decoder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <random>
#include <thread>

#include "mirror_source.h"
#include "receiver/media/display_probe.h"

namespace {

std::unique_ptr<EncodedChunk> ToChunk(const device::Chunk& bytes) {
  auto chunk = std::make_unique<EncodedChunk>();
  chunk->length = static_cast<uint32_t>(bytes.size());
  if (!bytes.empty()) {
    chunk->data = std::make_unique<uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), chunk->data.get());
  }
  return chunk;
}

std::vector<device::Chunk> EncodePattern(int width, int height, int count) {
  device::TestPatternEncoder encoder;
  EXPECT_TRUE(encoder.Open(width, height, 30));
  std::vector<device::Chunk> chunks;
  for (int i = 0; i < count; ++i) {
    device::Chunk chunk;
    EXPECT_TRUE(encoder.EncodeNext(&chunk));
    chunks.push_back(chunk);
  }
  return chunks;
}

class MirrorDecoderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(decoder_.Open()); }
  // Number of pictures, and the size of the last one.
  int Feed(const device::Chunk& bytes) {
    std::vector<PicturePtr> pictures;
    decoder_.Decode(*ToChunk(bytes), &pictures);
    for (auto& p : pictures) last_size_ = {p->width, p->height};
    return static_cast<int>(pictures.size());
  }
  MirrorDecoder decoder_;
  std::pair<int, int> last_size_{0, 0};
};

TEST_F(MirrorDecoderTest, EveryAccessUnitGivesItsPictureAtOnce) {
  auto chunks = EncodePattern(320, 180, 10);
  for (size_t i = 0; i < chunks.size(); ++i) EXPECT_EQ(Feed(chunks[i]), 1) << "chunk " << i;
  EXPECT_EQ(last_size_, std::make_pair(320, 180));
}

TEST_F(MirrorDecoderTest, PicturesCarryTheirChunkStamp) {
  auto chunks = EncodePattern(64, 64, 3);
  for (size_t i = 0; i < chunks.size(); ++i) {
    auto chunk = ToChunk(chunks[i]);
    chunk->received_us = 1000 + static_cast<int64_t>(i);
    std::vector<PicturePtr> pictures;
    decoder_.Decode(*chunk, &pictures);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0]->pts, chunk->received_us);
  }
}

TEST_F(MirrorDecoderTest, EmptyChunkDoesNotEndTheStream) {
  auto chunks = EncodePattern(64, 64, 4);
  EXPECT_EQ(Feed(chunks[0]), 1);
  EXPECT_EQ(Feed({}), 0);
  EXPECT_EQ(Feed(chunks[1]), 1);
}

TEST_F(MirrorDecoderTest, DamagedInputThenAKeyPictureDecodesAgain) {
  std::mt19937 random(7);
  device::Chunk noise(4096);
  for (auto& byte : noise) byte = static_cast<uint8_t>(random());
  auto first = EncodePattern(320, 180, 3);
  Feed(noise);
  device::Chunk truncated(first[0].begin(), first[0].begin() + first[0].size() / 3);
  Feed(truncated);
  Feed(noise);
  // A new size in the middle of the stream, from its key picture on.
  auto second = EncodePattern(160, 96, 2);
  EXPECT_EQ(Feed(second[0]), 1);
  EXPECT_EQ(last_size_, std::make_pair(160, 96));
  EXPECT_EQ(Feed(second[1]), 1);
}

TEST_F(MirrorDecoderTest, PicturesAboveTheLimitAreRefused) {
  // One macroblock row more than the limit's pixel count allows.
  auto huge = EncodePattern(4096, 4112, 1);
  EXPECT_EQ(Feed(huge[0]), 0);
  auto fits = EncodePattern(4096, 4096, 1);
  EXPECT_EQ(Feed(fits[0]), 1);
}

TEST(MirrorSource, AccessUnitsOfAFileAreTheEncodedPictures) {
  auto chunks = EncodePattern(128, 96, 6);
  std::vector<uint8_t> stream;
  for (const auto& c : chunks) stream.insert(stream.end(), c.begin(), c.end());
  EXPECT_EQ(device::SplitAccessUnits(stream), chunks);
}

}  // namespace

namespace {

class CountingProbe : public DisplayProbe {
 public:
  void OnPictureDecoded(int64_t) override { ++decoded; }
  void OnPicturePresented(int64_t) override {}
  std::atomic<int> decoded{0};
};

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition() && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return condition();
}

// 500 decoded pictures of a large size would be gigabytes: the decode thread
// stops at the byte budget while the display is behind, and goes on as soon
// as a picture is taken.
TEST(DecodeLoop, PicturesWaitingForTheDisplayStayWithinTheByteBudget) {
  const int width = 4096, height = 2048;
  const size_t allowed = kPictureByteBudget / (size_t{width} * height * 3 / 2);
  auto stream = EncodePattern(width, height, static_cast<int>(allowed) + 2);
  MirrorDecoder decoder;
  ASSERT_TRUE(decoder.Open());
  ChunkQueue chunks(kMirrorQueueCapacity);
  PictureQueue pictures(kMirrorQueueCapacity);
  std::atomic<bool> running{true};
  CountingProbe probe;
  std::thread decode([&] { RunDecodeLoop(decoder, chunks, pictures, running, &probe); });
  for (const auto& bytes : stream) chunks.Push(ToChunk(bytes));
  const int held = static_cast<int>(allowed) + 1;  // the one decoded beyond waits for room
  EXPECT_TRUE(WaitUntil([&] { return probe.decoded >= held; }, std::chrono::seconds(30)));
  EXPECT_FALSE(WaitUntil([&] { return probe.decoded > held; }, std::chrono::milliseconds(500)));
  EXPECT_EQ(pictures.Size(), allowed);
  PicturePtr taken;
  ASSERT_TRUE(pictures.PopFor(taken, 1000));
  EXPECT_TRUE(WaitUntil([&] { return probe.decoded > held; }, std::chrono::seconds(30)));
  running = false;
  chunks.Abort();
  pictures.Abort();
  decode.join();
}

}  // namespace
