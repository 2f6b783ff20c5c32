// Shared pieces of the desktop tests: expected positions and line parsing.
#pragma once

#include <cstdio>
#include <string>

#include "platform/screen_metrics.h"

// The pixel a normalised 0..65535 position lands on, over the primary screen.
inline int ExpectedPixel(int normalised, int origin, int extent) {
  return origin + static_cast<int>(static_cast<long long>(normalised) * extent / 65536);
}

// "motion X Y" -> X, Y.
inline bool ParseMotion(const std::string& line, int* x, int* y) {
  return std::sscanf(line.c_str(), "motion %d %d", x, y) == 2;
}

inline std::string HexOf(const std::string& text) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : text) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 0xF];
  }
  return hex;
}

inline auto Is(const std::string& expected) {
  return [expected](const std::string& line) { return line == expected; };
}

inline auto StartsWith(const std::string& prefix) {
  return [prefix](const std::string& line) { return line.rfind(prefix, 0) == 0; };
}
