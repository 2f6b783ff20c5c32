#include "mirror_decoder.h"

#include <algorithm>
#include <chrono>
#include <thread>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
}

#include "common/debug_log.h"
#include "display_probe.h"

int64_t MonotonicMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool MirrorDecoder::Open() {
  Close();
  // Damaged streams are expected from devices and dropped quietly; the
  // decoder's own complaints would only flood the output.
  av_log_set_level(AV_LOG_FATAL);
  const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_H264);
  if (!codec) {
    VPLog("H.264 decoder not found");
    return false;
  }
  context_ = avcodec_alloc_context3(codec);
  packet_ = av_packet_alloc();
  if (!context_ || !packet_) {
    Close();
    return false;
  }
  // Slice threads only: frame threads would hold each picture back until
  // later chunks arrive, and a device sends nothing while its screen is still.
  context_->thread_type = FF_THREAD_SLICE;
  context_->thread_count = 0;
  context_->max_pixels = kMaxPictureWidth * kMaxPictureHeight;
  if (avcodec_open2(context_, codec, nullptr) < 0) {
    VPLog("H.264 decoder could not be opened");
    Close();
    return false;
  }
  return true;
}

void MirrorDecoder::Close() {
  if (context_) avcodec_free_context(&context_);
  if (packet_) av_packet_free(&packet_);
}

void MirrorDecoder::Decode(const EncodedChunk& chunk, std::vector<PicturePtr>* pictures) {
  if (!context_ || chunk.length == 0) return;
  packet_->data = chunk.data.get();
  packet_->size = static_cast<int>(chunk.length);
  packet_->pts = chunk.received_us;
  int sent = avcodec_send_packet(context_, packet_);
  av_packet_unref(packet_);
  if (sent < 0 && sent != AVERROR(EAGAIN)) return;
  for (;;) {
    PicturePtr picture(av_frame_alloc());
    if (!picture || avcodec_receive_frame(context_, picture.get()) < 0) break;
    // Pictures that a broken stream announces with sizes the decoder could not
    // fill are not worth showing.
    if (picture->width <= 0 || picture->height <= 0) continue;
    pictures->push_back(std::move(picture));
  }
}

namespace {

size_t PictureBytes(const AVFrame& picture) {
  return static_cast<size_t>(picture.width) * picture.height * 3 / 2;
}

// Waits while the picture queue holds its byte budget's worth of pictures.
// Polled: the wait happens only while the display is behind anyway.
void WaitForPictureRoom(const PictureQueue& pictures, size_t picture_bytes,
                        const std::atomic<bool>& running) {
  const size_t allowed =
      std::max<size_t>(2, kPictureByteBudget / std::max<size_t>(1, picture_bytes));
  while (running.load() && pictures.Size() >= allowed)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace

void RunDecodeLoop(MirrorDecoder& decoder, ChunkQueue& chunks, PictureQueue& pictures,
                   const std::atomic<bool>& running, DisplayProbe* probe,
                   std::atomic<size_t>* queued_chunk_bytes) {
  std::vector<PicturePtr> decoded;
  while (running.load()) {
    std::unique_ptr<EncodedChunk> chunk;
    if (!chunks.Pop(chunk)) continue;
    if (queued_chunk_bytes) *queued_chunk_bytes -= chunk->length;
    decoder.Decode(*chunk, &decoded);
    chunk.reset();
    for (PicturePtr& picture : decoded) {
      if (probe) probe->OnPictureDecoded(picture->pts);
      WaitForPictureRoom(pictures, PictureBytes(*picture), running);
      pictures.Push(std::move(picture));
    }
    decoded.clear();
  }
}
