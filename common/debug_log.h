// The diagnostic channel of every deliverable: each line goes, with a local
// time prefix, as one UDP datagram to 127.0.0.1:58372 where LogWatch may be
// listening. Nothing is written to disk and logging never waits for the
// network: lines are queued (at most 500) and sent by the log's own thread.
//
// Wire form of one datagram (UTF-8, no terminating zero, no line break):
//   "2026-12-9-18:5:3.45    Json Command Sent over : abc"
//    ^ year-month-day-hour:minute:second.milliseconds, no leading zeros,
//      then four blanks, then the message (at most 4999 characters).
#pragma once

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "blocking_queue.h"
#include "platform/socket.h"
#include "platform/sync.h"

class DebugLog {
 public:
  static constexpr uint16_t kPort = 58372;
  static constexpr size_t kMaxMessageChars = 4999;
  static constexpr size_t kQueueCapacity = 500;

  // Starts the sender thread. The port is fixed in the product; tests may
  // point a log elsewhere.
  explicit DebugLog(uint16_t port = kPort);
  DebugLog(const DebugLog&) = delete;
  DebugLog& operator=(const DebugLog&) = delete;
  ~DebugLog();

  // printf conventions; %s takes UTF-8 text. Waits only when 500 lines are
  // pending. Does nothing once Stop has been called.
  void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void VLog(const char* format, va_list args);
  // Logs text as it stands: a percent sign in it is never read as a format.
  void LogText(std::string_view text);

  // Drops new lines from now on, discards pending ones and waits at most
  // 5000 ms for the sender thread. Safe to call more than once.
  void Stop();

  // The time prefix for a moment, as it goes on the wire.
  static std::string FormatPrefix(int year, int month, int day, int hour, int minute, int second,
                                  int millisecond);

  // The process-wide log. The program's entry creates it first and stops it
  // last; it is never freed, so a straggling thread that logs after the stop
  // finds a stopped log rather than freed memory. Empty before creation.
  static DebugLog* Process();
  static DebugLog& StartProcessLog(uint16_t port = kPort);
  static void StopProcessLog();

 private:
  void Enqueue(std::string_view message);
  void SenderLoop();

  std::atomic<bool> stopping_{false};
  std::mutex lock_;            // serialises Log calls and guards format_buffer_
  std::string format_buffer_;  // reused for every call
  BlockingQueue<std::unique_ptr<std::string>> queue_{kQueueCapacity};
  platform::Socket socket_;
  uint16_t port_;
  platform::Event sender_done_{true};
  std::thread sender_;
};

// Log through the process-wide log when there is one.
void VPLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
void VPLogText(std::string_view text);
