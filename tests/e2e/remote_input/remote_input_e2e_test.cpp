// Remote mouse and keyboard through the real programs: the emulated device
// in its own namespace sends to Velaport, which forwards pointer and key
// packets to VelaportService; the service executes them on the desktop and a
// test window records what arrives. Text entry is carried out by Velaport
// (clipboard and Ctrl+V). Needs a desktop and root; skipped without.
#include <gtest/gtest.h>

#include <string>

#include "input/desktop_test_support.h"
#include "remote_input_stage.h"

namespace {

class RemoteInputE2E : public testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!stage_.Start(&why)) {
      if (why.rfind("no desktop", 0) == 0 || why.rfind("network namespaces", 0) == 0)
        GTEST_SKIP() << why;
      FAIL() << why;
    }
  }

  std::string At(int x, int y) { return " " + std::to_string(x) + " " + std::to_string(y); }

  // The first line that is a pointer button press or the marker's key press.
  std::string FirstButtonOr(const std::string& marker) {
    std::string line;
    stage_.Window().WaitFor(
        [&](const std::string& l) { return l.rfind("button_press", 0) == 0 || l == marker; },
        &line);
    return line;
  }

  RemoteInputStage stage_;
};

TEST_F(RemoteInputE2E, ClickAtThePointerIsExecutedByTheService) {
  int x = 0, y = 0;
  ASSERT_TRUE(stage_.MoveTo(0x3000, 0x5000, &x, &y));
  ASSERT_TRUE(stage_.Device().SendPointer(0x94, 0, 0));
  EXPECT_TRUE(stage_.Window().WaitFor(Is("button_press 1" + At(x, y))));
  EXPECT_TRUE(stage_.Window().WaitFor(Is("button_release 1" + At(x, y))));

  // Once the service program has quit, Velaport executes nothing itself. The
  // marker is text, which Velaport types itself right after the click packet.
  ASSERT_TRUE(stage_.QuitService());
  ASSERT_TRUE(stage_.Device().SendPointer(0x94, 0, 0));
  ASSERT_TRUE(stage_.Device().SendText("q"));
  EXPECT_EQ(FirstButtonOr("key_press q"), "key_press q");
}

TEST_F(RemoteInputE2E, RelativeMoveAndAbsoluteCorner) {
  int x = 0, y = 0;
  ASSERT_TRUE(stage_.MoveTo(0x8000, 0x8000, &x, &y));
  ASSERT_TRUE(stage_.Device().SendPointer(0x92, 0xFFFF, 0x0001));
  EXPECT_TRUE(stage_.Window().WaitFor(Is("motion" + At(x - 1, y + 1))));
  ASSERT_TRUE(stage_.MoveTo(0xFFFF, 0xFFFF, &x, &y));
  EXPECT_EQ(x, stage_.Primary().x + stage_.Primary().width - 1);
  EXPECT_EQ(y, stage_.Primary().y + stage_.Primary().height - 1);
}

TEST_F(RemoteInputE2E, WheelNotchDownAndDoubleClick) {
  int x = 0, y = 0;
  ASSERT_TRUE(stage_.MoveTo(0x6000, 0x6000, &x, &y));
  ASSERT_TRUE(stage_.Device().SendPointer(0xA8, 0, 0xFF88));
  EXPECT_TRUE(stage_.Window().WaitFor(Is("button_press 5" + At(x, y))));
  EXPECT_TRUE(stage_.Window().WaitFor(Is("button_release 5" + At(x, y))));
  ASSERT_TRUE(stage_.Device().SendPointer(0xA7, 0x6000, 0x6000));
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(stage_.Window().WaitFor(Is("button_press 1" + At(x, y))));
    EXPECT_TRUE(stage_.Window().WaitFor(Is("button_release 1" + At(x, y))));
  }
}

TEST_F(RemoteInputE2E, KeyDownAndUp) {
  ASSERT_TRUE(stage_.Device().SendKey(0xB1, 0x0D));
  EXPECT_TRUE(stage_.Window().WaitFor(Is("key_press Return")));
  ASSERT_TRUE(stage_.Device().SendKey(0xB2, 0x0D));
  EXPECT_TRUE(stage_.Window().WaitFor(Is("key_release Return")));
}

TEST_F(RemoteInputE2E, SingleLetterAndDigitArriveAsKeys) {
  ASSERT_TRUE(stage_.Device().SendText("a"));
  EXPECT_TRUE(stage_.Window().WaitFor(Is("key_press a")));
  ASSERT_TRUE(stage_.Device().SendText("5"));
  std::string line;
  ASSERT_TRUE(stage_.Window().WaitFor(
      [](const std::string& l) { return l == "key_press 5" || l.rfind("paste", 0) == 0; }, &line));
  EXPECT_EQ(line, "key_press 5");
}

TEST_F(RemoteInputE2E, OtherTextArrivesThroughTheClipboardExactly) {
  std::string line;
  for (const std::string text : {"Z", "ab"}) {
    ASSERT_TRUE(stage_.Device().SendText(text));
    ASSERT_TRUE(stage_.Window().WaitFor(StartsWith("paste"), &line));
    EXPECT_EQ(line, "paste " + HexOf(text));
  }
  ASSERT_TRUE(stage_.Device().SendKey(0xB3, 65));
  ASSERT_TRUE(stage_.Window().WaitFor(StartsWith("paste"), &line));
  EXPECT_EQ(line, "paste " + HexOf("65"));

  // Velaport pastes the text while the service program presses Return: the two
  // programs race, so the window may see them in either order.
  const std::string text = "Crème brûlée à Zürich, señor; 北京欢迎你";
  ASSERT_TRUE(stage_.Device().TypeLine(text));
  const auto paste_or_return = [](const std::string& l) {
    return l.rfind("paste", 0) == 0 || l == "key_press Return";
  };
  bool pasted = false, returned = false;
  while (!(pasted && returned) && stage_.Window().WaitFor(paste_or_return, &line)) {
    if (line == "key_press Return") {
      returned = true;
    } else {
      pasted = true;
      EXPECT_EQ(line, "paste " + HexOf(text));
    }
  }
  EXPECT_TRUE(pasted && returned);
}

TEST_F(RemoteInputE2E, PacketsShorterThanFiveBytesAreIgnored) {
  const std::string click("\x00\x94\x00\x00\x00\x00", 6);
  for (size_t size = 1; size < 5; ++size)
    ASSERT_TRUE(stage_.Device().SendRaw(click.substr(0, size + 1)));
  ASSERT_TRUE(stage_.Device().PressKey(0x51));  // the marker takes the same road
  EXPECT_EQ(FirstButtonOr("key_press q"), "key_press q");
}

}  // namespace
