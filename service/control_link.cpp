#include "control_link.h"

#include "common/debug_log.h"

ServiceControlLink::ServiceControlLink(Handler handler, uint16_t port)
    : handler_(std::move(handler)), port_(port) {}

void ServiceControlLink::StartWorker() {
  if (!worker_.joinable()) worker_ = std::thread([this] { WorkerLoop(); });
}

int ServiceControlLink::Open() {
  socket_ = platform::Socket::Udp();
  if (!socket_.IsValid() || !socket_.Bind(platform::LoopbackIpv4(), port_)) {
    VPLog("service port %u cannot be bound, error %d", port_, platform::LastSocketError());
    socket_.Close();
    return -1;
  }
  return 0;
}

int ServiceControlLink::Run() {
  uint8_t buffer[kDatagramBytes];
  while (running_ && socket_.IsValid()) ReceiveOne(buffer);
  return 0;
}

void ServiceControlLink::ReceiveOne(uint8_t* buffer) {
  platform::SocketAddress from;
  int n = socket_.RecvFrom(buffer, kDatagramBytes, &from);
  if (n < 0) {
    int err = platform::LastSocketError();
    // Other errors (a datagram longer than the buffer, for one) lose only
    // that datagram.
    if (err == platform::kSockErrTimedOut || err == platform::kSockErrNetDown) running_ = false;
    return;
  }
  if (n == 0 || !running_) return;
  auto packet = std::make_unique<ServicePacket>();
  packet->kind = ServicePacketKind(buffer[0]);
  packet->payload.assign(buffer + 1, buffer + n);
  packet->sender_ip = from.ip;
  packet->sender_port = from.port;
  queue_.Push(std::move(packet));  // waits while 500 are queued; refused after quit
}

void ServiceControlLink::WorkerLoop() {
  while (running_) {
    std::unique_ptr<ServicePacket> packet;
    if (!queue_.Pop(packet)) continue;
    if (packet->sender_ip != platform::LoopbackIpv4()) {
      VPLog("service packet from %s dropped",
            platform::Ipv4ToText(packet->sender_ip).c_str());
      continue;
    }
    if (packet->kind == 0 && !packet->payload.empty() && packet->payload[0] == 0xFF) {
      Quit();
      return;
    }
    if (packet->kind == 0 || packet->kind == 1) handler_(*packet);
  }
}

// Worker thread: the receive loop ends once its blocking receive returns,
// which shutting the socket down makes it do.
void ServiceControlLink::Quit() {
  VPLog("service quit requested");
  running_ = false;
  queue_.Abort();
  socket_.Shutdown();
}

void ServiceControlLink::Stop() {
  running_ = false;
  queue_.Abort();
  if (worker_.joinable()) worker_.join();
  socket_.Close();
}
