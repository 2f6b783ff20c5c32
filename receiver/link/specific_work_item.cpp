#include "specific_work_item.h"

#include <vector>

#include "active_connections.h"
#include "common/debug_log.h"
#include "frame_assembler.h"
#include "packet_queue.h"

SpecificWorkItem::SpecificWorkItem(std::unique_ptr<ConnectionRecord> connection,
                                   PacketQueue& queue, ActiveConnections& active)
    : connection_(std::move(connection)), queue_(queue), active_(active) {}

void SpecificWorkItem::DoWork(uint32_t thread_context) {
  (void)thread_context;
  platform::Socket socket = std::move(connection_->socket);
  const platform::SocketAddress peer = connection_->peer;
  connection_.reset();
  if (!active_.Add(&socket)) return;  // the listener is stopping

  FrameAssembler assembler;
  uint8_t buffer[FrameAssembler::kBufferSize];
  std::vector<std::unique_ptr<Packet>> packets;
  for (;;) {
    const int got = socket.Recv(buffer, sizeof buffer);
    if (got <= 0) break;
    const bool in_step = assembler.Feed(buffer, static_cast<size_t>(got), &packets);
    for (auto& packet : packets) {
      packet->peer = peer;
      packet->connection_socket = socket.Fd();
      packet->peer_ip = peer.ip;
      queue_.Push(std::move(packet));
    }
    packets.clear();
    if (!in_step) {
      VPLog("frame of invalid length from %s, connection dropped",
            platform::Ipv4ToText(peer.ip).c_str());
      break;
    }
  }
  active_.Remove(&socket);
}
