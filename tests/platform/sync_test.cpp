#include "platform/sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TEST(Event, ManualResetReleasesEveryWaiterUntilReset) {
  platform::Event event(true);
  EXPECT_FALSE(event.Wait(10));
  std::atomic<int> woken{0};
  std::thread a([&] { woken += event.Wait(5000); });
  std::thread b([&] { woken += event.Wait(5000); });
  event.Set();
  a.join();
  b.join();
  EXPECT_EQ(woken, 2);
  EXPECT_TRUE(event.Wait(0));
  event.Reset();
  EXPECT_FALSE(event.Wait(0));
}

TEST(Event, AutoResetReleasesOneWait) {
  platform::Event event(false, true);
  EXPECT_TRUE(event.Wait(0));
  EXPECT_FALSE(event.Wait(0));
}

TEST(Semaphore, CountsAndRespectsMaximum) {
  platform::Semaphore semaphore(1, 2);
  EXPECT_TRUE(semaphore.Release());
  EXPECT_FALSE(semaphore.Release());  // would pass the maximum
  EXPECT_TRUE(semaphore.Wait(0));
  EXPECT_TRUE(semaphore.Wait(0));
  EXPECT_FALSE(semaphore.Wait(20));
  std::thread releaser([&] { semaphore.Release(); });
  EXPECT_TRUE(semaphore.Wait(5000));
  releaser.join();
}

}  // namespace
