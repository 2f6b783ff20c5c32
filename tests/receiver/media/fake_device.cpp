#include "fake_device.h"

#include "common/command_sender.h"
#include "common/device_json.h"

FakeDevice::~FakeDevice() {
  listener_.Shutdown();
  if (thread_.joinable()) thread_.join();
}

bool FakeDevice::Start(const char* address, uint16_t port) {
  uint32_t ip = 0;
  platform::TextToIpv4(address, &ip);
  listener_ = platform::Socket::Tcp();
  if (!listener_.Bind(ip, port) || !listener_.Listen(16)) return false;
  address_ = address;
  port_ = port;
  thread_ = std::thread(&FakeDevice::AcceptLoop, this);
  return true;
}

void FakeDevice::AcceptLoop() {
  for (;;) {
    platform::Socket connection = listener_.Accept();
    if (!connection.IsValid()) return;
    uint8_t header[3];
    if (!connection.RecvAll(header, 3) || header[2] != 1) continue;
    size_t length = (size_t{header[0]} << 8 | header[1]) - 3;
    std::string text(length, '\0');
    if (!connection.RecvAll(text.data(), length)) continue;
    Json::Value value;
    ParseDeviceJson(text, &value);
    std::lock_guard lock(lock_);
    messages_.push_back(value);
    arrived_.notify_all();
  }
}

std::optional<Json::Value> FakeDevice::NextMessage(std::chrono::milliseconds timeout) {
  std::unique_lock lock(lock_);
  if (!arrived_.wait_for(lock, timeout, [&] { return !messages_.empty(); })) return std::nullopt;
  Json::Value value = messages_.front();
  messages_.pop_front();
  return value;
}

bool FakeDevice::NothingPending() {
  if (SendJsonCommand(DeviceJsonText(MakeCommand(99, 99)), address_, port_, kTransportTcp) != 0)
    return false;
  auto next = NextMessage(std::chrono::seconds(10));
  return next && JsonInt(*next, "act") == 99;
}
