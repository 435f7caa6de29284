// The two encoders, the sub-block writer and the compressor's hash table, checked by decoding
// what they write.
#include <gtest/gtest.h>

#include <algorithm>

#include "gif_encoder.h"
#include "gif_lzw_decoder.h"
#include "gif_test_support.h"

namespace {

Bytes EncodeBytes(int Kind, const Bytes& Pixels, int W, int H, int Bpp, bool Interlaced = false) {
  TMemoryStream s;
  Encode(Kind, s, Bpp, 1 << std::max(Bpp, 1), Pixels.empty() ? nullptr : Pixels.data(), Interlaced, H, W);
  return StreamBytes(s);
}

Bytes DecodeAll(const Bytes& Data, int W, int H, bool Interlaced, std::vector<std::string>* Warn = nullptr,
                int64_t* End = nullptr) {
  TMemoryStream s;
  Fill(s, Data);
  Warnings w;
  Bytes px;
  Decode(s, W, H, Interlaced, 0, px, w.Hook());
  if (Warn) *Warn = w.Texts;
  if (End) *End = s.Position();
  return px;
}

// Checks the sub-block structure: lengths of 1 .. 255, a 0 at the very end and nowhere before.
void ExpectWellFormedBlocks(const Bytes& d, const std::string& what) {
  size_t p = 1;
  while (p < d.size() && d[p] != 0) p += size_t(d[p]) + 1;
  EXPECT_EQ(p, d.size() - 1) << what;
}

struct Picture {
  const char* name;
  Bytes pixels;
  int w, h, bpp;
};

std::vector<Picture> Pictures() {
  Bytes gradient(64 * 48);
  for (size_t i = 0; i < gradient.size(); ++i) gradient[i] = uint8_t((i % 64) * 4 + (i / 64) / 12);
  Bytes runs(200 * 120);
  for (size_t i = 0; i < runs.size(); ++i) runs[i] = uint8_t((i / 37) % 5 == 0 ? 3 : (i / 1000) % 16);
  return {
      // 60000 pixels of 256 colours: the table fills up many times over.
      {"noise 256 colours", RandomPixels(300 * 200, 256, 1), 300, 200, 8},
      {"noise 2 colours", RandomPixels(123 * 45, 2, 2), 123, 45, 1},
      {"noise 5 colours", RandomPixels(17 * 13, 5, 3), 17, 13, 3},
      {"gradient", gradient, 64, 48, 8},
      {"runs of 16 colours", runs, 200, 120, 4},
      {"one colour, a long run", Bytes(1000 * 400, 7), 1000, 400, 3},
      {"one pixel", Bytes{1}, 1, 1, 1},
      {"one column", RandomPixels(77, 4, 4), 1, 77, 2},
  };
}

TEST(GIFEncoder, RoundTripsThroughTheDecoder) {
  for (int kind : {geLZW, geRLE}) {
    for (const Picture& p : Pictures()) {
      for (bool interlaced : {false, true}) {
        const std::string what = std::string(p.name) + (kind == geRLE ? " RLE" : " LZW") +
                                 (interlaced ? " interlaced" : "");
        const Bytes d = EncodeBytes(kind, p.pixels, p.w, p.h, p.bpp, interlaced);
        ExpectWellFormedBlocks(d, what);
        EXPECT_EQ(d[0], std::max(p.bpp, 2)) << what;
        std::vector<std::string> warnings;
        int64_t end = 0;
        EXPECT_EQ(DecodeAll(d, p.w, p.h, interlaced, &warnings, &end), p.pixels) << what;
        EXPECT_TRUE(warnings.empty()) << what;
        EXPECT_EQ(end, int64_t(d.size())) << what;
      }
    }
  }
}

TEST(GIFEncoder, CompressesWhatRepeats) {
  const Bytes run(1000 * 400, 7);
  EXPECT_LT(EncodeBytes(geLZW, run, 1000, 400, 3).size(), 2000u);
  EXPECT_LT(EncodeBytes(geRLE, run, 1000, 400, 3).size(), 8000u);
  // Noise of 256 colours cannot shrink, but LZW must not blow it up much either.
  const Bytes noise = RandomPixels(300 * 200, 256, 1);
  EXPECT_LT(EncodeBytes(geLZW, noise, 300, 200, 8).size(), noise.size() * 3 / 2);
}

// Interlaced frames of few rows: passes without rows are skipped and every row is written once.
TEST(GIFEncoder, InterlacedFramesOfFewRows) {
  for (int h = 1; h <= 17; ++h) {
    Bytes px(size_t(3 * h));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < 3; ++x) px[size_t(y * 3 + x)] = uint8_t(y);
    for (int kind : {geLZW, geRLE})
      EXPECT_EQ(DecodeAll(EncodeBytes(kind, px, 3, h, 5, true), 3, h, true), px) << "height " << h;
  }
}

TEST(GIFEncoder, EmptyFramesWriteTheEndCodeOnly) {
  // Bits per pixel 1 is written as minimum code size 2: the end code 5 in 3 bits.
  const Bytes expected = {2, 1, 5, 0};
  for (int kind : {geLZW, geRLE}) {
    EXPECT_EQ(EncodeBytes(kind, {}, 10, 10, 1), expected);
    EXPECT_EQ(EncodeBytes(kind, Bytes(10), 0, 10, 1), expected);
    EXPECT_EQ(EncodeBytes(kind, Bytes(10), 10, 0, 1), expected);
  }
  // Eight bits: the end code 257 in 9 bits.
  EXPECT_EQ(EncodeBytes(geLZW, {}, 0, 0, 8), (Bytes{8, 2, 1, 1, 0}));
}

TEST(GIFEncoder, PixelOutsideTheColourTable) {
  Bytes px = RandomPixels(4000, 4, 9);
  px[3000] = 4;
  for (int kind : {geLZW, geRLE}) {
    TMemoryStream s;
    try {
      Encode(kind, s, 2, 4, px.data(), false, 40, 100);
      FAIL() << "no error";
    } catch (const GIFException& e) {
      EXPECT_STREQ(e.what(), "Color not in color table");
    }
    // What was compressed before the bad pixel is flushed as blocks; no terminator follows.
    const Bytes d = StreamBytes(s);
    ASSERT_GT(d.size(), 2u);
    size_t p = 1;
    while (p < d.size()) {
      ASSERT_NE(d[p], 0) << "a terminator was written";
      p += size_t(d[p]) + 1;
    }
    EXPECT_EQ(p, d.size());
  }
}

TEST(GIFSubBlockStream, CutsIntoBlocksOf255) {
  TMemoryStream target;
  Bytes data(600);
  for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i);
  {
    TGIFWriter w(target, {});
    EXPECT_EQ(w.Write(data.data(), 100), 100);
    EXPECT_EQ(w.Write(data.data() + 100, 500), 500);
    w.Flush();
    w.Flush();  // nothing new: no empty block
  }
  const Bytes out = StreamBytes(target);
  ASSERT_EQ(out.size(), 603u);
  EXPECT_EQ(out[0], 255);
  EXPECT_EQ(out[256], 255);
  EXPECT_EQ(out[512], 90);
  Bytes back;  // the data without the three block lengths
  for (size_t i = 0; i < out.size(); i++)
    if (i != 0 && i != 256 && i != 512) back.push_back(out[i]);
  EXPECT_EQ(back, data);

  TGIFWriter w(target, {});
  char c;
  for (int op = 0; op < 2; ++op) {
    try {
      if (op == 0) w.Read(&c, 1);
      else w.Seek(0, soFromBeginning);
      FAIL() << "operation " << op << " allowed";
    } catch (const GIFException& e) {
      EXPECT_STREQ(e.what(), "Invalid stream operation");
    }
  }
  TGIFStream base(target, {});
  EXPECT_THROW(base.Write(&c, 1), GIFException);
}

TEST(GIFHashTable, FindsWhatWasInsertedAmongCollisions) {
  THashTable t;
  std::vector<uint32_t> keys;
  // Keys of the compressor's form (prefix x 256 + pixel); many share a hash slot.
  for (uint32_t i = 0; i < 4000; ++i) keys.push_back(((i * 2654435761u) >> 12) & 0xFFFFE);
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  for (size_t i = 0; i < keys.size(); ++i) t.Insert(keys[i], int(i % 4096));
  for (size_t i = 0; i < keys.size(); ++i) ASSERT_EQ(t.Lookup(keys[i]), int(i % 4096));
  EXPECT_EQ(t.Lookup(1), -1);  // all keys are even
  EXPECT_EQ(t.Lookup(0xFFFFD), -1);
  t.Clear();
  EXPECT_EQ(t.Lookup(keys[0]), -1);
}

TEST(GIFEncoder, TriangleAndSquareRoot) {
  for (int64_t x : {0, 1, 2, 3, 4, 15, 16, 17, 99, 100, 65535, 65536, 1000000007}) {
    const int64_t r = IntegerSqrt(x);
    EXPECT_LE(r * r, x) << x;
    EXPECT_GT((r + 1) * (r + 1), x) << x;
  }
  // Runs of 1, 2, 3 ... pixels cover 1 + 2 + ... + n pixels with n codes.
  EXPECT_EQ(Triangle(1, 100), 1);
  EXPECT_EQ(Triangle(3, 100), 2);
  EXPECT_EQ(Triangle(4, 100), 3);
  EXPECT_EQ(Triangle(6, 100), 3);
  // Beyond a full table, each further N (N + 1) / 2 pixels cost N codes.
  EXPECT_EQ(Triangle(10 + 10, 4), 4 + 4 + 0);
  EXPECT_EQ(Triangle(10 + 10 + 1, 4), 4 + 4 + 1);
}

}  // namespace
