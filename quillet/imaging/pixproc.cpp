#include "pixproc.h"

#include <cmath>
#include <cstring>

namespace {

// Entry b holds the eight pixels of the bits of b, the most significant first: white for a set
// bit, black for a clear one. Built once, on first use.
struct TExpansionTable {
  uint8_t Entry[256][24];
  TExpansionTable() {
    for (int b = 0; b < 256; ++b)
      for (int i = 0; i < 8; ++i) std::memset(&Entry[b][3 * i], (b >> (7 - i)) & 1 ? 255 : 0, 3);
  }
};

const TExpansionTable& Expansion() {
  static const TExpansionTable t;
  return t;
}

}  // namespace

TPixProc::TPixProc(TComponent* AOwner) : TPixClient(AOwner) {}

void TPixProc::Expand1Bit(const TBitmap& Source, TBitmap& Dest) {
  const TExpansionTable& t = Expansion();
  Dest.SetSize(1, 1);
  Dest.SetPixelFormat(pf24bit);
  Dest.SetSize(Source.Width(), Source.Height());
  const int w = Source.Width(), whole = w / 8, rest = w % 8;
  for (int y = 0; y < Source.Height(); ++y) {
    const uint8_t* in = Source.ScanLine(y);
    uint8_t* out = Dest.ScanLine(y);
    for (int i = 0; i < whole; ++i) std::memcpy(out + 24 * i, t.Entry[in[i]], 24);
    if (rest) std::memcpy(out + 24 * whole, t.Entry[in[whole]], size_t(rest) * 3);
  }
  Dest.PixelsChanged();
}

void TPixProc::To24Bits(TBitmap& Picture) {
  if (Picture.PixelFormat() != pf1bit) {
    Picture.SetPixelFormat(pf24bit);
    return;
  }
  TBitmap expanded;
  Expand1Bit(Picture, expanded);
  Picture.MoveFrom(expanded);
}

int RoundAwayFromZero(long double X) {
  const long double t = std::trunc(X);
  if (X == t) return int(t);
  return X > 0 ? int(t) + 1 : int(t) - 1;
}

TPixSize FitSizePercent(int SW, int SH, int BW, int BH) {
  const float px = SW == 0 ? 0.0f : float(BW) / float(SW) * 100.0f;
  const float py = SH == 0 ? 0.0f : float(BH) / float(SH) * 100.0f;
  const int p = int(py < px ? py : px);
  return {int(std::nearbyint(double(SW) * p / 100.0)), int(std::nearbyint(double(SH) * p / 100.0))};
}
