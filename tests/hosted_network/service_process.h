// Runs the service program VelaportService for a test: started with the
// test's environment, ready once it holds 127.0.0.1:7989, told to quit with
// the quit datagram at the end.
#pragma once

#include <chrono>
#include <string>
#include <thread>

#include "platform/process.h"
#include "platform/socket.h"
#include "receiver/core/service_starter.h"

class ServiceProcess {
 public:
  ServiceProcess() = default;
  ServiceProcess(const ServiceProcess&) = delete;
  ServiceProcess& operator=(const ServiceProcess&) = delete;
  ~ServiceProcess() { Quit(); }

  // True once the program runs and its port is bound (waits at most 10 s).
  bool Start(const std::string& program_path) {
    pid_ = platform::StartProcess(program_path, {program_path});
    if (pid_ < 0) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      platform::Socket probe = platform::Socket::Udp();
      if (!probe.Bind(platform::LoopbackIpv4(), kServicePort)) return true;  // the service has it
      probe.Close();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

  // Sends the quit datagram; true when the program ended by itself with code 0.
  bool Quit() {
    if (pid_ < 0) return false;
    SendServiceQuit();
    int code = -1;
    const bool ended = platform::WaitProcess(pid_, 10000, &code);
    if (!ended) {
      platform::TerminateProcess(pid_);
      platform::WaitProcess(pid_, 10000);
    }
    pid_ = -1;
    return ended && code == 0;
  }

 private:
  int pid_ = -1;
};
