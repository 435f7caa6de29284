#include "bmp_budget.h"

#include "bitmap.h"

namespace {

// BI_RLE8 and BI_RLE4: a run code of two bytes gives at most 255 pixels.
constexpr int64_t kRLEPixelsPerTwoBytes = 255;

}  // namespace

void RefuseBMPBeyondBudget(TStream& Stream) {
  // Whether the headers are ones the reader knows is the reader's to say.
  TBMPHeader h;
  try {
    h = ReadBMPHeader(Stream);
  } catch (const EInvalidGraphic&) {
    return;
  }
  const int64_t pixels = int64_t(h.Width) * h.Height;
  if (pixels <= kMaxPicturePixels || h.DataBytes <= 0) return;
  // What the data can fill (the colour table is small beside a quarter of such a picture). Sides
  // are below 2^31 and the reader knows at most 32 bits per pixel, so a row takes below 2^34
  // bytes; the rows of the whole picture are compared by division, which cannot overflow.
  if (h.RunLength) {
    if (h.DataBytes / 2 * kRLEPixelsPerTwoBytes < pixels) return;
  } else if (h.DataBytes * 4 / ((int64_t(h.Width) * h.Bits + 31) / 32 * 4) < h.Height) {
    return;  // less than a quarter of the rows
  }
  throw EPictureTooLarge(h.Width, h.Height);
}
