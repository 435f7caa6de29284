// Colour lookups, ditherers, the octree quantiser and ReduceBitmapColors, checked by the properties
// of their results.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>

#include "color_quantizer.h"
#include "color_reduction.h"
#include "gif_test_support.h"

namespace {

struct RGB {
  int r, g, b;
};

// A 24-bit bitmap painted by a function of the position.
struct Picture : TBitmap {
  template <typename F>
  Picture(int w, int h, F colour) {
    SetPixelFormat(pf24bit);
    SetSize(w, h);
    for (int y = 0; y < h; ++y) {
      uint8_t* p = ScanLine(y);
      for (int x = 0; x < w; ++x, p += 3) {
        RGB c = colour(x, y);
        p[0] = uint8_t(c.b);
        p[1] = uint8_t(c.g);
        p[2] = uint8_t(c.r);
      }
    }
  }
};

RGB PaletteColour(const TBitmap& b, int index) {
  const TRGBQuad& q = b.Palette()[size_t(index)];
  return {q.rgbRed, q.rgbGreen, q.rgbBlue};
}

int Distance(const TPaletteEntry& e, int r, int g, int b) {
  return std::abs(r - e.peRed) + std::abs(g - e.peGreen) + std::abs(b - e.peBlue);
}

TEST(ColorLookup, FixedPalettes) {
  int R, G, B;
  TNetscapeColorLookup web;
  EXPECT_EQ(web.Colors(), 216);
  EXPECT_EQ(web.Lookup(128, 128, 128, R, G, B), 86);
  EXPECT_EQ(R, 102);
  EXPECT_EQ(G, 102);
  EXPECT_EQ(web.Lookup(255, 0, 47, R, G, B), 5 * 36 + 0 + 0);
  EXPECT_EQ(web.Lookup(255, 0, 48, R, G, B), 5 * 36 + 1);
  const TLogPalette wp = WebPalette();
  EXPECT_EQ(wp[86].peRed, 102);
  EXPECT_EQ(wp[5 * 36 + 1].peBlue, 51);

  TMonochromeLookup mono;
  EXPECT_EQ(mono.Colors(), 2);
  EXPECT_EQ(mono.Lookup(127, 127, 127, R, G, B), 0);
  EXPECT_EQ(R, 0);
  EXPECT_EQ(mono.Lookup(128, 128, 128, R, G, B), 1);
  EXPECT_EQ(B, 255);

  TGrayScaleLookup grey;
  EXPECT_EQ(grey.Colors(), 256);
  EXPECT_EQ(grey.Lookup(255, 255, 255, R, G, B), 255);
  EXPECT_EQ(grey.Lookup(0, 255, 0, R, G, B), 149);  // 150 x 255 / 256
  EXPECT_EQ(R, 149);
}

TEST(ColorLookup, FastLookupFindsTheNearestEntryOncePerKey) {
  TLogPalette pal;
  const Bytes rnd = RandomPixels(3 * 200, 256, 5);
  pal.assign(200, TPaletteEntry());
  for (size_t i = 0; i < 200; ++i) pal[i] = {rnd[3 * i], rnd[3 * i + 1], rnd[3 * i + 2], 0};
  TFastColorLookup fast(&pal);
  EXPECT_EQ(fast.Colors(), 200);
  // One colour per 15-bit key (the low three bits of each channel 0): each is answered by a full
  // search, and the answer is the first entry with the smallest distance.
  int R, G, B;
  std::set<int> ownKeys;
  for (const auto& e : pal) ownKeys.insert(TFastColorLookup::Key(e.peRed, e.peGreen, e.peBlue));
  for (int r = 0; r < 256; r += 24)
    for (int g = 0; g < 256; g += 40)
      for (int b = 0; b < 256; b += 16) {
        const int rr = r & 0xF8, gg = g & 0xF8, bb = b & 0xF8;
        const int index = fast.Lookup(rr, gg, bb, R, G, B);
        if (ownKeys.count(TFastColorLookup::Key(rr, gg, bb))) continue;  // answered by the entry itself
        int best = 0;
        for (int i = 1; i < 200; ++i)
          if (Distance(pal[size_t(i)], rr, gg, bb) < Distance(pal[size_t(best)], rr, gg, bb)) best = i;
        ASSERT_EQ(index, best) << rr << "," << gg << "," << bb;
        EXPECT_EQ(R, pal[size_t(best)].peRed);
      }
  // A second colour of a known key costs no search and gets the same entry.
  const int searches = fast.Searches();
  const int first = fast.Lookup(80, 80, 80, R, G, B);
  EXPECT_EQ(fast.Searches(), searches + 1);
  EXPECT_EQ(fast.Lookup(87, 83, 81, R, G, B), first);
  EXPECT_EQ(fast.Searches(), searches + 1);

  // Two entries with the same key: the lower index answers for it.
  TLogPalette twins = {{10, 10, 10, 0}, {200, 16, 16, 0}, {201, 17, 18, 0}};
  TFastColorLookup t(&twins);
  EXPECT_EQ(t.Lookup(202, 18, 19, R, G, B), 1);
  EXPECT_EQ(t.Searches(), 0);
}

// Records the columns the ditherer visits.
class RecordingLookup : public TColorLookup {
public:
  RecordingLookup() : TColorLookup(nullptr) { FColors = 1; }
  int Lookup(int Red, int, int, int& R, int& G, int& B) override {
    seen.push_back(Red);
    R = G = B = 0;
    return 0;
  }
  std::vector<int> seen;
};

TEST(Ditherer, SerpentineOrder) {
  for (int mode = dmNearest; mode <= dmBurkes; ++mode) {
    RecordingLookup lookup;
    auto d = CreateDitherer(TDitherMode(mode), 5, &lookup);
    std::vector<int> columns;
    for (int row = 0; row < 3; ++row) {
      for (int x = d->Column(); x >= 0 && x < 5; x = d->Column()) {
        columns.push_back(x);
        int r, g, b;
        d->Dither(0, 0, 0, r, g, b);
      }
      d->NextLine();
    }
    EXPECT_EQ(columns, (std::vector<int>{0, 1, 2, 3, 4, 4, 3, 2, 1, 0, 0, 1, 2, 3, 4})) << "mode " << mode;
  }
}

// The web palette's levels, recording the (corrected) red value each pixel was looked up with.
class RecordingWebLookup : public TNetscapeColorLookup {
public:
  int Lookup(int Red, int Green, int Blue, int& R, int& G, int& B) override {
    seen.push_back(Red);
    return TNetscapeColorLookup::Lookup(Red, Green, Blue, R, G, B);
  }
  std::vector<int> seen;
};

std::vector<int> FloydSteinbergInputs(int Width, const std::vector<std::vector<int>>& Rows) {
  RecordingWebLookup lookup;
  TFloydSteinbergDitherer d(Width, &lookup);
  for (const auto& row : Rows) {
    for (int x = d.Column(); x >= 0 && x < Width; x = d.Column()) {
      int r, g, b;
      d.Dither(row[size_t(x)], row[size_t(x)], row[size_t(x)], r, g, b);
    }
    d.NextLine();
  }
  return lookup.seen;
}

// Worked by hand on grey rows (one channel shown; the web levels are 0, 51, 102 ...). Row 0, left to
// right over cells 0 1 2: 40 -> 0 (error 40: cell 0 = 120, behind 200, below 40, carried 280);
// 33 + (0 + 280 + 8) / 16 = 51 -> 51, error 0: cell 1, behind and below stay, carried 0; 40 -> 0
// (cell 2 = 200 + 120 = 320, behind 40 + 200 = 240). The line end stores 240 into cell 3.
// Row 1, right to left over cells 4 3 2: 40 + 8 / 16 = 40 -> 0 (cell 4 = 120, behind 200, below 40,
// carried 280); 40 + (240 + 280 + 8) / 16 = 73 -> 51 (error 22: carried 154); 40 + (320 + 154 + 8)
// / 16 = 70. Second case: 48 -> 51 carries -21, and 100 + (0 - 21 + 8) / 16 stays 100 (the division
// truncates toward zero).
TEST(Ditherer, FloydSteinbergByHand) {
  EXPECT_EQ(FloydSteinbergInputs(3, {{40, 33, 40}, {40, 40, 40}}), (std::vector<int>{40, 51, 40, 40, 73, 70}));
  EXPECT_EQ(FloydSteinbergInputs(2, {{48, 100}}), (std::vector<int>{48, 100}));
}

// Mean colour of a reduced picture.
void MeanColour(const TBitmap& out, double mean[3]) {
  mean[0] = mean[1] = mean[2] = 0;
  for (int y = 0; y < out.Height(); ++y) {
    const uint8_t* p = out.ScanLine(y);
    for (int x = 0; x < out.Width(); ++x) {
      RGB c = PaletteColour(out, p[x]);
      mean[0] += c.r;
      mean[1] += c.g;
      mean[2] += c.b;
    }
  }
  for (int c = 0; c < 3; ++c) mean[c] /= double(out.Width()) * out.Height();
}

TEST(Ditherer, ErrorDiffusionKeepsTheAverageColour) {
  // Flat colours far from the web palette's levels (0, 51, 102 ...), and a gradient. (Near 0 and
  // 255 part of the error is lost to clamping, as in every error diffusion.)
  const RGB flats[] = {{120, 70, 200}, {40, 40, 40}, {200, 180, 128}, {30, 220, 77}};
  for (int mode = dmFloydSteinberg; mode <= dmBurkes; ++mode) {
    for (const RGB& f : flats) {
      Picture src(64, 64, [&](int, int) { return f; });
      auto out = ReduceBitmapColors(src, rmNetscape, mode, 8, nullptr);
      double mean[3];
      MeanColour(*out, mean);
      // Errors pushed beyond the left and right edges are lost; wide kernels lose a little more.
      // Floyd-Steinberg leaves a cell as it was where a channel is matched exactly, so that cell's
      // error is applied once more: a flat colour near a level (green 220 near 204) drifts further.
      const double tolerance = mode == dmFloydSteinberg ? 8 : 2;
      EXPECT_NEAR(mean[0], f.r, tolerance) << "mode " << mode;
      EXPECT_NEAR(mean[1], f.g, tolerance) << "mode " << mode;
      EXPECT_NEAR(mean[2], f.b, tolerance) << "mode " << mode;
    }
    // Grey levels: the average of each 16-column band of a horizontal gradient.
    Picture grad(256, 32, [](int x, int) { return RGB{x, x, x}; });
    auto out = ReduceBitmapColors(grad, rmMonochrome, mode, 8, nullptr);
    for (int band = 0; band < 16; ++band) {
      double sum = 0;
      for (int y = 0; y < 32; ++y)
        for (int x = band * 16; x < band * 16 + 16; ++x) sum += PaletteColour(*out, out->ScanLine(y)[x]).r;
      EXPECT_NEAR(sum / (32 * 16), band * 16 + 7.5, 12) << "mode " << mode << " band " << band;
    }
  }
  // Without diffusion the same flat colour stays at its nearest level.
  Picture src(8, 8, [](int, int) { return RGB{120, 70, 200}; });
  auto out = ReduceBitmapColors(src, rmNetscape, dmNearest, 8, nullptr);
  double mean[3];
  MeanColour(*out, mean);
  EXPECT_EQ(mean[0], 102);
  EXPECT_EQ(mean[1], 51);
  EXPECT_EQ(mean[2], 153);
}

TEST(Octree, FewColoursAreKeptExactly) {
  const RGB colours[] = {{0, 0, 0}, {255, 255, 255}, {12, 200, 99}, {20, 200, 99}, {250, 1, 128}};
  Picture src(50, 10, [&](int x, int y) { return colours[(x + y) % 5]; });
  TDIBReader reader(src, pf24bit);
  TColorQuantizer q(256, 8);
  q.ProcessImage(reader);
  EXPECT_EQ(q.LeafCount(), 5);
  std::set<std::vector<int>> got, want;
  for (const TRGBQuad& e : q.GetColorTable()) got.insert({e.rgbRed, e.rgbGreen, e.rgbBlue});
  for (const RGB& c : colours) want.insert({c.r, c.g, c.b});
  EXPECT_EQ(got, want);

  // Reduced with that palette, every pixel gets its own colour back.
  auto out = ReduceBitmapColors(src, rmQuantize, dmFloydSteinberg, 8, nullptr);
  ASSERT_EQ(out->PixelFormat(), pf8bit);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 50; ++x) {
      RGB c = PaletteColour(*out, out->ScanLine(y)[x]);
      const RGB& w = colours[(x + y) % 5];
      ASSERT_TRUE(c.r == w.r && c.g == w.g && c.b == w.b) << x << "," << y;
    }
}

TEST(Octree, ManyColoursAreReducedToTheMaximum) {
  const Bytes rnd = RandomPixels(3 * 100 * 100, 256, 8);
  Picture src(100, 100, [&](int x, int y) {
    size_t i = size_t(y * 100 + x) * 3;
    return RGB{rnd[i], rnd[i + 1], rnd[i + 2]};
  });
  for (int max : {1, 2, 16, 236, 256}) {
    for (int bits : {3, 6, 8}) {
      TDIBReader reader(src, pf24bit);
      TColorQuantizer q(max, bits);
      q.ProcessImage(reader);
      EXPECT_LE(q.LeafCount(), max);
      EXPECT_GE(q.LeafCount(), 1);
      EXPECT_EQ(q.GetColorTable().size(), size_t(q.LeafCount()));
    }
  }
  TDIBReader eightBit(src, pf8bit);
  TColorQuantizer q(16, 8);
  try {
    q.ProcessImage(eightBit);
    ADD_FAILURE() << "8-bit rows read as 24-bit";
  } catch (const GIFException& e) {
    EXPECT_STREQ(e.what(), "Unsupported PixelFormat");
  }
  // With the static colours reserved they stay at both ends.
  TDIBReader reader(src, pf24bit);
  const TLogPalette p = BuildOctreePalette(reader, 256, 8, true);
  const TLogPalette sys = SystemPalette20();
  ASSERT_EQ(p.size(), 256u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(p[size_t(i)].peRed, sys[size_t(i)].peRed);
    EXPECT_EQ(p[size_t(246 + i)].peGreen, sys[size_t(10 + i)].peGreen);
  }
}

TEST(ReduceBitmapColors, EveryModeGivesItsPalette) {
  const Bytes rnd = RandomPixels(3 * 40 * 30, 256, 9);
  Picture src(40, 30, [&](int x, int y) {
    size_t i = size_t(y * 40 + x) * 3;
    return RGB{rnd[i] & 0xF8, rnd[i + 1] & 0xF8, rnd[i + 2] & 0xF8};
  });
  const TLogPalette custom = {{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}};
  struct Case {
    int mode;
    TLogPalette palette;
  } cases[] = {
      {rmWindows20, SystemPalette20()}, {rmWindows256, HalftonePalette()}, {rmWindowsGray, GrayPalette(4)},
      {rmMonochrome, GrayPalette(2)},   {rmGrayScale, GrayPalette(256)},   {rmNetscape, WebPalette()},
      {rmPalette, custom},
  };
  for (const Case& c : cases) {
    auto out = ReduceBitmapColors(src, c.mode, dmNearest, 8, &custom);
    ASSERT_EQ(out->PixelFormat(), pf8bit) << "mode " << c.mode;
    ASSERT_EQ(out->Width(), 40);
    ASSERT_EQ(out->Height(), 30);
    for (size_t i = 0; i < c.palette.size(); ++i) {
      RGB e = PaletteColour(*out, int(i));
      ASSERT_TRUE(e.r == c.palette[i].peRed && e.g == c.palette[i].peGreen && e.b == c.palette[i].peBlue)
          << "mode " << c.mode << " entry " << i;
    }
    // Every pixel's index lies within the palette; with the fast lookup it is the nearest entry
    // (each colour here is the first of its key), unless an entry has that key itself.
    std::set<int> ownKeys;
    for (const auto& e : c.palette) ownKeys.insert(TFastColorLookup::Key(e.peRed, e.peGreen, e.peBlue));
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) {
        const int index = out->ScanLine(y)[x];
        ASSERT_LT(size_t(index), c.palette.size());
        if (c.mode == rmMonochrome || c.mode == rmGrayScale || c.mode == rmNetscape) continue;
        const uint8_t* p = src.ScanLine(y) + 3 * x;
        const int key = TFastColorLookup::Key(p[2], p[1], p[0]);
        if (ownKeys.count(key)) {
          const TPaletteEntry& e = c.palette[size_t(index)];
          ASSERT_EQ(TFastColorLookup::Key(e.peRed, e.peGreen, e.peBlue), key);
          continue;
        }
        int best = 0;
        for (size_t i = 1; i < c.palette.size(); ++i)
          if (Distance(c.palette[i], p[2], p[1], p[0]) < Distance(c.palette[size_t(best)], p[2], p[1], p[0]))
            best = int(i);
        ASSERT_EQ(Distance(c.palette[size_t(index)], p[2], p[1], p[0]),
                  Distance(c.palette[size_t(best)], p[2], p[1], p[0]))
            << "mode " << c.mode << " at " << x << "," << y;
      }
  }
  for (int mode : {rmQuantize, rmQuantizeWindows}) {
    auto out = ReduceBitmapColors(src, mode, dmStucki, 6, nullptr);
    EXPECT_EQ(out->PixelFormat(), pf8bit);
  }
}

TEST(ReduceBitmapColors, CopiesLeavesTheSourceAndRefusesUnknownModes) {
  Picture src(7, 5, [](int x, int y) { return RGB{x * 30, y * 40, 99}; });
  src.SetPixelFormat(pf32bit);
  auto copy = ReduceBitmapColors(src, rmNone, dmNearest, 8, nullptr);
  EXPECT_EQ(copy->PixelFormat(), pf24bit);
  EXPECT_EQ(src.PixelFormat(), pf32bit);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(copy->Pixel(x, y), src.Pixel(x, y));
  auto reduced = ReduceBitmapColors(src, rmNetscape, dmFloydSteinberg, 8, nullptr);
  EXPECT_EQ(src.PixelFormat(), pf32bit);  // read through a copy
  EXPECT_EQ(reduced->PixelFormat(), pf8bit);

  // No custom palette: nothing to choose from, the result stays empty.
  EXPECT_TRUE(ReduceBitmapColors(src, rmPalette, dmNearest, 8, nullptr)->Empty());
  for (auto modes : {std::pair<int, int>{10, 0}, {-1, 0}, {1, 7}, {1, -1}}) {
    try {
      ReduceBitmapColors(src, modes.first, modes.second, 8, nullptr);
      ADD_FAILURE() << "accepted " << modes.first << "/" << modes.second;
    } catch (const GIFException& e) {
      EXPECT_STREQ(e.what(), "Invalid reduction method");
    }
  }
}

TEST(DIBWriter, RefusesOtherFormatsAndEmptySizes) {
  TBitmap target;
  const TLogPalette pal = WebPalette();
  struct Case {
    TPixelFormat pf;
    int w, h;
    const char* text;
  } cases[] = {{pf4bit, 4, 4, "Unsupported PixelFormat"}, {pf32bit, 4, 4, "Unsupported PixelFormat"},
               {pf8bit, 0, 4, "Invalid image dimensions"}, {pf24bit, 4, 0, "Invalid image dimensions"}};
  for (const Case& c : cases) {
    try {
      TDIBWriter w(target, c.pf, c.w, c.h, pal);
      ADD_FAILURE() << c.text;
    } catch (const GIFException& e) {
      EXPECT_STREQ(e.what(), c.text);
    }
  }
  {
    TDIBWriter w(target, pf8bit, 3, 2, pal);
    w.ScanLine(1)[2] = 215;
  }  // put into the target when the writer goes
  EXPECT_EQ(target.PixelFormat(), pf8bit);
  EXPECT_EQ(target.ScanLine(1)[2], 215);
  EXPECT_EQ(target.Palette()[215].rgbRed, 255);
}

}  // namespace
