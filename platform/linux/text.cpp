#include "platform/text.h"

#include <glib.h>

namespace platform {

std::string MakeValidUtf8(std::string_view bytes) {
  gchar* valid = g_utf8_make_valid(bytes.data(), static_cast<gssize>(bytes.size()));
  std::string result(valid);
  g_free(valid);
  return result;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::string valid = MakeValidUtf8(utf8);
  glong written = 0;
  gunichar2* wide = g_utf8_to_utf16(valid.data(), static_cast<glong>(valid.size()), nullptr,
                                    &written, nullptr);
  if (!wide) return {};
  std::u16string result(reinterpret_cast<char16_t*>(wide), static_cast<size_t>(written));
  g_free(wide);
  return result;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  // Replace unpaired surrogates first: GLib refuses the whole text otherwise.
  std::u16string clean(utf16);
  for (size_t i = 0; i < clean.size(); ++i) {
    char16_t c = clean[i];
    bool high = c >= 0xD800 && c <= 0xDBFF;
    bool low = c >= 0xDC00 && c <= 0xDFFF;
    if (high && i + 1 < clean.size() && clean[i + 1] >= 0xDC00 && clean[i + 1] <= 0xDFFF) {
      ++i;
    } else if (high || low) {
      clean[i] = 0xFFFD;
    }
  }
  glong written = 0;
  gchar* narrow = g_utf16_to_utf8(reinterpret_cast<const gunichar2*>(clean.data()),
                                  static_cast<glong>(clean.size()), nullptr, &written, nullptr);
  if (!narrow) return {};
  std::string result(narrow, static_cast<size_t>(written));
  g_free(narrow);
  return result;
}

std::string TruncateUtf8(std::string_view utf8, size_t max_chars) {
  size_t chars = 0;
  size_t i = 0;
  while (i < utf8.size()) {
    if (chars == max_chars) return std::string(utf8.substr(0, i));
    ++i;
    while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) ++i;
    ++chars;
  }
  return std::string(utf8);
}

size_t Utf8Length(std::string_view utf8) {
  size_t chars = 0;
  for (char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
  return chars;
}

}  // namespace platform
