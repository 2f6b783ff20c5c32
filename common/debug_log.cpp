#include "debug_log.h"

#include <cstdio>
#include <ctime>

#include "platform/text.h"

namespace {

std::atomic<DebugLog*> g_process_log{nullptr};

// Where the start-up failures of the socket go: there is no log yet to tell.
void DebuggerOutput(const char* text) { std::fputs(text, stderr); }

std::string CurrentPrefix() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  return DebugLog::FormatPrefix(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                local.tm_hour, local.tm_min, local.tm_sec,
                                static_cast<int>(now.tv_nsec / 1000000));
}

}  // namespace

DebugLog::DebugLog(uint16_t port) : port_(port) {
  socket_ = platform::Socket::Udp();
  if (!socket_.IsValid()) DebuggerOutput("socket setuping failed. The error code is \n");
  sender_done_.Reset();
  sender_ = std::thread([this] {
    SenderLoop();
    sender_done_.Set();
  });
}

DebugLog::~DebugLog() { Stop(); }

std::string DebugLog::FormatPrefix(int year, int month, int day, int hour, int minute, int second,
                                   int millisecond) {
  char prefix[64];
  std::snprintf(prefix, sizeof prefix, "%u-%u-%u-%u:%u:%u.%u    ", year, month, day, hour, minute,
                second, millisecond);
  return prefix;
}

void DebugLog::Log(const char* format, ...) {
  va_list args;
  va_start(args, format);
  VLog(format, args);
  va_end(args);
}

void DebugLog::VLog(const char* format, va_list args) {
  if (stopping_) return;
  std::lock_guard lock(lock_);
  va_list copy;
  va_copy(copy, args);
  int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (needed < 0) return;
  format_buffer_.resize(static_cast<size_t>(needed) + 1);
  std::vsnprintf(format_buffer_.data(), format_buffer_.size(), format, args);
  format_buffer_.resize(static_cast<size_t>(needed));
  Enqueue(format_buffer_);
}

void DebugLog::LogText(std::string_view text) {
  if (stopping_) return;
  std::lock_guard lock(lock_);
  Enqueue(text);
}

// Called with lock_ held: a full queue makes every logger wait, as intended.
void DebugLog::Enqueue(std::string_view message) {
  auto line = std::make_unique<std::string>(CurrentPrefix());
  *line += platform::TruncateUtf8(message, kMaxMessageChars);
  queue_.Push(std::move(line));  // Refused only when stopping: the line is dropped.
}

void DebugLog::SenderLoop() {
  const uint32_t loopback = platform::LoopbackIpv4();
  while (!stopping_) {
    std::unique_ptr<std::string> line;
    if (!queue_.Pop(line)) continue;
    if (socket_.IsValid())
      socket_.SendTo(line->data(), line->size(), loopback, port_);  // Lost when nobody listens.
  }
}

void DebugLog::Stop() {
  if (stopping_.exchange(true)) return;
  queue_.Abort();
  if (sender_.joinable()) {
    if (sender_done_.Wait(5000))
      sender_.join();
    else
      sender_.detach();
  }
  // Take the lock once so that no caller is still inside Enqueue, then drop
  // what was never sent.
  std::lock_guard lock(lock_);
  queue_.Clear();
  queue_.Abort();
}

DebugLog* DebugLog::Process() { return g_process_log.load(); }

DebugLog& DebugLog::StartProcessLog(uint16_t port) {
  DebugLog* log = g_process_log.load();
  if (!log) {
    log = new DebugLog(port);
    g_process_log.store(log);
  }
  return *log;
}

void DebugLog::StopProcessLog() {
  if (DebugLog* log = g_process_log.load()) log->Stop();
}

void VPLog(const char* format, ...) {
  DebugLog* log = DebugLog::Process();
  if (!log) return;
  va_list args;
  va_start(args, format);
  log->VLog(format, args);
  va_end(args);
}

void VPLogText(std::string_view text) {
  if (DebugLog* log = DebugLog::Process()) log->LogText(text);
}
