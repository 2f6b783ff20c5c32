#include "receiver_lab.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "platform/system.h"

ReceiverLab::ReceiverLab(int device_count) {
  NetNamespace::RemoveStale();
  std::error_code ec;
  std::filesystem::create_directories(ConfigHome(), ec);
  std::filesystem::create_directories(RuntimeDir(), ec);
  receiver_ns_ = std::make_unique<NetNamespace>("r");
  ready_ = receiver_ns_->IsValid();
  for (int i = 1; ready_ && i <= device_count; ++i) {
    device_ns_.push_back(std::make_unique<NetNamespace>("d" + std::to_string(i)));
    ready_ = device_ns_.back()->IsValid() &&
             ConnectNamespaces(*receiver_ns_, ReceiverAddress(i), *device_ns_.back(),
                               DeviceAddress(i), "l" + std::to_string(i));
  }
}

std::string ReceiverLab::ReceiverAddress(int i) { return "10.251." + std::to_string(i) + ".1"; }
std::string ReceiverLab::DeviceAddress(int i) { return "10.251." + std::to_string(i) + ".2"; }
std::string ReceiverLab::BroadcastAddress(int i) { return "10.251." + std::to_string(i) + ".3"; }

std::map<std::string, std::string> ReceiverLab::Environment() const {
  return {{"XDG_CONFIG_HOME", ConfigHome()},
          {"XDG_RUNTIME_DIR", RuntimeDir()},
          {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + SessionBusPath()},
          {"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + folder_.File("no-system-bus")}};
}

std::string ReceiverLab::BuildBin() { return platform::ProgramFolder(); }

std::string ReceiverLab::StagePrograms(const std::vector<std::string>& programs) {
  const std::string bin = folder_.File("bin");
  std::error_code ec;
  std::filesystem::create_directories(bin, ec);
  for (const std::string& program : programs)
    std::filesystem::copy_file(BuildBin() + "/" + program, bin + "/" + program,
                               std::filesystem::copy_options::overwrite_existing, ec);
  return bin;
}

bool ReceiverLab::StartProgram(NamespaceProcess& process, const std::string& bin_folder,
                               const std::string& program, const std::vector<std::string>& args,
                               const std::string& output_file) {
  return process.Start(receiver_ns_->Name(), bin_folder + "/" + program, args, Environment(),
                       output_file);
}

bool ReceiverLab::StartReceiver(NamespaceProcess& process, const std::string& bin_folder) {
  return StartProgram(process, bin_folder, "Velaport", {"--headless"});
}

bool ReceiverLab::StartReceiverOnDesktop(NamespaceProcess& process,
                                         const std::string& output_file) {
  const char* display = std::getenv("DISPLAY");
  if (!display) return false;
  auto env = Environment();
  env["DISPLAY"] = display;
  return process.Start(receiver_ns_->Name(), BuildBin() + "/Velaport", {"--headless"}, env,
                       output_file);
}

std::unique_ptr<DeviceEmulator> ReceiverLab::StartDevice(int i, DeviceOptions options) {
  auto device = std::make_unique<DeviceEmulator>(std::move(options));
  int started = -1;
  if (!RunInNamespace(DeviceNs(i), [&] { started = device->Start(); }) || started != 0)
    return nullptr;
  return device;
}

bool WaitUntilDiscovered(DeviceEmulator& device, const std::string& receiver,
                         uint32_t timeout_ms) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (std::chrono::steady_clock::now() < deadline) {
    if (device.DiscoverAndWait(receiver, 300)) return true;
  }
  return false;
}
