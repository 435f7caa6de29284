// The memory budget of one picture read, and the largest expansions of the codecs with which the
// readers refuse, before they allocate anything, a declared size that their data cannot fill.
//
// Quillet is a 32-bit program: 2 GB of address space, of which the program, its libraries and the
// open pages take a few hundred megabytes. A picture on screen exists up to three times at once
// (the view's bitmap, the loader's processed copy and the window system's DIB section), so one
// picture may take 128 MB: three of them leave more than half of the address space free. The
// budget covers the 24-bit bitmap of the picture and the decoder's own buffers (the PNG reader's
// rows, libjpeg's coefficient arrays); a 24-bit picture may thus have 44.7 million pixels (a
// 24-megapixel photograph fits, an 8000 x 8000 picture does not). A reader that holds its input
// file in memory (the GIF reader) refuses a file above the budget as well.
// Both builds use these values; the fuzz targets run with them and with libFuzzer's memory and
// malloc limits set to the budget (tools/fuzz/run-fuzz.sh), so that any allocation above it is a
// finding.
#pragma once

#include <cstdint>

#include "graphic.h"
#include "sysutils.h"

constexpr int64_t kPictureBudgetBytes = int64_t(128) << 20;
// The most pixels a picture may have: its 24-bit bitmap alone fills the budget.
constexpr int64_t kMaxPicturePixels = kPictureBudgetBytes / 3;

// Deflate (PNG's IDAT data): at most 1032 bytes out per byte in, a copy of 258 bytes coded in two
// bits being the densest thing the format can say.
constexpr int64_t kDeflateMaxExpansion = 1032;

// Zstandard (TIFF compression 50000): a block gives at most 128 KB and takes at least its
// 3-byte header.
constexpr int64_t kZstdMaxExpansion = 131072 / 3 + 1;

// LZMA (TIFF compression 34925): the range coder's probabilities stop at 2017/2048, so a binary
// decision costs at least 0.022 bits; the densest thing it says, a repeat of the last match of 273
// bytes, takes 14 decisions, about 0.31 bits: below 8192 bytes out per byte in.
constexpr int64_t kLZMAMaxExpansion = 8192;

// PackBits: two bytes (a repeat count and the byte) give at most 128 bytes.
constexpr int64_t kPackBitsMaxExpansion = 64;

// LZW (GIF and TIFF): the bytes that DataBytes of codes at least CodeBits wide can produce. Each
// code yields one string of the table, and each string added is one byte longer than one added
// before it, so the k-th code after a clear yields at most k bytes, and never more than the table's
// 4096 strings allow. A clear code only makes the strings shorter again.
constexpr int64_t LZWMaxOutput(int64_t DataBytes, int CodeBits) {
  const int64_t codes = DataBytes * 8 / (CodeBits < 1 ? 1 : CodeBits);
  const int64_t rising = codes < 4096 ? codes : 4096;
  return rising * (rising + 1) / 2 + (codes - rising) * 4096;
}

// A canvas larger than what is drawn on it: a GIF's logical screen, which its frames fill where
// they lie and which is background elsewhere. A small file may declare a screen of 6000 x 7000
// pixels around one frame of 1 x 1, and the screen is a bitmap of its own: a canvas of more than a
// megapixel whose drawing, from its top left to Right x Bottom, covers less than a quarter of it is
// bounded by that drawing. Real pictures leave a border of background, never three quarters of a
// large canvas, and keep their screen.
constexpr int64_t kCanvasBoundPixels = int64_t(1) << 20;
struct TCanvasSize {
  int Width, Height;
};
constexpr TCanvasSize BoundCanvas(int Width, int Height, int Right, int Bottom) {
  const int64_t w = Right < Width ? Right : Width, h = Bottom < Height ? Bottom : Height;
  if (int64_t(Width) * Height <= kCanvasBoundPixels || w * h * 4 >= int64_t(Width) * Height) return {Width, Height};
  return {int(w > 1 ? w : 1), int(h > 1 ? h : 1)};
}

// A picture whose pixels do not fit the budget, refused before it is decoded. The message says so
// in the user's words and names the size, which the exception also carries: whoever needs only the
// size (the image dialog) takes it from here. The loader passes it on unchanged (it is no broken
// file), and a reader that can shrink while it decodes (JPEG, PNG) is asked to do that instead.
class EPictureTooLarge : public EInvalidGraphic {
public:
  EPictureTooLarge(int64_t Width, int64_t Height)
      : EInvalidGraphic(Format("Das Bild ist mit %u x %u Bildpunkten zu gro\xDF, um angezeigt zu werden.",
                               Side(Width), Side(Height))),
        PictureWidth(Width), PictureHeight(Height) {}
  const char* ClassName() const override { return "EPictureTooLarge"; }
  int64_t PictureWidth, PictureHeight;

private:
  static unsigned Side(int64_t v) { return v < 0 ? 0u : v > 0xFFFFFFFF ? 0xFFFFFFFFu : unsigned(v); }
};
