// TPixProc: the processing component attached to the image view. Of its work the programs use
// the attachment, the background forwarding and the 1-bit expansion that every load of a
// black-and-white picture goes through; the rest of its state is kept for the forms that set it.
// Beside it, the pixel helpers and the two size routines of the thumbnail browser.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "bitmap.h"
#include "pixhost.h"

using TPixProgressEvent = std::function<void(TObject* Sender, int per)>;

class TPixProc : public TPixClient {
public:
  explicit TPixProc(TComponent* AOwner);
  const char* ClassName() const override { return "TPixProc"; }

  // Stored for the forms that set them; no operation reads them.
  bool AutoUndo = true;
  TPixProgressEvent OnProgress;

  // A 1-bit picture as 24 bits: every set bit white, every clear bit black, whatever the
  // picture's colour table says. Dest is first made 1 x 1 at 24 bits, then Source's size.
  static void Expand1Bit(const TBitmap& Source, TBitmap& Dest);
  // A reader's picture made 24 bits per pixel in place: a 1-bit picture through Expand1Bit (1 bits
  // white), any other through its pixel format.
  static void To24Bits(TBitmap& Picture);
};

// A colour value (red lowest) from a 24-bit pixel's blue-green-red bytes and back: the first and
// third byte exchanged.
inline uint32_t SwapRedBlue(uint32_t c) { return (c & 0xFF00FF00u) | (c & 0xFF) << 16 | (c >> 16 & 0xFF); }
inline int MinInt(int a, int b) { return a < b ? a : b; }
inline void ExchangeBytes(uint8_t& a, uint8_t& b) {
  const uint8_t t = a;
  a = b;
  b = t;
}

// The integer part of X, moved one away from zero unless X is whole: 2.1 gives 3, -2.1 gives -3.
int RoundAwayFromZero(long double X);

struct TPixSize {
  int Width = 0, Height = 0;
};
// The size of a SW x SH picture shrunk (or grown) into a BW x BH box, keeping its proportions:
// the smaller of the two percentages (single precision, truncated to whole percent), the sides
// rounded to nearest, ties to even.
TPixSize FitSizePercent(int SW, int SH, int BW, int BH);
