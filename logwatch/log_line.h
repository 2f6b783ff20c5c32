// How one debug-log datagram becomes one line of the viewer's list.
#pragma once

#include <string>
#include <string_view>

// The datagram's bytes up to its first zero byte (or all of them), with every
// invalid UTF-8 sequence replaced by U+FFFD. The text is shown as it stands:
// a percent sign in it is never read as a format.
std::string DatagramToLogLine(std::string_view datagram);
