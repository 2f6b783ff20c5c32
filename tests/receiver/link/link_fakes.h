// Doubles for the device link's roles: a sender that records what would go
// to devices, a clock the test moves by hand, and a wait helper.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/device_json.h"
#include "receiver/link/client_clock.h"
#include "receiver/link/device_sender.h"

// Polls the condition until it holds or 10 s have passed.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

struct SentJson {
  Json::Value value;
  std::string text;
  std::string address;
  uint16_t port;
  int transport;
};

struct SentBytes {
  std::vector<uint8_t> payload;
  std::string address;
  uint16_t port;
};

class RecordingSender : public DeviceSender {
 public:
  int SendJsonCommand(const std::string& json, const std::string& address, uint16_t port,
                      int transport) override {
    SentJson sent{{}, json, address, port, transport};
    ParseDeviceJson(json, &sent.value);
    std::lock_guard lock(lock_);
    json_.push_back(std::move(sent));
    return 0;
  }
  int SendBytes(const void* payload, size_t size, const std::string& address,
                uint16_t port) override {
    auto* bytes = static_cast<const uint8_t*>(payload);
    std::lock_guard lock(lock_);
    bytes_.push_back({std::vector<uint8_t>(bytes, bytes + size), address, port});
    return static_cast<int>(size + 1);
  }
  std::vector<SentJson> Json() {
    std::lock_guard lock(lock_);
    return json_;
  }
  std::vector<SentBytes> Bytes() {
    std::lock_guard lock(lock_);
    return bytes_;
  }
  void Clear() {
    std::lock_guard lock(lock_);
    json_.clear();
    bytes_.clear();
  }

 private:
  std::mutex lock_;
  std::vector<SentJson> json_;
  std::vector<SentBytes> bytes_;
};

// Time stands still until Advance. The watchdog's pauses end when the clock
// has been moved past them.
class ManualClock : public ClientClock {
 public:
  int64_t NowSeconds() override { return now_ms_ / 1000; }
  void WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
               uint32_t milliseconds, const std::function<bool()>& woken) override {
    const int64_t deadline = now_ms_ + milliseconds;
    ++waits_begun_;
    while (!woken() && now_ms_ < deadline) wake.wait_for(lock, std::chrono::milliseconds(2));
    ++waits_ended_;
  }
  void Advance(int64_t milliseconds) { now_ms_ += milliseconds; }
  int WaitsBegun() const { return waits_begun_; }
  int WaitsEnded() const { return waits_ended_; }

 private:
  std::atomic<int64_t> now_ms_{1'700'000'000'000};
  std::atomic<int> waits_begun_{0};
  std::atomic<int> waits_ended_{0};
};

// A folder of its own under the temp folder, removed at the end.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vp-link-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};
