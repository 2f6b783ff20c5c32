#include "file_port_listener.h"

#include <chrono>
#include <vector>

#include "common/debug_log.h"
#include "file_header_reader.h"
#include "file_transfer_role.h"
#include "specific_work_item.h"

namespace {

constexpr int kUpload = 1;
constexpr int kDownload = 5;
constexpr uint32_t kAcceptRetryPauseMs = 100;

std::atomic<FileTransferRole*> g_file_transfer_role{nullptr};

class SocketSource : public ByteSource {
 public:
  explicit SocketSource(platform::Socket& socket) : socket_(socket) {}
  int Read(void* buffer, size_t size) override { return socket_.Recv(buffer, size); }

 private:
  platform::Socket& socket_;
};

}  // namespace

void SetFileTransferRole(FileTransferRole* role) { g_file_transfer_role = role; }
FileTransferRole* GetFileTransferRole() { return g_file_transfer_role; }

bool FilePortListener::Start(uint32_t bind_ip, uint16_t port, FileTransferRole* role) {
  role_ = role;
  stopping_ = false;
  stop_event_.Reset();
  socket_ = platform::Socket::Tcp();
  bool listening = socket_.IsValid() && socket_.Bind(bind_ip, port) && socket_.Listen(kBacklog);
  if (!listening)
    VPLog("tcp port %u could not be opened, errcode = %d", port, platform::LastSocketError());
  port_ = socket_.LocalAddress().port;
  thread_ = std::thread([this] { AcceptLoop(); });
  return listening;
}

void FilePortListener::Stop() {
  if (!thread_.joinable()) return;
  stopping_ = true;
  stop_event_.Set();
  socket_.Shutdown();
  thread_.join();
  active_.ShutdownAll();
  JoinFinished(true);
  socket_.Close();
}

void FilePortListener::AcceptLoop() {
  while (!stopping_) {
    auto connection = std::make_unique<ConnectionRecord>();
    connection->socket = socket_.Accept(&connection->peer);
    if (stopping_) return;
    JoinFinished(false);
    if (!connection->socket.IsValid()) {
      stop_event_.Wait(kAcceptRetryPauseMs);
      continue;
    }
    std::lock_guard lock(threads_lock_);
    auto entry = std::make_unique<ConnectionThread>();
    ConnectionThread* raw = entry.get();
    raw->thread = std::thread([this, raw, c = connection.release()] {
      ServeConnection(std::unique_ptr<ConnectionRecord>(c));
      raw->done = true;
    });
    connections_.push_back(std::move(entry));
  }
}

// Finished connection threads are joined as new ones come, so they do not
// pile up over the life of the process.
void FilePortListener::JoinFinished(bool all) {
  std::list<std::unique_ptr<ConnectionThread>> finished;
  {
    std::lock_guard lock(threads_lock_);
    for (auto it = connections_.begin(); it != connections_.end();) {
      if (all || (*it)->done) {
        finished.push_back(std::move(*it));
        it = connections_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (auto& entry : finished) entry->thread.join();
}

// One connection's thread.
void FilePortListener::ServeConnection(std::unique_ptr<ConnectionRecord> connection) {
  platform::Socket socket = std::move(connection->socket);
  const platform::SocketAddress peer = connection->peer;
  connection.reset();
  if (!active_.Add(&socket)) return;

  SocketSource source(socket);
  FileHeader header;
  if (ReadFileHeader(source, &header) == 0) {
    FileTransferRole* role = role_ ? role_ : GetFileTransferRole();
    if (role && header.cmd == kUpload) {
      ReceiveUpload(*role, socket, header.text, peer.ip);
    } else if (role && header.cmd == kDownload) {
      role->ServeDownload(header.text, socket, peer);
    }
  }
  active_.Remove(&socket);
}

void FilePortListener::ReceiveUpload(FileTransferRole& role, platform::Socket& socket,
                                     const std::string& json, uint32_t peer_ip) {
  std::unique_ptr<FileUploadSink> sink = role.BeginUpload(json, peer_ip);
  if (!sink) return;
  std::vector<uint8_t> chunk(kChunkSize);
  for (;;) {
    const int got = socket.Recv(chunk.data(), chunk.size());
    if (got < 0) return;  // the upload stays unfinished and can be resumed
    if (got == 0) break;
    sink->OnChunk(chunk.data(), static_cast<size_t>(got));
  }
  if (sink->AnnouncedSize() == 0) sink->OnChunk(chunk.data(), 0);
}
