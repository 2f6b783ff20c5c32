// Screen mirroring through the real programs: Velaport runs in the lab's
// receiver namespace with the test's desktop, the emulated device pairs from
// a namespace of its own, sends act 7 commands and streams x264 pictures to
// port 7994, and the test reads the screen back pixel by pixel. Needs a
// desktop (scripts/with-desktop.sh) and root.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <random>
#include <optional>
#include <string>
#include <utility>
#include <vector>
#include <thread>

#include "common/device_json.h"
#include "desktop_screen.h"
#include "lock_file.h"
#include "log_collector.h"
#include "mirror_source.h"
#include "pattern_streamer.h"
#include "receiver_lab.h"

namespace {

using namespace std::chrono_literals;

constexpr const char* kTitle = "Velaport_VideoShow";
constexpr uint32_t kAnswerMs = 10000;
constexpr uint32_t kStartMs = 20000;
constexpr auto kScreenDeadline = 20s;
constexpr int kWidth = 640, kHeight = 360;
constexpr int kLockStateReply = 27;

bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds limit = kScreenDeadline) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(50ms);
  }
  return condition();
}

// Picture `index` of the test pattern alone, as a key picture with its
// parameter sets, so that it decodes whatever came before it.
device::Chunk KeyPicture(int width, int height, int index) {
  device::TestPatternEncoder encoder;
  device::Chunk chunk;
  if (!encoder.Open(width, height, 30)) return chunk;
  for (int i = 0; i < index; ++i) encoder.EncodeNext(&chunk);
  encoder.ForceKeyFrame();
  encoder.EncodeNext(&chunk);
  return chunk;
}

constexpr Patch R = Patch::Red, G = Patch::Green, B = Patch::Blue, W = Patch::White;

// The quadrants (top left, top right, bottom left, bottom right) the window
// shows for each device rotation: the picture turned a quarter clockwise for
// 1, upside down for 2, a quarter counter-clockwise for 3.
constexpr std::array<std::array<Patch, 4>, 4> kQuadrants = {{
    {R, G, B, W},
    {B, R, W, G},
    {W, B, G, R},
    {G, W, R, B},
}};

// One picture of the pattern, by its size and number: the bar tells it apart.
struct Picture {
  int width, height, index;
};

std::string Names(const std::vector<Patch>& patches) {
  std::string text;
  for (Patch p : patches) text += std::string(PatchName(p)) + " ";
  return text;
}

class MirrorE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a desktop (scripts/with-desktop.sh)";
    ASSERT_TRUE(lab_.IsReady()) << "network namespaces need root";
    ASSERT_TRUE(screen_.IsOpen());
    ASSERT_TRUE(WaitFor([&] { return screen_.HasWindowManager(); }, 60s)) << "no window manager";
    // Windows of a receiver that has just ended may still be listed.
    ASSERT_TRUE(WaitFor([&] { return screen_.ManagedWindowCount(kTitle) == 0; }));
    // The helper program is left out: its guard is held, so Velaport starts none.
    service_guard_ = std::make_unique<HeldLockFile>(lab_.LockPath("VPService"));
    ASSERT_TRUE(service_guard_->IsHeld());
    ASSERT_TRUE(log_.Start(lab_.ReceiverNs()));
    ASSERT_TRUE(lab_.StartReceiverOnDesktop(receiver_));
    device_ = lab_.StartDevice(1);
    ASSERT_TRUE(device_);
    ASSERT_TRUE(WaitUntilDiscovered(*device_, ReceiverLab::ReceiverAddress(1), kStartMs));
    ASSERT_EQ(device_->PairAndWait("", kAnswerMs), "1");
    started_ = true;
  }

  void TearDown() override {
    if (!started_) return;
    EXPECT_TRUE(receiver_.IsRunning()) << "Velaport ended during the test";
    if (HasFailure()) {
      for (const std::string& line : log_.Lines()) std::cerr << "log: " << line << "\n";
    }
    device_->Stop();
    // Velaport ends through its ordinary shutdown, mirroring or not.
    ASSERT_TRUE(receiver_.Signal(SIGTERM));
    int code = -1;
    EXPECT_TRUE(receiver_.Wait(10000, &code)) << "Velaport did not end on SIGTERM";
    EXPECT_EQ(code, 0);
  }

  // Waits for the device to receive {"act":7,"cmd":cmd} (exactly that) on its
  // TCP port from the receiver, among the messages from index `from` on.
  void ExpectReply(int cmd, size_t from) {
    auto reply = device_->WaitFor(
        [](const ReceivedMessage& m) { return JsonInt(m.json, "act") == 7; }, kAnswerMs, from);
    ASSERT_TRUE(reply) << "no act 7 reply, cmd " << cmd << " expected";
    EXPECT_EQ(reply->channel, DeviceChannel::Tcp);
    EXPECT_EQ(platform::Ipv4ToText(reply->from_ip), ReceiverLab::ReceiverAddress(1));
    EXPECT_EQ(reply->json, MakeCommand(7, cmd)) << reply->Describe();
  }

  void StartMirroring(int rotation) {
    const size_t mark = device_->MessageCount();
    ASSERT_EQ(device_->StartMirroring(kWidth, kHeight, rotation), 0);
    ExpectReply(1, mark);
  }

  // The act 7 messages the device received from index `from` on, once the
  // receiver has handled the `count`-th copy of `sent`. The receiver logs a
  // command after its handler ran and sent any answer; a request made after
  // that line is answered on a later connection, and the device records in
  // the order of connections.
  int Act7AnswersAfterHandling(const Json::Value& sent, size_t count, size_t from) {
    const std::string line = "Process Json Packet from " + ReceiverLab::DeviceAddress(1) + ": " +
                             DeviceJsonText(sent);
    EXPECT_TRUE(log_.WaitForLines(line, count, kAnswerMs)) << "not handled: " << line;
    const size_t mark = device_->MessageCount();
    EXPECT_EQ(device_->RequestLockState(), 0);
    size_t barrier = 0;
    auto is_barrier = [](const ReceivedMessage& m) { return m.IsCommand(1, kLockStateReply); };
    EXPECT_TRUE(device_->WaitFor(is_barrier, kAnswerMs, mark, &barrier)) << "no lock state";
    int act7 = 0;
    auto messages = device_->Messages();
    for (size_t i = from; i < barrier && i < messages.size(); ++i)
      act7 += JsonInt(messages[i].json, "act") == 7;
    return act7;
  }

  // A stream connection from the device's namespace.
  device::ChunkSender Connect() {
    device::ChunkSender sender;
    EXPECT_EQ(device_->ConnectMirrorStream(&sender), 0) << "stream port not reachable";
    return sender;
  }

  // The pattern at 15 pictures a second on a connection of its own.
  void StartStream(device::PatternStreamer& stream) {
    device::ChunkSender sender;
    ASSERT_EQ(device_->ConnectMirrorStream(&sender), 0);
    ASSERT_TRUE(stream.Start(std::move(sender), kWidth, kHeight, 15));
  }

  // The shown mirror window, once there is exactly one.
  std::optional<ScreenWindow> ShownWindow() {
    auto windows = screen_.ShownWindows(kTitle);
    if (windows.size() != 1) return std::nullopt;
    return windows[0];
  }

  // Waits until the one mirror window has the shape of the rotation and shows
  // the pattern turned for it: four patches in each quadrant, clear of the
  // bar's band. With `picture`, the bar must be that picture's (rotation 0).
  void ExpectPattern(int rotation, std::optional<Picture> picture = std::nullopt) {
    std::string seen = "no window";
    const bool shown = WaitFor([&] {
      auto window = ShownWindow();
      if (!window) return (seen = "not one window"), false;
      const ScreenWindow& w = *window;
      if ((w.width > w.height) != (rotation % 2 == 0)) return (seen = "wrong shape"), false;
      ScreenShot shot = screen_.Grab(w);
      if (shot.IsEmpty()) return (seen = "screen not readable"), false;
      auto at = [&](double fx, double fy) {
        return shot.PatchAt(w.x + static_cast<int>(fx * w.width),
                            w.y + static_cast<int>(fy * w.height));
      };
      std::vector<Patch> patches, expected;
      for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
          patches.push_back(at((2 * column + 1) / 8.0, (2 * row + 1) / 8.0));
          expected.push_back(kQuadrants[rotation][(column / 2) + 2 * (row / 2)]);
        }
      }
      if (picture) {
        // Inside the bar, and half the picture away from it on the same row.
        const device::PatternBar bar =
            device::TestPatternBar(picture->width, picture->height, picture->index);
        const double fx = (bar.left + bar.right) / 2.0 / picture->width;
        const double fy = (bar.top + (bar.bottom - bar.top) / 4.0) / picture->height;
        const double away = fx < 0.5 ? fx + 0.5 : fx - 0.5;
        patches.push_back(at(fx, fy));
        expected.push_back(Patch::Black);
        patches.push_back(at(away, fy));
        expected.push_back(away < 0.5 ? R : G);
      }
      seen = Names(patches);
      return patches == expected;
    });
    EXPECT_TRUE(shown) << "rotation " << rotation << ", seen: " << seen;
  }

  void ExpectWindowsGone() {
    EXPECT_TRUE(WaitFor([&] { return screen_.ManagedWindowCount(kTitle) == 0; }))
        << "mirror windows still there";
  }

  ReceiverLab lab_{1};
  DesktopScreen screen_;
  LogCollector log_;
  std::unique_ptr<HeldLockFile> service_guard_;
  NamespaceProcess receiver_;
  std::unique_ptr<DeviceEmulator> device_;
  bool started_ = false;
};

TEST_F(MirrorE2E, StartShowsThePatternAndStopClosesTheWindows) {
  StartMirroring(0);
  device::ChunkSender stream = Connect();
  ASSERT_TRUE(stream.Send(KeyPicture(kWidth, kHeight, 0)));
  ExpectPattern(0, Picture{kWidth, kHeight, 0});

  // cmd 1 while active: no answer, and the next picture is shown as before,
  // not turned for the new rotation.
  size_t mark = device_->MessageCount();
  ASSERT_EQ(device_->StartMirroring(1280, 720, 1), 0);
  Json::Value again = MakeCommand(7, 1);
  again["height"] = 720;
  again["rotation"] = 1;
  again["width"] = 1280;
  EXPECT_EQ(Act7AnswersAfterHandling(again, 1, mark), 0);
  ASSERT_TRUE(stream.Send(KeyPicture(kWidth, kHeight, 34)));
  ExpectPattern(0, Picture{kWidth, kHeight, 34});

  stream.Close();
  mark = device_->MessageCount();
  ASSERT_EQ(device_->StopMirroring(), 0);
  ExpectReply(2, mark);
  ExpectWindowsGone();

  // A second cmd 2 finds mirroring inactive and sends nothing.
  mark = device_->MessageCount();
  ASSERT_EQ(device_->StopMirroring(), 0);
  EXPECT_EQ(Act7AnswersAfterHandling(MakeCommand(7, 2), 2, mark), 0);
}

TEST_F(MirrorE2E, RotationsTurnThePictureTheRightWay) {
  StartMirroring(0);
  device::PatternStreamer stream;
  ASSERT_NO_FATAL_FAILURE(StartStream(stream));
  ExpectPattern(0);
  // Sent rotation and the one shown: any value but 0, 1 and 2 reads as 3.
  for (auto [sent, shown] : {std::pair{1, 1}, {2, 2}, {3, 3}, {0, 0}, {7, 3}}) {
    ASSERT_EQ(device_->RotateMirror(sent), 0);
    ExpectPattern(shown);
  }
}

TEST_F(MirrorE2E, ClosingTheWindowStopsMirroringAndTellsTheDevice) {
  for (int rotation : {0, 3}) {  // the landscape window, then the portrait one
    SCOPED_TRACE("rotation " + std::to_string(rotation));
    // Each start is answered: the close left mirroring inactive.
    StartMirroring(rotation);
    device::PatternStreamer stream;
    ASSERT_NO_FATAL_FAILURE(StartStream(stream));
    ExpectPattern(rotation);
    auto window = ShownWindow();
    ASSERT_TRUE(window);
    const size_t mark = device_->MessageCount();
    screen_.RequestClose(window->id);  // the window manager sends WM_DELETE_WINDOW
    ExpectReply(2, mark);
    ExpectWindowsGone();
    // The stop also ends the open stream connection.
    EXPECT_TRUE(WaitFor([&] { return !stream.IsConnected(); }));
  }
}

TEST_F(MirrorE2E, RemovalOfThePairedDeviceStopsMirroring) {
  StartMirroring(0);
  device::PatternStreamer stream;
  ASSERT_NO_FATAL_FAILURE(StartStream(stream));
  ExpectPattern(0);
  const size_t mark = device_->MessageCount();
  ASSERT_EQ(device_->Disconnect(), 0);
  // No longer paired, the device still hears that mirroring ended.
  ExpectReply(2, mark);
  ExpectWindowsGone();
}

TEST_F(MirrorE2E, ConnectionsComeAndGoWhileTheDisplayStays) {
  StartMirroring(0);
  auto first = Connect();
  auto second = Connect();
  ASSERT_TRUE(first.Send(KeyPicture(kWidth, kHeight, 0)));
  ExpectPattern(0, Picture{kWidth, kHeight, 0});

  // A connection that ends after 2 of the 4 length bytes.
  auto broken = Connect();
  ASSERT_TRUE(broken.SendRaw("\0\0", 2));
  broken.Close();

  // Both open connections feed the display, in turn.
  ASSERT_TRUE(second.Send(KeyPicture(kWidth, kHeight, 34)));
  ExpectPattern(0, Picture{kWidth, kHeight, 34});
  ASSERT_TRUE(first.Send(KeyPicture(kWidth, kHeight, 68)));
  ExpectPattern(0, Picture{kWidth, kHeight, 68});

  // Mirroring stays until cmd 2, which ends with both connections open.
  const size_t mark = device_->MessageCount();
  ASSERT_EQ(device_->StopMirroring(), 0);
  ExpectReply(2, mark);
  ExpectWindowsGone();
}

TEST_F(MirrorE2E, DamagedStreamsNeitherCrashNorStallTheDisplay) {
  StartMirroring(0);
  auto stream = Connect();
  ASSERT_TRUE(stream.Send(KeyPicture(kWidth, kHeight, 0)));
  ExpectPattern(0, Picture{kWidth, kHeight, 0});

  std::mt19937 random(7);
  // Bytes with no framing at all; the receiver may end the connection at
  // once (a length above its limit), so the send may fail.
  {
    auto noise = Connect();
    std::vector<uint8_t> bytes(64 * 1024);
    for (auto& byte : bytes) byte = static_cast<uint8_t>(random());
    noise.SendRaw(bytes.data(), bytes.size());
  }
  // Framed chunks of random bytes, access units cut short, empty chunks.
  device::TestPatternEncoder encoder;
  ASSERT_TRUE(encoder.Open(kWidth, kHeight, 30));
  for (int i = 0; i < 5; ++i) {
    device::Chunk junk(1 + random() % 20000);
    for (auto& byte : junk) byte = static_cast<uint8_t>(random());
    ASSERT_TRUE(stream.Send(junk));
    device::Chunk cut;
    ASSERT_TRUE(encoder.EncodeNext(&cut));
    cut.resize(cut.size() / 2);
    ASSERT_TRUE(stream.Send(cut));
    ASSERT_TRUE(stream.Send({}));
  }
  // The next good key picture shows again.
  ASSERT_TRUE(stream.Send(KeyPicture(kWidth, kHeight, 34)));
  ExpectPattern(0, Picture{kWidth, kHeight, 34});

  // The device changes its picture size in the middle of the stream: larger
  // than announced, then smaller.
  for (const Picture& last : {Picture{1280, 720, 9}, Picture{320, 240, 20}}) {
    device::TestPatternEncoder resized;
    ASSERT_TRUE(resized.Open(last.width, last.height, 30));
    for (int i = 0; i <= last.index; ++i) {
      device::Chunk chunk;
      ASSERT_TRUE(resized.EncodeNext(&chunk));
      ASSERT_TRUE(stream.Send(chunk));
    }
    ExpectPattern(0, last);
  }

  const size_t mark = device_->MessageCount();
  ASSERT_EQ(device_->StopMirroring(), 0);
  ExpectReply(2, mark);
  ExpectWindowsGone();
}

}  // namespace
