#include "receiver/link/network_identity.h"

#include <gtest/gtest.h>

#include "platform/socket.h"

namespace {

uint32_t Ip(const char* text) {
  uint32_t ip = 0;
  platform::TextToIpv4(text, &ip);
  return ip;
}

TEST(NetworkIdentity, LoopbackAndAnyAreLeftOut) {
  EXPECT_EQ(FilterLocalAddresses({Ip("127.0.0.1"), Ip("192.168.1.20")}),
            std::vector<uint32_t>{Ip("192.168.1.20")});
  EXPECT_EQ(FilterLocalAddresses({Ip("0.0.0.0"), Ip("10.0.0.5"), Ip("127.0.0.1"), Ip("10.1.0.1")}),
            (std::vector<uint32_t>{Ip("10.0.0.5"), Ip("10.1.0.1")}));
  EXPECT_TRUE(FilterLocalAddresses({}).empty());

  std::vector<uint32_t> mine;
  EXPECT_EQ(GetLocalAddresses(&mine), 0);
  for (uint32_t ip : mine) EXPECT_NE(ip, platform::LoopbackIpv4());
}

TEST(NetworkIdentity, HardwareAddressText) {
  struct Case {
    std::vector<uint8_t> bytes;
    const char* text;
  };
  for (const Case& c : {Case{{0x0A}, "a"}, Case{{0x10}, "10"}, Case{{0x00}, "0"},
                        Case{{0x3C, 0x97, 0x0E, 0x01, 0xA2, 0xFF}, "3c97e1a2ff"}}) {
    EXPECT_EQ(HardwareAddressText(c.bytes), c.text);
  }
}

TEST(NetworkIdentity, FirstAdapterNotStartingWithZeroIsChosen) {
  EXPECT_EQ(AdapterAddressText({{0x00, 0x11}, {0x52, 0x54, 0x00}, {0x99}}), "52540");
  EXPECT_EQ(AdapterAddressText({{0x00, 0x11}, {0x00, 0x22}}), "022") << "else the last one";
  EXPECT_EQ(AdapterAddressText({}), "");
}

}  // namespace
