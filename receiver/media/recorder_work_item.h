// One mirror stream connection, read on a worker of the stream listener's pool:
// length-prefixed chunks (see encoded_chunk.h) go to the chunk sink until the
// device closes the connection, a read fails, or the listener stops.
#pragma once

#include <cstdint>
#include <mutex>
#include <set>

#include "chunk_sink.h"
#include "platform/socket.h"
#include "receiver/core/work_queue.h"

// The open stream connections of one listener, so that its stop can end them.
class StreamConnections {
 public:
  // False once the listener is stopping; the caller then ends at once.
  bool Add(platform::Socket* socket);
  void Remove(platform::Socket* socket);
  // Shuts every open connection down; blocked reads return.
  void CloseAll();
  // Lets connections in again for the listener's next start.
  void Reopen();

 private:
  std::mutex lock_;
  std::set<platform::Socket*> sockets_;
  bool closed_ = false;
};

class RecorderWorkItem : public WorkItemBase {
 public:
  // A chunk announcing more than this closes its connection: a key picture of
  // a phone screen is a few hundred kilobytes, and the length comes from the
  // network before anything is allocated for it.
  static constexpr uint32_t kMaxChunkLength = 4u << 20;

  RecorderWorkItem(platform::Socket socket, platform::SocketAddress peer, ChunkSink& sink,
                   StreamConnections& connections);
  void DoWork(uint32_t thread_context) override;

 private:
  void ReadChunks();

  platform::Socket socket_;
  platform::SocketAddress peer_;
  ChunkSink& sink_;
  StreamConnections& connections_;
};
