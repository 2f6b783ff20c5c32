#include "receiver/media/window_geometry.h"

#include <gtest/gtest.h>

namespace {

struct PortraitCase {
  int screen_width, screen_height;
  int width, height, x, y;
};

TEST(WindowGeometry, PortraitWindowKeepsTheScreenShapeUpright) {
  const PortraitCase cases[] = {
      {1920, 1080, 573, 1020, 673, 30},     // trunc(1020 / 1920 * 1080) = trunc(573.75)
      {1280, 1024, 771, 964, 254, 30},      // trunc(771.2)
      {1366, 768, 398, 708, 484, 30},       // trunc(398.05...)
      {1080, 1920, 3306, 1860, -1113, 30},  // an upright screen gives a wide window
  };
  for (const auto& c : cases) {
    WindowRect rect = PortraitWindowRect(c.screen_width, c.screen_height);
    EXPECT_EQ(rect.width, c.width) << c.screen_width << "x" << c.screen_height;
    EXPECT_EQ(rect.height, c.height) << c.screen_width << "x" << c.screen_height;
    EXPECT_EQ(rect.x, c.x) << c.screen_width << "x" << c.screen_height;
    EXPECT_EQ(rect.y, c.y) << c.screen_width << "x" << c.screen_height;
  }
}

TEST(WindowGeometry, LandscapeWindowFollowsTheWorkAreaEdges) {
  struct Case {
    WindowRect work;
    int width, height;
  } cases[] = {
      {{0, 0, 1920, 1080}, 1910, 1060},   // no panel
      {{0, 0, 1920, 1040}, 1910, 1020},   // a panel at the bottom
      {{0, 32, 1920, 1048}, 1910, 1060},  // a panel at the top: the bottom edge is unchanged
      {{64, 0, 1856, 1080}, 1910, 1060},  // a panel at the left
  };
  for (const auto& c : cases) {
    WindowRect rect = LandscapeWindowRect(c.work);
    EXPECT_EQ(rect.width, c.width);
    EXPECT_EQ(rect.height, c.height);
  }
}

}  // namespace
