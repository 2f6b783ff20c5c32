// Remote mouse and keyboard end to end: the device emulator in a network
// namespace of its own sends pointer, key and text packets to the receiver's
// device link; the receiver forwards pointer and key packets to the real
// service program, which executes them on the desktop; a test window records
// what arrives. Needs a desktop and root (for the namespaces); skipped without.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "hosted_network/service_process.h"
#include "input/desktop_test_support.h"
#include "input/device_network.h"
#include "input/linked_receiver.h"
#include "input/recorder_process.h"
#include "platform/input.h"
#include "support/temp_dir.h"
#include "tools/device/lib/input_sender.h"

namespace {

uint32_t Ip(const char* text) {
  uint32_t ip = 0;
  platform::TextToIpv4(text, &ip);
  return ip;
}

class RemoteInputE2E : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!HaveDisplay()) {
      skip_ = "no desktop (DISPLAY unset)";
      return;
    }
    config_ = new TempDir();
    setenv("XDG_CONFIG_HOME", config_->Path().c_str(), 1);
    setenv("XDG_RUNTIME_DIR", config_->Path().c_str(), 1);
    network_ = new DeviceNetwork();
    if (geteuid() != 0 || !network_->Create() || !network_->EnterPc()) {
      skip_ = "network namespaces cannot be made here";
      return;
    }
    service_ = new ServiceProcess();
    receiver_ = new LinkedReceiver(DeviceNetwork::kDeviceAddress, Ip(DeviceNetwork::kPcAddress));
    recorder_ = new RecorderProcess();
    ASSERT_TRUE(service_->Start(VP_SERVICE_PATH));
    ASSERT_TRUE(receiver_->Start());
    ASSERT_TRUE(recorder_->Start());
    // The emulator's socket is made inside the device's namespace.
    std::thread([] {
      if (network_->EnterDevice())
        sender_ = new InputSender(Ip(DeviceNetwork::kPcAddress), receiver_->UdpPort());
    }).join();
    ASSERT_TRUE(sender_ && sender_->IsOpen());
    ASSERT_TRUE(platform::GetScreenAreas(&primary_, &desk_));
  }

  static void TearDownTestSuite() {
    delete sender_;
    delete recorder_;
    delete receiver_;
    delete service_;
    delete network_;
    delete config_;
  }

  void SetUp() override {
    if (!skip_.empty()) GTEST_SKIP() << skip_;
    ASSERT_NE(sender_, nullptr);
  }

  // Puts the pointer at a normalised position through the whole chain.
  void MoveTo(uint16_t nx, uint16_t ny, int* x, int* y) {
    *x = ExpectedPixel(nx, primary_.x, primary_.width);
    *y = ExpectedPixel(ny, primary_.y, primary_.height);
    ASSERT_TRUE(sender_->SendPointer(0xA2, nx, ny));
    ASSERT_TRUE(recorder_->WaitFor(Is("motion " + std::to_string(*x) + " " + std::to_string(*y))));
  }

  // A key press sent through the chain as a marker: the first of the given
  // kind of line that arrives must be the marker's.
  std::string FirstLineBefore(const std::string& prefix) {
    EXPECT_TRUE(sender_->PressKey(0x51));  // Q
    std::string line;
    EXPECT_TRUE(recorder_->WaitFor(
        [&](const std::string& l) { return l.rfind(prefix, 0) == 0 || l == "key_press q"; },
        &line));
    recorder_->WaitFor(Is("key_release q"));
    return line;
  }

  static inline std::string skip_;
  static inline TempDir* config_ = nullptr;
  static inline DeviceNetwork* network_ = nullptr;
  static inline ServiceProcess* service_ = nullptr;
  static inline LinkedReceiver* receiver_ = nullptr;
  static inline RecorderProcess* recorder_ = nullptr;
  static inline InputSender* sender_ = nullptr;
  static inline platform::ScreenRect primary_, desk_;
};

TEST_F(RemoteInputE2E, ClickAtThePointerIsExecutedByTheService) {
  int x = 0, y = 0;
  MoveTo(0x3000, 0x5000, &x, &y);
  const std::string at = " " + std::to_string(x) + " " + std::to_string(y);
  ASSERT_TRUE(sender_->SendPointer(0x94, 0, 0));
  EXPECT_TRUE(recorder_->WaitFor(Is("button_press 1" + at)));
  EXPECT_TRUE(recorder_->WaitFor(Is("button_release 1" + at)));

  // Without the service program the receiver executes nothing itself.
  ASSERT_TRUE(service_->Quit());
  ASSERT_TRUE(sender_->SendPointer(0x94, 0, 0));
  platform::SendKeyInput(0x51, 0, 0);  // a marker typed here, not through the link
  platform::SendKeyInput(0x51, 0, platform::kKeyEventKeyUp);
  std::string line;
  ASSERT_TRUE(recorder_->WaitFor(
      [](const std::string& l) { return l.rfind("button_press", 0) == 0 || l == "key_press q"; },
      &line));
  EXPECT_EQ(line, "key_press q");
  ASSERT_TRUE(service_->Start(VP_SERVICE_PATH));
}

TEST_F(RemoteInputE2E, RelativeMoveAndAbsoluteCorner) {
  int x = 0, y = 0;
  MoveTo(0x8000, 0x8000, &x, &y);
  ASSERT_TRUE(sender_->SendPointer(0x92, 0xFFFF, 0x0001));
  EXPECT_TRUE(
      recorder_->WaitFor(Is("motion " + std::to_string(x - 1) + " " + std::to_string(y + 1))));
  MoveTo(0xFFFF, 0xFFFF, &x, &y);
  EXPECT_EQ(x, primary_.x + primary_.width - 1);
  EXPECT_EQ(y, primary_.y + primary_.height - 1);
}

TEST_F(RemoteInputE2E, WheelNotchDownAndDoubleClick) {
  int x = 0, y = 0;
  MoveTo(0x6000, 0x6000, &x, &y);
  const std::string at = " " + std::to_string(x) + " " + std::to_string(y);
  ASSERT_TRUE(sender_->SendPointer(0xA8, 0, 0xFF88));
  EXPECT_TRUE(recorder_->WaitFor(Is("button_press 5" + at)));
  EXPECT_TRUE(recorder_->WaitFor(Is("button_release 5" + at)));
  ASSERT_TRUE(sender_->SendPointer(0xA7, 0x6000, 0x6000));
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(recorder_->WaitFor(Is("button_press 1" + at)));
    EXPECT_TRUE(recorder_->WaitFor(Is("button_release 1" + at)));
  }
}

TEST_F(RemoteInputE2E, KeyDownAndUp) {
  ASSERT_TRUE(sender_->SendKey(0xB1, 0x0D));
  EXPECT_TRUE(recorder_->WaitFor(Is("key_press Return")));
  ASSERT_TRUE(sender_->SendKey(0xB2, 0x0D));
  EXPECT_TRUE(recorder_->WaitFor(Is("key_release Return")));
}

TEST_F(RemoteInputE2E, SingleLetterAndDigitArriveAsKeys) {
  ASSERT_TRUE(sender_->SendText("a"));
  EXPECT_TRUE(recorder_->WaitFor(Is("key_press a")));
  ASSERT_TRUE(sender_->SendText("5"));
  std::string line;
  ASSERT_TRUE(recorder_->WaitFor(
      [](const std::string& l) { return l == "key_press 5" || l.rfind("paste", 0) == 0; }, &line));
  EXPECT_EQ(line, "key_press 5");
}

TEST_F(RemoteInputE2E, OtherTextArrivesThroughTheClipboardExactly) {
  for (const std::string text : {"Z", "ab"}) {
    ASSERT_TRUE(sender_->SendText(text));
    std::string line;
    ASSERT_TRUE(recorder_->WaitFor(StartsWith("paste"), &line));
    EXPECT_EQ(line, "paste " + HexOf(text));
  }
  ASSERT_TRUE(sender_->SendKey(0xB3, 65));
  std::string line;
  ASSERT_TRUE(recorder_->WaitFor(StartsWith("paste"), &line));
  EXPECT_EQ(line, "paste " + HexOf("65"));

  const std::string text = "Crème brûlée à Zürich, señor; 北京欢迎你";
  ASSERT_TRUE(sender_->TypeLine(text));
  ASSERT_TRUE(recorder_->WaitFor(StartsWith("paste"), &line));
  EXPECT_EQ(line, "paste " + HexOf(text));
  EXPECT_TRUE(recorder_->WaitFor(Is("key_press Return")));
}

TEST_F(RemoteInputE2E, PacketsShorterThanFiveBytesAreIgnored) {
  for (int size = 1; size < 5; ++size) {
    const std::string packet = std::string("\x00\x94\x00\x00\x00\x00", 6).substr(0, size + 1);
    platform::Socket socket;
    std::thread([&] {
      if (network_->EnterDevice()) socket = platform::Socket::Udp();
    }).join();
    ASSERT_EQ(socket.SendTo(packet.data(), packet.size(), Ip(DeviceNetwork::kPcAddress),
                            receiver_->UdpPort()),
              static_cast<int>(packet.size()));
  }
  EXPECT_EQ(FirstLineBefore("button_press"), "key_press q");
}

}  // namespace
