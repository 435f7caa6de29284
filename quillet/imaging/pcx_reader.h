// The PCX reader: reads a PCX picture (1, 4 or 8 bits in one plane, or three 8-bit planes, raw or
// run-length coded) into a new 24-bit bitmap.
#pragma once

#include <cstdint>

#include "bitmap.h"
#include "picture_budget.h"
#include "streams.h"

// The screen's resolution, reported for a file that gives none (the window-system half passes the
// display's LOGPIXELSX / LOGPIXELSY).
struct TScreenResolution {
  int X = 96, Y = 96;
};

// Reads Size bytes from the stream's position. Returns the new bitmap, owned by the caller.
// Raises EInvalidGraphic "unrecognized PCX" for a header outside the values the reader knows and for
// a picture larger than its data can fill; a picture its data fills but larger than MaxPixels
// pixels (by default the picture budget) raises EPictureTooLarge with its size.
TBitmap* ReadPCXStream(TStream& Stream, int& HorzResolution, int& VertResolution, int64_t Size,
                       TScreenResolution Screen = TScreenResolution(), int64_t MaxPixels = kMaxPicturePixels);
TBitmap* ReadPCXFile(const String& FileName, int& HorzResolution, int& VertResolution,
                     TScreenResolution Screen = TScreenResolution());
