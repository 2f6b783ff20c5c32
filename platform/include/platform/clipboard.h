// The desktop clipboard, written as text. The process owns the clipboard
// selection and serves the text to any program that pastes, until another
// program takes the clipboard over. The text stays served while the process runs.
#pragma once

#include <string_view>

namespace platform {

// Puts UTF-8 text on the clipboard, replacing what was there (invalid
// sequences become U+FFFD). True once the process owns the clipboard with this
// text, so that a paste synthesised right after finds it; false when there is
// no display or the clipboard could not be taken.
bool SetClipboardText(std::string_view utf8);

}  // namespace platform
