#include "thumblayout.h"

#include <cmath>

#include "pixproc.h"

void TThumbLayout::Recompute() {
  CellWidth = int(std::nearbyint(double(MaxWidth) * Size / 100.0));
  CellHeight = int(std::nearbyint(double(MaxHeight) * Size / 100.0));
  long n = 1;
  switch (ScrollMode) {
    case SMHorizontal:
      if (ThumbGap + CellHeight > 0) n = (ViewHeight - 20) / (ThumbGap + CellHeight);
      break;
    case SMVertical:
      if (ThumbGap + CellWidth > 0) n = (ViewWidth - 20) / (ThumbGap + CellWidth);
      break;
    case SMboth:
      n = RoundAwayFromZero(std::sqrt(static_cast<long double>(Count)));
      break;
  }
  if (n < 1) n = 1;
  if (n > 0xFFFF) n = 0xFFFF;
  PerLine = uint16_t(n);
}

TThumbRect TThumbLayout::CellRect(int I) const {
  const int n = PerLine;
  const int i = I + 1;
  const int q = RoundAwayFromZero(static_cast<long double>(i) / n);  // the line
  const int r = i - n * q + n;                                        // the place in the line
  const int g = ThumbGap, w = CellWidth, h = CellHeight;
  const int W = ViewWidth - 20, H = ViewHeight - 20;
  TThumbRect rc;
  rc.Width = w;
  rc.Height = h;
  if (ScrollMode == SMHorizontal) {
    rc.Left = (q - 1) * w + q * g;
    const int gy = AlignView == VTFitToScreen ? (H - n * (g + h)) / (n + 1) : g;
    rc.Top = (r - 1) * h + r * gy;
    if (AlignView == VTCenter) rc.Top += H / 2 - (n * h) / 2;
  } else {
    const int gx = ScrollMode == SMVertical && AlignView == VTFitToScreen ? (W - n * w) / (n + 1) : g;
    rc.Left = (r - 1) * w + r * gx;
    rc.Top = (q - 1) * h + q * g;
    if (ScrollMode == SMVertical && AlignView == VTCenter) rc.Left += W / 2 - ((g + w) * n) / 2;
  }
  return rc;
}

int TThumbLayout::HitTest(int X, int Y, int ScrollX, int ScrollY) const {
  if (Count <= 0 || ThumbGap + CellWidth <= 0 || ThumbGap + CellHeight <= 0) return -1;
  const int a = RoundAwayFromZero(static_cast<long double>(ScrollX + X) / (ThumbGap + CellWidth));
  const int b = RoundAwayFromZero(static_cast<long double>(ScrollY + Y) / (ThumbGap + CellHeight));
  int place = ScrollMode == SMHorizontal ? b : a;
  int line = ScrollMode == SMHorizontal ? a : b;
  if (place > PerLine) place = PerLine;
  if (line < 1) line = 1;
  const uint16_t index = uint16_t((line - 1) * PerLine + place - 1);
  if (index >= Count) return -1;
  const TThumbRect rc = CellRect(index);
  const int left = rc.Left - ScrollX, top = rc.Top - ScrollY;
  if (left < X && X < left + rc.Width && top < Y && Y < top + rc.Height) return index;
  return -1;
}
