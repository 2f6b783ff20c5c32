// The HID processor driving the real desktop input layer and clipboard, seen
// from a test window. Needs a desktop (scripts/with-desktop.sh); skipped without.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "common/device_json.h"
#include "common/hid_action_processor.h"
#include "input/desktop_test_support.h"
#include "input/recorder_process.h"
#include "platform/screen_metrics.h"
#include "platform/socket.h"

namespace {

class DesktopInputTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!HaveDisplay()) GTEST_SKIP() << "no desktop (DISPLAY unset)";
    ASSERT_TRUE(recorder_.Start());
    ASSERT_TRUE(platform::GetScreenAreas(&primary_, &desk_));
  }

  void Packet(std::vector<uint8_t> bytes) {
    processor_.ProcessBytePacket(bytes.data(), bytes.size(), platform::LoopbackIpv4());
  }

  void Text(const std::string& text) {
    Json::Value command = MakeCommand(2, 1);
    command["string"] = text;
    processor_.ProcessJsonCommand(command, platform::LoopbackIpv4());
  }

  // Puts the pointer at a normalised position and waits until the window saw it.
  void MoveTo(int nx, int ny, int* x, int* y) {
    *x = ExpectedPixel(nx, primary_.x, primary_.width);
    *y = ExpectedPixel(ny, primary_.y, primary_.height);
    Packet({0xA2, uint8_t(nx >> 8), uint8_t(nx), uint8_t(ny >> 8), uint8_t(ny)});
    ASSERT_TRUE(recorder_.WaitFor(Is("motion " + std::to_string(*x) + " " + std::to_string(*y))));
  }

  RecorderProcess recorder_;
  VPHIDActionProcessor processor_{PlatformInputSink::Instance(),
                                  VPHIDActionProcessor::ForeignInput::kDrop};
  platform::ScreenRect primary_, desk_;
};

TEST_F(DesktopInputTest, AbsoluteCornerIsTheLastPixelOfThePrimaryScreen) {
  int x = 0, y = 0;
  MoveTo(0x4000, 0x4000, &x, &y);
  MoveTo(0xFFFF, 0xFFFF, &x, &y);
  EXPECT_EQ(x, primary_.x + primary_.width - 1);
  EXPECT_EQ(y, primary_.y + primary_.height - 1);
  MoveTo(0, 0, &x, &y);
  EXPECT_EQ(x, primary_.x);
  EXPECT_EQ(y, primary_.y);
}

TEST_F(DesktopInputTest, RelativeMoveIsInPixels) {
  int x = 0, y = 0;
  MoveTo(0x8000, 0x8000, &x, &y);
  Packet({0x92, 0xFF, 0xFF, 0x00, 0x01});
  EXPECT_TRUE(
      recorder_.WaitFor(Is("motion " + std::to_string(x - 1) + " " + std::to_string(y + 1))));
  Packet({0x92, 0x00, 0x64, 0xFF, 0x9C});
  EXPECT_TRUE(
      recorder_.WaitFor(Is("motion " + std::to_string(x + 99) + " " + std::to_string(y - 99))));
}

TEST_F(DesktopInputTest, ClickDoubleClickAndRightClickAtThePointer) {
  int x = 0, y = 0;
  MoveTo(0x3000, 0x5000, &x, &y);
  const std::string at = " " + std::to_string(x) + " " + std::to_string(y);
  Packet({0x94, 0x00, 0x00, 0x00, 0x00});
  EXPECT_TRUE(recorder_.WaitFor(Is("button_press 1" + at)));
  EXPECT_TRUE(recorder_.WaitFor(Is("button_release 1" + at)));
  Packet({0xA7, 0x30, 0x00, 0x50, 0x00});
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(recorder_.WaitFor(Is("button_press 1" + at)));
    EXPECT_TRUE(recorder_.WaitFor(Is("button_release 1" + at)));
  }
  Packet({0x99, 0x00, 0x00, 0x00, 0x00});
  EXPECT_TRUE(recorder_.WaitFor(Is("button_press 3" + at)));
  EXPECT_TRUE(recorder_.WaitFor(Is("button_release 3" + at)));
}

TEST_F(DesktopInputTest, WheelNotchesBecomeWheelButtons) {
  int x = 0, y = 0;
  MoveTo(0x8000, 0x8000, &x, &y);
  const std::string at = " " + std::to_string(x) + " " + std::to_string(y);
  Packet({0xA8, 0x00, 0x00, 0xFF, 0x88});  // -120: one notch towards the user
  EXPECT_TRUE(recorder_.WaitFor(Is("button_press 5" + at)));
  EXPECT_TRUE(recorder_.WaitFor(Is("button_release 5" + at)));
  Packet({0xA8, 0x00, 0x00, 0x00, 0x3C});  // half a notch: nothing yet
  Packet({0xA8, 0x00, 0x00, 0x00, 0x3C});  // the other half completes one notch up
  EXPECT_TRUE(recorder_.WaitFor(Is("button_press 4" + at)));
  // Only one notch up came of the two halves: the next line is the right click below.
  Packet({0x99, 0x00, 0x00, 0x00, 0x00});
  std::string line;
  ASSERT_TRUE(recorder_.WaitFor(StartsWith("button_press"), &line));
  EXPECT_EQ(line, "button_press 3" + at);
}

struct KeyCase {
  uint8_t virtual_key;
  const char* keysym_name;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.keysym_name; }

class DesktopKeyTest : public DesktopInputTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(DesktopKeyTest, KeyDownAndUpReachTheWindow) {
  const KeyCase& c = GetParam();
  Packet({0xB1, c.virtual_key, 0, 0, 0});
  Packet({0xB2, c.virtual_key, 0, 0, 0});
  EXPECT_TRUE(recorder_.WaitFor(Is(std::string("key_press ") + c.keysym_name)));
  EXPECT_TRUE(recorder_.WaitFor(Is(std::string("key_release ") + c.keysym_name)));
}

INSTANTIATE_TEST_SUITE_P(Keys, DesktopKeyTest,
                         testing::Values(KeyCase{0x41, "a"}, KeyCase{0x5A, "z"}, KeyCase{0x37, "7"},
                                         KeyCase{0x0D, "Return"}, KeyCase{0x08, "BackSpace"},
                                         KeyCase{0x20, "space"}, KeyCase{0x25, "Left"},
                                         KeyCase{0x28, "Down"}, KeyCase{0x2E, "Delete"},
                                         KeyCase{0x74, "F5"}, KeyCase{0x10, "Shift_L"},
                                         KeyCase{0xBE, "period"}));

TEST_F(DesktopInputTest, SingleLetterAndDigitAreTyped) {
  Text("a");
  EXPECT_TRUE(recorder_.WaitFor(Is("key_press a")));
  EXPECT_TRUE(recorder_.WaitFor(Is("key_release a")));
  Text("5");
  EXPECT_TRUE(recorder_.WaitFor(Is("key_press 5")));
  EXPECT_TRUE(recorder_.WaitFor(Is("key_release 5")));
  Packet({0xB3, 7, 0, 0, 0});
  EXPECT_TRUE(recorder_.WaitFor(Is("key_press 7")));
  for (const std::string& line : recorder_.Lines()) EXPECT_NE(line.rfind("paste", 0), 0u) << line;
}

TEST_F(DesktopInputTest, OtherTextArrivesThroughTheClipboardExactly) {
  const std::vector<std::string> texts = {"Z", "ab", "Ærø café naïve façade — 你好，世界！ 😀"};
  for (const std::string& text : texts) {
    Text(text);
    std::string line;
    ASSERT_TRUE(recorder_.WaitFor(StartsWith("paste"), &line)) << text;
    EXPECT_EQ(line, "paste " + HexOf(text)) << text;
  }
  Packet({0xB3, 65, 0, 0, 0});
  std::string line;
  ASSERT_TRUE(recorder_.WaitFor(StartsWith("paste"), &line));
  EXPECT_EQ(line, "paste " + HexOf("65"));
}

}  // namespace
