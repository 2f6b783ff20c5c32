// vpmirror: mirrors a pretend device screen to a receiver.
//
//   vpmirror [--receiver ADDR] [--port 7994] [--size WxH] [--fps N] [--seconds S]
//            [--file STREAM.h264] [--rotation R] [--rotate-every S] [--control]
//
// Streams an x264-encoded test pattern (or the access units of a file) as
// length-prefixed chunks to the receiver's mirror stream port. With --control
// it also sends act 7 cmd 1 (size and rotation) first, cmd 3 on every rotation
// change and cmd 2 at the end, over the device port 7991; the receiver
// accepts them from a paired device only.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "common/command_sender.h"
#include "common/device_json.h"
#include "mirror_source.h"

namespace {

struct Options {
  std::string receiver = "127.0.0.1";
  uint16_t port = 7994;
  int width = 1280, height = 720, fps = 30;
  double seconds = 10;
  std::string file;
  int rotation = 0;
  double rotate_every = 0;
  bool control = false;
};

bool Parse(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    const char* v = nullptr;
    if (arg == "--control") {
      o->control = true;
      continue;
    }
    if (!(v = value())) return false;
    if (arg == "--receiver")
      o->receiver = v;
    else if (arg == "--port")
      o->port = static_cast<uint16_t>(std::atoi(v));
    else if (arg == "--size") {
      if (std::sscanf(v, "%dx%d", &o->width, &o->height) != 2) return false;
    } else if (arg == "--fps")
      o->fps = std::atoi(v);
    else if (arg == "--seconds")
      o->seconds = std::atof(v);
    else if (arg == "--file")
      o->file = v;
    else if (arg == "--rotation")
      o->rotation = std::atoi(v);
    else if (arg == "--rotate-every")
      o->rotate_every = std::atof(v);
    else
      return false;
  }
  return o->fps > 0;
}

void SendControl(const Options& o, int cmd, int rotation) {
  Json::Value value = MakeCommand(7, cmd);
  if (cmd == 1) {
    value["width"] = o.width;
    value["height"] = o.height;
  }
  if (cmd == 1 || cmd == 3) value["rotation"] = rotation;
  if (SendJsonCommand(DeviceJsonText(value), o.receiver, 7991, kTransportTcp) != 0)
    std::fprintf(stderr, "vpmirror: act 7 cmd %d not sent\n", cmd);
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!Parse(argc, argv, &o)) {
    std::fprintf(stderr,
                 "usage: vpmirror [--receiver ADDR] [--port N] [--size WxH] [--fps N] "
                 "[--seconds S] [--file F] [--rotation R] [--rotate-every S] [--control]\n");
    return 2;
  }
  std::vector<device::Chunk> file_chunks;
  device::TestPatternEncoder encoder;
  if (!o.file.empty() ? !device::ReadH264File(o.file, &file_chunks) || file_chunks.empty()
                      : !encoder.Open(o.width, o.height, o.fps)) {
    std::fprintf(stderr, "vpmirror: no stream source\n");
    return 1;
  }
  int rotation = o.rotation;
  if (o.control) SendControl(o, 1, rotation);
  device::ChunkSender sender;
  int err = 0;
  for (int attempt = 0; attempt < 50 && (err = sender.Connect(o.receiver, o.port)) != 0; ++attempt)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  if (err != 0) {
    std::fprintf(stderr, "vpmirror: cannot connect to %s:%u (%d)\n", o.receiver.c_str(), o.port,
                 err);
    return 1;
  }
  const auto interval = std::chrono::microseconds(1000000 / o.fps);
  const auto begin = std::chrono::steady_clock::now();
  auto next = begin;
  auto next_turn = begin + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                               std::chrono::duration<double>(o.rotate_every));
  for (size_t n = 0;
       std::chrono::steady_clock::now() - begin < std::chrono::duration<double>(o.seconds); ++n) {
    device::Chunk chunk;
    bool have = o.file.empty() ? encoder.EncodeNext(&chunk)
                               : (chunk = file_chunks[n % file_chunks.size()], true);
    if (have && !sender.Send(chunk)) {
      std::fprintf(stderr, "vpmirror: stream connection closed\n");
      return 1;
    }
    if (o.control && o.rotate_every > 0 && std::chrono::steady_clock::now() >= next_turn) {
      rotation = (rotation + 1) % 4;
      SendControl(o, 3, rotation);
      next_turn += std::chrono::duration_cast<std::chrono::steady_clock::duration>(
          std::chrono::duration<double>(o.rotate_every));
    }
    next += interval;
    std::this_thread::sleep_until(next);
  }
  sender.Close();
  if (o.control) SendControl(o, 2, rotation);
  return 0;
}
