#include "receiver/link/client_list.h"

#include <gtest/gtest.h>

#include "link_fakes.h"
#include "notification_recorder.h"

namespace {

class ClientListTest : public testing::Test {
 protected:
  // The watchdog has finished pass n and waits for the clock.
  bool AfterPass(int n) { return WaitUntil([&] { return clock_.WaitsBegun() == n; }); }
  size_t KeepAlivesTo(const std::string& address) {
    size_t count = 0;
    for (const auto& sent : sender_.Bytes())
      if (sent.address == address && sent.port == 7990 && sent.payload == std::vector<uint8_t>{0})
        ++count;
    return count;
  }

  NotificationRecorder notifications_;
  ManualClock clock_;
  RecordingSender sender_;
  ClientList clients_{clock_, sender_, 7990};
};

TEST_F(ClientListTest, KeepAliveAtOnceAndEveryThreeSeconds) {
  clients_.Add("phone", "10.0.0.5");
  ASSERT_TRUE(AfterPass(1));
  EXPECT_EQ(KeepAlivesTo("10.0.0.5"), 1u);
  clients_.Add("tablet", "10.0.0.6");
  for (int pass = 2; pass <= 4; ++pass) {
    clock_.Advance(3000);
    ASSERT_TRUE(AfterPass(pass));
  }
  EXPECT_EQ(KeepAlivesTo("10.0.0.5"), 4u);
  EXPECT_EQ(KeepAlivesTo("10.0.0.6"), 3u);
}

TEST_F(ClientListTest, SilentDeviceIsRemovedAfterFiftySeconds) {
  clients_.Add("phone", "10.0.0.5");
  ASSERT_TRUE(AfterPass(1));
  int pass = 1;
  // Passes at 3, 6 ... 48 s keep it; the pass at 51 s is past the limit.
  while (clock_.NowSeconds() - clients_.Snapshot()[0].last_heard < 48) {
    clock_.Advance(3000);
    ASSERT_TRUE(AfterPass(++pass));
  }
  EXPECT_TRUE(clients_.Contains("10.0.0.5"));
  clock_.Advance(3000);
  ASSERT_TRUE(WaitUntil([&] { return !clients_.WatchdogRunning(); }));
  EXPECT_FALSE(clients_.Contains("10.0.0.5"));
  EXPECT_EQ(notifications_.Entries(),
            (std::vector<std::string>{"kClientConnectedNotification phone(10.0.0.5)",
                                      "kFirstClientConnectedNotification",
                                      "kClientDisconnectedNotification phone(10.0.0.5)",
                                      "kAllClientsDisconnectedNotification"}));
}

TEST_F(ClientListTest, TouchKeepsADeviceAndOnlyTheSilentOneGoes) {
  clients_.Add("phone", "10.0.0.5");
  clients_.Add("tablet", "10.0.0.6");
  ASSERT_TRUE(AfterPass(1));
  for (int pass = 2; pass <= 18; ++pass) {  // 51 s
    clock_.Advance(3000);
    clients_.Touch("10.0.0.6");
    ASSERT_TRUE(AfterPass(pass));
  }
  EXPECT_FALSE(clients_.Contains("10.0.0.5"));
  EXPECT_TRUE(clients_.Contains("10.0.0.6"));
  EXPECT_TRUE(clients_.WatchdogRunning());
}

TEST_F(ClientListTest, RemovingTheLastDeviceEndsTheWatchdogAtOnce) {
  clients_.Add("phone", "10.0.0.5");
  ASSERT_TRUE(AfterPass(1));
  clients_.SetMirrorOwner("10.0.0.5");
  clients_.SetOwnerId("uid-1");
  clients_.Remove("10.0.0.5");
  // The pause ends without the clock moving.
  EXPECT_TRUE(WaitUntil([&] { return clock_.WaitsEnded() == 1; }));
  EXPECT_FALSE(clients_.WatchdogRunning());
  EXPECT_EQ(clients_.MirrorOwner(), "");
  EXPECT_EQ(clients_.OwnerId(), "");
  EXPECT_EQ(notifications_.Entries().back(), "kAllClientsDisconnectedNotification");

  // A new first device starts a new watchdog.
  clients_.Add("phone", "10.0.0.7");
  EXPECT_TRUE(AfterPass(2));
  EXPECT_EQ(KeepAlivesTo("10.0.0.7"), 1u);
}

TEST_F(ClientListTest, RemoveFirstTakesTheOldestAndEveryRecordOfItsAddress) {
  EXPECT_EQ(clients_.RemoveFirst(), "");
  clients_.Add("a", "10.0.0.5");
  clients_.Add("b", "10.0.0.6");
  clients_.Add("a again", "10.0.0.5");
  EXPECT_EQ(clients_.RemoveFirst(), "10.0.0.5");
  ASSERT_EQ(clients_.Count(), 1u);
  EXPECT_EQ(clients_.Snapshot()[0].name, "b");
}

TEST_F(ClientListTest, OwnerSwitchSavesAndRestoresTheOwner) {
  clients_.SetOwnerId("uid-1");
  clients_.SetOwnerExclusive(false);
  EXPECT_EQ(clients_.OwnerId(), "");
  EXPECT_EQ(clients_.SavedOwnerId(), "uid-1");
  clients_.SetOwnerExclusive(true);
  EXPECT_EQ(clients_.OwnerId(), "uid-1");

  clients_.SetOwnerExclusive(false);
  clients_.SetOwnerId("uid-2");  // another device paired meanwhile
  clients_.SetOwnerExclusive(true);
  EXPECT_EQ(clients_.OwnerId(), "uid-2");
}

}  // namespace
