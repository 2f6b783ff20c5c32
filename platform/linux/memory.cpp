#include "platform/memory.h"

#include <unistd.h>

#include <fstream>

namespace platform {

size_t ResidentMemoryBytes() {
  std::ifstream statm("/proc/self/statm");
  size_t total_pages = 0, resident_pages = 0;
  if (!(statm >> total_pages >> resident_pages)) return 0;
  return resident_pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

}  // namespace platform
