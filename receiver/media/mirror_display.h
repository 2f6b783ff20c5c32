// Role: the display that the mirror commands open and close.
#pragma once

#include <cstdint>

class MirrorDisplay {
 public:
  virtual ~MirrorDisplay() = default;
  // The size announced by the device; used by the next Start.
  virtual void SetConfiguredSize(int32_t width, int32_t height) = 0;
  // 0, 1, 2 as given, anything else 3; takes effect with the next picture.
  virtual void SetRotation(int32_t rotation) = 0;
  // True when pictures can be shown.
  virtual bool Start() = 0;
  // Waits for the display's threads; does nothing when not running.
  virtual void Stop() = 0;
};
