// VelaportService as a program: its start-up chores, one copy at a time, and
// its control port that obeys only 127.0.0.1.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "log_collector.h"
#include "receiver_lab.h"

namespace {

constexpr uint32_t kWaitMs = 10000;

class ServiceProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lab_.IsReady()) << "network namespaces need root";
    bin_ = lab_.StagePrograms({"VelaportService"});
    // A stand-in updater that writes down what it was started with.
    WriteBytes(bin_ + "/VelaportUpdate",
               "#!/bin/sh\necho \"$@\" > " + lab_.File("updater-args") + "\n");
    std::filesystem::permissions(bin_ + "/VelaportUpdate", std::filesystem::perms::owner_all);
    ASSERT_TRUE(log_.Start(lab_.ReceiverNs()));
  }

  bool StartService(NamespaceProcess& process) {
    return lab_.StartProgram(process, bin_, "VelaportService", {});
  }

  // Sends one datagram to 127.0.0.1:7989 from source (a loopback address).
  bool SendToService(const std::string& source, const std::string& datagram) {
    return SendLoopbackDatagram(lab_.ReceiverNs(), source, 7989, datagram);
  }

  size_t CountLines(const std::string& text) {
    size_t count = 0;
    for (const std::string& line : log_.Lines()) count += line.find(text) != std::string::npos;
    return count;
  }

  // The service logs every JSON packet it hands on; a ping shows it serves.
  bool WaitUntilServing() {
    const size_t before = CountLines("service json from 127.0.0.1");
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (std::chrono::steady_clock::now() < deadline) {
      SendToService("127.0.0.1", std::string("\x01{\"act\":0}", 10));
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      if (CountLines("service json from 127.0.0.1") > before) return true;
    }
    return false;
  }

  bool Quit(NamespaceProcess& process, int* code) {
    return SendToService("127.0.0.1", std::string("\x00\xFF", 2)) && process.Wait(kWaitMs, code);
  }

  ReceiverLab lab_{0};
  std::string bin_;
  LogCollector log_;
};

TEST_F(ServiceProgramTest, StartUpRemovesLegacyAutostartEntryAndStartsUpdaterWithVersion) {
  const std::string entry = lab_.ConfigHome() + "/autostart/VelaportService.desktop";
  std::filesystem::create_directories(lab_.ConfigHome() + "/autostart");
  WriteBytes(entry, "[Desktop Entry]\n");
  NamespaceProcess service;
  ASSERT_TRUE(StartService(service));
  ASSERT_TRUE(WaitUntilServing());
  EXPECT_FALSE(std::filesystem::exists(entry));
  EXPECT_TRUE(std::filesystem::is_directory(lab_.UserFolder()));
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
  while (ReadBytes(lab_.File("updater-args")).empty() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(ReadBytes(lab_.File("updater-args")), "2.5.1.685\n");
  int code = -1;
  ASSERT_TRUE(Quit(service, &code));
  EXPECT_EQ(code, 0);
}

TEST_F(ServiceProgramTest, SecondCopyEndsWithMinusOneAndFirstKeepsServing) {
  NamespaceProcess first, second;
  ASSERT_TRUE(StartService(first));
  ASSERT_TRUE(WaitUntilServing());
  ASSERT_TRUE(StartService(second));
  int code = 0;
  ASSERT_TRUE(second.Wait(kWaitMs, &code));
  EXPECT_EQ(code, 255);  // exit(-1)
  EXPECT_TRUE(first.IsRunning());
  EXPECT_TRUE(WaitUntilServing());
  ASSERT_TRUE(Quit(first, &code));
  EXPECT_EQ(code, 0);
}

TEST_F(ServiceProgramTest, TakenControlPortEndsServiceWithMinusOne) {
  platform::Socket squatter;
  ASSERT_TRUE(RunInNamespace(lab_.ReceiverNs(), [&] {
    squatter = platform::Socket::Udp();
    squatter.Bind(platform::LoopbackIpv4(), 7989);
  }));
  NamespaceProcess service;
  ASSERT_TRUE(StartService(service));
  int code = 0;
  ASSERT_TRUE(service.Wait(kWaitMs, &code));
  EXPECT_EQ(code, 255);
}

// Only the receiver on 127.0.0.1 may stop the helper or drive its input;
// another loopback address stands for any other sender.
TEST_F(ServiceProgramTest, QuitFromAnotherAddressIsDroppedAndFromLoopbackEndsService) {
  NamespaceProcess service;
  ASSERT_TRUE(StartService(service));
  ASSERT_TRUE(WaitUntilServing());
  ASSERT_TRUE(SendToService("127.0.0.2", std::string("\x00\xFF", 2)));
  EXPECT_TRUE(log_.WaitForLine("service packet from 127.0.0.2 dropped", kWaitMs));
  EXPECT_TRUE(service.IsRunning());
  int code = -1;
  ASSERT_TRUE(Quit(service, &code));
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(log_.WaitForLine("service quit requested", kWaitMs));
}

}  // namespace
