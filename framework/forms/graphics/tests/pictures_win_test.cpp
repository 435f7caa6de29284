// The core's picture classes drawn by the window system, and the canvas's pen modes and copying,
// checked on the pixels of a bitmap's canvas.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "bitmap_win.h"
#include "clipboard_pictures_win.h"
#include "icon.h"
#include "metafile.h"
#include "picture.h"
#include "picture_platform_win.h"

namespace {

TMemoryStream* StreamOf(const std::vector<uint8_t>& bytes) {
  auto* s = new TMemoryStream;
  if (!bytes.empty()) s->WriteBuffer(bytes.data(), int64_t(bytes.size()));
  s->SetPosition(0);
  return s;
}

struct Target {
  TBitmap B;
  TCanvas* C;
  explicit Target(int w = 40, int h = 30) {
    B.SetSize(w, h);
    B.Fill(clWhite);
    C = BitmapCanvas(B);
  }
  TColor At(int x, int y) {
    GdiFlush();
    return B.Pixel(x, y);
  }
};

TEST(PicturesWin, BitmapsDrawThroughTheCanvasAndHaveAPalette) {
  TBitmap src;
  src.SetPixelFormat(pf8bit);
  src.SetSize(4, 4);
  src.Fill(clRed);
  src.SetPixel(0, 0, clBlue);
  Target t;
  t.C->Draw(10, 5, &src);
  EXPECT_EQ(t.At(10, 5), clBlue);
  EXPECT_EQ(t.At(13, 8), clRed);
  EXPECT_EQ(t.At(14, 8), clWhite);
  t.C->StretchDraw(TRect(0, 20, 8, 28), &src);  // twice the size
  EXPECT_EQ(t.At(1, 21), clBlue);
  EXPECT_EQ(t.At(2, 21), clRed);

  HPALETTE pal = HPALETTE(src.GetPalette());
  ASSERT_NE(pal, nullptr);
  EXPECT_EQ(GetPaletteEntries(pal, 0, 0, nullptr), 256u);
  EXPECT_EQ(src.GetPalette(), pal);  // kept while the colour table stays
  TBitmap deep;
  deep.SetSize(2, 2);
  EXPECT_EQ(deep.GetPalette(), nullptr);
}

TEST(PicturesWin, BitmapsGoThroughTheClipboardFormat) {
  TBitmap src;
  src.SetSize(5, 3);
  src.Fill(clLime);
  src.SetPixel(4, 2, clNavy);
  uint16_t format = 0;
  THandle data = 0;
  TPaletteHandle pal = nullptr;
  src.SaveToClipboardFormat(format, data, pal);
  EXPECT_EQ(format, cfBitmap);
  ASSERT_NE(data, 0u);
  TPicture p;
  p.LoadFromClipboardFormat(format, data, pal);
  ASSERT_NE(p.Bitmap(), nullptr);
  EXPECT_EQ(p.Width(), 5);
  EXPECT_EQ(p.Bitmap()->Pixel(4, 2), clNavy);
  EXPECT_EQ(p.Bitmap()->Pixel(0, 0), clLime);
  DeleteObject(HBITMAP(data));
  TIcon icon;
  EXPECT_THROW(icon.SaveToClipboardFormat(format, data, pal), EInvalidGraphicOperation);
}

TEST(PicturesWin, PicturesGoOnTheSystemClipboardAndComeBack) {
  TBitmap src;
  src.SetPixelFormat(pf8bit);
  src.SetSize(6, 4);
  src.Fill(clYellow);
  src.SetPixel(5, 3, clPurple);
  ASSERT_TRUE(CopyPictureToClipboard(src));
  EXPECT_TRUE(ClipboardHasPicture());
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_PALETTE));
  TPicture p;
  ASSERT_TRUE(PastePictureFromClipboard(p));
  ASSERT_EQ(p.Width(), 6);
  EXPECT_EQ(p.Bitmap()->Pixel(5, 3), src.Pixel(5, 3));  // the nearest entry of the 8-bit table
  EXPECT_EQ(p.Bitmap()->Pixel(0, 0), clYellow);
  // Text alone is no picture: the picture stays.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 2);
  static_cast<char*>(GlobalLock(text))[0] = 'x';
  static_cast<char*>(GlobalLock(text))[1] = 0;
  GlobalUnlock(text);
  GlobalUnlock(text);
  SetClipboardData(CF_TEXT, text);
  CloseClipboard();
  EXPECT_FALSE(ClipboardHasPicture());
  EXPECT_FALSE(PastePictureFromClipboard(p));
  EXPECT_EQ(p.Width(), 6);
}

// A 16 x 16 icon of 4 bits: left half colour index 1 (red), right half index 2 (blue); the AND
// mask makes the bottom four rows transparent (their colour pixels black, as icons keep them).
std::vector<uint8_t> Icon16() {
  const int w = 16, h = 16;
  std::vector<uint8_t> dib(40 + 64 + 8 * h + 4 * h, 0);
  const uint32_t h2 = 2 * h;
  dib[0] = 40;
  std::memcpy(&dib[4], &w, 4);
  std::memcpy(&dib[8], &h2, 4);
  dib[12] = 1;
  dib[14] = 4;
  dib[40 + 4 + 2] = 255;  // entry 1 red (blue, green, red, 0)
  dib[40 + 8 + 0] = 255;  // entry 2 blue
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < 8; ++x) dib[104 + 8 * y + x] = y < 4 ? 0 : x < 4 ? 0x11 : 0x22;  // masked: black
  for (int y = 0; y < 4; ++y) std::memset(&dib[104 + 8 * h + 4 * y], 0xFF, 2);  // bottom-up: rows 12..15
  std::vector<uint8_t> f = {0, 0, 1, 0, 1, 0, 16, 16, 16, 0, 1, 0, 4, 0};
  const uint32_t size = uint32_t(dib.size()), off = 22;
  f.insert(f.end(), reinterpret_cast<const uint8_t*>(&size), reinterpret_cast<const uint8_t*>(&size) + 4);
  f.insert(f.end(), reinterpret_cast<const uint8_t*>(&off), reinterpret_cast<const uint8_t*>(&off) + 4);
  f.insert(f.end(), dib.begin(), dib.end());
  return f;
}

TEST(PicturesWin, IconsDrawWithTheirMask) {
  std::unique_ptr<TMemoryStream> s(StreamOf(Icon16()));
  TIcon icon;
  icon.LoadFromStream(*s);
  Target t;
  t.C->Draw(2, 3, &icon);
  EXPECT_EQ(t.At(2, 3), clRed);
  EXPECT_EQ(t.At(17, 3), clBlue);
  EXPECT_EQ(t.At(5, 17), clWhite);  // transparent rows show what was there
  EXPECT_EQ(t.At(5, 14), clRed);
}

// Metafiles made by the window system itself: a red rectangle filling the picture.
std::vector<uint8_t> MadeEmf(int w, int h) {
  RECT frame = {0, 0, MulDiv(w, 2540, 96), MulDiv(h, 2540, 96)};
  HDC ref = GetDC(nullptr);
  HDC dc = CreateEnhMetaFileA(ref, nullptr, &frame, nullptr);
  ReleaseDC(nullptr, ref);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT all = {0, 0, w, h};
  FillRect(dc, &all, red);
  DeleteObject(red);
  HENHMETAFILE emf = CloseEnhMetaFile(dc);
  std::vector<uint8_t> bytes(GetEnhMetaFileBits(emf, 0, nullptr));
  GetEnhMetaFileBits(emf, UINT(bytes.size()), bytes.data());
  DeleteEnhMetaFile(emf);
  return bytes;
}

std::vector<uint8_t> MadeWmf(int w, int h, bool placeable) {
  HDC dc = CreateMetaFileA(nullptr);
  SetWindowExtEx(dc, w, h, nullptr);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ old = SelectObject(dc, red);
  SelectObject(dc, GetStockObject(NULL_PEN));
  Rectangle(dc, 0, 0, w + 1, h + 1);
  SelectObject(dc, old);
  DeleteObject(red);
  HMETAFILE wmf = CloseMetaFile(dc);
  std::vector<uint8_t> bytes(GetMetaFileBitsEx(wmf, 0, nullptr));
  GetMetaFileBitsEx(wmf, UINT(bytes.size()), bytes.data());
  DeleteMetaFile(wmf);
  if (!placeable) return bytes;
  std::vector<uint8_t> head(22, 0);
  const uint32_t key = 0x9AC6CDD7;
  std::memcpy(&head[0], &key, 4);
  const int16_t box[4] = {0, 0, int16_t(w * 15), int16_t(h * 15)};  // 1440 units per inch
  std::memcpy(&head[6], box, 8);
  head[14] = 1440 & 255, head[15] = 1440 >> 8;
  uint16_t sum = 0;
  for (int i = 0; i < 10; ++i) sum ^= uint16_t(head[2 * i] | head[2 * i + 1] << 8);
  std::memcpy(&head[20], &sum, 2);
  head.insert(head.end(), bytes.begin(), bytes.end());
  return head;
}

TEST(PicturesWin, MetafilesOfTheWindowSystemMeasureAndPlay) {
  struct Case {
    const char* what;
    std::vector<uint8_t> data;
    bool enhanced;
  } cases[] = {
      {"EMF", MadeEmf(20, 12), true},
      {"WMF", MadeWmf(20, 12, false), false},
      {"placeable WMF", MadeWmf(20, 12, true), false},
  };
  for (const Case& c : cases) {
    std::unique_ptr<TMemoryStream> s(StreamOf(c.data));
    TMetafile m;
    m.LoadFromStream(*s);
    EXPECT_EQ(m.Enhanced(), c.enhanced) << c.what;
    EXPECT_EQ(m.Width(), 20) << c.what;
    EXPECT_EQ(m.Height(), 12) << c.what;
    Target t;
    t.C->Draw(5, 5, &m);
    EXPECT_EQ(t.At(6, 6), clRed) << c.what;
    EXPECT_EQ(t.At(23, 15), clRed) << c.what;
    EXPECT_EQ(t.At(27, 19), clWhite) << c.what;
    EXPECT_EQ(t.At(3, 3), clWhite) << c.what;
    // Onto a bitmap's own pixels (what the image loader does).
    TBitmap b;
    b.SetSize(19, 11);
    DrawGraphicOnBitmap(m, b, 0, 0);
    EXPECT_EQ(b.Pixel(18, 10), clRed) << c.what;
  }
}

TEST(PicturesWin, PenModesAndCopyRect) {
  Target t;
  t.C->Brush()->SetColor(clBlue);
  t.C->FillRect(TRect(0, 0, 10, 10));
  // pmNot inverts what is under the pen, whatever the pen's colour.
  t.C->Pen()->SetMode(pmNot);
  t.C->MoveTo(0, 2);
  t.C->LineTo(20, 2);
  EXPECT_EQ(t.At(5, 2), clYellow);
  EXPECT_EQ(t.At(15, 2), clBlack);
  t.C->Pen()->SetMode(pmXor);
  t.C->Pen()->SetColor(clRed);
  t.C->MoveTo(0, 4);
  t.C->LineTo(20, 4);
  EXPECT_EQ(t.At(5, 4), clFuchsia);
  t.C->Pen()->SetMode(pmCopy);
  t.C->MoveTo(0, 6);
  t.C->LineTo(20, 6);
  EXPECT_EQ(t.At(5, 6), clRed);

  // CopyRect with the copy mode: a plain copy and an inverted one, stretched.
  Target d;
  d.C->CopyRect(TRect(0, 0, 10, 10), *t.C, TRect(0, 0, 10, 10));
  EXPECT_EQ(d.At(5, 5), clBlue);
  d.C->SetCopyMode(NOTSRCCOPY);
  d.C->CopyRect(TRect(20, 0, 40, 20), *t.C, TRect(0, 0, 10, 10));
  EXPECT_EQ(d.At(30, 10), clYellow);
  EXPECT_EQ(d.C->CopyMode(), DWORD(NOTSRCCOPY));
}

}  // namespace
