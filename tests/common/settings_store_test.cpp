#include "common/settings_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <thread>

#include "platform/profile.h"
#include "platform/system.h"
#include "support/temp_dir.h"

namespace {

class SettingsStoreTest : public ::testing::Test {
 protected:
  TempDir dir_;
  SettingsStore store_{dir_.Path()};
  std::string Stored(const char* key) {
    return platform::GetProfileString("GENERAL", key, "<absent>", store_.FilePath());
  }
};

TEST_F(SettingsStoreTest, FirstStartCreatesFileWithOnlyByteOrderMark) {
  EXPECT_EQ(store_.FilePath(), dir_.Path() + "/Velaport/config.ini");
  EXPECT_EQ(ReadBytes(store_.FilePath()), "\xFF\xFE");
}

TEST_F(SettingsStoreTest, DeviceIdIsGeneratedOnceAndKept) {
  std::string id;
  ASSERT_EQ(store_.GetDeviceId(&id), 0);
  EXPECT_TRUE(std::regex_match(id, std::regex("[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-"
                                              "[0-9a-f]{12}")))
      << id;
  EXPECT_EQ(Stored("guid"), id);
  std::string again;
  store_.GetDeviceId(&again);
  EXPECT_EQ(again, id);
  EXPECT_EQ(ReadBytes(store_.FilePath()).substr(0, 2), "\xFF\xFE") << "the file stays UTF-16";
}

TEST_F(SettingsStoreTest, ConcurrentFirstReadsAgreeOnOneId) {
  std::vector<std::string> ids(8);
  std::vector<std::thread> threads;
  for (auto& id : ids) threads.emplace_back([&] { store_.GetDeviceId(&id); });
  for (auto& t : threads) t.join();
  for (const auto& id : ids) EXPECT_EQ(id, ids[0]);
}

TEST_F(SettingsStoreTest, AbsentPasswordIsWrittenEmpty) {
  std::string password = "x";
  store_.GetPassword(&password);
  EXPECT_EQ(password, "");
  EXPECT_EQ(Stored("Password"), "");
  EXPECT_NE(ReadBytes(store_.FilePath()).find(std::string("P\0a\0s\0s\0w\0o\0r\0d\0=\0", 18)),
            std::string::npos);
  store_.WriteString("Password", "s3cret");
  store_.GetPassword(&password);
  EXPECT_EQ(password, "s3cret");
}

TEST_F(SettingsStoreTest, ReceivePathEndsWithSeparator) {
  struct Case {
    const char* stored;
    const char* expected;
  };
  for (Case c : {Case{"/data/in", "/data/in/"}, Case{"/data/in/", "/data/in/"}}) {
    store_.WriteString("RecvPath", c.stored);
    std::string path;
    store_.GetReceivePath(&path);
    EXPECT_EQ(path, c.expected);
  }
}

TEST_F(SettingsStoreTest, ReceivePathDefaultsToDocumentsFolder) {
  std::string path;
  store_.GetReceivePath(&path);
  EXPECT_EQ(path, platform::DocumentsFolder() + "/Velaport/");
}

TEST_F(SettingsStoreTest, HotspotValuesAreGeneratedOnce) {
  std::string first, second, passphrase, again;
  store_.GetHotspotName(&first);
  store_.GetHotspotName(&second);
  EXPECT_TRUE(std::regex_match(first, std::regex("Velaport_[0-9A-F]{4}"))) << first;
  EXPECT_EQ(first, second);
  store_.GetHotspotPassphrase(&passphrase);
  store_.GetHotspotPassphrase(&again);
  EXPECT_TRUE(std::regex_match(passphrase, std::regex("[0-9]{8}"))) << passphrase;
  EXPECT_EQ(passphrase, again);
  EXPECT_EQ(Stored("ap_ssid"), first);
  EXPECT_EQ(Stored("ap_pass"), passphrase);
}

TEST_F(SettingsStoreTest, DeviceNameCutTo511AndDefaultsToComputerName) {
  std::string name;
  store_.GetDeviceName(&name);
  EXPECT_EQ(name, platform::ComputerName());
  EXPECT_FALSE(name.empty());
  EXPECT_LE(name.size(), 15u);
  store_.WriteString("DeviceName", std::string(600, 'n'));
  store_.GetDeviceName(&name);
  EXPECT_EQ(name, std::string(511, 'n'));
}

TEST_F(SettingsStoreTest, VersionTextHasThreeParts) {
  std::string version;
  EXPECT_EQ(store_.GetVersionText(&version), 0);
  EXPECT_EQ(version, "2.5.1");
}

TEST(SettingsStoreWithoutFolder, GivesDefaultsAndKeepsNothing) {
  SettingsStore store("");
  std::string id, again;
  store.GetDeviceId(&id);
  store.GetDeviceId(&again);
  EXPECT_EQ(id.size(), 36u);
  EXPECT_NE(id, again) << "nothing can be stored, so each call generates";
}

TEST(SettingsStoreInstance, LivesInXdgConfigHome) {
  TempDir dir;
  setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
  EXPECT_EQ(SettingsStore::Instance().FilePath(), dir.Path() + "/Velaport/config.ini");
  EXPECT_EQ(ReadBytes(dir.Path() + "/Velaport/config.ini"), "\xFF\xFE");
}

}  // namespace
