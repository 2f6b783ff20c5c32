// The whole road of remote input, for tests and the latency benchmark:
// Velaport (headless, but with the desktop in its environment) in the lab's
// receiver namespace, which starts VelaportService beside it as it does in
// use; one emulated device in a namespace of its own, paired; and the test
// window on the desktop that records what arrives.
#pragma once

#include <memory>
#include <string>

#include "device_emulator.h"
#include "input/recorder_process.h"
#include "input_sender.h"
#include "platform/screen_metrics.h"
#include "receiver_lab.h"

class RemoteInputStage {
 public:
  RemoteInputStage() : lab_(1) {}
  RemoteInputStage(const RemoteInputStage&) = delete;
  RemoteInputStage& operator=(const RemoteInputStage&) = delete;
  // Ends Velaport, which tells the service program to quit.
  ~RemoteInputStage();

  // Starts everything and waits until a pointer packet from the device moves
  // the pointer. False, with the reason, when this machine cannot host the
  // stage (no desktop, no namespaces) or a part did not come up.
  bool Start(std::string* why);

  InputSender& Device() { return *sender_; }
  RecorderProcess& Window() { return recorder_; }
  const platform::ScreenRect& Primary() const { return primary_; }

  // Puts the pointer at a normalised position from the device and waits
  // until the window saw it there; x and y get the pixel.
  bool MoveTo(uint16_t nx, uint16_t ny, int* x, int* y);
  // Sends the quit datagram to the service program from 127.0.0.1, as
  // Velaport does when it ends.
  bool QuitService();

 private:
  bool WaitForService();

  ReceiverLab lab_;
  int velaport_pid_ = -1;
  std::unique_ptr<DeviceEmulator> device_;
  std::unique_ptr<InputSender> sender_;
  RecorderProcess recorder_;
  platform::ScreenRect primary_, desk_;
};
