#include "bmp_budget.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "bitmap.h"

namespace {

uint32_t U16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t U32(const uint8_t* p) { return U16(p) | U16(p + 2) << 16; }

// The headers and a colour table take at most 14 + 124 + 12 + 256 * 4 bytes.
constexpr size_t kHeadBytes = 2048;
// BI_RLE8 and BI_RLE4: a run code of two bytes gives at most 255 pixels.
constexpr uint32_t kRLE8 = 1, kRLE4 = 2;
constexpr int64_t kRLEPixelsPerTwoBytes = 255;

}  // namespace

void RefuseBMPBeyondBudget(TStream& Stream) {
  const int64_t start = Stream.Position();
  const int64_t size = std::max<int64_t>(0, Stream.Size() - start);
  uint8_t head[kHeadBytes];
  const size_t n = size_t(Stream.Read(head, std::min<int64_t>(size, int64_t(kHeadBytes))));
  Stream.SetPosition(start);
  const size_t skip = n >= 2 && head[0] == 'B' && head[1] == 'M' ? 14 : 0;
  if (n < skip + 12) return;
  const uint8_t* dib = head + skip;
  const size_t dibBytes = n - skip;
  const uint32_t headerSize = U32(dib);
  int64_t width, height;
  uint32_t bits, compression = 0;
  if (headerSize == 12) {  // OS/2 1.x: 16-bit sides
    width = U16(dib + 4);
    height = U16(dib + 6);
    bits = U16(dib + 10);
  } else if (headerSize >= 16 && headerSize <= 124 && dibBytes >= headerSize) {
    width = int32_t(U32(dib + 4));
    height = int32_t(U32(dib + 8));  // negative: rows top-down
    bits = U16(dib + 14);
    if (headerSize >= 20) compression = U32(dib + 16);
  } else {
    return;
  }
  // The reader refuses a height of -2^31, which has no top-down side.
  if (width <= 0 || height == 0 || height == INT32_MIN) return;
  const int64_t side = height < 0 ? -height : height;
  if (width * side <= kMaxPicturePixels) return;

  // What the data can fill: the bytes after the info header hold the pixels (and the colour table,
  // which is small beside a quarter of such a picture). Sides are below 2^31 and the reader knows
  // at most 32 bits per pixel, so a row takes below 2^34 bytes; the rows of the whole picture are
  // compared by division, which cannot overflow.
  if (bits == 0 || bits > 32) return;
  const int64_t data = size - int64_t(skip) - int64_t(headerSize);
  if (data <= 0) return;
  if (compression == kRLE8 || compression == kRLE4) {
    if (data / 2 * kRLEPixelsPerTwoBytes < width * side) return;
  } else if (data * 4 / ((width * bits + 31) / 32 * 4) < side) {
    return;  // less than a quarter of the rows
  }

  // Whether the header is one the reader knows is the reader's to say: it is asked about the same
  // header with a side of one pixel each way, which it reads in no time.
  uint8_t small[kHeadBytes];
  std::memcpy(small, dib, dibBytes);
  static const uint8_t kOne16[4] = {1, 0, 1, 0}, kOne32[4] = {1, 0, 0, 0}, kMinusOne32[4] = {0xFF, 0xFF, 0xFF, 0xFF};
  if (headerSize == 12) {
    std::memcpy(small + 4, kOne16, 4);
  } else {
    std::memcpy(small + 4, kOne32, 4);
    std::memcpy(small + 8, height < 0 ? kMinusOne32 : kOne32, 4);
  }
  try {
    TBitmap probe;
    probe.LoadFromDIB(small, dibBytes);
  } catch (const EInvalidGraphic&) {
    return;
  }
  throw EPictureTooLarge(width, side);
}
