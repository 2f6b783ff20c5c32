#include "log_receiver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/socket.h"

namespace {

using namespace std::chrono_literals;
constexpr auto kDeadline = 20s;

class RecordingSink : public LogLineSink {
 public:
  void OnLogLine(std::string line) override {
    std::lock_guard<std::mutex> hold(lock_);
    lines_.push_back(std::move(line));
    changed_.notify_all();
  }
  void OnBindFailed() override {
    std::lock_guard<std::mutex> hold(lock_);
    bind_failed_ = true;
    changed_.notify_all();
  }

  // Waits until a received line equals text; true when it came.
  bool WaitForLine(const std::string& text) {
    std::unique_lock<std::mutex> hold(lock_);
    return changed_.wait_for(hold, kDeadline, [&] { return IndexOfLocked(text) >= 0; });
  }
  bool WaitForAnyLine(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> hold(lock_);
    return changed_.wait_for(hold, timeout, [&] { return !lines_.empty(); });
  }
  bool WaitForBindFailure() {
    std::unique_lock<std::mutex> hold(lock_);
    return changed_.wait_for(hold, kDeadline, [&] { return bind_failed_; });
  }
  // The lines after the last one equal to marker.
  std::vector<std::string> LinesAfter(const std::string& marker) {
    std::lock_guard<std::mutex> hold(lock_);
    std::vector<std::string> after;
    for (size_t i = 0; i < lines_.size(); ++i) {
      if (lines_[i] == marker) after.clear();
      else after.push_back(lines_[i]);
    }
    return after;
  }
  size_t Count() {
    std::lock_guard<std::mutex> hold(lock_);
    return lines_.size();
  }

 private:
  int IndexOfLocked(const std::string& text) {
    for (size_t i = 0; i < lines_.size(); ++i)
      if (lines_[i] == text) return static_cast<int>(i);
    return -1;
  }

  std::mutex lock_;
  std::condition_variable changed_;
  std::vector<std::string> lines_;
  bool bind_failed_ = false;
};

// A receiver on a loopback port of its own, and a sender aimed at it.
class LogReceiverTest : public testing::Test {
 protected:
  void SetUp() override {
    // A port the system just handed out is free; the receiver takes it over.
    platform::Socket probe = platform::Socket::Udp();
    ASSERT_TRUE(probe.Bind(0, 0));
    port_ = probe.LocalAddress().port;
    probe.Close();
    receiver_ = std::make_unique<LogReceiver>(port_);
    receiver_->Start(&sink_);
    sender_ = platform::Socket::Udp();
    ASSERT_TRUE(sender_.IsValid());
  }

  void Send(const std::string& bytes) {
    ASSERT_EQ(sender_.SendTo(bytes.data(), bytes.size(), platform::LoopbackIpv4(), port_),
              static_cast<int>(bytes.size()));
  }

  // The receiver binds on its own thread: repeat a marker until one arrives.
  void WaitUntilListening() {
    auto end = std::chrono::steady_clock::now() + kDeadline;
    while (std::chrono::steady_clock::now() < end) {
      Send(kMarker);
      if (sink_.WaitForAnyLine(50ms)) return;
    }
    FAIL() << "the receiver never listened on port " << port_;
  }

  static constexpr const char* kMarker = "marker";
  uint16_t port_ = 0;
  RecordingSink sink_;
  std::unique_ptr<LogReceiver> receiver_;
  platform::Socket sender_;
};

TEST_F(LogReceiverTest, BurstArrivesWholeAndInOrder) {
  WaitUntilListening();
  std::vector<std::string> sent;
  for (int i = 0; i < 500; ++i) {
    sent.push_back("2026-12-9-18:5:3.45    burst line " + std::to_string(i));
    Send(sent.back());
  }
  ASSERT_TRUE(sink_.WaitForLine(sent.back()));
  EXPECT_EQ(sink_.LinesAfter(kMarker), sent);
}

TEST_F(LogReceiverTest, EmptyAndOversizedDatagramsAddNothing) {
  WaitUntilListening();
  Send("before");
  Send("");
  Send(std::string(LogReceiver::kBufferSize + 1, 'x'));
  Send(std::string(LogReceiver::kBufferSize, 'y'));
  Send(std::string("\0zero first", 11));
  Send("after");
  ASSERT_TRUE(sink_.WaitForLine("after"));
  std::vector<std::string> expected = {"before", std::string(LogReceiver::kBufferSize, 'y'), "",
                                       "after"};
  EXPECT_EQ(sink_.LinesAfter(kMarker), expected);
}

TEST_F(LogReceiverTest, StopEndsAWaitingReceive) {
  WaitUntilListening();
  // The thread is blocked in its receive now; only the shutdown can wake it.
  EXPECT_TRUE(receiver_->Stop(10000));
}

TEST(LogReceiverBindTest, PortInUseReportsTheBindFailure) {
  platform::Socket holder = platform::Socket::Udp();
  ASSERT_TRUE(holder.Bind(0, 0));
  RecordingSink sink;
  LogReceiver receiver(holder.LocalAddress().port);
  receiver.Start(&sink);
  EXPECT_TRUE(sink.WaitForBindFailure());
  EXPECT_TRUE(receiver.Stop(10000));
  EXPECT_EQ(sink.Count(), 0u);
}

}  // namespace
