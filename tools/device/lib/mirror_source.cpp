#include "mirror_source.h"

#include <cstring>
#include <fstream>
#include <iterator>

extern "C" {
#include <x264.h>
}

namespace device {

PatternBar TestPatternBar(int width, int height, int index) {
  // An eighth of the height around the middle, a tenth of the width wide,
  // 8 pixels further right with every picture.
  const int bar_width = width / 10 > 0 ? width / 10 : 1;
  const int left = (index * 8) % (width > bar_width ? width - bar_width : 1);
  return {left, left + bar_width, height / 2 - height / 16, height / 2 + height / 16};
}

void DrawTestPattern(int width, int height, int index, uint8_t* y, uint8_t* u, uint8_t* v) {
  const int cw = (width + 1) / 2, ch = (height + 1) / 2;
  auto quadrant = [](int x, int row, int w, int h) {
    bool right = x >= w / 2, bottom = row >= h / 2;
    return bottom ? (right ? kPatternWhite : kPatternBlue) : (right ? kPatternGreen : kPatternRed);
  };
  const PatternBar bar = TestPatternBar(width, height, index);
  auto in_bar = [&](int x, int row) {
    return row >= bar.top && row < bar.bottom && x >= bar.left && x < bar.right;
  };
  for (int row = 0; row < height; ++row)
    for (int x = 0; x < width; ++x)
      y[row * width + x] = in_bar(x, row) ? 16 : quadrant(x, row, width, height).y;
  for (int row = 0; row < ch; ++row) {
    for (int x = 0; x < cw; ++x) {
      PatternColour c = quadrant(2 * x, 2 * row, width, height);
      bool dark = in_bar(2 * x, 2 * row);
      u[row * cw + x] = dark ? 128 : c.u;
      v[row * cw + x] = dark ? 128 : c.v;
    }
  }
}

TestPatternEncoder::~TestPatternEncoder() {
  if (encoder_) x264_encoder_close(encoder_);
}

bool TestPatternEncoder::Open(int width, int height, int fps, const std::string& preset) {
  if (width <= 0 || height <= 0 || (width | height) & 1 || fps <= 0) return false;
  x264_param_t param;
  if (x264_param_default_preset(&param, preset.c_str(), "zerolatency") < 0) return false;
  param.i_width = width;
  param.i_height = height;
  param.i_csp = X264_CSP_I420;
  param.i_fps_num = static_cast<uint32_t>(fps);
  param.i_fps_den = 1;
  param.i_keyint_max = fps * 2;
  param.b_repeat_headers = 1;
  param.b_annexb = 1;
  param.i_log_level = X264_LOG_NONE;
  param.rc.i_rc_method = X264_RC_CRF;
  param.rc.f_rf_constant = 23;
  if (x264_param_apply_profile(&param, "high") < 0) return false;
  encoder_ = x264_encoder_open(&param);
  if (!encoder_) return false;
  width_ = width;
  height_ = height;
  planes_.resize(static_cast<size_t>(width) * height * 3 / 2);
  return true;
}

bool TestPatternEncoder::EncodeNext(Chunk* chunk) {
  if (!encoder_) return false;
  const size_t luma = static_cast<size_t>(width_) * height_;
  uint8_t* y = planes_.data();
  uint8_t* u = y + luma;
  uint8_t* v = u + luma / 4;
  DrawTestPattern(width_, height_, static_cast<int>(index_), y, u, v);
  x264_picture_t in, out;
  x264_picture_init(&in);
  in.img.i_csp = X264_CSP_I420;
  in.img.i_plane = 3;
  in.img.plane[0] = y;
  in.img.plane[1] = u;
  in.img.plane[2] = v;
  in.img.i_stride[0] = width_;
  in.img.i_stride[1] = in.img.i_stride[2] = width_ / 2;
  in.i_pts = index_++;
  in.i_type = force_key_ ? X264_TYPE_IDR : X264_TYPE_AUTO;
  force_key_ = false;
  x264_nal_t* nals = nullptr;
  int count = 0;
  int bytes = x264_encoder_encode(encoder_, &nals, &count, &in, &out);
  if (bytes < 0) return false;
  // With b_annexb the payloads of one picture lie back to back in one buffer.
  chunk->assign(nals[0].p_payload, nals[0].p_payload + bytes);
  return bytes > 0;
}

namespace {

// Positions of the start codes (00 00 01, possibly preceded by 00) and the
// offset of the NAL header that follows each.
struct NalStart {
  size_t code;
  size_t header;
};

std::vector<NalStart> FindNalStarts(const std::vector<uint8_t>& s) {
  std::vector<NalStart> starts;
  for (size_t i = 0; i + 3 <= s.size(); ++i) {
    if (s[i] == 0 && s[i + 1] == 0 && s[i + 2] == 1) {
      size_t code = (i > 0 && s[i - 1] == 0) ? i - 1 : i;
      starts.push_back({code, i + 3});
      i += 2;
    }
  }
  return starts;
}

}  // namespace

std::vector<Chunk> SplitAccessUnits(const std::vector<uint8_t>& stream) {
  std::vector<Chunk> units;
  std::vector<NalStart> starts = FindNalStarts(stream);
  size_t unit_begin = starts.empty() ? 0 : starts[0].code;
  bool unit_has_slice = false;
  for (const NalStart& start : starts) {
    if (start.header >= stream.size()) break;
    const int type = stream[start.header] & 0x1F;
    const bool slice = type == 1 || type == 5;
    // first_mb_in_slice is 0 exactly when its Exp-Golomb code is the single bit 1.
    const bool first_slice =
        slice && start.header + 1 < stream.size() && (stream[start.header + 1] & 0x80);
    const bool opens_unit = type == 9 || type == 7 || type == 8 || type == 6 || first_slice;
    if (opens_unit && unit_has_slice) {
      units.emplace_back(stream.begin() + unit_begin, stream.begin() + start.code);
      unit_begin = start.code;
      unit_has_slice = false;
    }
    unit_has_slice |= slice;
  }
  if (unit_begin < stream.size()) units.emplace_back(stream.begin() + unit_begin, stream.end());
  return units;
}

bool ReadH264File(const std::string& path, std::vector<Chunk>* chunks) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<uint8_t> stream((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
  *chunks = SplitAccessUnits(stream);
  return true;
}

int ChunkSender::Connect(const std::string& address, uint16_t port, uint32_t timeout_ms) {
  uint32_t ip = 0;
  if (!platform::TextToIpv4(address, &ip)) return platform::kSockErrInvalid;
  socket_ = platform::Socket::Tcp();
  if (!socket_.IsValid()) return platform::LastSocketError();
  socket_.SetNoDelay(true);
  return socket_.Connect(ip, port, timeout_ms);
}

bool ChunkSender::Send(const Chunk& chunk) {
  const uint32_t n = static_cast<uint32_t>(chunk.size());
  const uint8_t prefix[4] = {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16),
                             static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)};
  return socket_.SendAll(prefix, sizeof prefix) &&
         (chunk.empty() || socket_.SendAll(chunk.data(), chunk.size()));
}

bool ChunkSender::SendRaw(const void* data, size_t size) { return socket_.SendAll(data, size); }

}  // namespace device
