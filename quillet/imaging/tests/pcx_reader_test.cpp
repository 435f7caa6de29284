#include "pcx_reader.h"

#include <memory>

#include "fixtures.h"

namespace {

std::unique_ptr<TBitmap> ReadBytes(const std::vector<uint8_t>& bytes, int& hres, int& vres,
                                   TScreenResolution screen = TScreenResolution()) {
  std::unique_ptr<TMemoryStream> s(StreamOf(bytes));
  return std::unique_ptr<TBitmap>(ReadPCXStream(*s, hres, vres, s->Size(), screen));
}

std::vector<uint8_t> Header(int bits, int planes, int w, int h, int bytesPerLine, int hres = 72, int vres = 72,
                            int encoding = 1) {
  std::vector<uint8_t> hd(128, 0);
  hd[0] = 10; hd[1] = 5; hd[2] = uint8_t(encoding); hd[3] = uint8_t(bits);
  hd[8] = uint8_t(w - 1); hd[9] = uint8_t((w - 1) >> 8);
  hd[10] = uint8_t(h - 1); hd[11] = uint8_t((h - 1) >> 8);
  hd[12] = uint8_t(hres); hd[13] = uint8_t(hres >> 8);
  hd[14] = uint8_t(vres); hd[15] = uint8_t(vres >> 8);
  hd[65] = uint8_t(planes);
  hd[66] = uint8_t(bytesPerLine);
  return hd;
}

}  // namespace

TEST(PCXReader, PicturesMatchImageMagick) {
  for (const char* name : {"rose", "pal8", "mono", "pal16"}) {
    SCOPED_TRACE(name);
    int h = 0, v = 0;
    auto b = ReadBytes(ReadAll(Fixture(std::string(name) + ".pcx")), h, v);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->PixelFormat(), pf24bit);
    EXPECT_TRUE(SamePixels(*b, std::string(name) + "_pcx.rgb"));
  }
}

TEST(PCXReader, ReadsFromAFile) {
  int h = 0, v = 0;
  std::unique_ptr<TBitmap> b(ReadPCXFile(Fixture("pal8.pcx"), h, v));
  ASSERT_TRUE(b);
  EXPECT_TRUE(SamePixels(*b, "pal8_pcx.rgb"));
  EXPECT_THROW(ReadPCXFile(Fixture("rose.gif"), h, v), EInvalidGraphic);
}

TEST(PCXReader, RunLengthAndResolution) {
  // 8-bit: 193 7 gives one 7; 192 x gives nothing; palette entry 7 is (1, 2, 3).
  std::vector<uint8_t> f = Header(8, 1, 3, 1, 3, 300, 0);
  f.insert(f.end(), {193, 7, 192, 9, 5, 7});
  f.push_back(12);
  std::vector<uint8_t> pal(768, 0);
  pal[21] = 1; pal[22] = 2; pal[23] = 3;
  pal[15] = 200;
  f.insert(f.end(), pal.begin(), pal.end());
  int h = 0, v = 0;
  auto b = ReadBytes(f, h, v, TScreenResolution{120, 144});
  ASSERT_TRUE(b);
  EXPECT_EQ(h, 120);  // a resolution of 0 reports the screen's, for both
  EXPECT_EQ(v, 144);
  EXPECT_EQ(b->Pixel(0, 0), RGBColor(1, 2, 3));
  EXPECT_EQ(b->Pixel(1, 0), RGBColor(200, 0, 0));
  EXPECT_EQ(b->Pixel(2, 0), RGBColor(1, 2, 3));

  // Three planes: red, green and blue lines of each row.
  std::vector<uint8_t> t = Header(8, 3, 2, 1, 2, 96, 97, 0);
  t.insert(t.end(), {10, 11, 20, 21, 30, 31});
  auto c = ReadBytes(t, h, v);
  ASSERT_TRUE(c);
  EXPECT_EQ(h, 96);
  EXPECT_EQ(v, 97);
  EXPECT_EQ(c->Pixel(0, 0), RGBColor(10, 20, 30));
  EXPECT_EQ(c->Pixel(1, 0), RGBColor(11, 21, 31));

  // 4 bits: two pixels a byte, high nibble first, colours from the header's table.
  std::vector<uint8_t> n = Header(4, 1, 3, 1, 2, 1, 1, 0);
  n[16 + 3 * 2] = 50; n[16 + 3 * 2 + 2] = 60;   // entry 2: (50, 0, 60)
  n[16 + 3 * 15 + 1] = 70;                      // entry 15: (0, 70, 0)
  n.insert(n.end(), {0x2F, 0x20});
  auto q = ReadBytes(n, h, v);
  ASSERT_TRUE(q);
  EXPECT_EQ(q->Pixel(0, 0), RGBColor(50, 0, 60));
  EXPECT_EQ(q->Pixel(1, 0), RGBColor(0, 70, 0));
  EXPECT_EQ(q->Pixel(2, 0), RGBColor(50, 0, 60));

  // 1 bit: set bits white; a run longer than the line ends with the line.
  std::vector<uint8_t> m = Header(1, 1, 10, 2, 2);
  m.insert(m.end(), {0xFF, 0xA0, 0xC2, 0x00, 0xFF, 0x00});
  auto d = ReadBytes(m, h, v);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->Pixel(0, 0), clWhite);
  EXPECT_EQ(d->Pixel(8, 0), clWhite);
  EXPECT_EQ(d->Pixel(9, 0), clBlack);
  EXPECT_EQ(d->Pixel(0, 1), clBlack);
}

TEST(PCXReader, RefusesUnknownHeadersAndHostileSizes) {
  struct Case { int offset; uint8_t value; };
  for (Case c : {Case{0, 11}, Case{2, 2}, Case{3, 9}, Case{65, 2}, Case{65, 4}}) {
    std::vector<uint8_t> f = Header(8, 1, 4, 4, 4);
    f[size_t(c.offset)] = c.value;
    f.resize(f.size() + 800, 0);
    int h, v;
    try {
      ReadBytes(f, h, v);
      ADD_FAILURE() << "offset " << c.offset;
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), "unrecognized PCX");
    }
  }
  std::vector<uint8_t> huge = Header(8, 1, 65535, 65535, 255);
  int h, v;
  EXPECT_THROW(ReadBytes(huge, h, v), EInvalidGraphic);
  EXPECT_THROW(ReadBytes({10, 5, 1}, h, v), EInvalidGraphic);
  // Xmax below Xmin: width 0, an empty picture whatever the height.
  std::vector<uint8_t> narrow = Header(8, 1, 1, 1537, 1);
  narrow[4] = 1; narrow[8] = 0;
  auto e = ReadBytes(narrow, h, v);
  ASSERT_TRUE(e);
  EXPECT_TRUE(e->Empty());
  // Short data: rows beyond it stay black, nothing is read past the file. Runs of length 0 make
  // data that could fill the picture at run-length coding's largest expansion but does not.
  std::vector<uint8_t> s = Header(8, 1, 40, 40, 40);
  s.insert(s.end(), {0xFF, 3});
  std::vector<uint8_t> cut = s;
  for (int i = 0; i < 29; ++i) s.insert(s.end(), {0xC0, 7});
  auto b = ReadBytes(s, h, v);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->Pixel(39, 39), clBlack);
  // Data that cannot fill the picture even so: refused before the picture is allocated.
  EXPECT_THROW(ReadBytes(cut, h, v), EInvalidGraphic);
}
