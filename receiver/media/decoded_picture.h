// A decoded picture as the decoder hands it over: an FFmpeg frame, unreferenced
// and freed when the owner lets go of it.
#pragma once

#include <memory>

extern "C" {
#include <libavutil/frame.h>
}

struct PictureFree {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
using PicturePtr = std::unique_ptr<AVFrame, PictureFree>;
