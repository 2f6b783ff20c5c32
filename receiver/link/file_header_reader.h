// The header that opens every TCP 7992 connection:
//
//   | len hi | len lo | JSON text (len bytes) | file bytes ... |
//     len (big-endian) counts the JSON text only
//
// "cmd" 1 is an upload by the device, 5 a download from the PC; any other
// value ends the connection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <json/value.h>
#include <string>

// Where the header is read from: a connection, or bytes in a test.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // As a socket receive: bytes read, 0 when the peer has closed, -1 on error.
  virtual int Read(void* buffer, size_t size) = 0;
};

struct FileHeader {
  std::string text;   // the JSON text as sent
  Json::Value value;  // null when the text does not parse
  int cmd = 0;        // "cmd", 0 when missing or not a number
};

// Reads the two length bytes and the JSON text, looping until each is
// complete. 0 on success; -1 when the source ends or fails first.
int ReadFileHeader(ByteSource& source, FileHeader* header);
