// One TCP 7991 connection on a worker of the frame listener's pool: receives
// up to 1500 bytes at a time, reassembles frames (frame_assembler.h) and
// pushes each as a packet carrying the connection's socket and peer. The
// connection ends when the peer closes, on a receive error or on a frame of
// impossible length; a partial frame is then lost.
#pragma once

#include <memory>

#include "platform/socket.h"
#include "receiver/core/work_queue.h"

class ActiveConnections;
class PacketQueue;

// What the acceptor hands to the worker; the item owns it from then on.
struct ConnectionRecord {
  platform::Socket socket;
  platform::SocketAddress peer;
};

class SpecificWorkItem : public WorkItemBase {
 public:
  SpecificWorkItem(std::unique_ptr<ConnectionRecord> connection, PacketQueue& queue,
                   ActiveConnections& active);

  void DoWork(uint32_t thread_context) override;

 private:
  std::unique_ptr<ConnectionRecord> connection_;
  PacketQueue& queue_;
  ActiveConnections& active_;
};
