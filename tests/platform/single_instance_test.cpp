#include "platform/single_instance.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <future>

#include "support/temp_dir.h"

namespace {

// The guards live in the runtime folder; each test gets a fresh one.
class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) saved_ = old;
    setenv("XDG_RUNTIME_DIR", dir_.Path().c_str(), 1);
  }
  void TearDown() override {
    if (saved_.empty())
      unsetenv("XDG_RUNTIME_DIR");
    else
      setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
  }

  TempDir dir_;
  std::string saved_;
};

TEST_F(SingleInstanceTest, SecondHolderIsRefusedUntilFirstReleases) {
  platform::NamedLock first("VPService");
  platform::NamedLock second("VPService");
  EXPECT_FALSE(platform::NamedLock::IsTaken("VPService"));
  ASSERT_TRUE(first.TryAcquire());
  EXPECT_EQ(first.Path(), dir_.File("VPService.lock"));
  EXPECT_TRUE(platform::NamedLock::IsTaken("VPService"));
  EXPECT_FALSE(platform::NamedLock::IsTaken("Velaport"));
  EXPECT_FALSE(second.TryAcquire());
  first.Release();
  EXPECT_TRUE(second.TryAcquire());
}

TEST_F(SingleInstanceTest, ShowRequestOfSecondStartReachesFirstInstance) {
  std::promise<void> shown;
  platform::SingleInstance first("Velaport");
  ASSERT_TRUE(first.Acquire([&] { shown.set_value(); }));
  ASSERT_TRUE(first.IsListening());
  platform::SingleInstance second("Velaport");
  EXPECT_FALSE(second.Acquire([] {}));
  ASSERT_TRUE(platform::SingleInstance::RequestShow("Velaport", 2000));
  EXPECT_EQ(shown.get_future().wait_for(std::chrono::seconds(5)), std::future_status::ready);
}

TEST_F(SingleInstanceTest, SocketLeftByCrashedInstanceIsReplaced) {
  WriteBytes(dir_.File("Velaport.sock"), "stale");
  std::promise<void> shown;
  platform::SingleInstance instance("Velaport");
  ASSERT_TRUE(instance.Acquire([&] { shown.set_value(); }));
  ASSERT_TRUE(instance.IsListening());
  ASSERT_TRUE(platform::SingleInstance::RequestShow("Velaport", 2000));
  EXPECT_EQ(shown.get_future().wait_for(std::chrono::seconds(5)), std::future_status::ready);
}

TEST_F(SingleInstanceTest, RequestWithoutFirstInstanceFailsAfterTimeout) {
  EXPECT_FALSE(platform::SingleInstance::RequestShow("Velaport", 100));
}

TEST_F(SingleInstanceTest, StoppedInstanceRemovesItsSocketButKeepsTheGuard) {
  platform::SingleInstance first("Velaport");
  ASSERT_TRUE(first.Acquire([] {}));
  first.Stop();
  EXPECT_FALSE(std::filesystem::exists(dir_.File("Velaport.sock")));
  EXPECT_FALSE(platform::SingleInstance::RequestShow("Velaport", 100));
  EXPECT_TRUE(platform::NamedLock::IsTaken("Velaport"));
}

}  // namespace
