// Role: an observer of the display's pipeline, for measurements. Stamps are
// the received_us of the chunk a picture came from.
#pragma once

#include <cstdint>

class DisplayProbe {
 public:
  virtual ~DisplayProbe() = default;
  // On the decode thread, when the decoder has produced the picture.
  virtual void OnPictureDecoded(int64_t chunk_stamp_us) = 0;
  // On the render thread, right after the picture was presented.
  virtual void OnPicturePresented(int64_t chunk_stamp_us) = 0;
};
