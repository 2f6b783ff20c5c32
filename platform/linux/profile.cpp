#include "platform/profile.h"

#include <cstdlib>
#include <fstream>
#include <glib.h>
#include <mutex>
#include <sstream>
#include <unistd.h>

#include "platform/text.h"

namespace platform {
namespace {

std::mutex g_profile_mutex;

enum class Encoding { kUtf8, kUtf8Bom, kUtf16Le };

// One line of the file: its text and the line break it ended with, so that
// lines we do not touch are written back exactly.
struct Line {
  std::string text;
  std::string eol;
};

struct ProfileFile {
  Encoding encoding = Encoding::kUtf8;
  std::vector<Line> lines;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string Fold(std::string_view s) {
  gchar* folded = g_utf8_casefold(s.data(), static_cast<gssize>(s.size()));
  std::string result(folded);
  g_free(folded);
  return result;
}

bool SameName(std::string_view a, std::string_view b) { return Fold(Trim(a)) == Fold(Trim(b)); }

bool ReadFile(const std::string& path, ProfileFile* file) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string text;
  if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF &&
      static_cast<uint8_t>(bytes[1]) == 0xFE) {
    file->encoding = Encoding::kUtf16Le;
    std::u16string wide;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
      wide.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                           (static_cast<uint8_t>(bytes[i + 1]) << 8)));
    text = Utf16ToUtf8(wide);
  } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    file->encoding = Encoding::kUtf8Bom;
    text = bytes.substr(3);
  } else {
    file->encoding = Encoding::kUtf8;
    text = std::move(bytes);
  }
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      file->lines.push_back({text.substr(start), ""});
      break;
    }
    size_t eol_len = (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
    file->lines.push_back({text.substr(start, end - start), text.substr(end, eol_len)});
    start = end + eol_len;
  }
  return true;
}

std::string Encode(const ProfileFile& file) {
  std::string text;
  for (const Line& line : file.lines) text += line.text + line.eol;
  switch (file.encoding) {
    case Encoding::kUtf8: return text;
    case Encoding::kUtf8Bom: return "\xEF\xBB\xBF" + text;
    case Encoding::kUtf16Le: {
      std::string bytes = "\xFF\xFE";
      for (char16_t c : Utf8ToUtf16(text)) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
      }
      return bytes;
    }
  }
  return text;
}

// Writes beside the file and renames, so a crash never leaves half a file.
bool WriteFile(const std::string& path, const ProfileFile& file) {
  std::string temp = path + ".tmp" + std::to_string(getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    std::string bytes = Encode(file);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
      unlink(temp.c_str());
      return false;
    }
  }
  if (rename(temp.c_str(), path.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  return true;
}

// The section name of a "[name]" line, or nothing for other lines.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  size_t close = line.find(']');
  return Trim(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
}

// Key and raw value of a "key=value" line.
bool SplitKeyLine(std::string_view line, std::string_view* key, std::string_view* value) {
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  *key = Trim(line.substr(0, eq));
  *value = Trim(line.substr(eq + 1));
  return true;
}

// Index range [begin, end) of the lines inside the first matching section;
// begin is the header line. False when the section is missing.
bool FindSection(const ProfileFile& file, std::string_view section, size_t* begin, size_t* end) {
  for (size_t i = 0; i < file.lines.size(); ++i) {
    auto name = SectionName(file.lines[i].text);
    if (!name || !SameName(*name, section)) continue;
    size_t j = i + 1;
    while (j < file.lines.size() && !SectionName(file.lines[j].text)) ++j;
    *begin = i;
    *end = j;
    return true;
  }
  return false;
}

std::optional<size_t> FindKey(const ProfileFile& file, size_t begin, size_t end,
                              std::string_view key) {
  for (size_t i = begin + 1; i < end; ++i) {
    std::string_view k, v;
    if (SplitKeyLine(file.lines[i].text, &k, &v) && SameName(k, key)) return i;
  }
  return std::nullopt;
}

std::string Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

std::optional<std::string> LookUp(std::string_view section, std::string_view key,
                                  const std::string& path) {
  ProfileFile file;
  size_t begin, end;
  if (!ReadFile(path, &file) || !FindSection(file, section, &begin, &end)) return std::nullopt;
  auto index = FindKey(file, begin, end, key);
  if (!index) return std::nullopt;
  std::string_view k, v;
  SplitKeyLine(file.lines[*index].text, &k, &v);
  return Unquote(v);
}

// The line break a new line should use: the file's own, else CR LF.
std::string FileEol(const ProfileFile& file) {
  for (const Line& line : file.lines)
    if (!line.eol.empty()) return line.eol;
  return "\r\n";
}

}  // namespace

std::string GetProfileString(std::string_view section, std::string_view key,
                             std::string_view default_value, const std::string& path,
                             size_t buffer_chars) {
  std::optional<std::string> value;
  {
    std::lock_guard lock(g_profile_mutex);
    value = LookUp(section, key, path);
  }
  std::string result;
  if (value) {
    result = std::move(*value);
  } else {
    // Leading blanks of a default stay; only trailing ones go.
    result = std::string(default_value);
    while (!result.empty() && IsBlank(result.back())) result.pop_back();
  }
  return buffer_chars == 0 ? std::string() : TruncateUtf8(result, buffer_chars - 1);
}

int GetProfileInt(std::string_view section, std::string_view key, int default_value,
                  const std::string& path) {
  std::optional<std::string> value;
  {
    std::lock_guard lock(g_profile_mutex);
    value = LookUp(section, key, path);
  }
  if (!value || value->empty()) return default_value;
  return static_cast<int>(std::strtol(value->c_str(), nullptr, 10));
}

bool WriteProfileString(std::string_view section, std::string_view key,
                        std::optional<std::string_view> value, const std::string& path) {
  std::lock_guard lock(g_profile_mutex);
  ProfileFile file;
  ReadFile(path, &file);  // A missing file starts empty.
  const std::string eol = FileEol(file);
  const std::string line = std::string(Trim(key)) + "=" + std::string(value.value_or(""));
  size_t begin, end;
  if (!FindSection(file, section, &begin, &end)) {
    if (!value) return true;
    if (!file.lines.empty() && file.lines.back().eol.empty()) file.lines.back().eol = eol;
    file.lines.push_back({"[" + std::string(Trim(section)) + "]", eol});
    file.lines.push_back({line, eol});
    return WriteFile(path, file);
  }
  if (auto index = FindKey(file, begin, end, key)) {
    if (!value)
      file.lines.erase(file.lines.begin() + static_cast<std::ptrdiff_t>(*index));
    else
      file.lines[*index].text = line;
    return WriteFile(path, file);
  }
  if (!value) return true;
  // New keys go after the section's last non-blank line.
  size_t at = end;
  while (at > begin + 1 && Trim(file.lines[at - 1].text).empty()) --at;
  if (file.lines[at - 1].eol.empty()) file.lines[at - 1].eol = eol;
  file.lines.insert(file.lines.begin() + static_cast<std::ptrdiff_t>(at), {line, eol});
  return WriteFile(path, file);
}

std::vector<std::string> GetProfileSectionNames(const std::string& path) {
  std::lock_guard lock(g_profile_mutex);
  ProfileFile file;
  std::vector<std::string> names;
  if (!ReadFile(path, &file)) return names;
  for (const Line& line : file.lines)
    if (auto name = SectionName(line.text)) names.emplace_back(*name);
  return names;
}

}  // namespace platform
