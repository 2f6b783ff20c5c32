#include "receiver/core/main_thread_dispatcher.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>
#include <vector>

namespace {

TEST(MainThreadDispatcher, TasksRunOnTheMainThreadInOrderAndSendWaits) {
  MainThreadDispatcher dispatcher;
  std::vector<int> order;
  std::thread::id main_id = std::this_thread::get_id(), ran_on;
  std::thread worker([&] {
    dispatcher.Post([&] { order.push_back(1); });
    EXPECT_TRUE(dispatcher.Send([&] {
      order.push_back(2);
      ran_on = std::this_thread::get_id();
    }));
    // Send returned: the task has run.
    order.push_back(3);
    dispatcher.Quit(7);
  });
  EXPECT_EQ(dispatcher.Run(), 7);
  worker.join();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(ran_on, main_id);
}

TEST(MainThreadDispatcher, AfterQuitPostAndSendAreRefused) {
  MainThreadDispatcher dispatcher;
  dispatcher.Quit();
  EXPECT_EQ(dispatcher.Run(), 0);
  bool ran = false;
  EXPECT_FALSE(dispatcher.Post([&] { ran = true; }));
  auto sent = std::async(std::launch::async, [&] { return dispatcher.Send([&] { ran = true; }); });
  EXPECT_FALSE(sent.get());
  EXPECT_FALSE(ran);
}

TEST(MainThreadDispatcher, SendFromTheMainThreadRunsAtOnce) {
  MainThreadDispatcher dispatcher;
  dispatcher.BindToCurrentThread();
  bool ran = false;
  EXPECT_TRUE(dispatcher.Send([&] { ran = true; }));
  EXPECT_TRUE(ran);
}

}  // namespace
