#include "receiver/link/file_port_listener.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/socket.h>

#include "link_fakes.h"
#include "receiver/link/file_header_reader.h"
#include "receiver/link/file_transfer_role.h"

namespace {

std::string Header(const std::string& json) {
  std::string header = {static_cast<char>(json.size() >> 8), static_cast<char>(json.size() & 0xFF)};
  return header + json;
}

// Hands out the bytes in pieces of at most step bytes.
class PiecewiseSource : public ByteSource {
 public:
  PiecewiseSource(std::string bytes, size_t step) : bytes_(std::move(bytes)), step_(step) {}
  int Read(void* buffer, size_t size) override {
    const size_t n = std::min({size, step_, bytes_.size() - at_});
    std::memcpy(buffer, bytes_.data() + at_, n);
    at_ += n;
    return static_cast<int>(n);
  }

 private:
  std::string bytes_;
  size_t step_;
  size_t at_ = 0;
};

struct HeaderCase {
  const char* name;
  std::string bytes;
  size_t step;
  int result;
  int cmd;
  friend void PrintTo(const HeaderCase& c, std::ostream* os) { *os << c.name; }
};

class FileHeaderTest : public testing::TestWithParam<HeaderCase> {};

TEST_P(FileHeaderTest, ReadsLengthThenJson) {
  PiecewiseSource source(GetParam().bytes, GetParam().step);
  FileHeader header;
  EXPECT_EQ(ReadFileHeader(source, &header), GetParam().result);
  if (GetParam().result == 0) {
    EXPECT_EQ(header.cmd, GetParam().cmd);
    EXPECT_EQ(Header(header.text), GetParam().bytes.substr(0, header.text.size() + 2));
  }
}

const std::string kUpload = R"({"act":5,"cmd":1,"filename":"a.txt","filesize":0})";

INSTANTIATE_TEST_SUITE_P(
    Headers, FileHeaderTest,
    testing::Values(HeaderCase{"WholeHeader", Header(kUpload) + "file bytes", 4096, 0, 1},
                    HeaderCase{"ByteByByte", Header(kUpload), 1, 0, 1},
                    HeaderCase{"Download", Header(R"({"cmd":5})"), 3, 0, 5},
                    HeaderCase{"NotJson", Header("cmd 1"), 100, 0, 0},
                    HeaderCase{"EmptyHeader", Header(""), 100, 0, 0},
                    HeaderCase{"OneLengthByte", std::string(1, '\0'), 100, -1, 0},
                    HeaderCase{"ShortJson", Header(kUpload).substr(0, 20), 7, -1, 0}),
    [](const testing::TestParamInfo<HeaderCase>& info) { return std::string(info.param.name); });

class RecordingUpload : public FileUploadSink {
 public:
  RecordingUpload(int64_t size, std::vector<std::string>* chunks) : size_(size), chunks_(chunks) {}
  void OnChunk(const uint8_t* data, size_t size) override {
    chunks_->emplace_back(reinterpret_cast<const char*>(data), size);
  }
  int64_t AnnouncedSize() const override { return size_; }

 private:
  int64_t size_;
  std::vector<std::string>* chunks_;
};

class RecordingRole : public FileTransferRole {
 public:
  std::unique_ptr<FileUploadSink> BeginUpload(const std::string& json, uint32_t peer_ip) override {
    Json::Value value;
    ParseDeviceJson(json, &value);
    upload_peer = platform::Ipv4ToText(peer_ip);
    return std::make_unique<RecordingUpload>(JsonInt(value, "filesize"), &chunks);
  }
  void ServeDownload(const std::string& json, platform::Socket& connection,
                     const platform::SocketAddress& peer) override {
    download_json = json;
    download_peer = platform::Ipv4ToText(peer.ip);
    connection.SendAll("file content", 12);
  }

  std::vector<std::string> chunks;
  std::string upload_peer, download_json, download_peer;
};

class FilePortTest : public testing::Test {
 protected:
  void StartWith(FileTransferRole* role) {
    ASSERT_TRUE(listener_.Start(platform::LoopbackIpv4(), 0, role));
  }
  platform::Socket Connect() {
    platform::Socket device = platform::Socket::Tcp();
    EXPECT_EQ(device.Connect(platform::LoopbackIpv4(), listener_.Port(), 5000), 0);
    device.SetReceiveTimeout(10000);
    return device;
  }
  // Everything the receiver sends until it closes; "<timeout>" if it does
  // not, "<reset>" if it aborts the connection.
  static std::string ReadToEnd(platform::Socket& device) {
    std::string all;
    char buffer[256];
    for (;;) {
      int got = device.Recv(buffer, sizeof buffer);
      if (got == 0) return all;
      if (got < 0)
        return all + (platform::LastSocketError() == platform::kSockErrTimedOut ? "<timeout>"
                                                                                : "<reset>");
      all.append(buffer, static_cast<size_t>(got));
    }
  }

  FilePortListener listener_;
};

TEST_F(FilePortTest, OtherCommandsAreClosedAtOnce) {
  StartWith(nullptr);
  platform::Socket device = Connect();
  const std::string header = Header(R"({"act":5,"cmd":2})");
  ASSERT_TRUE(device.SendAll(header.data(), header.size()));
  EXPECT_EQ(ReadToEnd(device), "");
}

TEST_F(FilePortTest, UploadsAreClosedWhileNoRoleIsRegistered) {
  SetFileTransferRole(nullptr);
  StartWith(nullptr);
  platform::Socket device = Connect();
  const std::string header = Header(kUpload);
  ASSERT_TRUE(device.SendAll(header.data(), header.size()));
  EXPECT_EQ(ReadToEnd(device), "");
}

TEST_F(FilePortTest, EmptyFileCompletesWhenTheDeviceCloses) {
  RecordingRole role;
  StartWith(&role);
  platform::Socket device = Connect();
  const std::string header = Header(kUpload);
  ASSERT_TRUE(device.SendAll(header.data(), header.size()));
  ::shutdown(device.Fd(), SHUT_WR);
  EXPECT_EQ(ReadToEnd(device), "");
  listener_.Stop();
  EXPECT_EQ(role.upload_peer, "127.0.0.1");
  EXPECT_EQ(role.chunks, std::vector<std::string>{""});
}

TEST_F(FilePortTest, UploadBytesArriveInOrder) {
  RecordingRole role;
  StartWith(&role);
  platform::Socket device = Connect();
  std::string content(30000, 'x');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>('a' + i % 26);
  const std::string message =
      Header(R"({"act":5,"cmd":1,"filesize":30000})") + content;
  ASSERT_TRUE(device.SendAll(message.data(), message.size()));
  ::shutdown(device.Fd(), SHUT_WR);
  EXPECT_EQ(ReadToEnd(device), "");
  listener_.Stop();
  std::string received;
  for (const auto& chunk : role.chunks) {
    EXPECT_LE(chunk.size(), FilePortListener::kChunkSize);
    EXPECT_FALSE(chunk.empty());
    received += chunk;
  }
  EXPECT_EQ(received, content);
}

TEST_F(FilePortTest, DownloadIsServedOverTheConnection) {
  RecordingRole role;
  StartWith(&role);
  platform::Socket device = Connect();
  const std::string json = R"({"act":5,"cmd":5,"filename":"a.txt","startposition":0})";
  const std::string header = Header(json);
  ASSERT_TRUE(device.SendAll(header.data(), header.size()));
  EXPECT_EQ(ReadToEnd(device), "file content");
  listener_.Stop();
  EXPECT_EQ(role.download_json, json);
  EXPECT_EQ(role.download_peer, "127.0.0.1");
}

TEST_F(FilePortTest, StopEndsConnectionsThatWaitForTheirHeader) {
  RecordingRole role;
  StartWith(&role);
  platform::Socket device = Connect();
  ASSERT_TRUE(device.SendAll("\x00", 1));
  listener_.Stop();
  EXPECT_THAT(ReadToEnd(device), testing::AnyOf("", "<reset>"));
}

}  // namespace
