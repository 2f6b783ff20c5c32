// A stand-in for NetworkManager's command-line client: a script put first on
// PATH that writes each call's arguments, one line per call, as [arg][arg]...
// and exits with a chosen status.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

class FakeNmcli {
 public:
  explicit FakeNmcli(int exit_status = 0) {
    const std::string script = dir_.File("nmcli");
    std::ofstream out(script);
    out << "#!/bin/sh\nprintf '[%s]' \"$@\" >> '" << Log() << "'\nprintf '\\n' >> '" << Log()
        << "'\nexit " << exit_status << "\n";
    out.close();
    chmod(script.c_str(), 0755);
  }
  // A folder to put first on PATH.
  const std::string& Folder() const { return dir_.Path(); }
  std::string Log() const { return dir_.File("calls.log"); }
  std::vector<std::string> Calls() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadBytes(Log()));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

 private:
  TempDir dir_;
};

// Sets PATH for one scope and puts the old one back.
class ScopedPath {
 public:
  explicit ScopedPath(const std::string& path) {
    if (const char* old = std::getenv("PATH")) old_ = old;
    setenv("PATH", path.c_str(), 1);
  }
  ~ScopedPath() { setenv("PATH", old_.c_str(), 1); }

 private:
  std::string old_;
};
