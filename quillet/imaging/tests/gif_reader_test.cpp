#include "gif_reader.h"

#include <memory>

#include "fixtures.h"

namespace {

struct GIFResult {
  std::unique_ptr<TBitmap> bitmap;
  TGIFScreenInfo screen;
  TGIFFrameInfo frame;
  int count = -1;
};

GIFResult ReadBytes(const std::vector<uint8_t>& bytes, int index) {
  std::unique_ptr<TMemoryStream> s(StreamOf(bytes));
  GIFResult r;
  r.bitmap.reset(ReadGIFStream(*s, index, r.screen, r.frame, r.count));
  return r;
}

// A GIF built by hand: 2-bit global table (black, red, green, blue), one frame per image data.
std::vector<uint8_t> MakeGIF(int w, int h, std::vector<std::vector<uint8_t>> frames, bool interlaced = false,
                             bool gce = false) {
  std::vector<uint8_t> f = {'G', 'I', 'F', '8', '9', 'a', uint8_t(w), 0, uint8_t(h), 0, 0x81, 2, 0};
  uint8_t table[] = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
  f.insert(f.end(), table, table + 12);
  for (auto& data : frames) {
    if (gce) f.insert(f.end(), {'!', 249, 4, 1, 7, 0, 2, 0});
    f.insert(f.end(), {',', 0, 0, 0, 0, uint8_t(w), 0, uint8_t(h), 0, uint8_t(interlaced ? 0x40 : 0)});
    f.insert(f.end(), data.begin(), data.end());
  }
  f.push_back(';');
  return f;
}

// LZW data with 2-bit roots, packed least significant bit first into sub-blocks: each code gets
// the width the decoder expects (3 bits until the table reaches 8 entries, then 4 ...).
std::vector<uint8_t> Pack(const std::vector<int>& codes, bool terminate = true) {
  std::vector<uint8_t> bytes;
  uint32_t acc = 0;
  int bits = 0, width = 3, next = 6;
  bool first = true;
  for (int c : codes) {
    acc |= uint32_t(c) << bits;
    bits += width;
    while (bits >= 8) { bytes.push_back(uint8_t(acc)); acc >>= 8; bits -= 8; }
    if (c == 4) { width = 3; next = 6; first = true; continue; }
    if (c == 5) continue;
    if (!first && next < 4096) { ++next; if (next == (1 << width) && width < 12) ++width; }
    first = false;
  }
  if (bits) bytes.push_back(uint8_t(acc));
  std::vector<uint8_t> out = {2};
  for (size_t i = 0; i < bytes.size(); i += 255) {
    size_t n = std::min<size_t>(255, bytes.size() - i);
    out.push_back(uint8_t(n));
    out.insert(out.end(), bytes.begin() + long(i), bytes.begin() + long(i + n));
  }
  if (terminate) out.push_back(0);
  return out;
}

}  // namespace

TEST(GIFReader, FramesMatchImageMagick) {
  struct Case { const char* file; int index; const char* rgb; };
  for (Case c : {Case{"rose.gif", 0, "rose_gif.rgb"}, Case{"rose_interlaced.gif", 0, "rose_interlaced_gif.rgb"},
                 Case{"plasma.gif", 0, "plasma_gif.rgb"}, Case{"page.gif", 0, "page_gif.rgb"},
                 Case{"anim.gif", 0, "anim_gif.rgb"}, Case{"anim.gif", 1, "anim_gif_1.rgb"},
                 Case{"anim.gif", 2, "anim_gif_2.rgb"}}) {
    SCOPED_TRACE(c.file + std::string(" frame ") + std::to_string(c.index));
    GIFResult r = ReadBytes(ReadAll(Fixture(c.file)), c.index);
    ASSERT_TRUE(r.bitmap);
    EXPECT_EQ(r.bitmap->PixelFormat(), pf24bit);
    EXPECT_TRUE(SamePixels(*r.bitmap, c.rgb));
  }
}

TEST(GIFReader, ReadsFromAFile) {
  TGIFScreenInfo screen;
  TGIFFrameInfo frame;
  int count = 0;
  std::unique_ptr<TBitmap> b(ReadGIFFile(Fixture("anim.gif"), 2, screen, frame, count));
  ASSERT_TRUE(b);
  EXPECT_EQ(count, 3);
  EXPECT_TRUE(SamePixels(*b, "anim_gif_2.rgb"));
  EXPECT_THROW(ReadGIFFile(Fixture("rose.pcx"), 0, screen, frame, count), EInvalidGraphic);
}

TEST(GIFReader, CountsFramesAndFillsTheRecords) {
  std::vector<uint8_t> anim = ReadAll(Fixture("anim.gif"));
  for (int index : {-1, 5}) {
    GIFResult r = ReadBytes(anim, index);
    EXPECT_FALSE(r.bitmap);
    EXPECT_EQ(r.count, 3);
  }
  GIFResult r = ReadBytes(anim, 1);
  EXPECT_EQ(r.count, 3);
  EXPECT_EQ(r.screen.Width, 70);
  EXPECT_EQ(r.frame.Delay, 7);

  // Hand-made: 2 x 1 pixels, codes clear, 1, 2, end; the extension marks index 2 transparent.
  GIFResult h = ReadBytes(MakeGIF(2, 1, {Pack({4, 1, 2, 5})}, false, true), 0);
  ASSERT_TRUE(h.bitmap);
  EXPECT_EQ(h.bitmap->Pixel(0, 0), clRed);
  EXPECT_EQ(h.bitmap->Pixel(1, 0), clLime);
  EXPECT_TRUE(h.frame.Transparent);
  EXPECT_EQ(h.frame.Delay, 7);
  EXPECT_EQ(h.frame.TransparentColor[1], 255);  // green, stored blue-green-red
  EXPECT_EQ(h.screen.Background[1], 255);       // background index 2
}

TEST(GIFReader, InterlacedRowsComeInFourPasses) {
  // One pixel per row; row values in file order 1, 2, 3, 1: rows 0, 2, 1, 3 for 4 rows.
  struct Case { int h; std::vector<TColor> rows; };
  for (const Case& c : {Case{4, {clRed, clBlue, clLime, clRed}}, Case{2, {clRed, clLime}}, Case{1, {clRed}}}) {
    GIFResult r = ReadBytes(MakeGIF(1, c.h, {Pack({4, 1, 2, 3, 1, 5})}, true), 0);
    ASSERT_TRUE(r.bitmap);
    for (int y = 0; y < c.h; ++y) EXPECT_EQ(r.bitmap->Pixel(0, y), c.rows[size_t(y)]) << c.h << " row " << y;
  }
}

TEST(GIFReader, TellsTheTransparentPixelsApartFromTheirColour) {
  // Index 2 (green) is transparent where the extension says so; pixels the data does not reach
  // would hold that index and count as transparent too. Interlaced rows keep their place.
  struct Case {
    int w, h;
    bool gce, interlaced;
    std::vector<int> codes;
    std::vector<bool> clear;
  };
  const Case cases[] = {
      {2, 2, true, false, {4, 2, 1, 2, 3, 5}, {true, false, true, false}},
      {2, 2, true, false, {4, 2, 1, 5}, {true, false, true, true}},
      {1, 4, true, false, {4, 2, 1, 2, 5}, {true, false, true, true}},
      {1, 4, true, true, {4, 2, 1, 2, 5}, {true, true, false, true}},  // rows 0, 2, 1, then nothing
      {2, 2, false, false, {4, 2, 1, 2, 3, 5}, {}},
  };
  for (const Case& c : cases) {
    std::unique_ptr<TMemoryStream> s(StreamOf(MakeGIF(c.w, c.h, {Pack(c.codes)}, c.interlaced, c.gce)));
    TGIFScreenInfo screen;
    TGIFFrameInfo frame;
    int count = 0;
    std::vector<bool> clear = {true};
    std::unique_ptr<TBitmap> b(ReadGIFStream(*s, 0, screen, frame, count, kMaxPicturePixels, &clear));
    ASSERT_TRUE(b);
    EXPECT_EQ(clear, c.clear) << c.w << " x " << c.h << ", " << c.codes.size() << " codes"
                              << (c.interlaced ? ", interlaced" : "");
  }
}

TEST(GIFReader, CodesGrowToTwelveBitsAndStayThere) {
  // Each code names the entry being defined (previous string plus its first value), so entry k holds
  // k - 4 pixels; the codes widen from 3 to 12 bits until the table is full (4096 entries). Later
  // codes still decode with 12 bits and add nothing.
  std::vector<int> codes = {4, 1};
  size_t pixels = 1;
  for (int next = 6; next < 4096; ++next) {
    codes.push_back(next);
    pixels += size_t(next - 4);
  }
  for (int i = 0; i < 20; ++i) {
    codes.push_back(4095);
    pixels += 4091;
  }
  codes.push_back(2);  // a plain root after the table filled: still read at 12 bits
  ++pixels;
  codes.push_back(5);
  const int w = 4096, h = int((pixels + w - 1) / w);
  std::vector<uint8_t> gif = MakeGIF(1, 1, {Pack(codes)});
  for (size_t at : {size_t(6), size_t(13 + 12 + 5)}) {
    gif[at] = uint8_t(w); gif[at + 1] = uint8_t(w >> 8);
    gif[at + 2] = uint8_t(h); gif[at + 3] = uint8_t(h >> 8);
  }
  GIFResult r = ReadBytes(gif, 0);
  ASSERT_TRUE(r.bitmap);
  size_t last = pixels - 1;
  EXPECT_EQ(r.bitmap->Pixel(int(last % w), int(last / w)), clLime);
  EXPECT_EQ(r.bitmap->Pixel(int((last - 1) % w), int((last - 1) / w)), clRed);
  EXPECT_EQ(r.bitmap->Pixel(int((last + 1) % w), int((last + 1) / w)), clBlack);
}

TEST(GIFReader, BrokenAndShortData) {
  auto fails = [](const std::vector<uint8_t>& bytes) {
    try {
      ReadBytes(bytes, 0);
    } catch (const EInvalidGraphic& e) {
      return e.Message() == "unrecognized GIF";
    }
    return false;
  };
  EXPECT_TRUE(fails({'P', 'N', 'G', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_TRUE(fails({'G', 'I', 'F'}));
  // A sub-block that claims more bytes than the file holds.
  std::vector<uint8_t> cut = MakeGIF(2, 2, {{2, 50, 0x44, 0x01}});
  cut.pop_back();
  EXPECT_TRUE(fails(cut));
  // A root code size beyond the table.
  EXPECT_TRUE(fails(MakeGIF(2, 2, {{12, 1, 0, 0}})));
  // Data that ends (zero-length block) before the frame is complete: the rest stays index 0.
  GIFResult r = ReadBytes(MakeGIF(2, 2, {Pack({4, 1, 3})}), 0);
  ASSERT_TRUE(r.bitmap);
  EXPECT_EQ(r.bitmap->Pixel(0, 0), clRed);
  EXPECT_EQ(r.bitmap->Pixel(1, 0), clBlue);
  EXPECT_EQ(r.bitmap->Pixel(0, 1), clBlack);
  // Truncated real files never crash.
  std::vector<uint8_t> all = ReadAll(Fixture("plasma.gif"));
  for (size_t n : {size_t(13), size_t(800), all.size() / 2, all.size() - 2}) {
    try {
      ReadBytes(std::vector<uint8_t>(all.begin(), all.begin() + long(n)), 0);
    } catch (const EInvalidGraphic&) {
    }
  }
}
