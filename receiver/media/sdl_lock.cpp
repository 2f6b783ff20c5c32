#include "sdl_lock.h"

std::recursive_mutex& SdlLock() {
  // Never destroyed: the SDL event thread may still use it while the process exits.
  static auto* lock = new std::recursive_mutex;
  return *lock;
}
