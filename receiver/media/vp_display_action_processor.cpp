#include "vp_display_action_processor.h"

#include "common/debug_log.h"
#include "common/device_json.h"
#include "receiver/core/main_thread_dispatcher.h"
#include "vp_video_display.h"

namespace {

constexpr int kAct = 7;
constexpr int kCmdStart = 1;
constexpr int kCmdStop = 2;
constexpr int kCmdRotate = 3;

}  // namespace

VPDisplayActionProcessor& VPDisplayActionProcessor::Instance() {
  static DeviceReplySender* sender = new DeviceReplySender;
  static VPDisplayActionProcessor* processor = new VPDisplayActionProcessor(
      VPVideoDisplay::Instance(), VPVideoDisplay::Instance(), *sender, kMirrorStreamPort);
  return *processor;
}

VPDisplayActionProcessor::VPDisplayActionProcessor(MirrorDisplay& display, ChunkSink& sink,
                                                   JsonReplySender& sender, uint16_t stream_port)
    : display_(display), sender_(sender), stream_port_(stream_port), listener_(sink) {}

int VPDisplayActionProcessor::ProcessJsonCommand(const JsonCommand& command) {
  {
    std::lock_guard lock(address_lock_);
    device_address_ = command.PeerText();
  }
  const Json::Value& value = command.value;
  switch (JsonInt(value, "cmd")) {
    case kCmdStart:
      StartMirroring(JsonInt(value, "width"), JsonInt(value, "height"), JsonInt(value, "rotation"));
      break;
    case kCmdStop: StopMirroring(); break;
    case kCmdRotate: display_.SetRotation(JsonInt(value, "rotation")); break;
    default: break;
  }
  return 0;
}

void VPDisplayActionProcessor::StartMirroring(int32_t width, int32_t height, int32_t rotation) {
  std::lock_guard lock(mirroring_lock_);
  if (active_) return;
  active_ = true;
  listener_.Start(stream_port_);
  display_.SetConfiguredSize(width, height);
  display_.SetRotation(rotation);
  if (display_.Start()) {
    VPLog("Mirroring started: %dx%d, rotation %d", width, height, rotation);
    Reply(kCmdStart);
    return;
  }
  listener_.RequestStop();
  listener_.Join();
  active_ = false;
}

void VPDisplayActionProcessor::StopMirroring() {
  std::lock_guard lock(mirroring_lock_);
  if (!active_) return;
  listener_.RequestStop();
  // The display's stop releases readers waiting on its full queue, so the
  // listener's workers can end before it is joined.
  display_.Stop();
  listener_.Join();
  active_ = false;
  VPLog("Mirroring stopped");
  Reply(kCmdStop);
}

void VPDisplayActionProcessor::Reply(int cmd) {
  sender_.SendReply(DeviceJsonText(MakeCommand(kAct, cmd)), DeviceAddress());
}

std::string VPDisplayActionProcessor::DeviceAddress() {
  std::lock_guard lock(address_lock_);
  return device_address_;
}

void PostStopMirroringMessage() {
  MainThreadDispatcher::Instance().Post(
      [] { VPDisplayActionProcessor::Instance().StopMirroring(); });
}
