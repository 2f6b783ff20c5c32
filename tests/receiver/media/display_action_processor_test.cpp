#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#include "common/device_json.h"
#include "platform/socket.h"
#include "receiver/media/vp_display_action_processor.h"
#include "receiver/media/vp_video_display.h"

namespace {

using namespace std::chrono_literals;

constexpr auto kDeadline = 10s;

struct Reply {
  std::string json;
  std::string address;
};

class FakeSender : public JsonReplySender {
 public:
  int SendReply(const std::string& json, const std::string& address) override {
    std::lock_guard lock(lock_);
    replies_.push_back({json, address});
    return 0;
  }
  std::vector<Reply> Replies() {
    std::lock_guard lock(lock_);
    return replies_;
  }

 private:
  std::mutex lock_;
  std::vector<Reply> replies_;
};

// Records what the processor asks of the display; its stop aborts the sink,
// as the real display's stop aborts its chunk queue.
class FakeDisplay : public MirrorDisplay {
 public:
  explicit FakeDisplay(ChunkQueue* queue) : queue_(queue) {}
  void SetConfiguredSize(int32_t width, int32_t height) override {
    width_ = width;
    height_ = height;
  }
  void SetRotation(int32_t rotation) override { rotation_ = rotation; }
  bool Start() override {
    ++starts_;
    if (on_start_) on_start_();
    if (start_result_) queue_->Clear();
    return start_result_;
  }
  void Stop() override {
    ++stops_;
    queue_->Abort();
  }

  ChunkQueue* queue_;
  int32_t width_ = 0, height_ = 0, rotation_ = -1;
  int starts_ = 0, stops_ = 0;
  bool start_result_ = true;
  std::function<void()> on_start_;
};

// The chunk queue as the sink, with a capacity the test chooses.
class QueueSink : public ChunkSink {
 public:
  explicit QueueSink(size_t capacity) : queue_(capacity) {}
  int PushChunk(std::unique_ptr<EncodedChunk> chunk) override {
    int pushed = queue_.Push(std::move(chunk));
    std::lock_guard lock(lock_);
    ++attempts_;
    changed_.notify_all();
    return pushed;
  }
  bool WaitAttempts(int n) {
    std::unique_lock lock(lock_);
    return changed_.wait_for(lock, kDeadline, [&] { return attempts_ >= n; });
  }
  std::unique_ptr<EncodedChunk> Take() {
    std::unique_ptr<EncodedChunk> chunk;
    queue_.PopFor(chunk, 10000);
    return chunk;
  }

  ChunkQueue queue_;

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  int attempts_ = 0;
};

JsonCommand Command(const std::string& text, const char* peer = "127.0.0.1") {
  JsonCommand command;
  platform::TextToIpv4(peer, &command.peer_ip);
  ParseDeviceJson(text, &command.value);
  return command;
}

std::string ReplyText(int cmd) { return DeviceJsonText(MakeCommand(7, cmd)); }

platform::Socket ConnectStream(uint16_t port) {
  platform::Socket socket = platform::Socket::Tcp();
  EXPECT_EQ(socket.Connect(platform::LoopbackIpv4(), port, 5000), 0);
  return socket;
}

void SendChunk(platform::Socket& socket, const std::string& bytes) {
  const uint32_t n = static_cast<uint32_t>(bytes.size());
  const uint8_t prefix[4] = {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16),
                             static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)};
  ASSERT_TRUE(socket.SendAll(prefix, 4));
  if (n) {
    ASSERT_TRUE(socket.SendAll(bytes.data(), bytes.size()));
  }
}

std::string Bytes(const EncodedChunk& chunk) {
  return std::string(reinterpret_cast<const char*>(chunk.data.get()), chunk.length);
}

class DisplayActionProcessorTest : public ::testing::Test {
 protected:
  QueueSink sink_{500};
  FakeDisplay display_{&sink_.queue_};
  FakeSender sender_;
  VPDisplayActionProcessor processor_{display_, sink_, sender_, 0};

  void StartMirroring() {
    processor_.ProcessJsonCommand(
        Command(R"({"act":7,"cmd":1,"width":720,"height":1280,"rotation":1})"));
    ASSERT_TRUE(processor_.IsMirroringActive());
  }
};

TEST_F(DisplayActionProcessorTest, StartRotateStopAnswerTheLastSender) {
  processor_.ProcessJsonCommand(
      Command(R"({"act":7,"cmd":1,"width":720,"height":1280,"rotation":1})", "127.0.0.5"));
  EXPECT_TRUE(processor_.IsMirroringActive());
  EXPECT_EQ(display_.width_, 720);
  EXPECT_EQ(display_.height_, 1280);
  EXPECT_EQ(display_.rotation_, 1);
  processor_.ProcessJsonCommand(Command(R"({"act":7,"cmd":3,"rotation":7})", "127.0.0.6"));
  EXPECT_EQ(display_.rotation_, 7);
  processor_.ProcessJsonCommand(Command(R"({"act":7,"cmd":2})", "127.0.0.7"));
  EXPECT_FALSE(processor_.IsMirroringActive());
  EXPECT_EQ(display_.stops_, 1);
  auto replies = sender_.Replies();
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(replies[0].json, ReplyText(1));
  EXPECT_EQ(replies[0].address, "127.0.0.5");
  EXPECT_EQ(replies[1].json, ReplyText(2));
  EXPECT_EQ(replies[1].address, "127.0.0.7");
}

TEST_F(DisplayActionProcessorTest, StartWhileActiveAndStopWhileInactiveDoNothing) {
  processor_.ProcessJsonCommand(Command(R"({"act":7,"cmd":2})"));
  EXPECT_EQ(display_.stops_, 0);
  StartMirroring();
  processor_.ProcessJsonCommand(
      Command(R"({"act":7,"cmd":1,"width":1920,"height":1080,"rotation":0})"));
  EXPECT_EQ(display_.starts_, 1);
  EXPECT_EQ(display_.width_, 720);
  processor_.ProcessJsonCommand(Command(R"({"act":7,"cmd":2})"));
  processor_.ProcessJsonCommand(Command(R"({"act":7,"cmd":2})"));
  processor_.ProcessJsonCommand(Command(R"({"act":7,"cmd":9})"));
  auto replies = sender_.Replies();
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(replies[0].json, ReplyText(1));
  EXPECT_EQ(replies[1].json, ReplyText(2));
}

TEST_F(DisplayActionProcessorTest, FailedStartSendsNothingAndClosesTheStreamPort) {
  display_.start_result_ = false;
  uint16_t port = 0;
  display_.on_start_ = [&] { port = processor_.StreamPort(); };
  processor_.ProcessJsonCommand(Command(R"({"act":7,"cmd":1,"width":64,"height":64})"));
  ASSERT_NE(port, 0);
  EXPECT_FALSE(processor_.IsMirroringActive());
  EXPECT_TRUE(sender_.Replies().empty());
  platform::Socket probe = platform::Socket::Tcp();
  EXPECT_EQ(probe.Connect(platform::LoopbackIpv4(), port, 5000), platform::kSockErrConnRefused);
  // Not stuck in the active state: the next cmd 1 tries again.
  display_.start_result_ = true;
  StartMirroring();
  EXPECT_EQ(display_.starts_, 2);
}

TEST_F(DisplayActionProcessorTest, ChunksFromTwoConnectionsReachTheSinkInOrder) {
  StartMirroring();
  platform::Socket a = ConnectStream(processor_.StreamPort());
  platform::Socket b = ConnectStream(processor_.StreamPort());
  SendChunk(a, "first");
  ASSERT_TRUE(sink_.WaitAttempts(1));
  SendChunk(b, "second");
  ASSERT_TRUE(sink_.WaitAttempts(2));
  SendChunk(a, "");  // an empty chunk is still a chunk
  ASSERT_TRUE(sink_.WaitAttempts(3));
  EXPECT_EQ(Bytes(*sink_.Take()), "first");
  EXPECT_EQ(Bytes(*sink_.Take()), "second");
  auto empty = sink_.Take();
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->length, 0u);
}

TEST_F(DisplayActionProcessorTest, BrokenConnectionsEndQuietlyAndMirroringStays) {
  StartMirroring();
  {
    platform::Socket half = ConnectStream(processor_.StreamPort());
    const uint8_t two_of_four[2] = {0, 0};
    ASSERT_TRUE(half.SendAll(two_of_four, 2));
  }
  {
    // A chunk cut short: its length promises more than arrives.
    platform::Socket cut = ConnectStream(processor_.StreamPort());
    const uint8_t prefix[4] = {0, 0, 0, 100};
    ASSERT_TRUE(cut.SendAll(prefix, 4));
    ASSERT_TRUE(cut.SendAll("abc", 3));
  }
  platform::Socket good = ConnectStream(processor_.StreamPort());
  SendChunk(good, "after");
  ASSERT_TRUE(sink_.WaitAttempts(1));
  EXPECT_EQ(Bytes(*sink_.Take()), "after");
  EXPECT_TRUE(processor_.IsMirroringActive());
  EXPECT_EQ(sink_.queue_.Size(), 0u);
}

TEST_F(DisplayActionProcessorTest, OversizedChunkClosesItsConnection) {
  StartMirroring();
  platform::Socket socket = ConnectStream(processor_.StreamPort());
  const uint32_t n = RecorderWorkItem::kMaxChunkLength + 1;
  const uint8_t prefix[4] = {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16),
                             static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)};
  ASSERT_TRUE(socket.SendAll(prefix, 4));
  socket.SetReceiveTimeout(10000);
  char byte;
  EXPECT_EQ(socket.Recv(&byte, 1), 0) << "the receiver should close the connection";
  EXPECT_EQ(sink_.queue_.Size(), 0u);
  // A chunk of exactly the limit is still accepted.
  platform::Socket big = ConnectStream(processor_.StreamPort());
  SendChunk(big, std::string(RecorderWorkItem::kMaxChunkLength, 'x'));
  ASSERT_TRUE(sink_.WaitAttempts(1));
  EXPECT_EQ(sink_.Take()->length, RecorderWorkItem::kMaxChunkLength);
}

TEST(DisplayActionProcessorStop, ReaderBlockedOnAFullQueueIsReleased) {
  QueueSink sink(1);
  FakeDisplay display(&sink.queue_);
  FakeSender sender;
  VPDisplayActionProcessor processor(display, sink, sender, 0);
  processor.ProcessJsonCommand(Command(R"({"act":7,"cmd":1,"width":64,"height":64})"));
  platform::Socket socket = ConnectStream(processor.StreamPort());
  SendChunk(socket, "fills the queue");
  SendChunk(socket, "waits for room");
  ASSERT_TRUE(sink.WaitAttempts(1));
  // The second push is waiting now (or about to): stopping must not hang on it.
  auto stopped = std::async(std::launch::async,
                            [&] { processor.ProcessJsonCommand(Command(R"({"act":7,"cmd":2})")); });
  ASSERT_EQ(stopped.wait_for(kDeadline), std::future_status::ready);
  ASSERT_TRUE(sink.WaitAttempts(2));
  EXPECT_FALSE(processor.IsMirroringActive());
  EXPECT_EQ(sender.Replies().back().json, ReplyText(2));
  // The connection was closed by the stop.
  socket.SetReceiveTimeout(10000);
  char byte;
  EXPECT_EQ(socket.Recv(&byte, 1), 0);
}

// The real display, refusing for want of a known display adapter.
TEST(DisplayAdapterRefusal, NoKnownAdapterWarnsAndAnswersNothing) {
  VPVideoDisplay& display = VPVideoDisplay::Instance();
  std::vector<std::string> warnings;
  display.SetAdapterSource([] {
    platform::DisplayAdapter emulated;
    emulated.description = "QEMU standard VGA display adapter (bochs-drm)";
    return std::vector<platform::DisplayAdapter>{emulated};
  });
  display.SetDriverWarning([&](const std::string& key) { warnings.push_back(key); });
  FakeSender sender;
  VPDisplayActionProcessor processor(display, display, sender, 0);
  for (int attempt = 1; attempt <= 2; ++attempt) {
    processor.ProcessJsonCommand(Command(R"({"act":7,"cmd":1,"width":640,"height":360})"));
    EXPECT_FALSE(processor.IsMirroringActive());
    EXPECT_FALSE(display.IsRunning());
    ASSERT_EQ(warnings.size(), static_cast<size_t>(attempt));
    EXPECT_EQ(warnings.back(), "no_install_video_driver");
  }
  EXPECT_TRUE(sender.Replies().empty());
  display.SetAdapterSource([] { return platform::ListDisplayAdapters(); });
}

TEST(VideoDisplayRotation, DeviceRotationsMapToTheFourFlags) {
  VPVideoDisplay& display = VPVideoDisplay::Instance();
  const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {7, 3}, {-1, 3}};
  for (auto [given, expected] : cases) {
    display.SetRotation(given);
    EXPECT_EQ(display.Rotation(), expected) << given;
  }
  display.SetRotation(0);
}

}  // namespace
