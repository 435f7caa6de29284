// The loader's reader choice, its messages and what it leaves in the view, and the processing
// component's 1-bit expansion and size routines, with a view that has no window.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "hostile_pictures.h"
#include "jpeg_reader.h"
#include "pixio.h"
#include "pixproc.h"

namespace {

const std::string kImaging = IMAGING_FIXTURES, kJpeg = JPEGPNG_FIXTURES, kBmp = BMP_FIXTURES;

class TTestView : public TPixHost {
public:
  TBitmap Bmp;
  TColor Bg = clBlack;
  int DpiX = -1, DpiY = -1, Updates = 0, Changes = 0;
  TBitmap& PixBitmap() override { return Bmp; }
  TColor Background() const override { return Bg; }
  void SetBackground(TColor v) override { Bg = v; }
  void SetDPI(int x, int y) override { DpiX = x, DpiY = y; }
  void Update() override { ++Updates; }
  void ImageChange() override { ++Changes; }
};

std::string Temp(const std::string& name, const std::string& bytes) {
  const std::string path = std::string(::testing::TempDir()) + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

std::string Copy(const std::string& from, const std::string& name) {
  std::string bytes;
  if (std::FILE* f = std::fopen(from.c_str(), "rb")) {
    int c;
    while ((c = std::fgetc(f)) != EOF) bytes += char(c);
    std::fclose(f);
  }
  return Temp(name, bytes);
}

struct Loader {
  TTestView View;
  TPixIO IO{nullptr};
  Loader() { IO.SetAttachedPixBox(&View); }
};

TEST(PixIO, TheExtensionChoosesTheReaderAndItsMessage) {
  struct Case {
    const char* name;
    const char* message;
  } cases[] = {
      {"a.jpg", "unrecognized JPEG"},  {"a.JPG", "unrecognized JPEG"},       {"a.Jpeg", "unrecognized JPEG"},
      {"a.tif", "unrecognized TIFF"},  {"a.TIFF", "unrecognized TIFF"},      {"a.pcx", "unrecognized PCX"},
      {"a.gif", "unrecognized GIF"},   {"a.wmf", "unrecognized WMF or EMF"}, {"a.EMF", "unrecognized WMF or EMF"},
      {"a.bmp", "unrecognized BMP"},   {"a.jpe", "unrecognized BMP"},        {"noext", "unrecognized BMP"},
      {"a.png", "unrecognized BMP"},   {"dir.jpg.x", "unrecognized BMP"},
  };
  for (const Case& c : cases) {
    Loader l;
    l.View.Bmp.SetPixelFormat(pf8bit);
    const std::string path = Temp(c.name, "this is not a picture of any kind, only some text.");
    try {
      l.IO.LoadFromFile(path);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), c.message) << c.name;
    }
    EXPECT_EQ(l.View.Bmp.PixelFormat(), pf24bit) << c.name;  // set before the reader ran
    EXPECT_EQ(l.View.Changes, 0) << c.name;
  }
}

TEST(PixIO, MissingFilesOfTheJpegAndBmpPathsKeepTheFileError) {
  for (const char* name : {"missing.jpg", "missing.bmp"}) {
    Loader l;
    EXPECT_THROW(l.IO.LoadFromFile(std::string(::testing::TempDir()) + name), EFOpenError) << name;
  }
  for (const char* name : {"missing.gif", "missing.pcx", "missing.tif"}) {
    Loader l;
    EXPECT_THROW(l.IO.LoadFromFile(std::string(::testing::TempDir()) + name), EInvalidGraphic) << name;
  }
}

TEST(PixIO, EachFormatArrivesAt24BitsWithItsResolution) {
  struct Case {
    std::string file;
    int w, h, dpiX, dpiY;  // dpi -1: the reader reports none, SetDPI is not called
  } cases[] = {
      {kJpeg + "/dpcm.jpg", 70, 46, 299, 299},  {kJpeg + "/dpi.jpg", 70, 46, 72, 72},
      {kImaging + "/dpcm.tif", 70, 46, 299, 299}, {kImaging + "/rose.pcx", 70, 46, 96, 96},
      {kImaging + "/rose.gif", 70, 46, -1, -1},   {kBmp + "/w8.bmp", 37, 23, -1, -1},
      {kBmp + "/rle4.bmp", 37, 23, -1, -1},
  };
  for (const Case& c : cases) {
    Loader l;
    l.IO.LoadFromFile(c.file);
    EXPECT_EQ(l.View.Bmp.Width(), c.w) << c.file;
    EXPECT_EQ(l.View.Bmp.Height(), c.h) << c.file;
    EXPECT_EQ(l.View.Bmp.PixelFormat(), pf24bit) << c.file;
    EXPECT_EQ(l.View.DpiX, c.dpiX) << c.file;
    EXPECT_EQ(l.View.DpiY, c.dpiY) << c.file;
    EXPECT_EQ(l.View.Updates, 1) << c.file;
    EXPECT_EQ(l.View.Changes, 1) << c.file;
  }
}

TEST(PixIO, TheBitmapIsFilledInPlace) {
  Loader l;
  TBitmap* before = l.IO.Bitmap();
  l.IO.LoadFromFile(kBmp + "/w24.bmp");
  EXPECT_EQ(before, &l.View.Bmp);
  TBitmap ref;
  ref.LoadFromFile(kBmp + "/w24.bmp");
  for (int y = 0; y < 23; y += 5)
    for (int x = 0; x < 37; x += 3) ASSERT_EQ(l.View.Bmp.Pixel(x, y), ref.Pixel(x, y));
}

TEST(PixIO, BlackAndWhitePicturesShowOneBitsWhiteWhateverThePalette) {
  // w1.bmp with its two table entries exchanged and its bits inverted: the same picture to the
  // eye, but the loader shows set bits white, so it comes out as the negative.
  std::string bytes;
  {
    std::FILE* f = std::fopen((kBmp + "/w1.bmp").c_str(), "rb");
    int c;
    while ((c = std::fgetc(f)) != EOF) bytes += char(c);
    std::fclose(f);
  }
  for (int i = 0; i < 4; ++i) std::swap(bytes[54 + i], bytes[58 + i]);
  for (size_t i = 62; i < bytes.size(); ++i) bytes[i] = char(~bytes[i]);
  Loader plain, swapped;
  plain.IO.LoadFromFile(kBmp + "/w1.bmp");
  swapped.IO.LoadFromFile(Temp("swapped.bmp", bytes));
  TBitmap raw;
  raw.LoadFromFile(kBmp + "/w1.bmp");
  int set = 0;
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) {
      const bool bit = (raw.ScanLine(y)[x / 8] >> (7 - x % 8)) & 1;
      set += bit;
      ASSERT_EQ(plain.View.Bmp.Pixel(x, y), bit ? clWhite : clBlack) << x << "," << y;
      ASSERT_EQ(swapped.View.Bmp.Pixel(x, y), bit ? clBlack : clWhite) << x << "," << y;
    }
  EXPECT_GT(set, 0);
  // A bilevel TIFF takes the same way.
  Loader tiff;
  tiff.IO.LoadFromFile(kImaging + "/mono_g4.tif");
  EXPECT_EQ(tiff.View.Bmp.PixelFormat(), pf24bit);
}

TEST(PixIO, GifBackgroundIsTheTransparentColourOrTheScreens) {
  Loader l;
  l.View.Bg = clRed;
  l.IO.LoadFromFile(kImaging + "/trans.gif");  // transparent index 1 (black), screen background blue
  EXPECT_EQ(l.View.Bg, clBlack);
  EXPECT_EQ(l.View.Bmp.Pixel(4, 3), RGBColor(0, 0, 255));
  Loader opaque;
  opaque.View.Bg = clRed;
  opaque.IO.LoadFromFile(Copy(kImaging + "/page.gif", "page.gif"));
  EXPECT_NE(opaque.View.Bg, clRed);
}

TEST(PixIO, WithoutAViewNothingHappens) {
  TPixIO io(nullptr);
  EXPECT_EQ(io.Bitmap(), nullptr);
  io.LoadFromFile("does-not-exist.bmp");  // no error: nothing to load into
  io.SetBackground(clGreen);
  EXPECT_EQ(io.Background(), clGreen);
  // A view that goes detaches its clients.
  auto view = std::make_unique<TTestView>();
  io.SetAttachedPixBox(view.get());
  io.SetBackground(clBlue);
  EXPECT_EQ(view->Bg, clBlue);
  view.reset();
  EXPECT_EQ(io.AttachedPixBox(), nullptr);
  EXPECT_EQ(io.Bitmap(), nullptr);
  EXPECT_EQ(io.Background(), clGreen);
}

// PNG pictures come back apart and leave the view as it was; every other file is the loader's.
TEST(PixIO, PictureFilesForAViewTakePngApart) {
  struct Case {
    std::string file;
    bool apart;  // a bitmap comes back and the view keeps its picture
    int w, h;
    const char* message;  // nullptr: read
  } cases[] = {
      {kJpeg + "/rgb8.png", true, 70, 46, nullptr},
      {Copy(kJpeg + "/rgb8.png", "GROSS.PNG"), true, 70, 46, nullptr},
      {Temp("kaputt.png", "no PNG at all"), true, 0, 0, "Error Reading File!"},
      {kBmp + "/w8.bmp", false, 37, 23, nullptr},
      {kImaging + "/rose.gif", false, 70, 46, nullptr},
  };
  for (const Case& c : cases) {
    Loader l;
    l.View.Bmp.SetSize(5, 5);
    std::unique_ptr<TBitmap> png;
    try {
      png = LoadPictureFile(l.IO, c.file);
      EXPECT_EQ(c.message, nullptr) << c.file;
    } catch (const Exception& e) {
      ASSERT_NE(c.message, nullptr) << c.file << ": " << e.what();
      EXPECT_STREQ(e.what(), c.message) << c.file;
    }
    if (c.apart) {
      EXPECT_EQ(l.View.Bmp.Width(), 5) << c.file;
      EXPECT_EQ(l.View.Changes, 0) << c.file;
      if (c.message) continue;
      ASSERT_NE(png, nullptr) << c.file;
      EXPECT_EQ(png->Width(), c.w) << c.file;
      EXPECT_EQ(png->Height(), c.h) << c.file;
      EXPECT_EQ(png->PixelFormat(), pf24bit) << c.file;
    } else {
      EXPECT_EQ(png, nullptr) << c.file;
      EXPECT_EQ(l.View.Bmp.Width(), c.w) << c.file;
      EXPECT_EQ(l.View.Bmp.Height(), c.h) << c.file;
      EXPECT_EQ(l.View.Changes, 1) << c.file;
    }
  }
}

TEST(PixIO, GifFramesAreCountedWithoutDecoding) {
  EXPECT_EQ(TPixIO::GetGIFFrameCount(kImaging + "/anim.gif"), 3);
  EXPECT_EQ(TPixIO::GetGIFFrameCount(kImaging + "/rose.gif"), 1);
  try {
    TPixIO::GetGIFFrameCount(Temp("bad.gif", "GIF? no"));
    ADD_FAILURE();
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "unrecognized GIF");
  }
  EXPECT_THROW(TPixIO::GetGIFFrameCount(std::string(::testing::TempDir()) + "none.gif"), EInvalidGraphic);
}

TEST(PixProc, ExpandingOneBitUsesEveryPixelOfTheRow) {
  for (int w : {1, 7, 8, 9, 16, 37}) {
    TBitmap src, dst;
    src.SetPixelFormat(pf1bit);
    src.SetSize(w, 3);
    src.SetPalette({TRGBQuad{255, 255, 255, 0}, TRGBQuad{0, 0, 0, 0}});  // index 1 black
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < w; ++x)
        if ((x * 7 + y * 3) % 5 < 2) src.ScanLine(y)[x / 8] |= uint8_t(0x80 >> (x % 8));
    dst.SetPixelFormat(pf8bit);
    dst.SetSize(2, 2);
    TPixProc::Expand1Bit(src, dst);
    ASSERT_EQ(dst.PixelFormat(), pf24bit);
    ASSERT_EQ(dst.Width(), w);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < w; ++x)
        ASSERT_EQ(dst.Pixel(x, y), (x * 7 + y * 3) % 5 < 2 ? clWhite : clBlack) << w << ": " << x << "," << y;
  }
}

TEST(PixProc, SizeRoutines) {
  struct Fit {
    int sw, sh, bw, bh, w, h;
  } fits[] = {
      {30, 30, 100, 100, 100, 100},  // 333 %, 99.9 rounded
      {400, 200, 100, 100, 100, 50}, {200, 400, 100, 100, 50, 100}, {0, 0, 100, 100, 0, 0},
      {3, 1, 100, 100, 100, 33},     // 3333 %: 99.99 and 33.33
      {8, 2, 5, 5, 5, 1},            // 62.5 % truncated to 62: 4.96 and 1.24
      {10, 5, 5, 100, 5, 2},         // 50 %: 2.5 goes to the even 2
      {10, 7, 5, 100, 5, 4},         // 50 %: 3.5 goes to the even 4
  };
  for (const Fit& f : fits) {
    const TPixSize s = FitSizePercent(f.sw, f.sh, f.bw, f.bh);
    EXPECT_EQ(s.Width, f.w) << f.sw << "x" << f.sh;
    EXPECT_EQ(s.Height, f.h) << f.sw << "x" << f.sh;
  }
  EXPECT_EQ(RoundAwayFromZero(2.1L), 3);
  EXPECT_EQ(RoundAwayFromZero(-2.1L), -3);
  EXPECT_EQ(RoundAwayFromZero(2.0L), 2);
  EXPECT_EQ(RoundAwayFromZero(-0.5L), -1);
  EXPECT_EQ(SwapRedBlue(0x00123456u), 0x00563412u);
  TPixProc proc(nullptr);
  EXPECT_TRUE(proc.AutoUndo);
}

}  // namespace

TEST(PixIO, TransparentPngPicturesShowTheViewsBackground) {
  // Black lettering on a transparent background, shown on the view's silver: the background stays
  // silver around the letters, as the same picture as a GIF shows it.
  for (const char* name : {"firma.png", "firma_pal.png"}) {
    SCOPED_TRACE(name);
    Loader l;
    l.View.Bg = clSilver;
    std::unique_ptr<TBitmap> png = LoadPictureFile(l.IO, kJpeg + "/" + name);
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(png->Pixel(10, 50), clSilver);
    EXPECT_EQ(png->Pixel(50, 50), clBlack);
    EXPECT_EQ(png->Pixel(200, 1), clBlack);
  }
}

TEST(PixIO, LargePhotosAreShownScaledAndMeasuredWhole) {
  // A 48-megapixel JPEG is decoded at half its size for the view; the image dialog's measure
  // reads both sizes from the headers.
  Loader l;
  LoadPictureFile(l.IO, kJpeg + "/photo48.jpg");
  EXPECT_EQ(l.View.Bmp.Width(), 4000);
  EXPECT_EQ(l.View.Bmp.Height(), 3000);
  EXPECT_TRUE(l.View.NotShownText().empty());
  struct Case {
    std::string file;
    int w, h;
  } cases[] = {{kJpeg + "/photo48.jpg", 8000, 6000},
               {kJpeg + "/photo48.png", 8000, 6000},
               {kJpeg + "/photo24.png", 6000, 4000},
               {kImaging + "/rose.gif", 70, 46},
               {kImaging + "/rgb_tiled.tif", 70, 46}};
  for (const Case& c : cases) {
    Loader m;
    m.View.Bmp.SetSize(5, 5);
    const TPixSize s = MeasurePictureFile(m.IO, c.file);
    EXPECT_EQ(s.Width, c.w) << c.file;
    EXPECT_EQ(s.Height, c.h) << c.file;
  }
  // A broken JPEG still has the loader's word for it.
  Loader b;
  try {
    MeasurePictureFile(b.IO, Temp("kaputt.jpg", "no JPEG at all"));
    ADD_FAILURE() << "measured";
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "unrecognized JPEG");
  }
}

namespace {

// A BMP file: the file header, an info header of HeaderSize bytes (40; 12 for OS/2's 16-bit
// sides) declaring the picture, a colour table of two entries, then PixelBytes bytes of pixels.
std::string BMPFile(int HeaderSize, int Width, int Height, int Bits, int Compression, size_t PixelBytes) {
  std::string f;
  auto put = [&](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) f += char((v >> (8 * i)) & 0xFF);
  };
  const int table = 2 * (HeaderSize == 12 ? 3 : 4);
  f += "BM";
  put(uint32_t(14 + HeaderSize + table + PixelBytes), 4);
  put(0, 4);
  put(uint32_t(14 + HeaderSize + table), 4);
  put(uint32_t(HeaderSize), 4);
  if (HeaderSize == 12) {
    put(uint32_t(Width), 2), put(uint32_t(Height), 2), put(1, 2), put(uint32_t(Bits), 2);
  } else {
    put(uint32_t(Width), 4), put(uint32_t(Height), 4), put(1, 2), put(uint32_t(Bits), 2);
    put(uint32_t(Compression), 4);
    f += std::string(12, '\0');  // image size and resolutions
    put(2, 4), put(0, 4);         // colours used and important
  }
  f += std::string(size_t(table), '\xFF');
  f += std::string(PixelBytes, '\0');
  return f;
}

}  // namespace

TEST(PixIO, BitmapsBeyondTheBudgetAreTooLargeAndMeasuredBrokenOnesStayUnrecognized) {
  // A 1-bit row of 7000 pixels takes 876 bytes, of 8000 pixels 1000; the loader shows every
  // picture at 24 bits, where 7000 x 7000 and 8000 x 6000 do not fit the budget.
  const std::string tooLarge7000 = "Das Bild ist mit 7000 x 7000 Bildpunkten zu gro\xDF, um angezeigt zu werden.";
  const std::string tooLarge8000 = "Das Bild ist mit 8000 x 6000 Bildpunkten zu gro\xDF, um angezeigt zu werden.";
  struct Case {
    std::string name, bytes, message;
    int w, h;  // the size the image dialog measures (0: it fails as the load does)
  } cases[] = {
      // A quarter of the rows is data enough, as a photo cut off in its last rows.
      {"einsbit.bmp", BMPFile(40, 7000, 7000, 1, 0, 876 * 7000 / 4), tooLarge7000, 7000, 7000},
      {"oben.bmp", BMPFile(40, 7000, -7000, 1, 0, 876 * 7000), tooLarge7000, 7000, 7000},
      {"os2.bmp", BMPFile(12, 8000, 6000, 1, 0, 1000 * 6000 / 4), tooLarge8000, 8000, 6000},
      // ImageMagick's run-length coded bitmap of 48 megapixels.
      {"photo48_rle.bmp", "", tooLarge8000, 8000, 6000},
      // Declarations the data cannot fill, and headers the reader does not know, are broken files.
      {"wenig.bmp", BMPFile(40, 8000, 6000, 24, 0, 100), "unrecognized BMP", 0, 0},
      {"kurz_rle.bmp", BMPFile(40, 8000, 6000, 8, 1, 1000), "unrecognized BMP", 0, 0},
      {"achtel.bmp", BMPFile(40, 7000, 7000, 1, 0, 876 * 7000 / 8), "unrecognized BMP", 0, 0},
      {"verfahren.bmp", BMPFile(40, 7000, 7000, 1, 9, 876 * 7000), "unrecognized BMP", 0, 0},
      {"tiefe.bmp", BMPFile(40, 7000, 7000, 3, 0, 876 * 7000), "unrecognized BMP", 0, 0},
      // The largest sides, at the most bits per pixel and at a depth far beyond any: the bytes of
      // their rows are weighed without overflowing.
      // Headers alone (62 bytes) declaring pictures within the budget: nothing to show.
      {"kopf24.bmp", BMPFile(40, 6000, 7000, 24, 0, 0), "unrecognized BMP", 0, 0},
      {"kopf8.bmp", BMPFile(40, 6000, 7000, 8, 0, 26), "unrecognized BMP", 0, 0},
      {"kopf_rle.bmp", BMPFile(40, 6000, 7000, 8, 1, 100), "unrecognized BMP", 0, 0},
      {"kopf1.bmp", BMPFile(40, 30000, 30000, 1, 0, 0), "unrecognized BMP", 0, 0},
      {"riesig.bmp", BMPFile(40, 0x7FFFFFFF, 0x7FFFFFFF, 32, 0, 1000), "unrecognized BMP", 0, 0},
      {"bits.bmp", BMPFile(40, 0x7FFFFFFF, 0x7FFFFFFF, 0xFFFF, 0, 1000), "unrecognized BMP", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = c.bytes.empty() ? kJpeg + "/" + c.name : Temp(c.name, c.bytes);
    Loader l;
    try {
      l.IO.LoadFromFile(path);
      ADD_FAILURE() << "loaded";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_EQ(l.View.Changes, 0);
    Loader m;
    try {
      const TPixSize s = MeasurePictureFile(m.IO, path);
      EXPECT_EQ(s.Width, c.w);
      EXPECT_EQ(s.Height, c.h);
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(c.w, 0) << e.Message();
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(PixIO, TiffPicturesWithoutADecoderKeepTheirSizeButAreNotShown) {
  struct Case {
    const char* name;
    int w, h;
  } cases[] = {
      {"rgb_tiled.tif", 70, 46}, {"rgb_deflate.tif", 70, 46}, {"rgb_jpeg.tif", 70, 46}, {"rgb16.tif", 70, 46},
      {"cmyk.tif", 70, 46},      {"two16.tif", 70, 46},
      // Blank A4 pages, which Zstandard and LZMA compress far more than Deflate can.
      {"a4_grey_zstd.tiff", 2480, 3508}, {"a4_rgb_zstd.tiff", 2480, 3508},
      {"a4_grey_lzma.tiff", 2480, 3508}, {"a4_rgb_lzma.tiff", 2480, 3508},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Loader l;
    l.IO.LoadFromFile(kImaging + "/" + c.name);
    EXPECT_EQ(l.View.Bmp.Width(), c.w);
    EXPECT_EQ(l.View.Bmp.Height(), c.h);
    EXPECT_EQ(l.View.NotShownText(), kTIFFNotShown);
    // The next picture the view shows is shown again.
    l.IO.LoadFromFile(kImaging + "/rgb_none.tif");
    EXPECT_TRUE(l.View.NotShownText().empty());
  }
}

namespace {

// A GIF of one white pixel on a logical screen of 40 x 30 whose background colour is black.
std::string BlackScreenGIF() {
  std::string f = "GIF89a";
  for (int b : {40, 0, 30, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0, 0x3B})
    f += char(b);
  return f;
}

// A PCX of Width x Height pixels, 8 bits in one plane, every line one run-length coded colour
// (63 bytes per two), with its palette.
std::string PCXFile(int Width, int Height) {
  std::string f(128, '\0');
  f[0] = 10, f[1] = 5, f[2] = 1, f[3] = 8, f[65] = 1;
  auto put16 = [&](size_t at, int v) { f[at] = char(v & 0xFF), f[at + 1] = char(v >> 8); };
  put16(8, Width - 1), put16(10, Height - 1), put16(12, 300), put16(14, 300), put16(66, Width);
  std::string line;
  for (int left = Width; left > 0; left -= 63) line += char(0xC0 | std::min(left, 63)), line += char(1);
  f.reserve(f.size() + line.size() * size_t(Height) + 769);
  for (int y = 0; y < Height; ++y) f += line;
  return f + char(12) + std::string(768, '\x80');
}

}  // namespace

TEST(PixIO, TransparentPngAfterAGifShowsTheViewsOwnBackground) {
  // The GIF shows its black screen colour around its picture; the PNG after it is blended over
  // the view's own silver again, and the view keeps silver.
  Loader l;
  l.View.Bg = clSilver;
  l.IO.LoadFromFile(Temp("schwarz.gif", BlackScreenGIF()));
  EXPECT_EQ(l.View.Bg, clBlack);
  std::unique_ptr<TBitmap> png = LoadPictureFile(l.IO, kJpeg + "/firma.png");
  ASSERT_NE(png, nullptr);
  EXPECT_EQ(png->Pixel(10, 50), clSilver);
  EXPECT_EQ(png->Pixel(50, 50), clBlack);
  EXPECT_EQ(l.View.Bg, clSilver);
  // Any other picture after a GIF also has the view's own background around it.
  l.IO.LoadFromFile(Temp("schwarz.gif", BlackScreenGIF()));
  l.IO.LoadFromFile(kBmp + "/w24.bmp");
  EXPECT_EQ(l.View.Bg, clSilver);
  // A background set while the GIF is shown is the view's own from then on.
  l.IO.LoadFromFile(Temp("schwarz.gif", BlackScreenGIF()));
  l.View.Bg = clRed;
  l.IO.LoadFromFile(kBmp + "/w24.bmp");
  EXPECT_EQ(l.View.Bg, clRed);
}

TEST(PixIO, ProgressivePhotosAreShownAndThumbnailed) {
  // A progressive photo needs the coefficients of the whole picture (2 bytes each) beside its
  // bitmap, whatever the scale it is decoded at.
  struct Case {
    const char* name;
    int w, h;  // as the view shows it
  } cases[] = {{"photo24_prog.jpg", 6000, 4000}, {"photo16_444_prog.jpg", 4900, 3300}, {"photo48_prog.jpg", 4000, 3000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Loader l;
    l.IO.LoadFromFile(kJpeg + "/" + c.name);
    EXPECT_EQ(l.View.Bmp.Width(), c.w);
    EXPECT_EQ(l.View.Bmp.Height(), c.h);
    // The rose's red is there, not the decoder's grey.
    const TColor mid = l.View.Bmp.Pixel(c.w / 2, c.h / 2);
    EXPECT_GT(RedOf(mid), GreenOf(mid) + 20);
    // The thumbnails decode at an eighth.
    TFileStream f(kJpeg + "/" + c.name, fmOpenRead);
    int x = 0, y = 0, w = 0, h = 0;
    std::unique_ptr<TBitmap> thumb(ReadJPEGStreamScaled(f, x, y, [](int, int) { return 8; }, w, h));
    EXPECT_EQ(thumb->Width(), (w + 7) / 8);
  }
  // Beyond what a 32-bit program can hold: a progressive grey picture of 16000 x 13000 pixels,
  // whose 3.25 million blocks of coefficients would take 416 MB (its 406 KB of data fill it), is
  // too large to be shown, in the user's words, and no broken file.
  const std::string path = Temp("riesig.jpg", hostile::JPEG(true, 16000, 13000, 1, 2000 * 1625 / 8));
  Loader l;
  try {
    l.IO.LoadFromFile(path);
    ADD_FAILURE() << "loaded";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Das Bild ist mit 16000 x 13000 Bildpunkten zu gro\xDF, um angezeigt zu werden.");
  }
}

TEST(PixIO, APcxBeyondTheBudgetIsTooLargeAndMeasured) {
  const std::string path = Temp("gross.pcx", PCXFile(8000, 6000));
  Loader l;
  try {
    l.IO.LoadFromFile(path);
    ADD_FAILURE() << "loaded";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Das Bild ist mit 8000 x 6000 Bildpunkten zu gro\xDF, um angezeigt zu werden.");
  }
  const TPixSize s = MeasurePictureFile(l.IO, path);
  EXPECT_EQ(s.Width, 8000);
  EXPECT_EQ(s.Height, 6000);
  // Within the budget the same lines are a picture.
  l.IO.LoadFromFile(Temp("klein.pcx", PCXFile(300, 200)));
  EXPECT_EQ(l.View.Bmp.Width(), 300);
  EXPECT_EQ(l.View.Bmp.Pixel(299, 199), RGBColor(0x80, 0x80, 0x80));
}
