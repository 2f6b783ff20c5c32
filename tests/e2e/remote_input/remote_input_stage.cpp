#include "remote_input_stage.h"

#include <chrono>
#include <cstdlib>

#include "input/desktop_test_support.h"
#include "platform/process.h"
#include "platform/socket.h"

namespace {

constexpr uint32_t kStartMs = 15000;
constexpr uint32_t kAnswerMs = 5000;

uint32_t Ip(const std::string& text) {
  uint32_t ip = 0;
  platform::TextToIpv4(text, &ip);
  return ip;
}

}  // namespace

RemoteInputStage::~RemoteInputStage() {
  if (device_) device_->Stop();
  if (velaport_pid_ > 0) {
    platform::TerminateProcess(velaport_pid_);
    platform::WaitProcess(velaport_pid_, 10000);
  }
}

bool RemoteInputStage::Start(std::string* why) {
  if (!HaveDisplay()) return *why = "no desktop (DISPLAY unset)", false;
  if (!lab_.IsReady()) return *why = "network namespaces cannot be made here", false;
  // Velaport passes its environment, the desktop's included, to the service program.
  for (const auto& [name, value] : lab_.Environment()) setenv(name.c_str(), value.c_str(), 1);
  RunInNamespace(lab_.ReceiverNs(), [&] {
    velaport_pid_ = platform::StartProcess(ReceiverLab::BuildBin() + "/Velaport", {"--headless"});
  });
  if (velaport_pid_ < 0) return *why = "Velaport did not start", false;

  device_ = lab_.StartDevice(1);
  if (!device_ || !WaitUntilDiscovered(*device_, ReceiverLab::ReceiverAddress(1), kStartMs))
    return *why = "the receiver did not answer the device", false;
  if (device_->PairAndWait("", kAnswerMs) != "1") return *why = "pairing failed", false;
  RunInNamespace(lab_.DeviceNs(1), [&] {
    sender_ = std::make_unique<InputSender>(Ip(ReceiverLab::ReceiverAddress(1)));
  });
  if (!sender_ || !sender_->IsOpen()) return *why = "the device's input socket failed", false;

  if (!recorder_.Start()) return *why = "the test window did not start", false;
  if (!platform::GetScreenAreas(&primary_, &desk_)) return *why = "no screen", false;
  if (!WaitForService()) return *why = "the service program executed nothing", false;
  return true;
}

// The service program starts with Velaport; until it listens, pointer packets
// are lost. Two positions in turn, until one arrives.
bool RemoteInputStage::WaitForService() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartMs);
  for (int i = 0; std::chrono::steady_clock::now() < deadline; ++i) {
    const uint16_t n = (i % 2) ? 0x2000 : 0x2100;
    const std::string expected =
        "motion " + std::to_string(ExpectedPixel(n, primary_.x, primary_.width)) + " " +
        std::to_string(ExpectedPixel(n, primary_.y, primary_.height));
    sender_->SendPointer(0xA2, n, n);
    if (recorder_.WaitFor(Is(expected), nullptr, std::chrono::milliseconds(200))) return true;
  }
  return false;
}

bool RemoteInputStage::MoveTo(uint16_t nx, uint16_t ny, int* x, int* y) {
  *x = ExpectedPixel(nx, primary_.x, primary_.width);
  *y = ExpectedPixel(ny, primary_.y, primary_.height);
  return sender_->SendPointer(0xA2, nx, ny) &&
         recorder_.WaitFor(Is("motion " + std::to_string(*x) + " " + std::to_string(*y)));
}

bool RemoteInputStage::QuitService() {
  return SendLoopbackDatagram(lab_.ReceiverNs(), "127.0.0.1", 7989, std::string("\x00\xFF", 2));
}
