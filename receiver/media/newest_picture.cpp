#include "newest_picture.h"

#include "display_probe.h"

int TakeNewestPicture(PictureQueue& pictures, PicturePtr* newest, DisplayProbe* probe) {
  newest->reset();
  if (!pictures.Pop(*newest)) return 0;
  PicturePtr newer;
  // A zero wait: only what is already queued counts, nothing is waited for.
  while (pictures.PopFor(newer, 0)) {
    if (probe) probe->OnPictureSkipped((*newest)->pts);
    *newest = std::move(newer);
  }
  return 1;
}
