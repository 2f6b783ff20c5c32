#include "file_header_reader.h"

#include "common/device_json.h"

namespace {

// Reads exactly size bytes, however the source splits them.
bool ReadFully(ByteSource& source, uint8_t* buffer, size_t size) {
  while (size > 0) {
    const int got = source.Read(buffer, size);
    if (got <= 0) return false;
    buffer += got;
    size -= static_cast<size_t>(got);
  }
  return true;
}

}  // namespace

int ReadFileHeader(ByteSource& source, FileHeader* header) {
  uint8_t length[2];
  if (!ReadFully(source, length, sizeof length)) return -1;
  const size_t size = (static_cast<size_t>(length[0]) << 8) | length[1];
  header->text.assign(size, '\0');
  if (!ReadFully(source, reinterpret_cast<uint8_t*>(header->text.data()), size)) return -1;
  ParseDeviceJson(header->text, &header->value);
  header->cmd = JsonInt(header->value, "cmd");
  return 0;
}
