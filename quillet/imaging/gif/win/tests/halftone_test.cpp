// The screen's halftone palette behind the reduction to the halftone palette.
#include <gtest/gtest.h>

#include "halftone.h"

namespace {

TEST(HalftoneWin32, ReductionUsesTheScreensPalette) {
  const TLogPalette screen = ScreenHalftonePalette();
  ASSERT_GE(screen.size(), 20u);
  ASSERT_LE(screen.size(), 256u);

  TBitmap src;
  src.SetPixelFormat(pf24bit);
  src.SetSize(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      uint8_t* p = src.ScanLine(y) + 3 * x;
      p[0] = uint8_t(x * 16);
      p[1] = uint8_t(y * 16);
      p[2] = uint8_t(255 - x * 8);
    }
  UseScreenHalftonePalette();
  auto out = ReduceBitmapColors(src, rmWindows256, dmNearest, 8, nullptr);
  SetHalftonePaletteSource(nullptr);
  ASSERT_EQ(out->PixelFormat(), pf8bit);
  for (size_t i = 0; i < screen.size(); ++i) {
    const TRGBQuad& q = out->Palette()[i];
    ASSERT_TRUE(q.rgbRed == screen[i].peRed && q.rgbGreen == screen[i].peGreen && q.rgbBlue == screen[i].peBlue)
        << "entry " << i;
  }
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_LT(size_t(out->ScanLine(y)[x]), screen.size());
}

}  // namespace
