#include "bitmap_win.h"

#include <gtest/gtest.h>

TEST(BitmapWin, CanvasDrawsIntoTheSamePixels) {
  TBitmap b;
  b.SetSize(5, 3);
  b.SetPixel(4, 2, clRed);
  TCanvas* c = BitmapCanvas(b);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(b.Pixel(4, 2), clRed);  // the pixels moved into the DIB section
  c->Brush()->SetColor(clBlue);
  c->FillRect(TRect(0, 0, 2, 1));
  GdiFlush();
  EXPECT_EQ(b.Pixel(0, 0), clBlue);
  EXPECT_EQ(b.Pixel(1, 0), clBlue);
  EXPECT_EQ(b.Pixel(2, 0), clBlack);
  EXPECT_EQ(b.ScanLine(0)[0], 255);  // blue first
  EXPECT_EQ(c->Pixel(4, 2), clRed);

  // A new size replaces the section; the canvas is asked for again.
  b.SetSize(8, 8);
  c = BitmapCanvas(b);
  c->Brush()->SetColor(clLime);
  c->FillRect(TRect(7, 7, 8, 8));
  GdiFlush();
  EXPECT_EQ(b.Pixel(7, 7), clLime);
  EXPECT_EQ(b.Pixel(0, 0), clBlue);
}

TEST(BitmapWin, DrawCopiesOntoAnotherCanvas) {
  TBitmap mono;
  mono.SetPixelFormat(pf1bit);
  mono.SetSize(9, 2);
  mono.ScanLine(0)[0] = 0x80;  // pixel (0,0) white
  TBitmap dest;
  dest.SetSize(20, 10);
  TCanvas* c = BitmapCanvas(dest);
  DrawBitmap(*c, 3, 4, mono);
  StretchDrawBitmap(*c, TRect(10, 0, 20, 4), mono);
  GdiFlush();
  EXPECT_EQ(dest.Pixel(3, 4), clWhite);
  EXPECT_EQ(dest.Pixel(4, 4), clBlack);
  EXPECT_EQ(dest.Pixel(10, 0), clWhite);
  EXPECT_EQ(dest.Pixel(19, 3), clBlack);

  TBitmap empty;
  EXPECT_EQ(BitmapHandle(empty), nullptr);
  EXPECT_EQ(BitmapCanvas(empty), nullptr);
  DrawBitmap(*c, 0, 0, empty);
}

TEST(BitmapWin, EditedColourTableReachesTheSection) {
  TBitmap pal;
  pal.SetPixelFormat(pf8bit);
  pal.SetSize(2, 1);
  pal.ScanLine(0)[1] = 9;
  TBitmap dest;
  dest.SetSize(2, 1);
  HDC src = BitmapCanvas(pal)->Handle();
  pal.Palette()[9] = TRGBQuad{10, 20, 30, 0};
  BitmapHandle(pal);
  BitBlt(BitmapCanvas(dest)->Handle(), 0, 0, 2, 1, src, 0, 0, SRCCOPY);
  GdiFlush();
  EXPECT_EQ(dest.Pixel(1, 0), RGBColor(30, 20, 10));
}
