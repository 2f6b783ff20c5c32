#include "frame_listener.h"

#include <chrono>

#include "common/debug_log.h"
#include "packet_queue.h"
#include "specific_work_item.h"

namespace {

// Pause after a failed accept, so a listener whose bind failed does not spin.
constexpr auto kAcceptRetryPause = std::chrono::milliseconds(100);

}  // namespace

bool FrameListener::Start(uint32_t bind_ip, uint16_t port) {
  stopping_ = false;
  socket_ = platform::Socket::Tcp();
  bool listening = socket_.IsValid() && socket_.Bind(bind_ip, port) && socket_.Listen(kBacklog);
  if (!listening)
    VPLog("tcp port %u could not be opened, errcode = %d", port, platform::LastSocketError());
  port_ = socket_.LocalAddress().port;
  workers_.Create(kWorkers);
  thread_ = std::thread([this] { AcceptLoop(); });
  return listening;
}

void FrameListener::Stop() {
  if (!thread_.joinable()) return;
  stopping_ = true;
  socket_.Shutdown();  // wakes the accept
  thread_.join();
  active_.ShutdownAll();
  workers_.Destroy();
  socket_.Close();
}

void FrameListener::AcceptLoop() {
  while (!stopping_) {
    auto connection = std::make_unique<ConnectionRecord>();
    connection->socket = socket_.Accept(&connection->peer);
    if (stopping_) return;
    if (!connection->socket.IsValid()) {
      std::this_thread::sleep_for(kAcceptRetryPause);
      continue;
    }
    workers_.InsertWorkItem(
        std::make_unique<SpecificWorkItem>(std::move(connection), queue_, active_));
  }
}
