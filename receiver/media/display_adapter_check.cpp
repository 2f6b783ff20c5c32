#include "display_adapter_check.h"

#include "common/debug_log.h"

bool DisplayAdapterCheck(const std::vector<platform::DisplayAdapter>& adapters) {
  static const char* const kKnownNames[] = {"Intel", "AMD", "NVIDIA", "ATI", "GeForce", "VMware"};
  if (adapters.empty()) return true;
  for (const auto& adapter : adapters)
    for (const char* name : kKnownNames)
      if (adapter.description.find(name) != std::string::npos) return true;
  return false;
}

bool DisplayAdapterCheck() {
  std::vector<platform::DisplayAdapter> adapters = platform::ListDisplayAdapters();
  if (adapters.empty()) VPLog("No display adapter listed; the desktop is drawn in software");
  return DisplayAdapterCheck(adapters);
}
