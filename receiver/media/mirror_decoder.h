// The H.264 decoder of the mirror stream and the loop of the decode thread.
// Each chunk goes to the decoder as one packet, with no parser in between.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "decoded_picture.h"
#include "encoded_chunk.h"

struct AVCodecContext;
struct AVPacket;
class DisplayProbe;

class MirrorDecoder {
 public:
  // Pictures above this many pixels are refused by the decoder: no phone
  // screen comes near it, and it bounds what a hostile stream makes us allocate.
  static constexpr int64_t kMaxPictureWidth = 4096;
  static constexpr int64_t kMaxPictureHeight = 4096;

  MirrorDecoder() = default;
  MirrorDecoder(const MirrorDecoder&) = delete;
  MirrorDecoder& operator=(const MirrorDecoder&) = delete;
  ~MirrorDecoder() { Close(); }

  // False when the H.264 decoder cannot be found or opened.
  bool Open();
  void Close();
  bool IsOpen() const { return context_ != nullptr; }

  // Decodes one chunk and appends every picture it completes. A chunk the
  // decoder rejects is dropped and gives no picture; decoding goes on with
  // the next one. An empty chunk has nothing to decode and is skipped: to
  // this decoder an empty packet would mean the end of the stream.
  void Decode(const EncodedChunk& chunk, std::vector<PicturePtr>* pictures);

 private:
  AVCodecContext* context_ = nullptr;
  AVPacket* packet_ = nullptr;
};

// Bytes of decoded pictures allowed to wait for the render thread. The queue
// holds up to 500 pictures, but 500 pictures of 1080p are 1.5 GiB (and of the
// largest size 12 GiB): when the display falls behind, the decoder waits at
// this budget instead, which in turn fills the chunk queue and throttles the
// device through TCP.
inline constexpr size_t kPictureByteBudget = 192u << 20;

// The decode thread's loop: while running, pops chunks, decodes them, frees
// them and pushes the pictures (waiting while the picture queue is full or
// over its byte budget). queued_chunk_bytes, when given, is lowered by each
// chunk taken. Returns when running is cleared and the queues are aborted.
void RunDecodeLoop(MirrorDecoder& decoder, ChunkQueue& chunks, PictureQueue& pictures,
                   const std::atomic<bool>& running, DisplayProbe* probe,
                   std::atomic<size_t>* queued_chunk_bytes = nullptr);
