// The machine's display adapters, in place of the setup-class enumeration of
// display devices: the DRM cards and the PCI display-class devices the kernel
// lists under /sys, each described by its vendor's name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct DisplayAdapter {
  // "<vendor name> display adapter (<kernel driver>)"; the driver part is left
  // out when none is bound.
  std::string description;
  uint16_t vendor_id = 0;
  std::string device_path;  // the device's folder under /sys, resolved
};

// Every display adapter present, each once even when both a DRM card and a
// PCI entry name it. sys_root is "/sys" except in tests, which build a tree
// of their own. Empty when the machine shows none (containers, a virtual
// frame buffer on a server without graphics hardware).
std::vector<DisplayAdapter> ListDisplayAdapters(const std::string& sys_root = "/sys");

// The vendor's name for a PCI vendor id; "Vendor 0x1234"-style text for ids
// not in our table.
std::string DisplayVendorName(uint16_t vendor_id);

}  // namespace platform
