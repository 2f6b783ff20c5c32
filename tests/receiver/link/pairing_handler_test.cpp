#include "receiver/link/pairing_handler.h"

#include <gtest/gtest.h>

#include "common/settings_store.h"
#include "link_fakes.h"
#include "receiver/link/client_list.h"

namespace {

JsonCommand Command(const Json::Value& value, const char* from) {
  JsonCommand command;
  command.value = value;
  platform::TextToIpv4(from, &command.peer_ip);
  return command;
}

Json::Value PairRequest(const std::string& uid, const std::string& password) {
  Json::Value request = MakeCommand(1, 1);
  request["uid"] = uid;
  request["name"] = "Phone " + uid;
  if (!password.empty()) request["password"] = password;
  return request;
}

class PairingHandlerTest : public testing::Test {
 protected:
  PairingHandlerTest() {
    settings_.WriteString("DeviceName", "Room PC");
    settings_.WriteString("guid", "0f8fad5b-d9cb-469f-a165-70867728950e");
  }

  // The one message sent since the last call, which must have gone to
  // address on TCP 7991.
  Json::Value OnlyReplyTo(const std::string& address) {
    auto sent = sender_.Json();
    sender_.Clear();
    EXPECT_EQ(sent.size(), 1u);
    if (sent.size() != 1) return {};
    EXPECT_EQ(sent[0].address, address);
    EXPECT_EQ(sent[0].port, 7991);
    EXPECT_EQ(sent[0].transport, 1);
    return sent[0].value;
  }

  void Pair(const std::string& uid, const std::string& password, const char* from) {
    handler_.ProcessJsonCommand(Command(PairRequest(uid, password), from));
  }

  TempFolder folder_;
  SettingsStore settings_{folder_.Path()};
  ManualClock clock_;
  RecordingSender sender_;
  ClientList clients_{clock_, sender_, 7990};
  PairingHandler handler_{settings_, clients_, sender_};
};

TEST_F(PairingHandlerTest, DiscoveryIsAnsweredOnUdpWithThePasswordFlag) {
  for (const bool with_password : {false, true}) {
    if (with_password) settings_.WriteString("Password", "secret");
    handler_.ProcessJsonCommand(Command(MakeCommand(1, 0), "10.0.0.5"));
    auto sent = sender_.Json();
    sender_.Clear();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].address, "10.0.0.5");
    EXPECT_EQ(sent[0].port, 7990);
    EXPECT_NE(sent[0].transport, 1);
    const Json::Value& reply = sent[0].value;
    EXPECT_EQ(JsonInt(reply, "act"), 1);
    EXPECT_EQ(JsonInt(reply, "cmd"), 20);
    EXPECT_EQ(JsonString(reply, "uid"), "0f8fad5b-d9cb-469f-a165-70867728950e");
    EXPECT_EQ(JsonString(reply, "name"), "Room PC");
    EXPECT_EQ(JsonString(reply, "ver"), "2.5.1");
    ASSERT_TRUE(reply["need_password"].isBool());
    EXPECT_EQ(reply["need_password"].asBool(), with_password);
  }
  EXPECT_EQ(clients_.Count(), 0u);
}

TEST_F(PairingHandlerTest, InformationCarriesTheShortCode) {
  handler_.ProcessJsonCommand(Command(MakeCommand(1, 4), "10.0.0.5"));
  Json::Value reply = OnlyReplyTo("10.0.0.5");
  EXPECT_EQ(JsonInt(reply, "cmd"), 24);
  EXPECT_EQ(JsonString(reply, "qrcodeid"), "950e");
  EXPECT_EQ(JsonString(reply, "uid"), "0f8fad5b-d9cb-469f-a165-70867728950e");
  EXPECT_FALSE(JsonBool(reply, "need_password"));
}

struct PasswordCase {
  const char* stored;
  const char* offered;
  const char* result;
  friend void PrintTo(const PasswordCase& c, std::ostream* os) {
    *os << "stored \"" << c.stored << "\" offered \"" << c.offered << "\"";
  }
};

class PairingPasswordTest : public PairingHandlerTest,
                            public testing::WithParamInterface<PasswordCase> {};

TEST_P(PairingPasswordTest, ComparesExactly) {
  settings_.WriteString("Password", GetParam().stored);
  Pair("uid-1", GetParam().offered, "10.0.0.5");
  Json::Value reply = OnlyReplyTo("10.0.0.5");
  EXPECT_EQ(JsonInt(reply, "cmd"), 22);
  ASSERT_TRUE(reply["result"].isString());
  EXPECT_EQ(reply["result"].asString(), GetParam().result);
  EXPECT_EQ(clients_.Contains("10.0.0.5"), std::string(GetParam().result) == "1");
}

INSTANTIATE_TEST_SUITE_P(Passwords, PairingPasswordTest,
                         testing::Values(PasswordCase{"", "", "1"}, PasswordCase{"", "x", "0"},
                                         PasswordCase{"secret", "secret", "1"},
                                         PasswordCase{"secret", "Secret", "0"},
                                         PasswordCase{"secret", "", "0"},
                                         PasswordCase{"密码", "密码", "1"}));

TEST_F(PairingHandlerTest, OwnedReceiverRefusesOtherDevices) {
  Pair("uid-1", "", "10.0.0.5");
  EXPECT_EQ(OnlyReplyTo("10.0.0.5")["result"].asString(), "1");
  EXPECT_EQ(clients_.OwnerId(), "uid-1");

  Pair("uid-2", "", "10.0.0.6");
  EXPECT_EQ(OnlyReplyTo("10.0.0.6")["result"].asString(), "2");
  EXPECT_FALSE(clients_.Contains("10.0.0.6"));
  EXPECT_TRUE(clients_.Contains("10.0.0.5"));

  // With exclusivity off the other device takes over.
  clients_.SetOwnerExclusive(false);
  Pair("uid-2", "", "10.0.0.6");
  auto sent = sender_.Json();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].address, "10.0.0.5");
  EXPECT_EQ(JsonInt(sent[0].value, "cmd"), 23);
  EXPECT_EQ(sent[1].value["result"].asString(), "1");
  EXPECT_EQ(clients_.OwnerId(), "uid-2");
}

TEST_F(PairingHandlerTest, SameDeviceFromANewAddressReplacesTheOldOne) {
  Pair("uid-1", "", "10.0.0.5");
  sender_.Clear();
  Pair("uid-1", "", "10.0.0.8");
  auto sent = sender_.Json();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].address, "10.0.0.5");
  EXPECT_EQ(sent[0].port, 7991);
  EXPECT_EQ(JsonInt(sent[0].value, "cmd"), 23);
  EXPECT_EQ(JsonInt(sent[0].value, "code"), 1);
  EXPECT_EQ(sent[1].address, "10.0.0.8");
  EXPECT_EQ(sent[1].value["result"].asString(), "1");
  EXPECT_FALSE(clients_.Contains("10.0.0.5"));
  EXPECT_TRUE(clients_.Contains("10.0.0.8"));
  EXPECT_EQ(clients_.OwnerId(), "uid-1");
}

TEST_F(PairingHandlerTest, PairingAgainFromTheSameAddressSendsNoReplacement) {
  Pair("uid-1", "", "10.0.0.5");
  sender_.Clear();
  Pair("uid-1", "", "10.0.0.5");
  EXPECT_EQ(OnlyReplyTo("10.0.0.5")["result"].asString(), "1");
  EXPECT_EQ(clients_.Count(), 1u);
}

TEST_F(PairingHandlerTest, DisconnectRemovesTheDeviceAndFreesTheReceiver) {
  Pair("uid-1", "", "10.0.0.5");
  sender_.Clear();
  handler_.ProcessJsonCommand(Command(MakeCommand(1, 3), "10.0.0.5"));
  EXPECT_FALSE(clients_.Contains("10.0.0.5"));
  EXPECT_EQ(clients_.OwnerId(), "");
  EXPECT_TRUE(sender_.Json().empty());
  Pair("uid-2", "", "10.0.0.6");
  EXPECT_EQ(OnlyReplyTo("10.0.0.6")["result"].asString(), "1");
}

TEST_F(PairingHandlerTest, LockStateIsBroadcastAndAnswered) {
  Pair("uid-1", "", "10.0.0.5");
  clients_.Add("second", "10.0.0.6");
  sender_.Clear();

  for (const bool locked : {true, false}) {
    locked ? handler_.SetLocked() : handler_.SetUnlocked();
    auto sent = sender_.Json();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].address, "10.0.0.5");
    EXPECT_EQ(sent[1].address, "10.0.0.6");
    for (const auto& message : sent) {
      EXPECT_EQ(JsonInt(message.value, "cmd"), locked ? 25 : 26);
      EXPECT_EQ(message.port, 7991);
    }
    sender_.Clear();
    handler_.ProcessJsonCommand(Command(MakeCommand(1, 5), "10.0.0.6"));
    Json::Value reply = OnlyReplyTo("10.0.0.6");
    EXPECT_EQ(JsonInt(reply, "cmd"), 27);
    ASSERT_TRUE(reply["value"].isBool());
    EXPECT_EQ(reply["value"].asBool(), locked);
  }
}

TEST_F(PairingHandlerTest, KeepAliveAnswerRefreshesThePairedDevice) {
  Pair("uid-1", "", "10.0.0.5");
  const int64_t paired_at = clients_.Snapshot()[0].last_heard;
  clock_.Advance(30000);
  Packet other;
  other.payload = {0x01};
  platform::TextToIpv4("10.0.0.5", &other.peer_ip);
  handler_.ProcessBytePacket(other);
  EXPECT_EQ(clients_.Snapshot()[0].last_heard, paired_at);
  Packet keep_alive = other;
  keep_alive.payload = {0x00};
  handler_.ProcessBytePacket(keep_alive);
  EXPECT_EQ(clients_.Snapshot()[0].last_heard, paired_at + 30);
}

}  // namespace
