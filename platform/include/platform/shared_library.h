// A library loaded at run time by file name, its exports looked up by name.
#pragma once

#include <string>

namespace platform {

class SharedLibrary {
 public:
  SharedLibrary() = default;
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;
  ~SharedLibrary() { Close(); }

  // Loads the library (a path, or a bare name searched as the system does).
  // False when it is missing or cannot be loaded; LastError tells why.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return handle_ != nullptr; }
  // The export's address, null when the library does not have it.
  void* Symbol(const char* name) const;
  const std::string& LastError() const { return error_; }

 private:
  void* handle_ = nullptr;
  std::string error_;
};

}  // namespace platform
