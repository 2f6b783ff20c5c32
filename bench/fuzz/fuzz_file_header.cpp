// The TCP 7992 header reader under arbitrary bytes delivered in arbitrary
// pieces: it must read exactly the announced JSON text or fail.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "receiver/link/file_header_reader.h"

namespace {

class PiecewiseSource : public ByteSource {
 public:
  PiecewiseSource(const uint8_t* data, size_t size, size_t step)
      : data_(data), size_(size), step_(step) {}
  int Read(void* buffer, size_t size) override {
    const size_t n = std::min({size, step_, size_ - at_});
    std::memcpy(buffer, data_ + at_, n);
    at_ += n;
    return static_cast<int>(n);
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t step_;
  size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t step = 1 + data[0] % 32;
  PiecewiseSource source(data + 1, size - 1, step);
  FileHeader header;
  const int result = ReadFileHeader(source, &header);
  const uint8_t* bytes = data + 1;
  const size_t available = size - 1;
  if (available >= 2) {
    const size_t announced = (static_cast<size_t>(bytes[0]) << 8) | bytes[1];
    const bool complete = available >= 2 + announced;
    if ((result == 0) != complete) abort();
    if (result == 0 && (header.text.size() != announced ||
                        std::memcmp(header.text.data(), bytes + 2, announced) != 0))
      abort();
  } else if (result == 0) {
    abort();
  }
  return 0;
}
