#include "platform/shared_library.h"

#include <dlfcn.h>

namespace platform {

bool SharedLibrary::Open(const std::string& path) {
  Close();
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* reason = dlerror();
    error_ = reason ? reason : "cannot load " + path;
  }
  return handle_ != nullptr;
}

void SharedLibrary::Close() {
  if (handle_) dlclose(handle_);
  handle_ = nullptr;
}

void* SharedLibrary::Symbol(const char* name) const {
  return handle_ ? dlsym(handle_, name) : nullptr;
}

}  // namespace platform
