#include "png_reader.h"

#include <cstring>
#include <functional>

#include "fixtures.h"

namespace {

// What the destination held before the picture: a colour of its own in every pixel.
const TColor Beneath = RGBColor(10, 200, 30);

// The expected blend of one ImageMagick pixel (red, green, blue, alpha with 255 opaque) over the
// destination pixel.
uint8_t Blend(int beneath, int colour, int alpha) {
  const int a = 255 - alpha;
  if (a == 0) return uint8_t(colour);
  if (a == 255) return uint8_t(beneath);
  return uint8_t((beneath * a + (255 - a) * colour) / 255);
}

// Compares the bitmap with ImageMagick's pixels of the same file blended over beneath.
::testing::AssertionResult SameBlend(const TBitmap& b, const std::string& name, int tolerance,
                                     TColor beneath = Beneath) {
  std::vector<uint8_t> rgba = ReadAll(Fixture(name + ".rgba"));
  if (rgba.size() != size_t(b.Width()) * size_t(b.Height()) * 4)
    return ::testing::AssertionFailure() << name << ": " << rgba.size() << " bytes for " << b.Width() << "x"
                                         << b.Height();
  int bad = 0;
  std::string first;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const uint8_t* e = &rgba[(size_t(y) * b.Width() + x) * 4];
      int want[3] = {Blend(RedOf(beneath), e[0], e[3]), Blend(GreenOf(beneath), e[1], e[3]),
                     Blend(BlueOf(beneath), e[2], e[3])};
      TColor c = b.Pixel(x, y);
      int got[3] = {RedOf(c), GreenOf(c), BlueOf(c)};
      for (int i = 0; i < 3; ++i)
        if (std::abs(got[i] - want[i]) > tolerance) {
          if (bad++ == 0)
            first = "(" + std::to_string(x) + "," + std::to_string(y) + ") channel " + std::to_string(i) + " got " +
                    std::to_string(got[i]) + " want " + std::to_string(want[i]);
          break;
        }
    }
  if (bad) return ::testing::AssertionFailure() << name << ": " << bad << " pixels differ, first " << first;
  return ::testing::AssertionSuccess();
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(f);
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

uint32_t Crc32(const uint8_t* p, size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return c ^ 0xFFFFFFFFu;
}

void Put32(std::vector<uint8_t>& f, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) f[at + i] = uint8_t(v >> (24 - 8 * i));
}

// rgb8.png with another width and height in its header (and a header checksum that fits them).
std::vector<uint8_t> WithSize(uint32_t w, uint32_t h) {
  std::vector<uint8_t> f = ReadAll(Fixture("rgb8.png"));
  Put32(f, 16, w);
  Put32(f, 20, h);
  Put32(f, 29, Crc32(&f[12], 17));
  return f;
}

}  // namespace

TEST(PNGReader, OpaquePicturesMatchImageMagick) {
  // 16-bit samples are shown by their upper byte, ImageMagick rounds them: at most 1 apart.
  struct Case {
    const char* name;
    int width, tolerance;
  } cases[] = {{"rgb8", 70, 0},  {"interlaced", 70, 0}, {"grey8", 70, 0}, {"grey4", 70, 0},
               {"grey1", 70, 0}, {"pal8", 70, 0},       {"pal4", 70, 0},  {"rgb16", 64, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    LoadPNGFile(Fixture(std::string(c.name) + ".png"), b);
    EXPECT_EQ(b.Width(), c.width);
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    EXPECT_TRUE(SameBlend(b, c.name, c.tolerance));
  }
}

TEST(PNGReader, TransparentPicturesAreBlendedOverTheBitmap) {
  struct Case {
    const char* name;
    int width, height, tolerance;
  } cases[] = {{"rgba8", 70, 46, 0}, {"rgba8_interlaced", 70, 46, 0}, {"greyalpha8", 70, 46, 0},
               {"paltrns", 70, 46, 0}, {"rgbtrns", 70, 46, 0}, {"rgba16", 64, 16, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    b.SetSize(c.width, c.height);
    b.Fill(Beneath);
    LoadPNGFile(Fixture(std::string(c.name) + ".png"), b);
    EXPECT_TRUE(SameBlend(b, c.name, c.tolerance));
    // An empty bitmap has black beneath the picture.
    TBitmap empty;
    LoadPNGFile(Fixture(std::string(c.name) + ".png"), empty);
    EXPECT_EQ(empty.Width(), c.width);
    EXPECT_TRUE(SameBlend(empty, c.name, c.tolerance, clBlack));
  }
  // The transparent corner of the pictures with a tRNS chunk keeps the destination exactly.
  for (const char* name : {"paltrns.png", "rgbtrns.png"}) {
    SCOPED_TRACE(name);
    TBitmap b;
    b.SetSize(70, 46);
    b.Fill(Beneath);
    LoadPNGFile(Fixture(name), b);
    EXPECT_EQ(b.Pixel(0, 0), Beneath);
    EXPECT_EQ(b.Pixel(20, 10), Beneath);
    EXPECT_NE(b.Pixel(21, 11), Beneath);
  }
}

TEST(PNGReader, SizesTheBitmapToThePicture) {
  // A larger bitmap shrinks; a smaller one grows, its new pixels black beneath the picture.
  TBitmap b;
  b.SetSize(200, 10);
  b.Fill(Beneath);
  LoadPNGFile(Fixture("rgba8.png"), b);
  EXPECT_EQ(b.Width(), 70);
  EXPECT_EQ(b.Height(), 46);
  // Row 0 of the picture is opaque, its last row fully transparent: there the new black pixels show.
  std::vector<uint8_t> rgba = ReadAll(Fixture("rgba8.rgba"));
  ASSERT_EQ(rgba[3], 255);
  EXPECT_EQ(b.Pixel(0, 0), RGBColor(rgba[0], rgba[1], rgba[2]));
  EXPECT_EQ(b.Pixel(0, 45), clBlack);

  // An indexed bitmap keeps its format.
  TBitmap p;
  p.SetPixelFormat(pf8bit);
  LoadPNGFile(Fixture("rgb8.png"), p);
  EXPECT_EQ(p.PixelFormat(), pf8bit);
  EXPECT_EQ(p.Width(), 70);
}

TEST(PNGReader, MissingFileIsNamed) {
  TBitmap b;
  const std::string name = Fixture("no such picture.png");
  try {
    LoadPNGFile(name, b);
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.ClassName(), "Exception");
    EXPECT_EQ(e.Message(), "Error Opening File " + name + "!");
  }
}

TEST(PNGReader, BadDataFailsAndLeavesTheBitmap) {
  std::vector<uint8_t> good = ReadAll(Fixture("rgb8.png"));
  std::vector<uint8_t> badCrc = good;
  badCrc[40] ^= 0x55;  // inside the first data chunk
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"empty", {}},
      {"not a PNG", ReadAll(Fixture("rose.jpg"))},
      {"signature only", std::vector<uint8_t>(good.begin(), good.begin() + 8)},
      {"cut in the header", std::vector<uint8_t>(good.begin(), good.begin() + 20)},
      {"cut in the data", std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2)},
      {"damaged data", badCrc},
      {"zero width", WithSize(0, 46)},
      {"larger than a bitmap may be", WithSize(100000, 100000)},
      {"larger than the library allows", WithSize(0x7FFFFFFF, 1)},
  };
  const std::string path = Fixture("bad_data.png");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(path, c.bytes);
    TBitmap b;
    b.SetSize(3, 2);
    b.Fill(Beneath);
    try {
      LoadPNGFile(path, b);
      ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
      EXPECT_STREQ(e.ClassName(), "Exception");
      EXPECT_EQ(e.Message(), "Error Reading File!");
    }
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_EQ(b.Pixel(2, 1), Beneath);
  }
  // The file was closed every time: it can be removed and the reader still works.
  EXPECT_EQ(std::remove(path.c_str()), 0);
  TBitmap b;
  LoadPNGFile(Fixture("rgb8.png"), b);
  EXPECT_TRUE(SameBlend(b, "rgb8", 0));
}

TEST(PNGReader, ATwentyFourMegapixelPhotoLoads) {
  // 6000 x 4000, 8-bit RGB: its bitmap fits the budget, and libpng writes into it directly.
  TBitmap b;
  LoadPNGFile(Fixture("photo24.png"), b);
  ASSERT_EQ(b.Width(), 6000);
  ASSERT_EQ(b.Height(), 4000);
  EXPECT_EQ(b.Pixel(0, 0), RGBColor(0x20, 0x40, 0x80));
  EXPECT_EQ(b.Pixel(5999, 3999), RGBColor(0xF0, 0xC0, 0x10));
}

TEST(PNGReader, PicturesForAViewAreBlendedOverItsColourAndShrunkToTheBudget) {
  // Transparent parts take the colour the picture is shown on, for RGBA and palette pictures.
  const TColor grey = RGBColor(0xC0, 0xC0, 0xC0);
  for (const char* name : {"rgba8", "paltrns", "firma", "firma_pal"}) {
    SCOPED_TRACE(name);
    int w = 0, h = 0;
    std::unique_ptr<TBitmap> b = ReadPNGPicture(Fixture(std::string(name) + ".png"), grey, w, h);
    EXPECT_EQ(w, b->Width());
    EXPECT_EQ(h, b->Height());
    EXPECT_TRUE(SameBlend(*b, name, 0, grey));
  }
  int w = 0, h = 0;
  std::unique_ptr<TBitmap> firma = ReadPNGPicture(Fixture("firma.png"), grey, w, h);
  EXPECT_EQ(firma->Pixel(10, 50), grey);
  EXPECT_EQ(firma->Pixel(50, 50), clBlack);

  // 48 megapixels do not fit: the picture is read row by row and every 2 x 2 block averaged.
  std::unique_ptr<TBitmap> big = ReadPNGPicture(Fixture("photo48.png"), grey, w, h);
  EXPECT_EQ(w, 8000);
  EXPECT_EQ(h, 6000);
  ASSERT_EQ(big->Width(), 4000);
  ASSERT_EQ(big->Height(), 3000);
  EXPECT_NEAR(RedOf(big->Pixel(0, 0)), 0x20, 1);
  EXPECT_NEAR(RedOf(big->Pixel(3999, 2999)), 0xF0, 1);
  // Read whole it is too large, and says so with its size.
  TBitmap whole;
  try {
    LoadPNGFile(Fixture("photo48.png"), whole);
    ADD_FAILURE() << "no exception";
  } catch (const EPictureTooLarge& e) {
    EXPECT_EQ(e.PictureWidth, 8000);
    EXPECT_EQ(e.PictureHeight, 6000);
  }
  EXPECT_EQ(whole.Width(), 0);
  // The size alone comes from the header.
  PNGPictureSize(Fixture("photo48.png"), w, h);
  EXPECT_EQ(w, 8000);
  EXPECT_EQ(h, 6000);
}
