#include "log_line.h"

#include "platform/text.h"

std::string DatagramToLogLine(std::string_view datagram) {
  // Senders may pad a datagram with a terminating zero; the line ends there.
  size_t end = datagram.find('\0');
  if (end != std::string_view::npos) datagram = datagram.substr(0, end);
  return platform::MakeValidUtf8(datagram);
}
