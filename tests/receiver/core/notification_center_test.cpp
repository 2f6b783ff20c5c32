#include "receiver/core/notification_center.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Records its calls into a shared journal; an optional action runs inside the call.
struct Recorder : SWINotificationObserver {
  std::string tag;
  std::vector<std::string>* journal;
  std::function<void()> action;
  Recorder(std::string t, std::vector<std::string>* j) : tag(std::move(t)), journal(j) {}
  void OnNotification(const std::string& name, const void* payload) override {
    journal->push_back(tag + ":" + name + (payload ? ":" + *static_cast<const std::string*>(payload) : ""));
    if (action) action();
  }
};

TEST(NotificationCenter, ObserversRunInSubscriptionOrderOncePerPost) {
  NotificationCenter center;
  std::vector<std::string> journal;
  Recorder first("first", &journal), second("second", &journal);
  center.Subscribe("kClientConnectedNotification", &first);
  center.Subscribe("kClientConnectedNotification", &second);
  center.Subscribe("other", &second);
  const std::string label = "Pad(10.0.0.2)";
  center.Post("kClientConnectedNotification", &label);
  EXPECT_EQ(journal, (std::vector<std::string>{"first:kClientConnectedNotification:Pad(10.0.0.2)",
                                               "second:kClientConnectedNotification:Pad(10.0.0.2)"}));
  journal.clear();
  center.Post("nobody listens");
  EXPECT_TRUE(journal.empty());
  EXPECT_TRUE(center.Observers("nobody listens").empty());
}

TEST(NotificationCenter, TwiceSubscribedIsCalledTwiceAndOneUnsubscribeRemovesBoth) {
  NotificationCenter center;
  std::vector<std::string> journal;
  Recorder twice("twice", &journal);
  center.Subscribe("n", &twice);
  center.Subscribe("n", &twice);
  center.Post("n");
  EXPECT_EQ(journal.size(), 2u);
  center.Unsubscribe("n", &twice);
  journal.clear();
  center.Post("n");
  EXPECT_TRUE(journal.empty());
}

TEST(NotificationCenter, UnsubscribingDuringPostStillCalledForThatPostOnly) {
  NotificationCenter center;
  std::vector<std::string> journal;
  Recorder leaver("leaver", &journal), stayer("stayer", &journal);
  leaver.action = [&] {
    center.Unsubscribe("n", &leaver);
    center.Unsubscribe("n", &stayer);
  };
  center.Subscribe("n", &leaver);
  center.Subscribe("n", &stayer);
  center.Post("n");
  EXPECT_EQ(journal, (std::vector<std::string>{"leaver:n", "stayer:n"}));
  journal.clear();
  center.Post("n");
  EXPECT_TRUE(journal.empty());
}

TEST(NotificationCenter, NestedPostCompletesBeforeOuterCallReturns) {
  NotificationCenter center;
  std::vector<std::string> journal;
  Recorder capture("capture", &journal), stats("stats", &journal);
  const std::string mode = kModeMirrorAction;
  capture.action = [&] { center.Post(kModeStopNotification, &mode); };
  center.Subscribe(kAllClientsDisconnectedNotification, &capture);
  center.Subscribe(kAllClientsDisconnectedNotification, &stats);
  center.Subscribe(kModeStopNotification, &stats);
  center.Post(kAllClientsDisconnectedNotification);
  EXPECT_EQ(journal, (std::vector<std::string>{"capture:kAllClientsDisconnectedNotification",
                                               "stats:ModeStopNotification:MirrorAction",
                                               "stats:kAllClientsDisconnectedNotification"}));
}

}  // namespace
