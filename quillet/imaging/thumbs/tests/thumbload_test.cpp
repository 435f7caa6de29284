// The pictures of GIF and two-colour BMP cells: a GIF as drawn once (its whole picture, the first
// frame at its place, transparent pixels in the cell's colour), a BMP through its colour table.
// The files are written here byte by byte, so that every colour table entry is exactly as meant.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "thumbload.h"

namespace {
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

String WriteFile(const String& Name, const Bytes& b) {
  const fs::path dir = fs::path(ASTREL_BINARY_DIR) / "thumbload_dir";
  fs::create_directories(dir);
  const String path = (dir / Name).string();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  EXPECT_NE(f, nullptr);
  if (f) {
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
  }
  return path;
}

void Word(Bytes& b, int v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}

// Global table of four entries: 0 black, 1 red, 2 green, 3 green again (the same colour as 2).
// With Transparent >= 0 a graphic control block makes that index transparent. The pixels are
// coded with 2-bit roots and a clear code before every second pixel, so every code is 3 bits.
// Pixels == nullptr writes no frame at all; Codes below the pixel count ends the data early.
Bytes MakeGIF(int SW, int SH, int Left, int Top, int W, int H, int Transparent, const std::vector<int>* Pixels,
              size_t Codes = size_t(-1)) {
  Bytes f = {'G', 'I', 'F', '8', '9', 'a'};
  Word(f, SW);
  Word(f, SH);
  f.insert(f.end(), {0x81, 0, 0, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 255, 0});
  if (Pixels) {
    if (Transparent >= 0) f.insert(f.end(), {'!', 249, 4, 1, 0, 0, uint8_t(Transparent), 0});
    f.push_back(',');
    Word(f, Left);
    Word(f, Top);
    Word(f, W);
    Word(f, H);
    f.push_back(0);
    std::vector<int> codes;
    for (size_t i = 0; i < Pixels->size() && i < Codes; ++i) {
      if (i % 2 == 0) codes.push_back(4);
      codes.push_back((*Pixels)[i]);
    }
    codes.push_back(5);
    Bytes data;
    uint32_t acc = 0;
    int bits = 0;
    for (int c : codes) {
      acc |= uint32_t(c) << bits;
      for (bits += 3; bits >= 8; bits -= 8, acc >>= 8) data.push_back(uint8_t(acc));
    }
    if (bits) data.push_back(uint8_t(acc));
    f.push_back(2);
    for (size_t i = 0; i < data.size(); i += 255) {
      const size_t n = std::min<size_t>(255, data.size() - i);
      f.push_back(uint8_t(n));
      f.insert(f.end(), data.begin() + long(i), data.begin() + long(i + n));
    }
    f.push_back(0);
  }
  f.push_back(';');
  return f;
}

// A two-colour BMP of W x 1 pixels with the given bits and colour table (entry 0, entry 1).
Bytes Make1BitBMP(const std::vector<int>& Bits, TColor Entry0, TColor Entry1) {
  const int w = int(Bits.size()), stride = ((w + 31) / 32) * 4, offset = 14 + 40 + 8;
  Bytes b = {'B', 'M'};
  auto dword = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
  };
  dword(uint32_t(offset + stride));
  dword(0);
  dword(uint32_t(offset));
  dword(40);
  dword(uint32_t(w));
  dword(1);
  Word(b, 1);
  Word(b, 1);
  for (int i = 0; i < 6; ++i) dword(0);
  for (TColor c : {Entry0, Entry1}) b.insert(b.end(), {uint8_t(BlueOf(c)), uint8_t(GreenOf(c)), uint8_t(RedOf(c)), 0});
  Bytes row(size_t(stride), 0);
  for (int x = 0; x < w; ++x)
    if (Bits[size_t(x)]) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
  b.insert(b.end(), row.begin(), row.end());
  return b;
}

std::vector<TColor> Pixels(const TThumbPicture& p) {
  std::vector<TColor> v;
  auto* b = dynamic_cast<TBitmap*>(p.Graphic.get());
  EXPECT_NE(b, nullptr);
  if (!b) return v;
  EXPECT_EQ(b->Width(), p.Width);
  EXPECT_EQ(b->Height(), p.Height);
  for (int y = 0; y < b->Height(); ++y)
    for (int x = 0; x < b->Width(); ++x) v.push_back(b->Pixel(x, y));
  return v;
}
}  // namespace

TEST(ThumbLoad, GIFShowsItsWholePictureWithTheFrameInPlaceAndTheCellBehindTransparentPixels) {
  const TColor bg = RGBColor(10, 20, 30), K = clBlack, R = clRed, G = clLime, o = bg;
  const std::vector<int> frame = {1, 2, 3, 1,   // index 2 is transparent, 3 is the same green but opaque
                                  2, 2, 3, 0};
  const std::vector<int> whole = {1, 3, 2, 0};
  struct TCase {
    const char* Name;
    Bytes File;
    int Width, Height;
    std::vector<TColor> Shown;
  };
  const TCase cases[] = {
      // A 4 x 2 frame at (1, 2) of a 6 x 5 picture.
      {"offset", MakeGIF(6, 5, 1, 2, 4, 2, 2, &frame), 6, 5,
       {o, o, o, o, o, o,
        o, o, o, o, o, o,
        o, R, o, G, R, o,
        o, o, o, G, K, o,
        o, o, o, o, o, o}},
      // Without a transparent index every pixel shows its entry's colour.
      {"opaque", MakeGIF(6, 3, 2, 1, 4, 2, -1, &frame), 6, 3,
       {o, o, o, o, o, o,
        o, o, R, G, G, R,
        o, o, G, G, G, K}},
      // A frame reaching past the logical screen grows the picture to hold it.
      {"beyond", MakeGIF(3, 2, 1, 1, 4, 2, 2, &frame), 5, 3,
       {o, o, o, o, o,
        o, R, o, G, R,
        o, o, o, G, K}},
      // A frame that is the whole picture; the data ends after five pixels: the rest is transparent.
      {"whole", MakeGIF(4, 2, 0, 0, 4, 2, 2, &frame, 5), 4, 2,
       {R, o, G, R,
        o, o, o, o}},
      {"whole_opaque_index0", MakeGIF(2, 2, 0, 0, 2, 2, 0, &whole), 2, 2, {R, G, G, o}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TThumbPicture p = LoadThumbPicture(WriteFile(String(c.Name) + ".gif", c.File), 0, 0, nullptr, bg);
    EXPECT_EQ(p.Width, c.Width);
    EXPECT_EQ(p.Height, c.Height);
    EXPECT_EQ(Pixels(p), c.Shown);
  }

  // The cell's colour by default: its button face, as a system colour resolves.
  TThumbPicture p = LoadThumbPicture(WriteFile("default.gif", MakeGIF(6, 5, 1, 2, 4, 2, 2, &frame)));
  EXPECT_EQ(Pixels(p)[0], ColorToRGB(clBtnFace));

  // A GIF without any frame has no picture to show.
  EXPECT_THROW(LoadThumbPicture(WriteFile("empty.gif", MakeGIF(4, 4, 0, 0, 0, 0, -1, nullptr))), EInvalidGraphic);
  // A logical screen of 65535 x 65535 pixels around a frame of one pixel: the screen is bounded by
  // its frame (it could never be filled), not allocated, and the frame is shown at its place.
  const std::vector<int> one = {1};
  p = LoadThumbPicture(WriteFile("huge.gif", MakeGIF(65535, 65535, 5, 5, 1, 1, -1, &one)), 0, 0, nullptr, bg);
  EXPECT_EQ(p.Width, 6);
  EXPECT_EQ(p.Height, 6);
  EXPECT_EQ(Pixels(p)[0], ColorToRGB(bg));
  EXPECT_EQ(Pixels(p)[35], R);
}

TEST(ThumbLoad, TwoColourBMPShowsTheColoursOfItsTable) {
  const std::vector<int> bits = {0, 1, 1, 0, 1};
  const TColor navy = RGBColor(0, 0, 128), yellow = RGBColor(255, 255, 0);
  struct TCase {
    const char* Name;
    TColor Entry0, Entry1;
  };
  for (const TCase& c : {TCase{"plain", clBlack, clWhite}, TCase{"inverted", clWhite, clBlack},
                         TCase{"coloured", navy, yellow}}) {
    SCOPED_TRACE(c.Name);
    TThumbPicture p = LoadThumbPicture(WriteFile(String(c.Name) + ".bmp", Make1BitBMP(bits, c.Entry0, c.Entry1)));
    std::vector<TColor> want;
    for (int b : bits) want.push_back(b ? c.Entry1 : c.Entry0);
    EXPECT_EQ(Pixels(p), want);
    EXPECT_EQ(static_cast<TBitmap*>(p.Graphic.get())->PixelFormat(), pf24bit);
  }
}
