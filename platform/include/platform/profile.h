// Profile (ini) files with the semantics the settings, language and updater
// files are written against: section and key names compare without regard to
// case, blanks around names and values are trimmed, a missing file, section or
// key yields the default, and writing changes one line while the rest of the
// file stays byte for byte as it was.
//
// Files starting with the UTF-16 LE byte-order mark are read and written in
// UTF-16 LE; every other file is UTF-8 (with or without its mark). A file that
// does not exist is created as plain UTF-8 by the first write.
//
// All calls are serialised by one process-wide lock, so threads may share a file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The value of key in section, or the default (with trailing blanks removed).
// A value enclosed in matching double or single quotes loses the quotes. The
// result is cut to buffer_chars - 1 characters, like a fixed caller buffer.
std::string GetProfileString(std::string_view section, std::string_view key,
                             std::string_view default_value, const std::string& path,
                             size_t buffer_chars = 512);

// The value as a decimal integer: leading digits (with an optional minus sign)
// are read, text that does not start with a number gives 0, a missing key
// gives the default.
int GetProfileInt(std::string_view section, std::string_view key, int default_value,
                  const std::string& path);

// Writes key=value into section, adding the section or the key when missing.
// No value removes the key. False when the file cannot be written.
bool WriteProfileString(std::string_view section, std::string_view key,
                        std::optional<std::string_view> value, const std::string& path);

// The names of the sections, in file order.
std::vector<std::string> GetProfileSectionNames(const std::string& path);

}  // namespace platform
