// Two network namespaces made for one test, joined by a virtual cable: the
// PC's (receiver and service program) and the device's (the emulator).
//   PC  10.231.0.1/30  <-- veth -->  10.231.0.2/30  device
// Each has its own loopback, so the service program's fixed port is the
// test's alone. Needs root; Create says false where namespaces cannot be made.
#pragma once

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

class DeviceNetwork {
 public:
  static constexpr const char* kPcAddress = "10.231.0.1";
  static constexpr const char* kDeviceAddress = "10.231.0.2";

  DeviceNetwork()
      : pc_("vp-input-pc-" + std::to_string(getpid())),
        device_("vp-input-dev-" + std::to_string(getpid())) {}
  ~DeviceNetwork() {
    Run("ip netns del " + pc_);
    Run("ip netns del " + device_);
  }

  bool Create() {
    const std::string veth_pc = "vpi" + std::to_string(getpid()) + "p";
    const std::string veth_dev = "vpi" + std::to_string(getpid()) + "d";
    return Run("ip netns add " + pc_) && Run("ip netns add " + device_) &&
           Run("ip link add " + veth_pc + " netns " + pc_ + " type veth peer name " + veth_dev +
               " netns " + device_) &&
           Run("ip -n " + pc_ + " addr add " + kPcAddress + "/30 dev " + veth_pc) &&
           Run("ip -n " + device_ + " addr add " + kDeviceAddress + "/30 dev " + veth_dev) &&
           Run("ip -n " + pc_ + " link set lo up") && Run("ip -n " + device_ + " link set lo up") &&
           Run("ip -n " + pc_ + " link set " + veth_pc + " up") &&
           Run("ip -n " + device_ + " link set " + veth_dev + " up");
  }

  // Moves the calling thread into a namespace; threads and processes it
  // starts afterwards live there too.
  bool EnterPc() const { return Enter(pc_); }
  bool EnterDevice() const { return Enter(device_); }

 private:
  static bool Run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
  }
  static bool Enter(const std::string& name) {
    const int fd = open(("/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool entered = setns(fd, CLONE_NEWNET) == 0;
    close(fd);
    return entered;
  }

  std::string pc_, device_;
};
