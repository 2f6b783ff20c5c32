// Act 8: the spotlight program beside the receiver's executable. "cmd" 1
// starts it unless it runs and is always answered with {"act":8,"cmd":21};
// "cmd" 2 asks it to quit. When it ends, every paired device gets
// {"act":8,"cmd":22}. The program is not ours and may be absent; then only
// the cmd 21 answer happens.
//
// The quit request is SIGTERM (the program's stand-in for a quit message).
#pragma once

#include <mutex>
#include <string>
#include <thread>

#include "client_list.h"
#include "command_handler.h"

class DeviceSender;

class SpotlightHandler : public JsonCommandHandler, public ClientRemovalObserver {
 public:
  static constexpr const char* kProgramName = "spotlight";

  // Launches the program from the receiver's own folder; never destroyed.
  static SpotlightHandler& Instance();

  SpotlightHandler(ClientList& clients, DeviceSender& sender, std::string program_path);
  // Asks a running program to quit and waits for the launch threads.
  ~SpotlightHandler();

  // Packet-processing thread. Returns 0.
  int ProcessJsonCommand(const JsonCommand& command) override;
  // A removed device takes the spotlight with it.
  void OnClientRemoved(const std::string& address) override;

  // Any thread: SIGTERM to the running program, if any.
  void RequestQuit();
  // True from a start request until the program has ended (or failed to start).
  bool IsRunning();

 private:
  void LaunchAndWatch();

  ClientList& clients_;
  DeviceSender& sender_;
  const std::string program_path_;

  std::mutex lock_;
  bool running_ = false;  // set when a launch begins, so two requests start it once
  int pid_ = 0;           // 0 while none runs
  std::thread launch_;
};
