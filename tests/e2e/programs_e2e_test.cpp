// Velaport as a program: one instance per session, the helper started when
// absent, and the quit datagram to the helper on every ordinary ending.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>

#include "lock_file.h"
#include "log_collector.h"
#include "receiver_lab.h"

namespace {

constexpr uint32_t kStartMs = 10000;

// A receiver whose helper is taken care of by the test: the service guard is
// held, so no VelaportService is started, and the test listens where the
// helper would (127.0.0.1:7989 in the receiver's namespace).
class ReceiverProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lab_.IsReady()) << "network namespaces need root";
    service_guard_ = std::make_unique<HeldLockFile>(lab_.LockPath("VPService"));
    ASSERT_TRUE(service_guard_->IsHeld());
    ASSERT_TRUE(RunInNamespace(lab_.ReceiverNs(), [&] {
      service_port_ = platform::Socket::Udp();
      service_port_.Bind(platform::LoopbackIpv4(), 7989);
      service_port_.SetReceiveTimeout(kStartMs);
    }));
    ASSERT_TRUE(log_.Start(lab_.ReceiverNs()));
  }

  // Ready once its single-instance socket accepts requests.
  bool StartFirstReceiver() {
    if (!lab_.StartReceiver(first_)) return false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartMs);
    while (std::chrono::steady_clock::now() < deadline) {
      if (std::filesystem::exists(lab_.RuntimeDir() + "/Velaport.sock")) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

  ReceiverLab lab_{0};
  std::unique_ptr<HeldLockFile> service_guard_;
  platform::Socket service_port_;
  LogCollector log_;
  NamespaceProcess first_;
};

TEST_F(ReceiverProgramTest, SecondStartEndsWithOneAfterHalfASecondAndAsksFirstToShow) {
  ASSERT_TRUE(StartFirstReceiver());
  NamespaceProcess second;
  auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(lab_.StartReceiver(second));
  int code = -1;
  ASSERT_TRUE(second.Wait(kStartMs, &code));
  auto elapsed = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(code, 1);
  EXPECT_GE(elapsed, std::chrono::milliseconds(500));
  EXPECT_TRUE(log_.WaitForLine("当前程序已运行", kStartMs));
  EXPECT_TRUE(log_.WaitForLine("asked to show the main window", kStartMs));
  EXPECT_TRUE(first_.IsRunning());
}

class ReceiverEndingTest : public ReceiverProgramTest,
                           public ::testing::WithParamInterface<int> {};

TEST_P(ReceiverEndingTest, SignalEndsThroughShutdownWithQuitDatagramToService) {
  ASSERT_TRUE(StartFirstReceiver());
  ASSERT_TRUE(first_.Signal(GetParam()));
  char datagram[16];
  platform::SocketAddress from;
  int n = service_port_.RecvFrom(datagram, sizeof datagram, &from);
  ASSERT_EQ(n, 2);
  EXPECT_EQ(datagram[0], 0x00);
  EXPECT_EQ(static_cast<uint8_t>(datagram[1]), 0xFF);
  EXPECT_EQ(from.ip, platform::LoopbackIpv4());
  int code = -1;
  ASSERT_TRUE(first_.Wait(kStartMs, &code));
  EXPECT_EQ(code, 0);
}

INSTANTIATE_TEST_SUITE_P(Signals, ReceiverEndingTest, ::testing::Values(SIGTERM, SIGINT));

// The real pair of programs: the receiver starts the helper from its own
// folder and the helper ends on the receiver's quit datagram.
TEST(ReceiverServiceTest, ReceiverStartsServiceBesideItAndServiceEndsWithReceiver) {
  ReceiverLab lab(0);
  ASSERT_TRUE(lab.IsReady());
  LogCollector log;
  ASSERT_TRUE(log.Start(lab.ReceiverNs()));
  const std::string bin = lab.StagePrograms({"Velaport", "VelaportService"});
  NamespaceProcess receiver;
  ASSERT_TRUE(lab.StartReceiver(receiver, bin));
  // The service logs the JSON packets it is handed: a ping shows it serves.
  bool serving = false;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartMs);
  while (!serving && std::chrono::steady_clock::now() < deadline) {
    SendLoopbackDatagram(lab.ReceiverNs(), "127.0.0.1", 7989, std::string("\x01{\"act\":0}", 10));
    serving = log.WaitForLine("service json from 127.0.0.1", 100);
  }
  ASSERT_TRUE(serving);
  ASSERT_TRUE(IsLockTaken(lab.LockPath("VPService")));

  ASSERT_TRUE(receiver.Signal(SIGTERM));
  int code = -1;
  ASSERT_TRUE(receiver.Wait(kStartMs, &code));
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(log.WaitForLine("service quit requested", kStartMs));
  deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartMs);
  while (IsLockTaken(lab.LockPath("VPService")) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(IsLockTaken(lab.LockPath("VPService"))) << "the service outlived the receiver";
}

TEST(ReceiverServiceTest, MissingServiceProgramEndsReceiverWithOne) {
  ReceiverLab lab(0);
  ASSERT_TRUE(lab.IsReady());
  LogCollector log;
  ASSERT_TRUE(log.Start(lab.ReceiverNs()));
  const std::string bin = lab.StagePrograms({"Velaport"});
  NamespaceProcess receiver;
  ASSERT_TRUE(lab.StartReceiver(receiver, bin));
  int code = -1;
  ASSERT_TRUE(receiver.Wait(kStartMs, &code));
  EXPECT_EQ(code, 1);
  EXPECT_TRUE(log.WaitForLine("open orbitaneservice failed", kStartMs));
}

}  // namespace
