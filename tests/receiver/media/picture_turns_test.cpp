#include "receiver/media/picture_turns.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A picture whose every byte is distinct: the plane in the high values, the
// position in the low ones (small pictures only).
std::vector<uint8_t> NumberedPicture(I420Size size) {
  std::vector<uint8_t> picture(size.ByteSize());
  for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<uint8_t>(i);
  return picture;
}

struct Plane {
  const uint8_t* bytes;
  int width;
  int height;
  uint8_t At(int x, int y) const { return bytes[static_cast<size_t>(y) * width + x]; }
};

Plane PlaneOf(const std::vector<uint8_t>& picture, I420Size size, int p) {
  if (p == 0) return {picture.data(), size.width, size.height};
  size_t offset = size.LumaBytes() + (p - 1) * size.ChromaBytes();
  return {picture.data() + offset, size.ChromaWidth(), size.ChromaHeight()};
}

enum class Turn { Clockwise, CounterClockwise, Half };

// Where the target pixel (x, y) comes from in a source plane of w x h,
// described geometrically rather than by rows.
std::pair<int, int> SourceOf(Turn turn, int x, int y, int w, int h) {
  switch (turn) {
    case Turn::Clockwise: return {y, h - 1 - x};         // the left column becomes the top row
    case Turn::CounterClockwise: return {w - 1 - y, x};  // the right column becomes the top row
    case Turn::Half: return {w - 1 - x, h - 1 - y};
  }
  return {0, 0};
}

struct TurnCase {
  int width;
  int height;
};

class PictureTurnsTest : public ::testing::TestWithParam<TurnCase> {};

TEST_P(PictureTurnsTest, EveryPlaneTurnsPixelByPixel) {
  const I420Size size{GetParam().width, GetParam().height};
  const std::vector<uint8_t> source = NumberedPicture(size);
  for (Turn turn : {Turn::Clockwise, Turn::CounterClockwise, Turn::Half}) {
    const bool quarter = turn != Turn::Half;
    const I420Size turned = quarter ? I420Size{size.height, size.width} : size;
    ASSERT_EQ(turned.ByteSize(), size.ByteSize());
    std::vector<uint8_t> target(size.ByteSize() + 1, 0xEE);  // one guard byte
    if (turn == Turn::Clockwise) TurnQuarterClockwise(source.data(), size, target.data());
    if (turn == Turn::CounterClockwise)
      TurnQuarterCounterClockwise(source.data(), size, target.data());
    if (turn == Turn::Half) TurnHalf(source.data(), size, target.data());
    EXPECT_EQ(target.back(), 0xEE) << "wrote past the picture";
    for (int p = 0; p < 3; ++p) {
      Plane from = PlaneOf(source, size, p);
      Plane to = PlaneOf(target, turned, p);
      for (int y = 0; y < to.height; ++y) {
        for (int x = 0; x < to.width; ++x) {
          auto [sx, sy] = SourceOf(turn, x, y, from.width, from.height);
          ASSERT_EQ(to.At(x, y), from.At(sx, sy))
              << "turn " << static_cast<int>(turn) << " plane " << p << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST_P(PictureTurnsTest, OppositeTurnsGiveTheSourceBack) {
  const I420Size size{GetParam().width, GetParam().height};
  const std::vector<uint8_t> source = NumberedPicture(size);
  std::vector<uint8_t> once(size.ByteSize()), back(size.ByteSize());
  TurnQuarterClockwise(source.data(), size, once.data());
  TurnQuarterCounterClockwise(once.data(), I420Size{size.height, size.width}, back.data());
  EXPECT_EQ(back, source);
  TurnHalf(source.data(), size, once.data());
  TurnHalf(once.data(), size, back.data());
  EXPECT_EQ(back, source);
}

// Odd widths and heights, and heights not divisible by 4 (6, 10, 3, 5, 7).
INSTANTIATE_TEST_SUITE_P(Sizes, PictureTurnsTest,
                         ::testing::Values(TurnCase{1, 1}, TurnCase{2, 2}, TurnCase{3, 2},
                                           TurnCase{4, 6}, TurnCase{5, 3}, TurnCase{7, 5},
                                           TurnCase{2, 7}, TurnCase{8, 10}, TurnCase{6, 4}),
                         [](const auto& info) {
                           return std::to_string(info.param.width) + "x" +
                                  std::to_string(info.param.height);
                         });

TEST(PictureTurns, FirstRowsFollowTheDeviceRotation) {
  // 4 x 2 luma: row 0 = 1 2 3 4, row 1 = 5 6 7 8.
  const I420Size size{4, 2};
  std::vector<uint8_t> source(size.ByteSize(), 0);
  for (int i = 0; i < 8; ++i) source[i] = static_cast<uint8_t>(i + 1);
  std::vector<uint8_t> target(size.ByteSize());
  TurnQuarterClockwise(source.data(), size, target.data());
  // Left column read from the bottom up.
  EXPECT_EQ((std::vector<uint8_t>{5, 1}), std::vector<uint8_t>(target.begin(), target.begin() + 2));
  TurnQuarterCounterClockwise(source.data(), size, target.data());
  // Right column from the top down first, column 0 last.
  EXPECT_EQ((std::vector<uint8_t>{4, 8}), std::vector<uint8_t>(target.begin(), target.begin() + 2));
  EXPECT_EQ((std::vector<uint8_t>{1, 5}),
            std::vector<uint8_t>(target.begin() + 6, target.begin() + 8));
}

}  // namespace
