#include "tiff_reader.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "fixtures.h"

namespace {

std::unique_ptr<TBitmap> Read(const std::string& name, int index = 0, int* count = nullptr, int* xres = nullptr,
                              int* yres = nullptr) {
  std::unique_ptr<TMemoryStream> s(StreamOf(ReadAll(Fixture(name))));
  int c = 0, x = 0, y = 0;
  std::unique_ptr<TBitmap> b(ReadTIFF(*s, index, c, x, y));
  if (count) *count = c;
  if (xres) *xres = x;
  if (yres) *yres = y;
  return b;
}

}  // namespace

TEST(TIFFReader, TrueColourPalettesAndGreyMatchImageMagick) {
  for (const char* name : {"rgb_none", "rgb_lzw", "rgb_lzw_pred", "rgb_packbits", "rgb_big", "rgb_planar",
                           "rgb_strips_pred", "grey8", "grey8_white", "pal8", "pal4"}) {
    SCOPED_TRACE(name);
    auto b = Read(std::string(name) + ".tif");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->PixelFormat(), pf24bit);
    EXPECT_EQ(b->Width(), 70);
    EXPECT_EQ(b->Height(), 46);
    if (std::string(name).compare(0, 3, "pal") == 0) {
      // Colour maps keep the upper 8 bits of each 16-bit value, ImageMagick rounds them.
      EXPECT_TRUE(SamePixels(*b, std::string(name) + "_tif.rgb", 1));
    } else {
      EXPECT_TRUE(SamePixels(*b, std::string(name) + "_tif.rgb"));
    }
  }
}

TEST(TIFFReader, FourBitGreyKeepsSixteenSteps) {
  // Each 4-bit level v becomes 16 v (15 -> 240) where ImageMagick scales to 17 v.
  auto b = Read("grey4.tif");
  ASSERT_TRUE(b);
  EXPECT_TRUE(SamePixels(*b, "grey4_tif.rgb", [](uint8_t v) { return v / 17 * 16; }));
}

TEST(TIFFReader, BilevelPicturesShowWhiteAsOneBits) {
  for (const char* name : {"mono_white", "mono_black", "mono_g3", "mono_g3_2d", "mono_g3_2d_fill", "mono_g4",
                           "mono_g4_lsb", "mono_g4_black", "mono_packbits", "mono_lzw"}) {
    SCOPED_TRACE(name);
    auto b = Read(std::string(name) + ".tif");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->PixelFormat(), pf1bit);
    EXPECT_EQ(b->Width(), 203);
    // The bitmap's table is black, white: 1 bits are white whatever the file's photometric.
    EXPECT_TRUE(SamePixels(*b, std::string(name) + "_tif.rgb"));
  }
}

TEST(TIFFReader, ImageIndexCountAndResolution) {
  int count = 0, xres = 0, yres = 0;
  auto first = Read("two.tif", 0, &count);
  EXPECT_EQ(count, 2);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->PixelFormat(), pf24bit);
  auto second = Read("two.tif", 1, &count);
  EXPECT_EQ(count, 2);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->PixelFormat(), pf1bit);
  EXPECT_TRUE(SamePixels(*second, "two_tif_1.rgb"));
  EXPECT_FALSE(Read("two.tif", 2, &count));
  EXPECT_EQ(count, 2);

  Read("dpcm.tif", 0, nullptr, &xres, &yres);  // 118 dots per centimetre
  EXPECT_EQ(xres, 299);
  EXPECT_EQ(yres, 299);
}

namespace {

// A small little- or big-endian TIFF built by hand: one strip, given tags.
struct Tag {
  uint16_t tag, type;
  uint32_t count, value;
};

std::vector<uint8_t> MakeTIFF(bool big, std::vector<Tag> tags, const std::vector<uint8_t>& pixels,
                              const std::vector<uint8_t>& extra = {}) {
  std::vector<uint8_t> f;
  auto put16 = [&](uint32_t v) {
    if (big) { f.push_back(uint8_t(v >> 8)); f.push_back(uint8_t(v)); }
    else { f.push_back(uint8_t(v)); f.push_back(uint8_t(v >> 8)); }
  };
  auto put32 = [&](uint32_t v) {
    if (big) { put16(v >> 16); put16(v & 0xFFFF); }
    else { put16(v & 0xFFFF); put16(v >> 16); }
  };
  f.push_back(big ? 'M' : 'I');
  f.push_back(big ? 'M' : 'I');
  put16(42);
  put32(8);
  uint32_t dataOff = 8 + 2 + uint32_t(tags.size() + 2) * 12 + 4;
  tags.push_back({273, 4, 1, dataOff + uint32_t(extra.size())});
  tags.push_back({279, 4, 1, uint32_t(pixels.size())});
  put16(uint32_t(tags.size()));
  for (const Tag& t : tags) {
    put16(t.tag);
    put16(t.type);
    put32(t.count);
    if (t.type == 3 && t.count == 1) { put16(t.value); put16(0); }
    else put32(t.value);
  }
  put32(0);
  f.insert(f.end(), extra.begin(), extra.end());
  f.insert(f.end(), pixels.begin(), pixels.end());
  return f;
}

std::unique_ptr<TBitmap> ReadBytes(const std::vector<uint8_t>& bytes, int* xres = nullptr) {
  std::unique_ptr<TMemoryStream> s(StreamOf(bytes));
  int c, x, y;
  std::unique_ptr<TBitmap> b(ReadTIFF(*s, 0, c, x, y));
  if (xres) *xres = x;
  return b;
}

}  // namespace

TEST(TIFFReader, HandMadeRowsFollowTheirTags) {
  // RGB with horizontal differencing: (10,20,30),(1,1,1) -> (10,20,30),(11,21,31); big-endian SHORTs.
  auto pred = ReadBytes(MakeTIFF(true, {{256, 3, 1, 2}, {257, 3, 1, 1}, {258, 3, 1, 8}, {277, 3, 1, 3},
                                        {262, 3, 1, 2}, {317, 3, 1, 2}},
                                 {10, 20, 30, 1, 1, 1}));
  ASSERT_TRUE(pred);
  EXPECT_EQ(pred->Pixel(0, 0), RGBColor(10, 20, 30));
  EXPECT_EQ(pred->Pixel(1, 0), RGBColor(11, 21, 31));

  // 4-bit grey 15: 240 with black-is-zero, 15 with white-is-zero.
  for (uint32_t p : {1u, 0u}) {
    auto g = ReadBytes(MakeTIFF(false, {{256, 3, 1, 2}, {257, 3, 1, 1}, {258, 3, 1, 4}, {262, 3, 1, p}}, {0xF0}));
    ASSERT_TRUE(g);
    EXPECT_EQ(RedOf(g->Pixel(0, 0)), p == 1 ? 240 : 15);
    EXPECT_EQ(RedOf(g->Pixel(1, 0)), p == 1 ? 0 : 255);
  }

  // PackBits: -128 produces nothing and does not end the row; 2 literal bytes, then a run of 2.
  auto pb = ReadBytes(MakeTIFF(false, {{256, 3, 1, 4}, {257, 3, 1, 1}, {258, 3, 1, 8}, {262, 3, 1, 1},
                                       {259, 3, 1, 32773}},
                               {0x80, 0x01, 5, 6, 0x80, 0xFF, 9}));
  ASSERT_TRUE(pb);
  EXPECT_EQ(RedOf(pb->Pixel(0, 0)), 5);
  EXPECT_EQ(RedOf(pb->Pixel(1, 0)), 6);
  EXPECT_EQ(RedOf(pb->Pixel(2, 0)), 9);
  EXPECT_EQ(RedOf(pb->Pixel(3, 0)), 9);

  // Modified Huffman (compression 2), rows byte-aligned: white 3 black 2 white 3, then black 8.
  // Stored black-is-zero: the decoded white runs are shown white all the same.
  auto mh = ReadBytes(MakeTIFF(false, {{256, 3, 1, 8}, {257, 3, 1, 2}, {259, 3, 1, 2}, {262, 3, 1, 0}},
                               {0x8E, 0x00, 0x35, 0x14}));
  ASSERT_TRUE(mh);
  EXPECT_EQ(mh->PixelFormat(), pf1bit);
  EXPECT_EQ(mh->ScanLine(0)[0], 0xE7);
  EXPECT_EQ(mh->ScanLine(1)[0], 0x00);

  // Resolution 118/1 per centimetre: 299 dots per inch; RowsPerStrip missing: one strip.
  std::vector<uint8_t> rational = {118, 0, 0, 0, 1, 0, 0, 0};
  int xres = 0;
  auto r = ReadBytes(MakeTIFF(false, {{256, 3, 1, 1}, {257, 3, 1, 3}, {258, 3, 1, 8}, {262, 3, 1, 1},
                                      {282, 5, 1, 8 + 2 + 8 * 12 + 4}, {296, 3, 1, 3}},
                              {1, 2, 3}, rational),
                     &xres);
  ASSERT_TRUE(r);
  EXPECT_EQ(xres, 299);
  EXPECT_EQ(RedOf(r->Pixel(0, 2)), 3);
}

TEST(TIFFReader, BrokenFilesFailWithTheirTexts) {
  struct Case { std::vector<uint8_t> bytes; const char* message; };
  std::vector<uint8_t> bits = MakeTIFF(false, {{256, 3, 1, 1}, {257, 3, 1, 1}, {258, 3, 3, 200}, {277, 3, 1, 3}},
                                       {0, 0, 0});
  // Three BitsPerSample values at offset 200: 8, 8, 16.
  bits.resize(220, 0);
  bits[200] = 8; bits[202] = 8; bits[204] = 16;
  for (const Case& c : {Case{{'G', 'I', 'F', '8'}, "unrecognized TIFF"}, Case{{}, "unrecognized TIFF"},
                        Case{{'I', 'I', 42, 0, 0xFF, 0xFF, 0, 0}, "Invalid TIFF stream"},
                        Case{bits, "Invalid TIFF stream"}}) {
    std::unique_ptr<TMemoryStream> s(StreamOf(c.bytes));
    int n, x, y;
    try {
      delete ReadTIFF(*s, 0, n, x, y);
      ADD_FAILURE() << "no exception for " << c.message;
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  // A huge size in a tiny file is refused instead of allocated.
  for (uint32_t side : {100000u, 0xFFFFFFFFu}) {
    auto huge = MakeTIFF(false, {{256, 4, 1, side}, {257, 4, 1, side}, {258, 3, 1, 8}}, {0});
    std::unique_ptr<TMemoryStream> s(StreamOf(huge));
    int n, x, y;
    EXPECT_THROW(delete ReadTIFF(*s, 0, n, x, y), EInvalidGraphic) << side;
  }
}

TEST(TIFFReader, TruncatedFilesKeepTheRowsDecodedSoFar) {
  for (const char* name : {"rgb_lzw.tif", "mono_g4.tif", "mono_g3_2d.tif", "rgb_packbits.tif"}) {
    std::vector<uint8_t> all = ReadAll(Fixture(name));
    ASSERT_GT(all.size(), 200u);
    // Cut at several places; the reader either refuses or returns a picture, never crashes.
    for (size_t cut : {size_t(7), size_t(100), all.size() / 2, all.size() - 1}) {
      std::vector<uint8_t> part(all.begin(), all.begin() + long(cut));
      std::unique_ptr<TMemoryStream> s(StreamOf(part));
      int n, x, y;
      try {
        delete ReadTIFF(*s, 0, n, x, y);
      } catch (const EInvalidGraphic&) {
      }
    }
  }
}

namespace {

// A stream over bytes that counts the reads that reach it, as a file would see them.
class CountingStream : public TStream {
public:
  explicit CountingStream(std::vector<uint8_t> bytes) : FBytes(std::move(bytes)) {}
  int64_t Read(void* Buffer, int64_t Count) override {
    ++Reads;
    const int64_t n = std::max<int64_t>(0, std::min<int64_t>(Count, int64_t(FBytes.size()) - FPos));
    if (n > 0) std::memcpy(Buffer, FBytes.data() + FPos, size_t(n));
    FPos += n;
    return n;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override {
    FPos = Origin == soFromBeginning ? Offset : Origin == soFromCurrent ? FPos + Offset : int64_t(FBytes.size()) + Offset;
    return FPos;
  }
  int Reads = 0;

private:
  std::vector<uint8_t> FBytes;
  int64_t FPos = 0;
};

}  // namespace

TEST(TIFFReader, ManySmallStripsAreReadInFewReads) {
  // 46 strips of one row each: the strips come through a window of the file, not one read each.
  for (const char* name : {"rgb_rows", "rgb_rows_packbits", "rgb_rows_lzw"}) {
    SCOPED_TRACE(name);
    CountingStream s(ReadAll(Fixture(std::string(name) + ".tif")));
    int n = 0, x = 0, y = 0;
    std::unique_ptr<TBitmap> b(ReadTIFF(s, 0, n, x, y));
    ASSERT_TRUE(b);
    EXPECT_TRUE(SamePixels(*b, std::string(name) + "_tif.rgb"));
    EXPECT_LE(s.Reads, 6);
  }
}

TEST(TIFFReader, PicturesWithoutADecoderKeepTheirSizeAndSaySo) {
  // Tiled pictures (libtiff's tiles, uncompressed and LZW), Deflate, JPEG, 16-bit RGB, CMYK, and a
  // file whose first page is 16-bit: black in their size, not decoded.
  for (const char* name : {"rgb_tiled", "rgb_tiled_lzw", "rgb_deflate", "rgb_jpeg", "rgb16", "cmyk", "two16"}) {
    SCOPED_TRACE(name);
    std::unique_ptr<TMemoryStream> s(StreamOf(ReadAll(Fixture(std::string(name) + ".tif"))));
    int n = 0, x = 0, y = 0;
    bool decoded = true;
    std::unique_ptr<TBitmap> b(ReadTIFF(*s, 0, n, x, y, kMaxPicturePixels, &decoded));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->Width(), 70);
    EXPECT_EQ(b->Height(), 46);
    EXPECT_FALSE(decoded);
    EXPECT_EQ(b->Pixel(35, 23), clBlack);
  }
  // Pictures it decodes say so.
  for (const char* name : {"rgb_none", "mono_g4", "pal4"}) {
    std::unique_ptr<TMemoryStream> s(StreamOf(ReadAll(Fixture(std::string(name) + ".tif"))));
    int n = 0, x = 0, y = 0;
    bool decoded = false;
    std::unique_ptr<TBitmap> b(ReadTIFF(*s, 0, n, x, y, kMaxPicturePixels, &decoded));
    EXPECT_TRUE(decoded) << name;
  }
}

TEST(TIFFReader, UncompressedDataCutShortShowsTheRowsThatAreThere) {
  // ImageMagick's pixels of the rose as one uncompressed strip, the file cut within the strip.
  const std::vector<uint8_t> rgb = ReadAll(Fixture("rgb_none_tif.rgb"));
  ASSERT_EQ(rgb.size(), 70u * 46u * 3u);
  const std::vector<uint8_t> whole =
      MakeTIFF(false, {{256, 3, 1, 70}, {257, 3, 1, 46}, {258, 3, 1, 8}, {277, 3, 1, 3}, {262, 3, 1, 2}}, rgb);
  const size_t head = whole.size() - rgb.size();
  struct Case {
    double share;
    bool shown;
  } cases[] = {{0.997, true}, {0.6, true}, {0.3, true}, {0.2, false}, {0.01, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.share);
    const size_t have = size_t(double(rgb.size()) * c.share);
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + long(head + have));
    std::unique_ptr<TMemoryStream> s(StreamOf(cut));
    int n, x, y;
    if (!c.shown) {
      EXPECT_THROW(delete ReadTIFF(*s, 0, n, x, y), EInvalidGraphic);
      continue;
    }
    std::unique_ptr<TBitmap> b(ReadTIFF(*s, 0, n, x, y));
    ASSERT_TRUE(b);
    // Whole rows as ImageMagick decodes them, the row the data ends in partly, the rest black.
    const int rows = int(have / (70 * 3));
    for (int yy = 0; yy < 46; ++yy)
      for (int xx = 0; xx < 70; xx += 23) {
        if (yy == rows) continue;
        const uint8_t* e = &rgb[(size_t(yy) * 70 + size_t(xx)) * 3];
        const TColor want = yy < rows ? RGBColor(e[0], e[1], e[2]) : clBlack;
        ASSERT_EQ(b->Pixel(xx, yy), want) << xx << "," << yy;
      }
  }
  // A tiny file that declares a large uncompressed picture is still refused.
  auto huge = MakeTIFF(false, {{256, 4, 1, 2000}, {257, 4, 1, 2000}, {258, 3, 1, 8}}, std::vector<uint8_t>(100, 7));
  std::unique_ptr<TMemoryStream> s(StreamOf(huge));
  int n, x, y;
  EXPECT_THROW(delete ReadTIFF(*s, 0, n, x, y), EInvalidGraphic);
}

TEST(TIFFReader, APictureOverTheBudgetIsTooLargeAndNamesItsSize) {
  // 8000 x 6000 RGB in PackBits, with data enough to fill it.
  auto big = MakeTIFF(false, {{256, 4, 1, 8000}, {257, 4, 1, 6000}, {258, 3, 1, 8}, {277, 3, 1, 3}, {259, 3, 1, 32773}},
                      std::vector<uint8_t>(8000u * 6000u * 3u / 64u + 64u, 0));
  std::unique_ptr<TMemoryStream> s(StreamOf(big));
  int n, x, y;
  try {
    delete ReadTIFF(*s, 0, n, x, y);
    ADD_FAILURE() << "no exception";
  } catch (const EPictureTooLarge& e) {
    EXPECT_EQ(e.PictureWidth, 8000);
    EXPECT_EQ(e.PictureHeight, 6000);
    EXPECT_EQ(e.Message(), "Das Bild ist mit 8000 x 6000 Bildpunkten zu gro\xDF, um angezeigt zu werden.");
  }
}

TEST(TIFFReader, APlanarFileCutInsideItsStripOffsetsKeepsItsPlanesInPlace) {
  // Six strips of eight rows per plane; the file holds the offsets of the red and green strips
  // only. The planes' strips are counted from the height, so red and green are right in every row
  // and the missing blue plane stays 0, instead of green taking red strips.
  auto b = Read("planar_cut.tiff");
  ASSERT_TRUE(b);
  ASSERT_EQ(b->Width(), 70);
  ASSERT_EQ(b->Height(), 46);
  const std::vector<uint8_t> rgb = ReadAll(Fixture("rgb_none_tif.rgb"));
  int bad = 0;
  for (int y = 0; y < 46; ++y)
    for (int x = 0; x < 70; ++x) {
      const TColor c = b->Pixel(x, y);
      const uint8_t* e = &rgb[(size_t(y) * 70 + size_t(x)) * 3];
      if (RedOf(c) != e[0] || GreenOf(c) != e[1] || BlueOf(c) != 0) ++bad;
    }
  EXPECT_EQ(bad, 0);
}
