// The TCP 7992 listener: backlog 10, one thread per connection. The thread
// reads the header (file_header_reader.h) and hands uploads and downloads to
// the file-transfer role; uploads are received in chunks of 10240 bytes.
#pragma once

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

#include "active_connections.h"
#include "platform/socket.h"
#include "platform/sync.h"

class FileTransferRole;
struct ConnectionRecord;

class FilePortListener {
 public:
  static constexpr int kBacklog = 10;
  static constexpr size_t kChunkSize = 10240;

  FilePortListener() = default;
  FilePortListener(const FilePortListener&) = delete;
  FilePortListener& operator=(const FilePortListener&) = delete;
  ~FilePortListener() { Stop(); }

  // As FrameListener::Start. role null means the process-wide registration
  // (file_transfer_role.h), looked up for each connection.
  bool Start(uint32_t bind_ip, uint16_t port, FileTransferRole* role = nullptr);
  // Closes the listening socket and every connection, waits for all threads.
  void Stop();
  uint16_t Port() const { return port_; }

 private:
  struct ConnectionThread {
    std::thread thread;
    std::atomic<bool> done{false};
  };

  void AcceptLoop();
  void ServeConnection(std::unique_ptr<ConnectionRecord> connection);
  void ReceiveUpload(FileTransferRole& role, platform::Socket& socket, const std::string& json,
                     uint32_t peer_ip);
  void JoinFinished(bool all);

  FileTransferRole* role_ = nullptr;
  platform::Socket socket_;
  uint16_t port_ = 0;
  ActiveConnections active_;
  std::atomic<bool> stopping_{false};
  platform::Event stop_event_{true};
  std::thread thread_;
  std::mutex threads_lock_;
  std::list<std::unique_ptr<ConnectionThread>> connections_;
};
