#include "bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(Bitmap, RowsArePaddedBottomUpAndBlueGreenRed) {
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(5, 3);
  EXPECT_EQ(b.RowBytes(), 16);  // 15 bytes padded to 4
  EXPECT_EQ(b.ImageSize(), 48u);
  // ScanLine(0) is the top row, stored last as in a DIB.
  EXPECT_EQ(b.ScanLine(0), b.Bits() + 32);
  EXPECT_EQ(b.ScanLine(2), b.Bits());
  b.SetPixel(1, 0, RGBColor(10, 20, 30));
  EXPECT_EQ(b.ScanLine(0)[3], 30);
  EXPECT_EQ(b.ScanLine(0)[4], 20);
  EXPECT_EQ(b.ScanLine(0)[5], 10);
  EXPECT_EQ(b.Pixel(1, 0), RGBColor(10, 20, 30));
  EXPECT_THROW(b.ScanLine(3), EInvalidOperation);
  EXPECT_THROW(b.ScanLine(-1), EInvalidOperation);
}

TEST(Bitmap, IndexedFormatsCarryTheirTable) {
  struct Case { TPixelFormat pf; int width; int rowBytes; size_t entries; };
  for (Case c : {Case{pf1bit, 33, 8, 2}, Case{pf4bit, 9, 8, 16}, Case{pf8bit, 5, 8, 256}, Case{pf16bit, 3, 8, 0}}) {
    TBitmap b;
    b.SetPixelFormat(c.pf);
    b.SetSize(c.width, 2);
    EXPECT_EQ(b.RowBytes(), c.rowBytes) << c.pf;
    EXPECT_EQ(b.Palette().size(), c.entries) << c.pf;
  }
  TBitmap m;
  m.SetPixelFormat(pf1bit);
  m.SetSize(10, 1);
  m.SetPixel(9, 0, clWhite);
  EXPECT_EQ(m.ScanLine(0)[1], 0x40);
  EXPECT_EQ(m.Pixel(9, 0), clWhite);
  EXPECT_EQ(m.Pixel(8, 0), clBlack);
}

TEST(Bitmap, ResizeKeepsTheOverlapAndFormatChangeConverts) {
  TBitmap b;
  b.SetSize(2, 2);
  b.SetPixel(0, 0, clRed);
  b.SetPixel(1, 1, clBlue);
  b.SetSize(3, 1);
  EXPECT_EQ(b.Pixel(0, 0), clRed);
  EXPECT_EQ(b.Pixel(2, 0), clBlack);
  b.SetPixelFormat(pf1bit);
  b.SetPixelFormat(pf24bit);
  EXPECT_EQ(b.Pixel(0, 0), clBlack);  // red is nearer to black than to white

  TBitmap c;
  c.SetPixelFormat(pf4bit);
  c.SetSize(3, 1);
  c.SetPixel(2, 0, clYellow);
  c.SetPixelFormat(pf24bit);
  EXPECT_EQ(c.Pixel(2, 0), clYellow);
}

TEST(Bitmap, UnclearedSizeClearsOnlyTheRowPadding) {
  // The reused heap block holds old bytes, which the padding must not show (saved files carry it).
  for (int round = 0; round < 2; ++round) {
    TBitmap b;
    b.SetSize(8, 30);  // as many bytes as the 7 x 30 picture below
    if (round == 0) {
      std::fill(b.Bits(), b.Bits() + b.ImageSize(), 0xAB);
      continue;
    }
    b.SetSizeUncleared(7, 30);
    EXPECT_EQ(b.Width(), 7);
    EXPECT_EQ(b.RowBytes(), 24);
    for (int y = 0; y < 30; ++y) EXPECT_EQ(b.ScanLine(y)[21] | b.ScanLine(y)[22] | b.ScanLine(y)[23], 0) << y;
  }
  TBitmap big;
  EXPECT_THROW(big.SetSizeUncleared(65535, 65535), EInvalidGraphic);
  EXPECT_TRUE(big.Empty());
}

TEST(Bitmap, AssignCopiesEverything) {
  TBitmap a;
  a.SetPixelFormat(pf8bit);
  a.SetSize(4, 4);
  a.Palette()[7] = TRGBQuad{0, 0, 200, 0};
  a.ScanLine(3)[2] = 7;
  TBitmap b;
  b.Assign(&a);
  EXPECT_EQ(b.Width(), 4);
  EXPECT_EQ(b.PixelFormat(), pf8bit);
  EXPECT_EQ(b.Pixel(2, 3), RGBColor(200, 0, 0));
  b.Assign(nullptr);
  EXPECT_TRUE(b.Empty());
}

TEST(Bitmap, HostileSizesAreRefused) {
  TBitmap b;
  EXPECT_THROW(b.SetSize(65535, 65535), EInvalidGraphic);
  EXPECT_TRUE(b.Empty());
  EXPECT_THROW(b.SetSize(-1, 5), EInvalidGraphic);
  b.SetSize(0, 7);
  EXPECT_TRUE(b.Empty());
}
