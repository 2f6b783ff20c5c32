#include "recorder_listener.h"

#include <chrono>

#include "common/debug_log.h"
#include "receiver/core/work_queue.h"

namespace {

// A failing accept (unbound port, exhausted descriptors) is retried at this pace
// instead of spinning.
constexpr auto kAcceptRetryDelay = std::chrono::milliseconds(50);

}  // namespace

RecorderListener::~RecorderListener() {
  RequestStop();
  Join();
}

void RecorderListener::Start(uint16_t port) {
  Join();
  connections_.Reopen();
  listener_ = platform::Socket::Tcp();
  port_ = 0;
  if (listener_.Bind(0, port) && listener_.Listen(kBacklog))
    port_ = listener_.LocalAddress().port;
  else
    VPLog("Mirror stream port %u could not be opened, errcode = %d", port,
          platform::LastSocketError());
  run_ = true;
  thread_ = std::thread(&RecorderListener::AcceptLoop, this);
}

void RecorderListener::RequestStop() {
  run_ = false;
  listener_.Shutdown();
  connections_.CloseAll();
}

void RecorderListener::Join() {
  if (thread_.joinable()) thread_.join();
  listener_.Close();
}

void RecorderListener::AcceptLoop() {
  CWorkQueue workers;
  workers.Create(kWorkers);
  while (run_) {
    platform::SocketAddress peer;
    platform::Socket connection = listener_.Accept(&peer);
    if (!connection.IsValid()) {
      if (run_) std::this_thread::sleep_for(kAcceptRetryDelay);
      continue;
    }
    workers.InsertWorkItem(
        std::make_unique<RecorderWorkItem>(std::move(connection), peer, sink_, connections_));
  }
  // Connections accepted just before the stop may have missed CloseAll.
  connections_.CloseAll();
  workers.Destroy();
}
