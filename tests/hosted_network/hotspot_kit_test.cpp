#include "hotspot_kit.h"

#include <gtest/gtest.h>

#include "hosted_network/fake_nmcli.h"

namespace {

TEST(HotspotKit, StartOpensNamedNetworkAndSecondStartRepeatsIt) {
  FakeNmcli nmcli;
  ScopedPath path(nmcli.Folder());
  EXPECT_EQ(StartVirtualWiFi("Velaport_1A2B", "12345678", 0, 0), kHotspotOk);
  EXPECT_EQ(StartVirtualWiFi("Velaport_1A2B", "12345678", 0, 0), kHotspotOk);
  const auto calls = nmcli.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0],
            "[device][wifi][hotspot][con-name][Velaport-Hotspot][ssid][Velaport_1A2B]"
            "[password][12345678]");
  EXPECT_EQ(calls[1], calls[0]);
}

TEST(HotspotKit, NameWithBlanksStaysOneArgument) {
  FakeNmcli nmcli;
  ScopedPath path(nmcli.Folder());
  EXPECT_EQ(StartVirtualWiFi("Room 101 'A'", "pass word 1", 0, 0), kHotspotOk);
  ASSERT_EQ(nmcli.Calls().size(), 1u);
  EXPECT_NE(nmcli.Calls()[0].find("[ssid][Room 101 'A'][password][pass word 1]"),
            std::string::npos);
}

TEST(HotspotKit, StopClosesTheNetworkAndStartDhcpChecksTheManager) {
  FakeNmcli nmcli;
  ScopedPath path(nmcli.Folder());
  EXPECT_EQ(StopVirtualWiFi(0, 0), kHotspotOk);
  EXPECT_EQ(startDHCP(0, 0), kHotspotOk);
  const auto calls = nmcli.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0], "[connection][down][id][Velaport-Hotspot]");
  EXPECT_EQ(calls[1], "[general][status]");
}

TEST(HotspotKit, WithoutNetworkManagerEveryCallSaysSo) {
  TempDir empty;
  ScopedPath path(empty.Path());
  EXPECT_EQ(startDHCP(0, 0), kHotspotNoNetworkManager);
  EXPECT_EQ(StartVirtualWiFi("Velaport_1A2B", "12345678", 0, 0), kHotspotNoNetworkManager);
  EXPECT_EQ(StopVirtualWiFi(0, 0), kHotspotNoNetworkManager);
}

TEST(HotspotKit, ClientStatusesBecomeCodes) {
  const struct {
    int nmcli_status;
    int start_code;
    int stop_code;
  } cases[] = {{8, kHotspotManagerNotRunning, kHotspotManagerNotRunning},
               {4, kHotspotRequestFailed, kHotspotRequestFailed},
               {10, kHotspotRequestFailed, kHotspotOk}};  // stopping a closed network succeeds
  for (const auto& c : cases) {
    FakeNmcli nmcli(c.nmcli_status);
    ScopedPath path(nmcli.Folder());
    EXPECT_EQ(StartVirtualWiFi("Velaport_1A2B", "12345678", 0, 0), c.start_code) << c.nmcli_status;
    EXPECT_EQ(StopVirtualWiFi(0, 0), c.stop_code) << c.nmcli_status;
  }
}

TEST(HotspotKit, UnusableNameOrPassphraseIsRefusedBeforeAsking) {
  FakeNmcli nmcli;
  ScopedPath path(nmcli.Folder());
  const std::string long_name(33, 'n');
  EXPECT_EQ(StartVirtualWiFi("", "12345678", 0, 0), kHotspotBadArguments);
  EXPECT_EQ(StartVirtualWiFi(long_name, "12345678", 0, 0), kHotspotBadArguments);
  EXPECT_EQ(StartVirtualWiFi("Velaport_1A2B", "1234567", 0, 0), kHotspotBadArguments);
  EXPECT_EQ(StartVirtualWiFi("Velaport_1A2B", std::string(64, 'p'), 0, 0), kHotspotBadArguments);
  EXPECT_TRUE(nmcli.Calls().empty());
}

}  // namespace
