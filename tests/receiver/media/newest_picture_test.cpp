#include "receiver/media/newest_picture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "receiver/media/display_probe.h"

namespace {

PicturePtr PictureStamped(int64_t stamp) {
  PicturePtr picture(av_frame_alloc());
  picture->pts = stamp;
  return picture;
}

class SkipRecorder : public DisplayProbe {
 public:
  void OnPictureDecoded(int64_t) override {}
  void OnPicturePresented(int64_t) override {}
  void OnPictureSkipped(int64_t stamp) override { skipped.push_back(stamp); }
  std::vector<int64_t> skipped;
};

TEST(NewestPicture, TakesTheNewestWaitingAndReportsTheOlderOnesSkipped) {
  struct Case {
    int waiting;
    std::vector<int64_t> skipped;
  };
  for (const Case& c : {Case{1, {}}, Case{2, {1}}, Case{4, {1, 2, 3}}}) {
    PictureQueue queue(10);
    for (int stamp = 1; stamp <= c.waiting; ++stamp) queue.Push(PictureStamped(stamp));
    SkipRecorder probe;
    PicturePtr picture;
    ASSERT_EQ(TakeNewestPicture(queue, &picture, &probe), 1);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->pts, c.waiting);
    EXPECT_EQ(probe.skipped, c.skipped);
    EXPECT_EQ(queue.Size(), 0u);
  }
}

TEST(NewestPicture, WaitsForAPictureAndWorksWithoutAProbe) {
  PictureQueue queue(10);
  std::thread producer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    queue.Push(PictureStamped(7));
  });
  PicturePtr picture;
  EXPECT_EQ(TakeNewestPicture(queue, &picture, nullptr), 1);
  producer.join();
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->pts, 7);
}

TEST(NewestPicture, AnAbortedQueueGivesNothing) {
  PictureQueue queue(10);
  queue.Push(PictureStamped(1));
  queue.Abort();
  PicturePtr picture = PictureStamped(9);
  EXPECT_EQ(TakeNewestPicture(queue, &picture, nullptr), 0);
  EXPECT_FALSE(picture);
}

}  // namespace
