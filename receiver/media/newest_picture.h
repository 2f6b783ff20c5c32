// How the render thread takes pictures off the picture queue: the newest one
// waiting, so that a display slower than the stream shows the device's screen
// as it is now instead of working through a backlog of seconds. Every chunk
// has been decoded by then (later pictures refer to earlier ones), so skipping
// a picture loses nothing but its moment on screen; the last picture of a
// stream is always shown.
#pragma once

#include "encoded_chunk.h"

class DisplayProbe;

// Waits for a picture, then takes the newest one waiting; the older ones are
// freed unshown and reported to the probe, when given. 1 when a picture was
// taken; 0 when the queue was aborted (newest is then left empty).
int TakeNewestPicture(PictureQueue& pictures, PicturePtr* newest, DisplayProbe* probe);
