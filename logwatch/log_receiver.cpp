#include "log_receiver.h"

#include <string_view>

#include "log_line.h"

namespace {

// A burst of log lines (a sender flushes up to 500 queued lines at once) must
// not overflow the kernel queue while this thread waits for a processor.
constexpr int kReceiveQueueBytes = 1 << 20;
// Back-off after an unexpected receive error, so a failing socket cannot spin.
constexpr uint32_t kErrorPauseMs = 10;

}  // namespace

LogReceiver::LogReceiver(uint16_t port) : port_(port) {}

LogReceiver::~LogReceiver() {
  if (!thread_.joinable()) return;
  stop_.Set();
  socket_.Shutdown();
  thread_.join();
}

void LogReceiver::Start(LogLineSink* sink) {
  socket_ = platform::Socket::Udp();
  thread_ = std::thread([this, sink] {
    Run(sink);
    finished_.Set();
  });
}

bool LogReceiver::Stop(uint32_t timeout_ms) {
  if (!thread_.joinable()) return true;
  stop_.Set();
  socket_.Shutdown();
  if (!finished_.Wait(timeout_ms)) return false;
  thread_.join();
  return true;
}

void LogReceiver::Run(LogLineSink* sink) {
  if (!socket_.IsValid()) return;  // no socket: the list stays empty
  if (!socket_.Bind(0, port_)) {
    sink->OnBindFailed();
    return;
  }
  socket_.SetReceiveBufferSize(kReceiveQueueBytes);  // best effort
  char buffer[kBufferSize];
  while (!stop_.IsSet()) {
    int got = socket_.RecvFrom(buffer, sizeof buffer);
    if (got < 0) {
      // An oversized datagram is already discarded; anything else is unexpected.
      if (platform::LastSocketError() != platform::kSockErrMessageSize) stop_.Wait(kErrorPauseMs);
      continue;
    }
    if (got == 0) continue;  // an empty datagram, or the wake-up of Stop
    sink->OnLogLine(DatagramToLogLine(std::string_view(buffer, static_cast<size_t>(got))));
  }
}
