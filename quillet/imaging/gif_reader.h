// The GIF reader: reads one frame of a GIF file into a new 24-bit bitmap, or only counts the frames.
// Self-contained, with its own LZW decoder; separate from the GIF picture class.
#pragma once

#include <cstdint>
#include <vector>

#include "bitmap.h"
#include "picture_budget.h"
#include "streams.h"

struct TGIFScreenInfo {
  uint16_t Width = 0, Height = 0;
  uint8_t Background[3] = {0, 0, 0};  // blue, green, red; black without a global colour table
  uint8_t Aspect = 0;
};

struct TGIFFrameInfo {
  uint16_t Left = 0, Top = 0, Width = 0, Height = 0;
  uint16_t Delay = 0;                 // hundredths of a second; 0 without a graphic control block
  bool Transparent = false;
  uint8_t TransparentColor[3] = {0, 0, 0};  // blue, green, red
  bool Interlaced = false;
};

// Reads frame FrameIndex (0 = the first; -1 decodes nothing and only counts). Returns the new bitmap,
// owned by the caller, or nullptr when the frame does not exist; FrameCount is always the number of
// frames in the file. Raises EInvalidGraphic "unrecognized GIF" for a file that is not a GIF or whose
// data is broken, for a frame larger than MaxPixels pixels (by default the picture budget of
// picture_budget.h) and for one larger than its LZW data can fill.
// TransparentPixels, when given, tells which pixels of the frame are transparent, which the colours
// alone cannot (an opaque pixel may have the transparent entry's colour): it is cleared, and for a
// frame read with Frame.Transparent it receives Width x Height flags row by row, true where the
// pixel's index is the transparent one or where the data ended before the pixel (such a pixel is
// coloured by entry 0 in the bitmap, but would hold the transparent index). One bit a pixel.
TBitmap* ReadGIFStream(TStream& Stream, int FrameIndex, TGIFScreenInfo& Screen, TGIFFrameInfo& Frame,
                       int& FrameCount, int64_t MaxPixels = kMaxPicturePixels,
                       std::vector<bool>* TransparentPixels = nullptr);
TBitmap* ReadGIFFile(const String& FileName, int FrameIndex, TGIFScreenInfo& Screen, TGIFFrameInfo& Frame,
                     int& FrameCount, std::vector<bool>* TransparentPixels = nullptr);
