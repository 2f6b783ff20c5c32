// What the file port hands its uploads and downloads to. The file-transfer
// piece registers its implementation at start-up; until it has, upload and
// download connections are closed after their header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/socket.h"

// One upload ("cmd" 1), fed on its connection's thread.
class FileUploadSink {
 public:
  virtual ~FileUploadSink() = default;
  // One received chunk of at most 10240 bytes. An upload of an empty file
  // gets one empty chunk when the device closes the connection.
  virtual void OnChunk(const uint8_t* data, size_t size) = 0;
  // The file size the header announced.
  virtual int64_t AnnouncedSize() const = 0;
};

class FileTransferRole {
 public:
  virtual ~FileTransferRole() = default;
  // A receiver for the upload announced by json from peer_ip (network byte
  // order), or null to refuse it (the connection is then closed).
  virtual std::unique_ptr<FileUploadSink> BeginUpload(const std::string& json,
                                                      uint32_t peer_ip) = 0;
  // Serves a download over the connection; the caller closes it afterwards.
  virtual void ServeDownload(const std::string& json, platform::Socket& connection,
                             const platform::SocketAddress& peer) = 0;
};

// The process-wide registration; null unregisters. The role must outlive
// the file port.
void SetFileTransferRole(FileTransferRole* role);
FileTransferRole* GetFileTransferRole();
