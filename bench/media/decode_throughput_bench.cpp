// Decode throughput of the receiver's decode thread on a 1080p stream, against
// FFmpeg's command-line decoder on the same file in the same run:
//   media_decode_bench [seconds of 1080p60 stream, default 5]
// One JSON object per stream kind (one slice per picture, several slices).
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "bench_streams.h"
#include "receiver/media/mirror_decoder.h"

namespace {

// Seconds from the first chunk queued to the last picture taken off the
// picture queue; the chunks are made beforehand, as the stream readers make
// them while the decoder works.
double ReceiverDecodeSeconds(const std::vector<device::Chunk>& stream) {
  std::vector<std::unique_ptr<EncodedChunk>> chunks;
  for (const auto& bytes : stream) {
    auto chunk = std::make_unique<EncodedChunk>();
    chunk->length = static_cast<uint32_t>(bytes.size());
    chunk->data = std::make_unique<uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), chunk->data.get());
    chunks.push_back(std::move(chunk));
  }
  MirrorDecoder decoder;
  if (!decoder.Open()) return -1;
  ChunkQueue chunk_queue(kMirrorQueueCapacity);
  PictureQueue picture_queue(kMirrorQueueCapacity);
  std::atomic<bool> running{true};
  const auto begin = std::chrono::steady_clock::now();
  std::thread decode([&] { RunDecodeLoop(decoder, chunk_queue, picture_queue, running, nullptr); });
  std::thread produce([&] {
    for (auto& chunk : chunks) chunk_queue.Push(std::move(chunk));
  });
  size_t taken = 0;
  PicturePtr picture;
  while (taken < stream.size() && picture_queue.PopFor(picture, 10000)) {
    picture.reset();
    ++taken;
  }
  const auto end = std::chrono::steady_clock::now();
  running = false;
  chunk_queue.Abort();
  picture_queue.Abort();
  produce.join();
  decode.join();
  if (taken != stream.size()) return -1;
  return std::chrono::duration<double>(end - begin).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
  for (bool sliced : {false, true}) {
    std::string path = MakeBenchStream(1920, 1080, 60, seconds, sliced);
    std::vector<device::Chunk> stream;
    if (path.empty() || !device::ReadH264File(path, &stream) || stream.empty()) {
      std::printf("{\"bench\":\"decode_throughput\",\"error\":\"no stream\"}\n");
      return 1;
    }
    // Best of three for each side, alternating, so that a busy moment of the
    // shared machine hurts neither side alone.
    double ours = 1e9, ffmpeg = 1e9, ffmpeg_slice = 1e9;
    for (int run = 0; run < 3; ++run) {
      double t = ReceiverDecodeSeconds(stream);
      if (t > 0 && t < ours) ours = t;
      t = FfmpegDecodeSeconds(path, "");
      if (t > 0 && t < ffmpeg) ffmpeg = t;
      t = FfmpegDecodeSeconds(path, "-thread_type slice");
      if (t > 0 && t < ffmpeg_slice) ffmpeg_slice = t;
    }
    const double n = static_cast<double>(stream.size());
    std::printf(
        "{\"bench\":\"decode_throughput\",\"stream\":\"1920x1080p60 %s\",\"pictures\":%zu,"
        "\"receiver_fps\":%.1f,\"ffmpeg_fps\":%.1f,\"ratio\":%.3f,"
        "\"ffmpeg_slice_threads_fps\":%.1f,\"ratio_same_threading\":%.3f,\"goal\":0.95}\n",
        sliced ? "sliced" : "one slice", stream.size(), n / ours, n / ffmpeg, ffmpeg / ours,
        n / ffmpeg_slice, ffmpeg_slice / ours);
    std::fflush(stdout);
  }
  return 0;
}
