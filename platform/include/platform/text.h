// Text conversions at the boundaries where UTF-16 is part of a format
// (settings and language files); inside the program text is UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Invalid UTF-8 sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);
// The text with every invalid sequence replaced by U+FFFD.
std::string MakeValidUtf8(std::string_view bytes);
// The longest prefix of at most max_chars characters (code points), never
// cutting a character in two.
std::string TruncateUtf8(std::string_view utf8, size_t max_chars);
// Number of characters (code points) of a valid UTF-8 text.
size_t Utf8Length(std::string_view utf8);

}  // namespace platform
