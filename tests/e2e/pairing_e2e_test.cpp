// Devices meet the real receiver program: discovery, pairing with and without
// a password, one owner at a time, keep-alives, and removal of a silent
// device. Each device sits in a network namespace of its own.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "common/device_json.h"
#include "lock_file.h"
#include "receiver_lab.h"
#include "session_bus.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using std::chrono::steady_clock;

constexpr uint32_t kAnswerMs = 5000;
constexpr uint32_t kStartMs = 15000;

class PairingTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(lab_.IsReady()) << "network namespaces need root"; }

  // The helper is left out: its guard is held, so the receiver starts none.
  void StartReceiver(const std::string& password = "") {
    if (!password.empty()) {
      std::filesystem::create_directories(lab_.ConfigHome() + "/Velaport");
      WriteBytes(lab_.ConfigHome() + "/Velaport/config.ini",
                 Utf16LeFile("[GENERAL]\r\nPassword=" + password + "\r\n"));
    }
    service_guard_ = std::make_unique<HeldLockFile>(lab_.LockPath("VPService"));
    ASSERT_TRUE(service_guard_->IsHeld());
    ASSERT_TRUE(lab_.StartReceiver(receiver_));
  }

  // A device in namespace i that has found the receiver.
  std::unique_ptr<DeviceEmulator> Device(int i, DeviceOptions options = {}) {
    auto device = lab_.StartDevice(i, std::move(options));
    if (device && !WaitUntilDiscovered(*device, ReceiverLab::ReceiverAddress(i), kStartMs))
      device.reset();
    return device;
  }

  ReceiverLab lab_{2};
  std::unique_ptr<HeldLockFile> service_guard_;
  NamespaceProcess receiver_;
};

struct DiscoveryCase {
  std::string password;
  bool need_password;
};

void PrintTo(const DiscoveryCase& c, std::ostream* os) {
  *os << (c.need_password ? "password set" : "no password");
}

class DiscoveryTest : public PairingTest, public ::testing::WithParamInterface<DiscoveryCase> {};

TEST_P(DiscoveryTest, BroadcastIsAnsweredOnDeviceUdpPortWithIdentity) {
  StartReceiver(GetParam().password);
  auto device = lab_.StartDevice(1);
  ASSERT_TRUE(device);
  std::optional<ReceivedMessage> answer;
  auto deadline = steady_clock::now() + milliseconds(kStartMs);
  while (!answer && steady_clock::now() < deadline)
    answer = device->DiscoverAndWait(ReceiverLab::BroadcastAddress(1), 300);
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->channel, DeviceChannel::Udp);
  EXPECT_EQ(platform::Ipv4ToText(answer->from_ip), ReceiverLab::ReceiverAddress(1));
  EXPECT_EQ(JsonString(answer->json, "uid").size(), 36u);
  EXPECT_FALSE(JsonString(answer->json, "name").empty());
  EXPECT_EQ(JsonString(answer->json, "ver"), "2.5.1");
  ASSERT_TRUE(answer->json["need_password"].isBool());
  EXPECT_EQ(answer->json["need_password"].asBool(), GetParam().need_password);
}

INSTANTIATE_TEST_SUITE_P(Password, DiscoveryTest,
                         ::testing::Values(DiscoveryCase{"", false}, DiscoveryCase{"s3cret", true}));

TEST_F(PairingTest, WrongPasswordIsRefusedWithZeroAndRightOneAccepted) {
  StartReceiver("s3cret");
  auto device = Device(1);
  ASSERT_TRUE(device);
  EXPECT_EQ(device->PairAndWait("S3CRET", kAnswerMs), "0");
  EXPECT_EQ(device->PairAndWait("s3cret", kAnswerMs), "1");
}

TEST_F(PairingTest, SecondDeviceIsRefusedWithTwoWhileFirstOwnsReceiver) {
  StartReceiver();
  auto first = Device(1);
  auto second = Device(2);
  ASSERT_TRUE(first && second);
  ASSERT_EQ(first->PairAndWait("", kAnswerMs), "1");
  EXPECT_EQ(second->PairAndWait("", kAnswerMs), "2");
}

TEST_F(PairingTest, OwnerPairingFromNewAddressIsAcceptedAndOldAddressIsTold) {
  StartReceiver();
  auto old_address = Device(1);
  ASSERT_TRUE(old_address);
  DeviceOptions same_device;
  same_device.uid = old_address->Uid();
  auto new_address = Device(2, same_device);
  ASSERT_TRUE(new_address);
  ASSERT_EQ(old_address->PairAndWait("", kAnswerMs), "1");
  const size_t mark = old_address->MessageCount();
  EXPECT_EQ(new_address->PairAndWait("", kAnswerMs), "1");
  auto replaced = old_address->WaitForCommand(1, 23, kAnswerMs, mark);
  ASSERT_TRUE(replaced);
  EXPECT_EQ(replaced->channel, DeviceChannel::Tcp);
  EXPECT_EQ(JsonInt(replaced->json, "code"), 1);
}

TEST_F(PairingTest, DisconnectedOwnerFreesReceiverForAnotherDevice) {
  StartReceiver();
  auto first = Device(1);
  auto second = Device(2);
  ASSERT_TRUE(first && second);
  ASSERT_EQ(first->PairAndWait("", kAnswerMs), "1");
  ASSERT_EQ(first->Disconnect(), 0);
  // The disconnect and the next pairing travel on different connections;
  // the receiver handles them in arrival order, which a retry absorbs.
  std::string result;
  auto deadline = steady_clock::now() + milliseconds(kAnswerMs);
  while (result != "1" && steady_clock::now() < deadline) result = second->PairAndWait("", 1000);
  EXPECT_EQ(result, "1");
}

TEST_F(PairingTest, InformationAndLockStateAreAnsweredOnTcp) {
  StartReceiver();
  auto device = Device(1);
  ASSERT_TRUE(device);
  ASSERT_EQ(device->PairAndWait("", kAnswerMs), "1");
  size_t mark = device->MessageCount();
  ASSERT_EQ(device->RequestInfo(), 0);
  auto info = device->WaitForCommand(1, 24, kAnswerMs, mark);
  ASSERT_TRUE(info);
  const std::string uid = JsonString(info->json, "uid");
  ASSERT_EQ(uid.size(), 36u);
  EXPECT_EQ(JsonString(info->json, "qrcodeid"), uid.substr(32));
  EXPECT_EQ(JsonString(info->json, "ver"), "2.5.1");
  mark = device->MessageCount();
  ASSERT_EQ(device->RequestLockState(), 0);
  auto lock = device->WaitForCommand(1, 27, kAnswerMs, mark);
  ASSERT_TRUE(lock);
  ASSERT_TRUE(lock->json["value"].isBool());
  EXPECT_FALSE(lock->json["value"].asBool());
}

TEST_F(PairingTest, PairedDeviceGetsKeepAliveAboutEveryThreeSeconds) {
  StartReceiver();
  auto device = Device(1);
  ASSERT_TRUE(device);
  const size_t mark = device->MessageCount();
  ASSERT_EQ(device->PairAndWait("", kAnswerMs), "1");
  auto is_keep_alive = [](const ReceivedMessage& m) { return m.IsKeepAlive(); };
  size_t index = 0;
  auto first = device->WaitFor(is_keep_alive, 8000, mark, &index);
  ASSERT_TRUE(first);
  auto second = device->WaitFor(is_keep_alive, 8000, index + 1);
  ASSERT_TRUE(second);
  EXPECT_EQ(platform::Ipv4ToText(second->from_ip), ReceiverLab::ReceiverAddress(1));
  const auto interval = second->at - first->at;
  EXPECT_GT(interval, milliseconds(1500));
  EXPECT_LT(interval, milliseconds(6000));
}

// One real run of the 50-second rule: the device stops answering keep-alives
// and sends nothing else; the receiver drops it, stops the keep-alives and
// accepts nothing but pairing commands from it.
TEST_F(PairingTest, SilentDeviceIsRemovedAfterFiftySeconds) {
  StartReceiver();
  DeviceOptions silent;
  silent.answer_keep_alives = false;
  auto device = Device(1, silent);
  auto other = Device(2);
  ASSERT_TRUE(device && other);
  ASSERT_EQ(device->PairAndWait("", kAnswerMs), "1");
  const auto last_heard = steady_clock::now();

  // Removed once the keep-alives have stopped for two of their periods.
  auto is_keep_alive = [](const ReceivedMessage& m) { return m.IsKeepAlive(); };
  std::optional<ReceivedMessage> last_keep_alive;
  const auto deadline = last_heard + seconds(80);
  size_t index = 0;
  for (size_t from = 0; steady_clock::now() < deadline; from = index + 1) {
    auto next = device->WaitFor(is_keep_alive, 7000, from, &index);
    if (!next) break;
    last_keep_alive = next;
  }
  ASSERT_TRUE(last_keep_alive);
  const auto silent_for = last_keep_alive->at - last_heard;
  EXPECT_GE(silent_for, seconds(48));
  EXPECT_LE(silent_for, seconds(58));

  // Unpaired now: act 1 is still answered, any other act is dropped.
  size_t mark = device->MessageCount();
  ASSERT_EQ(device->RequestLockState(), 0);
  EXPECT_TRUE(device->WaitForCommand(1, 27, kAnswerMs, mark));
  mark = device->MessageCount();
  ASSERT_EQ(device->SendJson(MakeCommand(8, 1), DeviceChannel::Tcp), 0);
  EXPECT_FALSE(device->WaitForCommand(8, 21, 3000, mark));
  // And the receiver has no owner any more.
  EXPECT_EQ(other->PairAndWait("", kAnswerMs), "1");
}

// The vpdevice program, as a person would use it against a receiver.
TEST_F(PairingTest, VpdeviceProgramPairsPrintsKeepAlivesAndDisconnects) {
  StartReceiver();
  const std::string output = lab_.File("vpdevice.out");
  NamespaceProcess vpdevice;
  ASSERT_TRUE(vpdevice.Start(lab_.DeviceNs(1).Name(), ReceiverLab::BuildBin() + "/vpdevice",
                             {"--receiver", ReceiverLab::ReceiverAddress(1), "--name", "tablet",
                              "--seconds", "5"},
                             {}, output));
  int code = -1;
  ASSERT_TRUE(vpdevice.Wait(kStartMs + 10000, &code));
  const std::string text = ReadBytes(output);
  EXPECT_EQ(code, 0) << text;
  EXPECT_NE(text.find("paired as tablet"), std::string::npos) << text;
  EXPECT_NE(text.find("udp " + ReceiverLab::ReceiverAddress(1) + " bytes 00"), std::string::npos)
      << text;
  EXPECT_NE(text.find("disconnected"), std::string::npos) << text;
}

}  // namespace

namespace {

// The desktop's lock state reaches every paired device. The test plays the
// screen saver on a private session bus the receiver was pointed at; the
// signal is repeated until the receiver (still subscribing at first) has
// passed it on, which repeated signals of one state never do twice.
TEST_F(PairingTest, LockAndUnlockAreToldToEveryPairedDeviceAndAnsweredOnRequest) {
  SessionBus bus(lab_.SessionBusPath());
  ASSERT_TRUE(bus.IsReady());
  StartReceiver();
  auto device = Device(1);
  ASSERT_TRUE(device);
  ASSERT_EQ(device->PairAndWait("", kAnswerMs), "1");

  for (const auto& [active, told_cmd] : {std::pair{true, 25}, std::pair{false, 26}}) {
    const size_t mark = device->MessageCount();
    std::optional<ReceivedMessage> told;
    auto deadline = steady_clock::now() + milliseconds(kStartMs);
    while (!told && steady_clock::now() < deadline) {
      ASSERT_TRUE(bus.EmitScreenSaverActive(active));
      told = device->WaitForCommand(1, told_cmd, 300, mark);
    }
    ASSERT_TRUE(told) << "cmd " << told_cmd;
    EXPECT_EQ(told->channel, DeviceChannel::Tcp);
    const size_t before_request = device->MessageCount();
    ASSERT_EQ(device->RequestLockState(), 0);
    auto state = device->WaitForCommand(1, 27, kAnswerMs, before_request);
    ASSERT_TRUE(state);
    EXPECT_EQ(state->json["value"].asBool(), active);
  }
}

}  // namespace
