#include "udp_receiver.h"

#include "common/debug_log.h"
#include "packet_queue.h"

std::unique_ptr<Packet> PacketFromDatagram(const uint8_t* data, size_t size, uint32_t peer_ip) {
  if (size == 0) return nullptr;
  auto packet = std::make_unique<Packet>();
  packet->kind = PacketKindFromByte(data[0]);
  packet->payload.assign(data + 1, data + size);
  packet->peer_ip = peer_ip;
  return packet;
}

bool UdpReceiver::Start(uint32_t bind_ip, uint16_t port) {
  socket_ = platform::Socket::Udp();
  if (!socket_.IsValid() || !socket_.Bind(bind_ip, port)) {
    // The receiver may run without a desktop, so the message box of the
    // windowed design is a log line; the program keeps running without datagrams.
    VPLog("udp绑定端口错误");
    socket_.Close();
    return false;
  }
  port_ = socket_.LocalAddress().port;
  stopping_ = false;
  thread_ = std::thread([this] { ReceiveLoop(); });
  return true;
}

void UdpReceiver::Stop() {
  stopping_ = true;
  socket_.Shutdown();  // wakes the receive
  if (thread_.joinable()) thread_.join();
  socket_.Close();
}

void UdpReceiver::ReceiveLoop() {
  uint8_t buffer[kBufferSize];
  while (!stopping_) {
    platform::SocketAddress from;
    const int got = socket_.RecvFrom(buffer, sizeof buffer, &from);
    if (stopping_) return;
    if (got < 0) {
      const int err = platform::LastSocketError();
      if (err == platform::kSockErrTimedOut || err == platform::kSockErrNetDown) break;
      continue;  // for example a datagram longer than the buffer, already discarded
    }
    if (auto packet = PacketFromDatagram(buffer, static_cast<size_t>(got), from.ip))
      queue_.Push(std::move(packet));
  }
  VPLog("udp监听中断");
}
