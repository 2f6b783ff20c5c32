#include "common/blocking_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>

namespace {

using namespace std::chrono_literals;

// Counts live elements, so the test sees what the queue destroyed.
struct Tracked {
  static inline std::atomic<int> alive{0};
  int value;
  explicit Tracked(int v) : value(v) { ++alive; }
  ~Tracked() { --alive; }
};
using Element = std::unique_ptr<Tracked>;

void Fill(BlockingQueue<Element>& queue, int count) {
  for (int i = 0; i < count; ++i) ASSERT_EQ(queue.Push(std::make_unique<Tracked>(i)), 1);
}

TEST(BlockingQueue, FullQueueBlocksPushUntilPop) {
  BlockingQueue<Element> queue(500);
  Fill(queue, 500);
  auto pusher = std::async(std::launch::async,
                           [&] { return queue.Push(std::make_unique<Tracked>(500)); });
  EXPECT_EQ(pusher.wait_for(100ms), std::future_status::timeout);
  Element first;
  ASSERT_EQ(queue.Pop(first), 1);
  EXPECT_EQ(first->value, 0) << "first in, first out";
  EXPECT_EQ(pusher.get(), 1);
  EXPECT_EQ(queue.Size(), 500u);
}

TEST(BlockingQueue, AbortWakesBlockedPushWhichKeepsItsElement) {
  BlockingQueue<Element> queue(2);
  Fill(queue, 2);
  auto pusher = std::async(std::launch::async, [&] {
    Element mine = std::make_unique<Tracked>(99);
    int result = queue.Push(std::move(mine));
    return std::make_pair(result, mine ? mine->value : -1);
  });
  EXPECT_EQ(pusher.wait_for(100ms), std::future_status::timeout);
  queue.Abort();
  auto [result, kept] = pusher.get();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(kept, 99);
}

TEST(BlockingQueue, PopAfterAbortReturnsAtOnceAndClearFreesTheRest) {
  const int before = Tracked::alive;
  {
    BlockingQueue<Element> queue(10);
    Fill(queue, 3);
    queue.Abort();
    Element out;
    EXPECT_EQ(queue.Pop(out), 0);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(Tracked::alive - before, 3);
    queue.Clear();
    EXPECT_EQ(Tracked::alive, before);
    // Clear lifts the abort: the queue works again.
    ASSERT_EQ(queue.Push(std::make_unique<Tracked>(7)), 1);
    ASSERT_EQ(queue.Pop(out), 1);
    EXPECT_EQ(out->value, 7);
  }
  EXPECT_EQ(Tracked::alive, before);
}

TEST(BlockingQueue, AbortWakesWaitingPop) {
  BlockingQueue<Element> queue(4);
  auto popper = std::async(std::launch::async, [&] {
    Element out;
    return queue.Pop(out);
  });
  EXPECT_EQ(popper.wait_for(100ms), std::future_status::timeout);
  queue.Abort();
  EXPECT_EQ(popper.get(), 0);
}

}  // namespace
