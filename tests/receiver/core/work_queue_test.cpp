#include "receiver/core/work_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>

namespace {

using namespace std::chrono_literals;

// A gate that items wait at, like connections that stay open until closed.
struct Gate {
  std::mutex mutex;
  std::condition_variable cv;
  int opened = 0;  // how many waiters may pass
  std::atomic<int> started{0}, finished{0}, aborted{0};

  void Open(int count) {
    std::lock_guard lock(mutex);
    opened += count;
    cv.notify_all();
  }
  bool WaitStarted(int count) {
    for (int i = 0; i < 500 && started < count; ++i) std::this_thread::sleep_for(10ms);
    return started >= count;
  }
};

struct GateItem : WorkItemBase {
  Gate& gate;
  explicit GateItem(Gate& g) : gate(g) {}
  void DoWork(uint32_t) override {
    ++gate.started;
    std::unique_lock lock(gate.mutex);
    gate.cv.wait(lock, [&] { return gate.opened > 0; });
    --gate.opened;
    ++gate.finished;
  }
  void Abort() override { ++gate.aborted; }
};

TEST(CWorkQueue, TwentyWorkersServeTwentyItemsAndTheRestWait) {
  Gate gate;
  CWorkQueue pool;
  ASSERT_TRUE(pool.Create(20));
  EXPECT_EQ(pool.WorkerCount(), 20u);
  for (int i = 0; i < 25; ++i) ASSERT_TRUE(pool.InsertWorkItem(std::make_unique<GateItem>(gate)));
  ASSERT_TRUE(gate.WaitStarted(20));
  std::this_thread::sleep_for(100ms);  // give a wrongly free worker the chance to show
  EXPECT_EQ(gate.started, 20);
  EXPECT_EQ(pool.QueuedCount(), 5u);
  gate.Open(1);  // one connection closes: one waiting item starts
  ASSERT_TRUE(gate.WaitStarted(21));
  EXPECT_EQ(pool.QueuedCount(), 4u);
  gate.Open(100);
  for (int i = 0; i < 500 && gate.finished < 25; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(gate.finished, 25);
  EXPECT_TRUE(pool.Destroy());
  EXPECT_EQ(gate.aborted, 0);
}

TEST(CWorkQueue, DestroyAbortsQueuedItemsAndRunsNone) {
  Gate gate;
  CWorkQueue pool;
  ASSERT_TRUE(pool.Create(1));
  ASSERT_TRUE(pool.InsertWorkItem(std::make_unique<GateItem>(gate)));
  ASSERT_TRUE(gate.WaitStarted(1));
  for (int i = 0; i < 3; ++i) pool.InsertWorkItem(std::make_unique<GateItem>(gate));
  auto destroyed = std::async(std::launch::async, [&] { return pool.Destroy(); });
  // Destroy waits for the running item; let it see the abort first.
  EXPECT_EQ(destroyed.wait_for(200ms), std::future_status::timeout);
  gate.Open(100);
  EXPECT_TRUE(destroyed.get());
  EXPECT_EQ(gate.started, 1);
  EXPECT_EQ(gate.aborted, 3);
  EXPECT_FALSE(pool.InsertWorkItem(std::make_unique<GateItem>(gate)));
}

TEST(CWorkQueue, WorkersGetTheirContext) {
  struct ContextItem : WorkItemBase {
    std::promise<uint32_t>* seen;
    explicit ContextItem(std::promise<uint32_t>* s) : seen(s) {}
    void DoWork(uint32_t context) override { seen->set_value(context); }
  };
  CWorkQueue pool;
  const uint32_t contexts[] = {42};
  ASSERT_TRUE(pool.Create(1, contexts));
  std::promise<uint32_t> seen;
  pool.InsertWorkItem(std::make_unique<ContextItem>(&seen));
  EXPECT_EQ(seen.get_future().get(), 42u);
}

}  // namespace
