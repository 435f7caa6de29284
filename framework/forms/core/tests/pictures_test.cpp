// The picture classes of the core: TBitmap's BMP files against netpbm's decoding of every variant,
// the registry of TPicture, and the sizes of icons and metafiles.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bitmap.h"
#include "icon.h"
#include "metafile.h"
#include "picture.h"

namespace {

const std::string kDir = BMP_FIXTURES;

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::vector<uint8_t> v;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    int c;
    while ((c = std::fgetc(f)) != EOF) v.push_back(uint8_t(c));
    std::fclose(f);
  }
  return v;
}

TMemoryStream* StreamOf(const std::vector<uint8_t>& bytes) {
  auto* s = new TMemoryStream;
  if (!bytes.empty()) s->WriteBuffer(bytes.data(), int64_t(bytes.size()));
  s->SetPosition(0);
  return s;
}

// Every pixel against the reference bytes (red, green, blue, top row first).
::testing::AssertionResult SamePixels(const TBitmap& b, const std::vector<uint8_t>& rgb) {
  if (rgb.size() != size_t(b.Width()) * size_t(b.Height()) * 3)
    return ::testing::AssertionFailure() << rgb.size() << " reference bytes for " << b.Width() << "x" << b.Height();
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const TColor c = b.Pixel(x, y);
      const uint8_t* e = &rgb[(size_t(y) * size_t(b.Width()) + size_t(x)) * 3];
      if (RedOf(c) != e[0] || GreenOf(c) != e[1] || BlueOf(c) != e[2])
        return ::testing::AssertionFailure() << "(" << x << "," << y << ") " << RedOf(c) << "," << GreenOf(c) << ","
                                             << BlueOf(c) << " want " << int(e[0]) << "," << int(e[1]) << ","
                                             << int(e[2]);
    }
  return ::testing::AssertionSuccess();
}

struct Variant {
  const char* name;
  TPixelFormat format;
};
const Variant kVariants[] = {
    {"w1", pf1bit},        {"w4", pf4bit},       {"w8", pf8bit},         {"w24", pf24bit},
    {"os2_1", pf1bit},     {"os2_8", pf8bit},    {"os2_24", pf24bit},    {"os2v2_8", pf8bit},
    {"rle4", pf4bit},      {"rle8", pf8bit},     {"rle8_im", pf8bit},    {"rgb555", pf24bit},
    {"bf565", pf24bit},    {"bf8888", pf24bit},  {"topdown24", pf24bit}, {"topdown8", pf8bit},
};

TEST(BmpFiles, EveryVariantReadsAsNetpbmDecodesIt) {
  for (const Variant& v : kVariants) {
    TBitmap b;
    b.LoadFromFile(kDir + "/" + v.name + ".bmp");
    EXPECT_EQ(b.Width(), 37) << v.name;
    EXPECT_EQ(b.Height(), 23) << v.name;
    EXPECT_EQ(b.PixelFormat(), v.format) << v.name;
    EXPECT_TRUE(SamePixels(b, ReadFile(kDir + "/" + v.name + ".rgb"))) << v.name;
    // The turn to 24 bits that the image view makes of every picture keeps the pixels.
    b.SetPixelFormat(pf24bit);
    EXPECT_TRUE(SamePixels(b, ReadFile(kDir + "/" + v.name + ".rgb"))) << v.name << " at 24 bits";
  }
}

TEST(BmpFiles, APictureInsideALongerStreamIsReadFromWhereItStarts) {
  for (const char* name : {"w24", "topdown8", "rle8"}) {
    std::vector<uint8_t> bytes = {1, 2, 3, 4, 5};
    const std::vector<uint8_t> file = ReadFile(kDir + "/" + name + ".bmp");
    bytes.insert(bytes.end(), file.begin(), file.end());
    bytes.insert(bytes.end(), 7, 0xEE);  // whatever follows the picture
    std::unique_ptr<TMemoryStream> s(StreamOf(bytes));
    s->SetPosition(5);
    TBitmap b;
    b.LoadFromStream(*s);
    EXPECT_TRUE(SamePixels(b, ReadFile(kDir + "/" + name + ".rgb"))) << name;
    EXPECT_EQ(s->Position(), int64_t(bytes.size())) << name;  // the rest of the stream is read
  }
}

TEST(BmpFiles, SavedFilesReadBackTheSamePixelsAndDepth) {
  for (const Variant& v : kVariants) {
    TBitmap b, back;
    b.LoadFromFile(kDir + "/" + v.name + ".bmp");
    const std::string out = std::string(::testing::TempDir()) + "saved_" + v.name + ".bmp";
    b.SaveToFile(out);
    back.LoadFromFile(out);
    EXPECT_EQ(back.PixelFormat(), b.PixelFormat()) << v.name;
    EXPECT_TRUE(SamePixels(back, ReadFile(kDir + "/" + v.name + ".rgb"))) << v.name;
#ifdef BMPTOPNM_CHECK
    // netpbm reads what we write.
    const std::string ref = out + ".rgb";
    const std::string cmd = "bmptopnm '" + out + "' 2>/dev/null | ppmtoppm | pamdepth 255 | tail -c " +
                            std::to_string(37 * 23 * 3) + " > '" + ref + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << v.name;
    EXPECT_TRUE(SamePixels(back, ReadFile(ref))) << v.name << " (netpbm)";
#endif
  }
}

TEST(BmpFiles, ClipboardDibWithoutFileHeaderReads) {
  const std::vector<uint8_t> file = ReadFile(kDir + "/w8.bmp");
  TBitmap b;
  b.LoadFromDIB(file.data() + 14, file.size() - 14);
  EXPECT_TRUE(SamePixels(b, ReadFile(kDir + "/w8.rgb")));
}

// Broken files: a clear error, and the bitmap keeps its picture.
TEST(BmpFiles, BrokenFilesAreRefusedAndChangeNothing) {
  const std::vector<uint8_t> good = ReadFile(kDir + "/w24.bmp");
  auto patched = [&](size_t at, std::vector<uint8_t> bytes) {
    std::vector<uint8_t> v = good;
    std::memcpy(&v[at], bytes.data(), bytes.size());
    return v;
  };
  struct Case {
    const char* what;
    std::vector<uint8_t> data;
  };
  const Case cases[] = {
      {"empty", {}},
      {"file header only", std::vector<uint8_t>(good.begin(), good.begin() + 14)},
      {"info header cut", std::vector<uint8_t>(good.begin(), good.begin() + 30)},
      {"header size 7", patched(14, {7, 0, 0, 0})},
      {"header size beyond the file", patched(14, {0xFF, 0xFF, 0, 0})},
      {"width 0", patched(18, {0, 0, 0, 0})},
      {"width negative", patched(18, {0xFF, 0xFF, 0xFF, 0xFF})},
      {"height 0", patched(22, {0, 0, 0, 0})},
      {"height -2^31", patched(22, {0, 0, 0, 0x80})},
      {"2 bits per pixel", patched(28, {2, 0})},
      {"RLE8 on 24 bits", patched(30, {1, 0, 0, 0})},
      {"compression 9", patched(30, {9, 0, 0, 0})},
      {"a picture of 2^31 x 2^31", patched(18, {0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F})},
  };
  for (const Case& c : cases) {
    TBitmap b;
    b.SetSize(3, 2);
    b.SetPixel(1, 1, clRed);
    std::unique_ptr<TMemoryStream> s(StreamOf(c.data));
    try {
      b.LoadFromStream(*s);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const EInvalidGraphic& e) {
      // A picture of 2^31 x 2^31 over the data of 37 x 23 pixels is one its data cannot fill: broken,
      // refused before its size is weighed.
      EXPECT_STREQ(e.what(), "Ung\xFCltiges Bitmap") << c.what;
    }
    EXPECT_EQ(b.Width(), 3) << c.what;
    EXPECT_EQ(b.Pixel(1, 1), clRed) << c.what;
  }
  // RLE rows may not be top-down.
  std::vector<uint8_t> rle = ReadFile(kDir + "/rle8.bmp");
  const int32_t up = -23;
  std::memcpy(&rle[22], &up, 4);
  std::unique_ptr<TMemoryStream> s(StreamOf(rle));
  TBitmap b;
  EXPECT_THROW(b.LoadFromStream(*s), EInvalidGraphic);
}

TEST(BmpFiles, CutPixelDataKeepsTheRowsThatArrived) {
  std::vector<uint8_t> cut = ReadFile(kDir + "/w24.bmp");
  const size_t stride = 37 * 3 + 1;
  cut.resize(54 + stride * 3);  // the bottom three rows
  std::unique_ptr<TMemoryStream> s(StreamOf(cut));
  TBitmap b;
  b.LoadFromStream(*s);
  const std::vector<uint8_t> rgb = ReadFile(kDir + "/w24.rgb");
  const uint8_t* last = &rgb[size_t(22) * 37 * 3];
  EXPECT_EQ(b.Pixel(0, 22), RGBColor(last[0], last[1], last[2]));
  EXPECT_EQ(b.Pixel(0, 0), clBlack);
}

TEST(BmpFiles, ChangesAreReported) {
  TBitmap b;
  int changes = 0;
  b.OnChange = [&](TObject* s) {
    EXPECT_EQ(s, &b);
    ++changes;
  };
  b.LoadFromFile(kDir + "/w8.bmp");
  EXPECT_EQ(changes, 1);
  b.SetSize(5, 5);
  b.SetPixelFormat(pf24bit);
  EXPECT_EQ(changes, 3);
  EXPECT_TRUE(b.Modified());
}

TEST(Pictures, TheRegistryChoosesTheClassByExtension) {
  TPicture p;
  int changes = 0;
  p.OnChange = [&](TObject*) { ++changes; };
  const std::string upper = std::string(::testing::TempDir()) + "Upper.BMP";  // any letter case of the extension
  {
    TBitmap b;
    b.LoadFromFile(kDir + "/w8.bmp");
    b.SaveToFile(upper);
  }
  p.LoadFromFile(upper);
  ASSERT_NE(dynamic_cast<TBitmap*>(p.Graphic()), nullptr);
  EXPECT_EQ(p.Width(), 37);
  EXPECT_EQ(changes, 1);
  try {
    p.LoadFromFile(kDir + "/w8.xyz");
    ADD_FAILURE();
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Unbekannte Bilddateierweiterung (.xyz)");
  }
  EXPECT_EQ(p.Width(), 37);  // the picture stays

  // A class registered later serves its extension; unregistering takes it away again.
  struct TOwnBitmap : TBitmap {
    const char* ClassName() const override { return "TOwnBitmap"; }
  };
  TPicture::RegisterFileFormat(".Dib", "Eigene Bitmaps", &GraphicClassOf<TOwnBitmap>);
  EXPECT_EQ(TPicture::FileFormatClass("dib"), &GraphicClassOf<TOwnBitmap>);
  EXPECT_NE(TPicture::GraphicFilter().find("|Eigene Bitmaps (*.dib)|*.dib"), String::npos);
  TPicture::UnregisterGraphicClass(&GraphicClassOf<TOwnBitmap>);
  EXPECT_EQ(TPicture::FileFormatClass("dib"), nullptr);
  EXPECT_EQ(TPicture::GraphicFilter().substr(0, 39), "Alle (*.bmp;*.ico;*.wmf;*.emf)|*.bmp;*.");
}

TEST(Pictures, SetGraphicKeepsACopyOfTheSameClass) {
  TBitmap b;
  b.SetSize(4, 2);
  b.SetPixel(3, 1, clBlue);
  TPicture p, q;
  p.SetGraphic(&b);
  b.SetPixel(3, 1, clRed);
  ASSERT_NE(p.Graphic(), &b);
  EXPECT_EQ(static_cast<TBitmap*>(p.Graphic())->Pixel(3, 1), clBlue);
  q.Assign(&p);
  EXPECT_EQ(q.Bitmap()->Pixel(3, 1), clBlue);
  int changes = 0;
  q.OnChange = [&](TObject*) { ++changes; };
  q.Bitmap()->SetSize(8, 8);  // a change of the held picture reaches the container's owner
  EXPECT_EQ(changes, 1);
  q.Assign(nullptr);
  EXPECT_EQ(q.Graphic(), nullptr);
  EXPECT_FALSE(TPicture::SupportsClipboardFormat(49999));
  EXPECT_TRUE(TPicture::SupportsClipboardFormat(cfBitmap));
}

// An icon file with the given images (width, height, bits), each a DIB with its two masks.
std::vector<uint8_t> IconFile(const std::vector<std::array<int, 3>>& images) {
  std::vector<uint8_t> head = {0, 0, 1, 0, uint8_t(images.size()), 0}, data;
  size_t offset = 6 + 16 * images.size();
  for (const auto& im : images) {
    const int w = im[0], h = im[1], bits = im[2];
    const size_t xorBytes = size_t(TBitmap::RowBytesFor(w, bits)) * h, andBytes = size_t(TBitmap::RowBytesFor(w, 1)) * h;
    const size_t table = bits <= 8 ? (size_t(4) << bits) : 0, size = 40 + table + xorBytes + andBytes;
    std::vector<uint8_t> dib(size, 0);
    const uint32_t h2 = uint32_t(2 * h);
    dib[0] = 40;
    std::memcpy(&dib[4], &w, 4);
    std::memcpy(&dib[8], &h2, 4);
    dib[12] = 1;
    dib[14] = uint8_t(bits);
    const uint8_t entry[16] = {uint8_t(w & 255), uint8_t(h & 255), 0, 0, 1, 0, uint8_t(bits), 0,
                               uint8_t(size), uint8_t(size >> 8), uint8_t(size >> 16), 0,
                               uint8_t(offset), uint8_t(offset >> 8), uint8_t(offset >> 16), 0};
    head.insert(head.end(), entry, entry + 16);
    data.insert(data.end(), dib.begin(), dib.end());
    offset += size;
  }
  head.insert(head.end(), data.begin(), data.end());
  return head;
}

TEST(Icons, TheImageNearest32x32IsTheIconsSize) {
  struct Case {
    std::vector<std::array<int, 3>> images;
    int w, h;
  } cases[] = {
      {{{16, 16, 4}}, 16, 16},
      {{{16, 16, 8}, {32, 32, 4}, {48, 48, 32}}, 32, 32},
      {{{32, 32, 4}, {32, 32, 32}}, 32, 32},
      {{{256, 256, 32}, {48, 48, 8}}, 48, 48},
      {{{256, 256, 32}}, 256, 256},  // width byte 0
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> file = IconFile(c.images);
    std::unique_ptr<TMemoryStream> s(StreamOf(file));
    TIcon i;
    i.LoadFromStream(*s);
    EXPECT_EQ(i.Width(), c.w);
    EXPECT_EQ(i.Height(), c.h);
    EXPECT_TRUE(i.Transparent());
    TMemoryStream out;
    i.SaveToStream(out);
    EXPECT_EQ(out.Size(), int64_t(file.size()));
  }
  TIcon i;
  EXPECT_THROW(i.SetWidth(10), EInvalidGraphicOperation);
}

TEST(Icons, BrokenIconFilesAreRefused) {
  const std::vector<uint8_t> good = IconFile({{32, 32, 4}});
  auto with = [&](size_t at, uint8_t v) {
    std::vector<uint8_t> d = good;
    d[at] = v;
    return d;
  };
  for (const std::vector<uint8_t>& d : {std::vector<uint8_t>(good.begin(), good.begin() + 20), with(2, 2),
                                         with(4, 0), with(4, 5), with(18, 0xFF), with(22, 0x55), with(6 + 16, 12)}) {
    std::unique_ptr<TMemoryStream> s(StreamOf(d));
    TIcon i;
    try {
      i.LoadFromStream(*s);
      ADD_FAILURE() << "no error";
    } catch (const EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), "Ung\xFCltiges Symbol");
    }
    EXPECT_TRUE(i.Empty());
  }
}

void Put16(std::vector<uint8_t>& v, int x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>& v, int64_t x) {
  Put16(v, int(x & 0xFFFF));
  Put16(v, int((x >> 16) & 0xFFFF));
}

// A standard WMF: its header, a SetWindowExt record (when given), a rectangle, the closing record.
std::vector<uint8_t> Wmf(int extW, int extH) {
  std::vector<uint8_t> r;
  if (extW) {
    Put32(r, 5), Put16(r, 0x020C), Put16(r, extH), Put16(r, extW);
  }
  Put32(r, 7), Put16(r, 0x041B), Put16(r, 10), Put16(r, 10), Put16(r, 0), Put16(r, 0);
  Put32(r, 3), Put16(r, 0);
  std::vector<uint8_t> m;
  Put16(m, 1), Put16(m, 9), Put16(m, 0x300);
  Put32(m, int64_t(9 + r.size() / 2)), Put16(m, 0), Put32(m, 7), Put16(m, 0);
  m.insert(m.end(), r.begin(), r.end());
  return m;
}

std::vector<uint8_t> Placeable(int l, int t, int r, int b, int inch, const std::vector<uint8_t>& wmf) {
  std::vector<uint8_t> h;
  Put32(h, 0x9AC6CDD7), Put16(h, 0), Put16(h, l), Put16(h, t), Put16(h, r), Put16(h, b), Put16(h, inch), Put32(h, 0);
  int sum = 0;
  for (int i = 0; i < 10; ++i) sum ^= h[2 * i] | h[2 * i + 1] << 8;
  Put16(h, sum);
  h.insert(h.end(), wmf.begin(), wmf.end());
  return h;
}

std::vector<uint8_t> Emf(int frameL, int frameT, int frameR, int frameB) {
  std::vector<uint8_t> e;
  Put32(e, 1), Put32(e, 88);
  for (int v : {0, 0, 10, 10, frameL, frameT, frameR, frameB}) Put32(e, v);
  Put32(e, 0x464D4520), Put32(e, 0x10000), Put32(e, 88 + 20), Put32(e, 2);
  Put16(e, 0), Put16(e, 0), Put32(e, 0), Put32(e, 0), Put32(e, 0);
  for (int v : {1024, 768, 320, 240}) Put32(e, v);
  Put32(e, 14), Put32(e, 20), Put32(e, 0), Put32(e, 0), Put32(e, 20);  // EMR_EOF
  return e;
}

TEST(Metafiles, SizesComeFromTheirHeaders) {
  struct Case {
    const char* what;
    std::vector<uint8_t> data;
    bool enhanced;
    int w, h;
  } cases[] = {
      {"placeable, 1440 per inch", Placeable(0, 0, 2880, 1440, 1440, Wmf(0, 0)), false, 192, 96},
      {"placeable, box not at 0", Placeable(-100, 50, 476, 338, 576, Wmf(0, 0)), false, 96, 48},
      {"placeable, 2 x 2 pixels", Placeable(0, 0, 2, 2, 96, Wmf(2, 2)), false, 2, 2},
      {"no placeable header", Wmf(320, 200), false, 320, 200},
      {"negative extent", Wmf(-64, 48), false, 64, 48},
      {"EMF frame 0.01 mm", Emf(0, 0, 2540, 1270), true, 96, 48},
      {"EMF frame off 0", Emf(100, 100, 100 + 5292, 100 + 2646), true, 200, 100},
  };
  for (const Case& c : cases) {
    std::unique_ptr<TMemoryStream> s(StreamOf(c.data));
    TMetafile m;
    m.LoadFromStream(*s);
    EXPECT_EQ(m.Enhanced(), c.enhanced) << c.what;
    EXPECT_EQ(m.Width(), c.w) << c.what;
    EXPECT_EQ(m.Height(), c.h) << c.what;
    TMetafile copy;
    copy.Assign(&m);
    TMemoryStream out;
    copy.SaveToStream(out);
    EXPECT_EQ(out.Size(), int64_t(c.data.size())) << c.what;
  }
}

// Records behind a placeable header that set no window draw in the box's units: they are played
// with the box's window set first, and the header counts the two records; records that set their
// own window are played as they are. The file itself stays as it was.
TEST(Metafiles, APlaceableBoxIsTheWindowOfRecordsWithoutOne) {
  const std::vector<uint8_t> wmf = Wmf(0, 0);
  const std::vector<uint8_t> file = Placeable(-100, 50, 476, 338, 576, wmf);
  std::unique_ptr<TMemoryStream> s(StreamOf(file));
  TMetafile m;
  m.LoadFromStream(*s);
  std::vector<uint8_t> want(wmf.begin(), wmf.begin() + 18);
  want[6] += 10;  // the file's size in words
  Put32(want, 5), Put16(want, 0x020B), Put16(want, 50), Put16(want, -100);
  Put32(want, 5), Put16(want, 0x020C), Put16(want, 288), Put16(want, 576);
  want.insert(want.end(), wmf.begin() + 18, wmf.end());
  EXPECT_EQ(m.PlayedRecords(), want);
  TMemoryStream out;
  m.SaveToStream(out);
  EXPECT_EQ(out.Size(), int64_t(file.size()));

  const std::vector<uint8_t> own = Wmf(320, 200);
  std::unique_ptr<TMemoryStream> s2(StreamOf(Placeable(0, 0, 320, 200, 96, own)));
  m.LoadFromStream(*s2);
  EXPECT_EQ(m.PlayedRecords(), own);
}

TEST(Metafiles, BrokenMetafilesAreRefused) {
  std::vector<uint8_t> badSum = Placeable(0, 0, 100, 100, 96, Wmf(0, 0));
  badSum[20] ^= 1;
  std::vector<uint8_t> emfSize = Emf(0, 0, 100, 100);
  emfSize[4] = 0xFF, emfSize[5] = 0xFF;
  const std::vector<uint8_t> cases[] = {
      {}, Wmf(0, 0), badSum, Placeable(0, 0, 100, 100, 0, Wmf(0, 0)), Placeable(5, 5, 5, 5, 96, Wmf(0, 0)),
      emfSize, Emf(0, 0, 0, 0), std::vector<uint8_t>(40, 0x41)};
  for (const auto& d : cases) {
    std::unique_ptr<TMemoryStream> s(StreamOf(d));
    TMetafile m;
    try {
      m.LoadFromStream(*s);
      ADD_FAILURE() << "no error for " << d.size() << " bytes";
    } catch (const EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), "Ung\xFCltige Metadatei");
    }
    EXPECT_TRUE(m.Empty());
  }
}

}  // namespace
