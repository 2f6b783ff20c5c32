// The receiver's hosted-network requests carried out by the real service
// program, with HotspotKit driving a fake NetworkManager client.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "common/device_json.h"
#include "common/settings_store.h"
#include "hosted_network/fake_nmcli.h"
#include "hosted_network/service_process.h"
#include "hotspot_kit.h"
#include "receiver/core/hosted_network_requests.h"
#include "receiver/core/service_request.h"
#include "support/private_network.h"

namespace {

class HostedNetworkE2E : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    EnterPrivateNetwork();  // the service binds the product's port 7989
    config_ = new TempDir();
    setenv("XDG_CONFIG_HOME", config_->Path().c_str(), 1);
    setenv("XDG_RUNTIME_DIR", config_->Path().c_str(), 1);
  }
  static void TearDownTestSuite() { delete config_; }

  static std::string ServicePath() { return VP_SERVICE_PATH; }

  static TempDir* config_;
};

TempDir* HostedNetworkE2E::config_ = nullptr;

TEST_F(HostedNetworkE2E, TwoStartsSendTheSameNameAndPassphraseAndQuitStops) {
  FakeNmcli nmcli;
  ScopedPath path(nmcli.Folder());
  ServiceProcess service;
  ASSERT_TRUE(service.Start(ServicePath()));
  EXPECT_EQ(StartHostedNetwork(), 0);
  EXPECT_EQ(StartHostedNetwork(), 0);
  EXPECT_EQ(StopHostedNetwork(), 0);
  EXPECT_TRUE(service.Quit());

  std::string name, passphrase;
  SettingsStore::Instance().GetHotspotName(&name);
  SettingsStore::Instance().GetHotspotPassphrase(&passphrase);
  const auto calls = nmcli.Calls();
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[0], "[general][status]");  // startDHCP when the library was loaded
  EXPECT_NE(calls[1].find("[ssid][" + name + "][password][" + passphrase + "]"),
            std::string::npos);
  EXPECT_EQ(calls[2], calls[1]);
  EXPECT_EQ(calls[3], "[connection][down][id][Velaport-Hotspot]");
  EXPECT_EQ(calls[4], calls[3]);  // the network does not outlive the receiver
}

TEST_F(HostedNetworkE2E, WithoutNetworkManagerTheStartAnswersItsCode) {
  TempDir empty;
  ScopedPath path(empty.Path());
  ServiceProcess service;
  ASSERT_TRUE(service.Start(ServicePath()));
  EXPECT_EQ(StartHostedNetwork(), kHotspotNoNetworkManager);
}

TEST_F(HostedNetworkE2E, WithoutTheLibraryTheServiceAnswersMinusOne) {
  // A copy of the program in a folder of its own has no library beside it.
  TempDir folder;
  const std::string copy = folder.File("VelaportService");
  std::filesystem::copy_file(ServicePath(), copy);
  std::filesystem::permissions(copy, std::filesystem::perms::owner_all);
  ServiceProcess service;
  ASSERT_TRUE(service.Start(copy));
  for (int act : {2, 4}) {
    Json::Value request = MakeCommand(act, 0);
    request["ssid"] = "Velaport_1A2B";
    request["password"] = "12345678";
    Json::Value reply;
    ASSERT_TRUE(SendServiceRequest(request, &reply)) << act;
    EXPECT_EQ(reply, [] {
      Json::Value expected(Json::objectValue);
      expected["code"] = -1;
      return expected;
    }()) << act;
  }
}

TEST_F(HostedNetworkE2E, OtherActIsNotAnsweredAndTheRequestTimesOut) {
  FakeNmcli nmcli;
  ScopedPath path(nmcli.Folder());
  ServiceProcess service;
  ASSERT_TRUE(service.Start(ServicePath()));
  const auto start = std::chrono::steady_clock::now();
  Json::Value reply;
  EXPECT_FALSE(SendServiceRequest(MakeCommand(3, 0), &reply));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(29));
  EXPECT_TRUE(reply.isNull());
  // Still serving: a stop request is answered after the silent one.
  EXPECT_EQ(StopHostedNetwork(), 0);
}

}  // namespace
