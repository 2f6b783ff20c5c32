// The device's act 7 commands for the mirror display:
//   cmd 1 {"width","height","rotation"}  open the display, reply {"act":7,"cmd":1}
//   cmd 2                                close it, reply {"act":7,"cmd":2}
//   cmd 3 {"rotation"}                   turn the picture, no reply
// Every reply goes to the sender of the last act 7 command. The stop request
// of the main window (a mirror window closed, a device gone) runs StopMirroring
// on the main thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "chunk_sink.h"
#include "json_reply_sender.h"
#include "mirror_display.h"
#include "receiver/link/command_handler.h"
#include "recorder_listener.h"

class VPDisplayActionProcessor : public JsonCommandHandler {
 public:
  static constexpr uint16_t kMirrorStreamPort = 7994;

  // The product's processor: VPVideoDisplay, replies to the device's port
  // 7991, stream port 7994. Created on first use, never destroyed.
  static VPDisplayActionProcessor& Instance();

  // For tests: any display, sink, sender and stream port (0: any free port).
  VPDisplayActionProcessor(MirrorDisplay& display, ChunkSink& sink, JsonReplySender& sender,
                           uint16_t stream_port);

  int ProcessJsonCommand(const JsonCommand& command) override;

  // Opens the stream port and the display; ignored while mirroring is active.
  void StartMirroring(int32_t width, int32_t height, int32_t rotation);
  // Closes both and tells the device; nothing happens while inactive.
  void StopMirroring();

  bool IsMirroringActive() const { return active_.load(); }
  // The bound stream port while active.
  uint16_t StreamPort() const { return listener_.Port(); }

 private:
  void Reply(int cmd);
  std::string DeviceAddress();

  MirrorDisplay& display_;
  JsonReplySender& sender_;
  const uint16_t stream_port_;
  RecorderListener listener_;

  std::mutex address_lock_;
  std::string device_address_;
  std::mutex mirroring_lock_;  // StartMirroring and StopMirroring come from two threads
  std::atomic<bool> active_{false};
};

// The stop request of a mirror window or a device removal: StopMirroring of
// the product's processor on the main thread (the main window's loop, or the
// headless loop until there is one).
void PostStopMirroringMessage();
