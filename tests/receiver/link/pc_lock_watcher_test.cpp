#include "receiver/link/pc_lock_watcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "common/settings_store.h"
#include "link_fakes.h"
#include "platform/process.h"
#include "receiver/link/client_list.h"
#include "receiver/link/pairing_handler.h"

namespace {

// A message bus of the test's own, standing in for both the session and the
// system bus; it has no login manager, so only the screen-saver signals exist.
class PrivateBus {
 public:
  explicit PrivateBus(const std::string& folder) : address_("unix:path=" + folder + "/bus") {
    pid_ = platform::StartProcess("/usr/bin/dbus-daemon",
                                  {"--session", "--nofork", "--nopidfile", "--address=" + address_});
    ready_ = pid_ > 0 && WaitUntil([&] { return std::filesystem::exists(folder + "/bus"); });
  }
  ~PrivateBus() {
    if (pid_ > 0 && platform::TerminateProcess(pid_)) platform::WaitProcess(pid_, 10000);
  }
  bool Ready() const { return ready_; }
  const std::string& Address() const { return address_; }

  bool EmitActiveChanged(const std::string& interface, bool active) {
    std::string path = "/" + interface;
    std::replace(path.begin(), path.end(), '.', '/');
    int pid = platform::StartProcess(
        "/usr/bin/dbus-send", {"--bus=" + address_, "--type=signal", path,
                               interface + ".ActiveChanged", active ? "boolean:true" : "boolean:false"});
    int status = -1;
    return pid > 0 && platform::WaitProcess(pid, 10000, &status) && status == 0;
  }

 private:
  std::string address_;
  int pid_ = -1;
  bool ready_ = false;
};

class PcLockWatcherTest : public testing::Test {
 protected:
  std::vector<int> LockCommands() {
    std::vector<int> cmds;
    for (const auto& sent : sender_.Json()) cmds.push_back(JsonInt(sent.value, "cmd"));
    return cmds;
  }

  TempFolder folder_;
  SettingsStore settings_{folder_.Path()};
  ManualClock clock_;
  RecordingSender sender_;
  ClientList clients_{clock_, sender_, 7990};
  PairingHandler pairing_{settings_, clients_, sender_};
};

TEST_F(PcLockWatcherTest, ScreenSaverSignalsReachPairedDevicesOncePerChange) {
  if (!std::filesystem::exists("/usr/bin/dbus-daemon")) GTEST_SKIP() << "no dbus-daemon";
  PrivateBus bus(folder_.Path());
  ASSERT_TRUE(bus.Ready());
  setenv("DBUS_SESSION_BUS_ADDRESS", bus.Address().c_str(), 1);
  setenv("DBUS_SYSTEM_BUS_ADDRESS", bus.Address().c_str(), 1);
  clients_.Add("phone", "10.0.0.5");

  PcLockWatcher watcher(pairing_);
  watcher.Start();
  EXPECT_EQ(watcher.SourceCount(), 2);
  ASSERT_TRUE(bus.EmitActiveChanged("org.freedesktop.ScreenSaver", true));
  ASSERT_TRUE(WaitUntil([&] { return pairing_.IsLocked(); }));
  // The same state from the other screen saver is not told twice.
  ASSERT_TRUE(bus.EmitActiveChanged("org.gnome.ScreenSaver", true));
  ASSERT_TRUE(bus.EmitActiveChanged("org.gnome.ScreenSaver", false));
  ASSERT_TRUE(WaitUntil([&] { return !pairing_.IsLocked(); }));
  watcher.Stop();
  EXPECT_EQ(LockCommands(), (std::vector<int>{25, 26}));
  for (const auto& sent : sender_.Json()) EXPECT_EQ(sent.address, "10.0.0.5");
}

TEST(SessionLockWatcherTest, AbsentBusesAreReportedAndTolerated) {
  TempFolder folder;
  const std::string nowhere = "unix:path=" + folder.Path() + "/no-bus";
  setenv("DBUS_SESSION_BUS_ADDRESS", nowhere.c_str(), 1);
  setenv("DBUS_SYSTEM_BUS_ADDRESS", nowhere.c_str(), 1);
  std::vector<std::string> reports;
  platform::SessionLockWatcher watcher;
  ASSERT_TRUE(watcher.Start([] {}, [] {}, [&](const std::string& text) { reports.push_back(text); }));
  EXPECT_EQ(watcher.SourceCount(), 0);
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_NE(reports[0].find("system bus unavailable"), std::string::npos);
  EXPECT_NE(reports[1].find("session bus unavailable"), std::string::npos);
  watcher.Stop();
}

}  // namespace
