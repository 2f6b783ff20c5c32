// The stage of a whole-program test: a namespace for the receiver, one per
// emulated device, each device joined to the receiver by a veth pair
// (receiver 10.251.<i>.1, device 10.251.<i>.2, in 10.251.<i>.0/30), and
// fresh per-user folders (XDG_CONFIG_HOME, XDG_RUNTIME_DIR) for the run.
// Everything is removed when the lab goes, and every process inside ended.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "device_emulator.h"
#include "namespace_process.h"
#include "net_namespace.h"
#include "support/temp_dir.h"

class ReceiverLab {
 public:
  explicit ReceiverLab(int device_count);
  ReceiverLab(const ReceiverLab&) = delete;
  ReceiverLab& operator=(const ReceiverLab&) = delete;

  bool IsReady() const { return ready_; }
  const NetNamespace& ReceiverNs() const { return *receiver_ns_; }
  // i counts from 1.
  const NetNamespace& DeviceNs(int i) const { return *device_ns_.at(i - 1); }
  static std::string ReceiverAddress(int i);
  static std::string DeviceAddress(int i);
  static std::string BroadcastAddress(int i);

  std::string ConfigHome() const { return folder_.Path() + "/config"; }
  std::string RuntimeDir() const { return folder_.Path() + "/run"; }
  std::string UserFolder() const { return ConfigHome() + "/Velaport/Velaport"; }
  std::string LockPath(const std::string& name) const {
    return RuntimeDir() + "/" + name + ".lock";
  }
  std::string File(const std::string& name) const { return folder_.File(name); }
  // The per-user folders, and buses of the lab's own: the session bus
  // socket lies at SessionBusPath() (absent until a test starts a bus there);
  // the system bus address leads nowhere.
  std::map<std::string, std::string> Environment() const;
  std::string SessionBusPath() const { return folder_.File("session-bus"); }

  // The build's program folder, where the programs lie side by side.
  static std::string BuildBin();
  // A folder of the lab's own holding copies of the named build programs,
  // for runs that must find exactly these beside them.
  std::string StagePrograms(const std::vector<std::string>& programs);

  // Starts the program from bin_folder inside the receiver namespace with the
  // lab's environment. stdout and stderr go to output_file when given.
  bool StartProgram(NamespaceProcess& process, const std::string& bin_folder,
                    const std::string& program, const std::vector<std::string>& args,
                    const std::string& output_file = "");
  bool StartReceiver(NamespaceProcess& process, const std::string& bin_folder = BuildBin());
  // Velaport from the build, headless but with the test's desktop (DISPLAY)
  // for its mirror windows: X11 clients reach it through the socket file in
  // /tmp/.X11-unix, which every namespace shares.
  bool StartReceiverOnDesktop(NamespaceProcess& process, const std::string& output_file = "");

  // An emulated device started inside device namespace i; null on failure.
  std::unique_ptr<DeviceEmulator> StartDevice(int i, DeviceOptions options = {});

 private:
  TempDir folder_;
  std::unique_ptr<NetNamespace> receiver_ns_;
  std::vector<std::unique_ptr<NetNamespace>> device_ns_;
  bool ready_ = false;
};

// Sends discovery to receiver until it answers (the receiver may still be
// starting). True when it answered within timeout_ms.
bool WaitUntilDiscovered(DeviceEmulator& device, const std::string& receiver,
                         uint32_t timeout_ms);
