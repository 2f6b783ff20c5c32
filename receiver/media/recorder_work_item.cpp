#include "recorder_work_item.h"

#include "common/debug_log.h"

bool StreamConnections::Add(platform::Socket* socket) {
  std::lock_guard lock(lock_);
  if (closed_) return false;
  sockets_.insert(socket);
  return true;
}

void StreamConnections::Remove(platform::Socket* socket) {
  std::lock_guard lock(lock_);
  sockets_.erase(socket);
}

void StreamConnections::CloseAll() {
  std::lock_guard lock(lock_);
  closed_ = true;
  for (platform::Socket* socket : sockets_) socket->Shutdown();
}

void StreamConnections::Reopen() {
  std::lock_guard lock(lock_);
  closed_ = false;
}

RecorderWorkItem::RecorderWorkItem(platform::Socket socket, platform::SocketAddress peer,
                                   ChunkSink& sink, StreamConnections& connections)
    : socket_(std::move(socket)), peer_(peer), sink_(sink), connections_(connections) {}

void RecorderWorkItem::DoWork(uint32_t) {
  if (!connections_.Add(&socket_)) return;
  ReadChunks();
  connections_.Remove(&socket_);
}

void RecorderWorkItem::ReadChunks() {
  for (;;) {
    uint8_t prefix[4];
    if (!socket_.RecvAll(prefix, sizeof prefix)) return;
    const uint32_t length = (uint32_t{prefix[0]} << 24) | (uint32_t{prefix[1]} << 16) |
                            (uint32_t{prefix[2]} << 8) | prefix[3];
    if (length > kMaxChunkLength) {
      VPLog("Mirror chunk of %u bytes from %s refused; connection closed", length,
            platform::Ipv4ToText(peer_.ip).c_str());
      return;
    }
    auto chunk = std::make_unique<EncodedChunk>();
    chunk->length = length;
    if (length > 0) {
      chunk->data = std::make_unique_for_overwrite<uint8_t[]>(length);
      if (!socket_.RecvAll(chunk->data.get(), length)) return;
    }
    chunk->received_us = MonotonicMicros();
    sink_.PushChunk(std::move(chunk));
  }
}
