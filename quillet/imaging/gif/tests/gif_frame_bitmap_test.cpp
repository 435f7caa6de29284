// Frames as bitmaps: the frame's picture with its palette, dithered or not, its transparency mask,
// and bitmaps of every pixel format turned into frames.
#include <gtest/gtest.h>

#include "gif_frame_bitmap.h"

namespace {

struct TestImage : TGIFImageOwner {
  std::vector<std::string> Captions;
  void Progress(TObject*, TGIFProgressStage, int, bool, const String& Message) override {
    Captions.push_back(Message);
  }
};

TGIFSubImage* Frame(TGIFImageOwner& Image, int W, int H, const std::vector<int>& Pixels) {
  auto* f = new TGIFSubImage(&Image);
  Image.Images().Add(f);
  f->SetWidth(W);
  f->SetHeight(H);
  for (int i = 0; i < W * H; ++i) f->ScanLine(i / W)[i % W] = uint8_t(Pixels[size_t(i)]);
  return f;
}

TEST(GIFFrameBitmap, PictureMaskAndDither) {
  TestImage img;
  img.GlobalColorMap().Add(TColor(0x0000FF));  // red
  img.GlobalColorMap().Add(TColor(0x00FF00));  // green
  img.GlobalColorMap().Add(TColor(0xFF0000));  // blue
  TGIFSubImage* f = Frame(img, 3, 2, {0, 1, 2, 2, 1, 0});
  auto bmp = RenderFrameBitmap(*f, false);
  ASSERT_EQ(pf8bit, bmp->PixelFormat());
  EXPECT_EQ(3, bmp->Width());
  EXPECT_EQ(TColor(0xFF0000), bmp->Pixel(0, 1));  // blue
  EXPECT_EQ(TColor(0x00FF00), bmp->Pixel(1, 0));
  EXPECT_EQ(nullptr, RenderFrameMask(*f));  // not transparent

  auto* g = new TGIFGraphicControlExtension(f);
  f->Extensions().Add(g);
  g->SetTransparent(true);
  g->SetTransparentColorIndex(1);
  auto mask = RenderFrameMask(*f);
  ASSERT_NE(nullptr, mask);
  EXPECT_EQ(pf1bit, mask->PixelFormat());
  EXPECT_EQ(0x40, mask->ScanLine(0)[0] & 0xE0);  // only the middle pixel of each row is set
  EXPECT_EQ(0x40, mask->ScanLine(1)[0] & 0xE0);
  g->SetTransparentColorIndex(0);
  f->ScanLine(0)[0] = 2;
  f->ScanLine(1)[2] = 2;
  EXPECT_EQ(nullptr, RenderFrameMask(*f));  // no pixel holds the index

  // Dithered: pure colours lie on the 216-colour palette and stay exact.
  auto web = RenderFrameBitmap(*f, true);
  EXPECT_EQ(255, web->Palette()[215].rgbRed);  // the last web colour, white
  EXPECT_EQ(TColor(0xFF0000), web->Pixel(0, 0));
  EXPECT_EQ(TColor(0x00FF00), web->Pixel(1, 1));
}

TEST(GIFFrameBitmap, BitmapsBecomeFrames) {
  // 4 bits: indices and colour table kept.
  TestImage img;
  TBitmap four;
  four.SetPixelFormat(pf4bit);
  four.SetSize(3, 1);
  four.ScanLine(0)[0] = 0x5A;
  four.ScanLine(0)[1] = 0xF0;
  auto* f = new TGIFSubImage(&img);
  img.Images().Add(f);
  AssignBitmapToFrame(*f, four);
  EXPECT_EQ(5, f->Pixels(0, 0));
  EXPECT_EQ(10, f->Pixels(1, 0));
  EXPECT_EQ(15, f->Pixels(2, 0));
  EXPECT_EQ(16, f->ColorMap().Count());
  EXPECT_EQ(3, img.Width());

  // 24 bits: reduced onto the 216-colour palette by default; colours come back exactly.
  TBitmap rgb;
  rgb.SetPixelFormat(pf24bit);
  rgb.SetSize(2, 2);
  rgb.SetPixel(0, 0, TColor(0x0000FF));
  rgb.SetPixel(1, 0, TColor(0x33CC66));
  rgb.SetPixel(0, 1, TColor(0xFFFFFF));
  auto* g = new TGIFSubImage(&img);
  img.Images().Add(g);
  AssignBitmapToFrame(*g, rgb);
  ASSERT_EQ(2, g->Width());
  EXPECT_EQ(TColor(0x0000FF), g->ColorMap().Colors(g->Pixels(0, 0)));
  EXPECT_EQ(TColor(0x33CC66), g->ColorMap().Colors(g->Pixels(1, 0)));
  EXPECT_EQ(TColor(0xFFFFFF), g->ColorMap().Colors(g->Pixels(0, 1)));
  EXPECT_EQ(TColor(0), g->ColorMap().Colors(g->Pixels(1, 1)));
}

}  // namespace
