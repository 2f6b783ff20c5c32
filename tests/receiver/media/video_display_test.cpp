// The mirror display end to end inside one process, on a real desktop: the act
// 7 handler as the receiver registers it, the stream port 7994 fed over
// loopback with x264 pictures, the device's replies on 127.0.0.1:7991, and
// the screen read back pixel by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <random>
#include <thread>

#include "common/device_json.h"
#include "desktop_screen.h"
#include "display_probe_counter.h"
#include "fake_device.h"
#include "mirror_source.h"
#include "pattern_streamer.h"
#include "receiver/core/main_thread_dispatcher.h"
#include "receiver/core/notification_center.h"
#include "receiver/link/command_handler.h"
#include "receiver/media/media_handlers.h"
#include "receiver/media/vp_display_action_processor.h"
#include "receiver/media/vp_video_display.h"
#include "support/private_network.h"

namespace {

using namespace std::chrono_literals;

constexpr const char* kTitle = "Velaport_VideoShow";
constexpr auto kDeadline = 20s;

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit = kDeadline) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(50ms);
  }
  return condition();
}

// The test pattern on one stream connection until stopped.
bool StartStream(device::PatternStreamer& stream) {
  device::ChunkSender sender;
  return sender.Connect("127.0.0.1", VPDisplayActionProcessor::kMirrorStreamPort) == 0 &&
         stream.Start(std::move(sender), 640, 360, 30);
}

// What the receiver's entry does: the headless main-thread loop runs the
// stop requests of the mirror windows.
class MainThreadEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    // The product's ports 7991 and 7994, in a network of this test's own. A
    // namespace belongs to a thread and the threads it starts: enter it first.
    EnterPrivateNetwork();
    thread_ = std::thread([] { MainThreadDispatcher::Instance().Run(); });
  }
  void TearDown() override {
    MainThreadDispatcher::Instance().Quit();
    thread_.join();
  }

 private:
  std::thread thread_;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new MainThreadEnvironment);

class VideoDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a desktop (scripts/with-desktop.sh)";
    ASSERT_TRUE(screen_.IsOpen());
    // The window manager closes windows and lists them; on a busy machine it
    // may still be starting.
    ASSERT_TRUE(WaitFor([&] { return screen_.HasWindowManager(); }, 60s)) << "no window manager";
    RegisterMediaHandlers([this](int act, JsonCommandHandler* handler) {
      if (act == 7) handler_ = handler;
    });
    ASSERT_NE(handler_, nullptr);
    VPVideoDisplay::Instance().SetProbe(&probe_);
    ASSERT_TRUE(device_.Start("127.0.0.1", 7991));
  }
  void TearDown() override {
    if (!handler_) return;
    VPDisplayActionProcessor::Instance().StopMirroring();
    VPVideoDisplay::Instance().SetProbe(nullptr);
  }

  void Send(const std::string& json) {
    JsonCommand command;
    command.peer_ip = platform::LoopbackIpv4();
    ParseDeviceJson(json, &command.value);
    handler_->ProcessJsonCommand(command);
  }
  void ExpectReply(int cmd) {
    auto reply = device_.NextMessage(kDeadline);
    ASSERT_TRUE(reply) << "no reply to cmd " << cmd;
    EXPECT_EQ(*reply, MakeCommand(7, cmd));
  }
  void StartMirroring(int rotation) {
    Send(R"({"act":7,"cmd":1,"width":640,"height":360,"rotation":)" + std::to_string(rotation) +
         "}");
    ExpectReply(1);
  }

  // The one mirror window shown, its shape, and the four quadrant colours
  // (top left, top right, bottom left, bottom right) as the screen shows them.
  struct Seen {
    bool one_window = false;
    bool landscape = false;
    bool above = false;
    Patch quadrants[4] = {Patch::Other, Patch::Other, Patch::Other, Patch::Other};
  };
  Seen Look() {
    Seen seen;
    auto windows = screen_.ShownWindows(kTitle);
    seen.one_window = windows.size() == 1;
    if (!seen.one_window) return seen;
    const ScreenWindow& w = windows[0];
    seen.landscape = w.width > w.height;
    seen.above = screen_.KeepsAbove(w.id);
    const int xs[2] = {w.x + w.width / 4, w.x + 3 * w.width / 4};
    const int ys[2] = {w.y + w.height / 4, w.y + 3 * w.height / 4};
    for (int i = 0; i < 4; ++i) seen.quadrants[i] = screen_.PatchAt(xs[i % 2], ys[i / 2]);
    return seen;
  }
  // Waits until the screen shows the pattern in the window of that shape.
  void ExpectPicture(bool landscape, std::array<Patch, 4> quadrants) {
    Seen seen;
    bool shown = WaitFor([&] {
      seen = Look();
      return seen.one_window && seen.landscape == landscape && seen.above &&
             std::equal(quadrants.begin(), quadrants.end(), seen.quadrants);
    });
    EXPECT_TRUE(shown) << "one window: " << seen.one_window << ", landscape: " << seen.landscape
                       << ", above: " << seen.above
                       << ", quadrants: " << PatchName(seen.quadrants[0]) << " "
                       << PatchName(seen.quadrants[1]) << " " << PatchName(seen.quadrants[2]) << " "
                       << PatchName(seen.quadrants[3]);
  }
  void ExpectWindowsGone() {
    EXPECT_TRUE(WaitFor([&] { return screen_.ManagedWindowCount(kTitle) == 0; }));
  }

  DesktopScreen screen_;
  FakeDevice device_;
  DisplayProbeCounter probe_;
  JsonCommandHandler* handler_ = nullptr;
};

constexpr Patch R = Patch::Red, G = Patch::Green, B = Patch::Blue, W = Patch::White;

TEST_F(VideoDisplayTest, PictureFollowsTheDeviceRotation) {
  StartMirroring(0);
  device::PatternStreamer stream;
  ASSERT_TRUE(StartStream(stream));
  ExpectPicture(true, {R, G, B, W});
  auto shown = screen_.ShownWindows(kTitle);
  ASSERT_EQ(shown.size(), 1u);
  // The work area of a desktop without panels is the whole 1920 x 1080 screen.
  EXPECT_EQ(shown[0].width, 1910);
  EXPECT_EQ(shown[0].height, 1060);
  Send(R"({"act":7,"cmd":3,"rotation":1})");  // a quarter turn clockwise
  ExpectPicture(false, {B, R, W, G});
  Send(R"({"act":7,"cmd":3,"rotation":2})");  // upside down
  ExpectPicture(true, {W, B, G, R});
  Send(R"({"act":7,"cmd":3,"rotation":3})");  // a quarter turn counter-clockwise
  ExpectPicture(false, {G, W, R, B});
  Send(R"({"act":7,"cmd":3,"rotation":0})");
  ExpectPicture(true, {R, G, B, W});

  // cmd 1 while active: ignored, the display keeps its size.
  Send(R"({"act":7,"cmd":1,"width":1920,"height":1080,"rotation":1})");
  EXPECT_TRUE(device_.NothingPending());
  ExpectPicture(true, {R, G, B, W});

  stream.Stop();
  Send(R"({"act":7,"cmd":2})");
  ExpectReply(2);
  ExpectWindowsGone();
  Send(R"({"act":7,"cmd":2})");
  EXPECT_TRUE(device_.NothingPending());
}

TEST_F(VideoDisplayTest, PortraitStartShowsThePortraitWindow) {
  StartMirroring(1);
  std::vector<ScreenWindow> windows;
  ASSERT_TRUE(WaitFor([&] { return (windows = screen_.ShownWindows(kTitle)).size() == 1; }));
  // The desktop is 1920 x 1080: trunc(1020 / 1920 * 1080) by 1080 - 60.
  EXPECT_EQ(windows[0].width, 573);
  EXPECT_EQ(windows[0].height, 1020);
  EXPECT_TRUE(screen_.HasIcon(windows[0].id));
  // Until the first picture, the waiting picture fills the window: its middle
  // dot (teal) below the phone outline.
  const ScreenWindow& w = windows[0];
  uint32_t dot = 0;
  EXPECT_TRUE(WaitFor([&] {
    dot = screen_.PixelAt(w.x + w.width / 2, w.y + w.height * 275 / 360);
    return ((dot >> 16) & 0xFF) < 90 && ((dot >> 8) & 0xFF) > 150 && (dot & 0xFF) > 130;
  })) << std::hex
      << dot;
  device::PatternStreamer stream;
  ASSERT_TRUE(StartStream(stream));
  ExpectPicture(false, {B, R, W, G});
}

TEST_F(VideoDisplayTest, ClosingEitherWindowStopsMirroringAndTellsTheDevice) {
  for (int rotation : {0, 3}) {  // the landscape window, then the portrait one
    StartMirroring(rotation);
    std::vector<ScreenWindow> windows;
    ASSERT_TRUE(WaitFor([&] { return (windows = screen_.ShownWindows(kTitle)).size() == 1; }));
    EXPECT_EQ(windows[0].width > windows[0].height, rotation == 0);
    screen_.RequestClose(windows[0].id);
    ExpectReply(2);
    ExpectWindowsGone();
    EXPECT_FALSE(VPDisplayActionProcessor::Instance().IsMirroringActive());
  }
}

TEST_F(VideoDisplayTest, RemovalOfAPairedDeviceStopsMirroring) {
  StartMirroring(0);
  const std::string label = "phone(127.0.0.1)";
  NotificationCenter::Instance().Post(kClientDisconnectedNotification, &label);
  ExpectReply(2);
  ExpectWindowsGone();
}

TEST_F(VideoDisplayTest, TwoConnectionsFeedOneDisplay) {
  StartMirroring(0);
  device::TestPatternEncoder encoder;
  ASSERT_TRUE(encoder.Open(640, 360, 30));
  device::ChunkSender a, b;
  ASSERT_EQ(a.Connect("127.0.0.1", 7994), 0);
  ASSERT_EQ(b.Connect("127.0.0.1", 7994), 0);
  // A connection that closes after 2 of the 4 length bytes ends quietly.
  device::ChunkSender half;
  ASSERT_EQ(half.Connect("127.0.0.1", 7994), 0);
  ASSERT_TRUE(half.SendRaw("\0\0", 2));
  half.Close();
  const int presented = probe_.Presented();
  for (int i = 0; i < 10; ++i) {
    device::Chunk chunk;
    ASSERT_TRUE(encoder.EncodeNext(&chunk));
    ASSERT_TRUE((i % 2 ? b : a).Send(chunk));
    // One at a time, so that the pictures reach the decoder in order, and each
    // shown before the next arrives: the display shows only the newest of
    // several waiting pictures.
    ASSERT_TRUE(WaitFor([&] { return probe_.Presented() >= presented + i + 1; }));
  }
  EXPECT_TRUE(VPDisplayActionProcessor::Instance().IsMirroringActive());
  ExpectPicture(true, {R, G, B, W});
}

TEST_F(VideoDisplayTest, DamagedStreamsNeverStopTheDisplay) {
  StartMirroring(0);
  std::mt19937 random(11);
  device::ChunkSender sender;
  ASSERT_EQ(sender.Connect("127.0.0.1", 7994), 0);
  device::TestPatternEncoder first;
  ASSERT_TRUE(first.Open(640, 360, 30));
  for (int i = 0; i < 5; ++i) {
    device::Chunk chunk(1 + random() % 20000);
    for (auto& byte : chunk) byte = static_cast<uint8_t>(random());
    ASSERT_TRUE(sender.Send(chunk));
    device::Chunk good;
    ASSERT_TRUE(first.EncodeNext(&good));
    good.resize(good.size() / 2);  // a truncated access unit
    ASSERT_TRUE(sender.Send(good));
    ASSERT_TRUE(sender.Send({}));
  }
  // A new picture size in the middle of the stream, larger than announced.
  device::TestPatternEncoder second;
  ASSERT_TRUE(second.Open(1280, 720, 30));
  for (int i = 0; i < 10; ++i) {
    device::Chunk chunk;
    ASSERT_TRUE(second.EncodeNext(&chunk));
    ASSERT_TRUE(sender.Send(chunk));
  }
  ExpectPicture(true, {R, G, B, W});
  // And a smaller one.
  device::TestPatternEncoder third;
  ASSERT_TRUE(third.Open(320, 240, 30));
  const int presented = probe_.Presented();
  for (int i = 0; i < 5; ++i) {
    device::Chunk chunk;
    ASSERT_TRUE(third.EncodeNext(&chunk));
    ASSERT_TRUE(sender.Send(chunk));
    // Each shown before the next is sent, as a newer waiting picture would
    // take its place.
    EXPECT_TRUE(WaitFor([&] { return probe_.Presented() >= presented + i + 1; }));
  }
  ExpectPicture(true, {R, G, B, W});
  Send(R"({"act":7,"cmd":2})");
  ExpectReply(2);
}

}  // namespace
