// The process's own memory use, as the task manager shows it.
#pragma once

#include <cstddef>

namespace platform {

// Bytes of this process resident in memory now; 0 when unknown.
size_t ResidentMemoryBytes();

}  // namespace platform
