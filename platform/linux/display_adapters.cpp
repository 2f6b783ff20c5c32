#include "platform/display_adapters.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

namespace platform {
namespace {

namespace fs = std::filesystem;

// PCI class 0x03xxxx is "display controller".
constexpr unsigned long kDisplayClass = 0x03;

bool ReadHex(const fs::path& file, unsigned long* value) {
  std::ifstream in(file);
  std::string text;
  if (!(in >> text)) return false;
  try {
    *value = std::stoul(text, nullptr, 16);
  } catch (...) {
    return false;
  }
  return true;
}

std::string DriverName(const fs::path& device) {
  std::error_code ec;
  fs::path driver = fs::read_symlink(device / "driver", ec);
  return ec ? std::string() : driver.filename().string();
}

void AddAdapter(const fs::path& device, std::set<fs::path>* seen,
                std::vector<DisplayAdapter>* adapters) {
  std::error_code ec;
  fs::path resolved = fs::canonical(device, ec);
  if (ec || !seen->insert(resolved).second) return;
  unsigned long vendor = 0;
  if (!ReadHex(resolved / "vendor", &vendor)) return;
  DisplayAdapter adapter;
  adapter.vendor_id = static_cast<uint16_t>(vendor);
  adapter.description = DisplayVendorName(adapter.vendor_id) + " display adapter";
  std::string driver = DriverName(resolved);
  if (!driver.empty()) adapter.description += " (" + driver + ")";
  adapter.device_path = resolved.string();
  adapters->push_back(std::move(adapter));
}

void ScanDrmCards(const fs::path& root, std::set<fs::path>* seen,
                  std::vector<DisplayAdapter>* adapters) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(root / "class/drm", ec)) {
    std::string name = entry.path().filename().string();
    // card0, card1 ...; connectors (card0-HDMI-A-1) and render nodes share the device.
    if (name.rfind("card", 0) != 0 || name.find('-') != std::string::npos) continue;
    if (fs::exists(entry.path() / "device")) AddAdapter(entry.path() / "device", seen, adapters);
  }
}

void ScanPciDevices(const fs::path& root, std::set<fs::path>* seen,
                    std::vector<DisplayAdapter>* adapters) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(root / "bus/pci/devices", ec)) {
    unsigned long device_class = 0;
    if (ReadHex(entry.path() / "class", &device_class) && (device_class >> 16) == kDisplayClass)
      AddAdapter(entry.path(), seen, adapters);
  }
}

}  // namespace

std::vector<DisplayAdapter> ListDisplayAdapters(const std::string& sys_root) {
  std::vector<DisplayAdapter> adapters;
  std::set<fs::path> seen;
  ScanDrmCards(sys_root, &seen, &adapters);
  ScanPciDevices(sys_root, &seen, &adapters);
  return adapters;
}

std::string DisplayVendorName(uint16_t vendor_id) {
  switch (vendor_id) {
    case 0x8086: return "Intel";
    case 0x1002: return "AMD/ATI";
    case 0x1022: return "AMD";
    case 0x10de: return "NVIDIA";
    case 0x15ad: return "VMware";
    case 0x1234: return "QEMU standard VGA";
    case 0x1af4: return "Red Hat virtio GPU";
    case 0x1b36: return "Red Hat QXL";
    case 0x80ee: return "VirtualBox";
    case 0x1414: return "Microsoft Hyper-V";
    case 0x1a03: return "ASPEED";
    case 0x102b: return "Matrox";
    case 0x5143: return "Qualcomm";
    default: break;
  }
  char text[16];
  std::snprintf(text, sizeof text, "Vendor 0x%04x", vendor_id);
  return text;
}

}  // namespace platform
