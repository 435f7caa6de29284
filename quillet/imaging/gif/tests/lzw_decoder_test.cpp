// The LZW decoder on data written by hand, by ImageMagick, and damaged on purpose.
#include <gtest/gtest.h>

#include "gif_lzw_decoder.h"
#include "gif_test_support.h"

namespace {

struct Decoded {
  Bytes Pixels;
  std::vector<std::string> Warnings;
  int64_t EndPosition = 0;
};

Decoded DecodeBytes(const Bytes& Data, int W, int H, bool Interlaced = false, uint8_t FillIndex = 0) {
  TMemoryStream s;
  Fill(s, Data);
  Warnings w;
  Decoded d;
  Decode(s, W, H, Interlaced, FillIndex, d.Pixels, w.Hook());
  d.Warnings = w.Texts;
  d.EndPosition = s.Position();
  return d;
}

// Minimum code size 2: clear code 4, end code 5, first free code 6, codes of 3 bits until the
// table reaches entry 8.
TEST(GIFDecoder, CodesFromTheTableAndTheCodeBeingDefined) {
  // 1, 1 -> entry 6 = "1 1"; 6 gives "1 1" and makes entry 7, so codes are 4 bits wide from here;
  // 8 is the code being defined: the previous string "1 1" plus its first value; then 2 and the end.
  Bytes codes = PackCodes({{4, 3}, {1, 3}, {1, 3}, {6, 3}, {8, 4}, {2, 4}, {5, 4}});
  Decoded d = DecodeBytes(FrameData(2, codes), 10, 1);
  EXPECT_EQ(d.Pixels, (Bytes{1, 1, 1, 1, 1, 1, 1, 2, 0, 0}));
  EXPECT_TRUE(d.Warnings.empty());
}

TEST(GIFDecoder, EndsAfterTheTerminatorAndSkipsExtraBlocks) {
  const Bytes tail = {';'};
  struct Case {
    const char* name;
    Bytes data;
  } cases[] = {
      {"end code then an empty block", FrameData(2, PackCodes({{4, 3}, {3, 3}, {3, 3}, {5, 3}}))},
      // Data past the pixels, in several blocks: the remaining blocks are skipped.
      {"more data than pixels",
       FrameData(2, PackCodes({{4, 3}, {3, 3}, {3, 3}, {3, 3}, {3, 4}, {3, 4}, {5, 4}}), 1)},
      // A stream without an end code, ended by the terminator only.
      {"no end code", FrameData(2, PackCodes({{4, 3}, {3, 3}, {3, 3}}))},
  };
  for (auto& c : cases) {
    Bytes all = c.data;
    all.insert(all.end(), tail.begin(), tail.end());
    Decoded d = DecodeBytes(all, 2, 1);
    EXPECT_EQ(d.Pixels, (Bytes{3, 3})) << c.name;
    EXPECT_EQ(d.EndPosition, int64_t(c.data.size())) << c.name;
  }
}

TEST(GIFDecoder, ClearCodesRestartTheTable) {
  // Clear, 0 0 (entry 6 = "0 0"), clear, 1, 6 is now the code being defined = "1 1", end.
  Bytes codes = PackCodes({{4, 3}, {0, 3}, {0, 3}, {4, 3}, {4, 3}, {1, 3}, {6, 3}, {5, 3}});
  Decoded d = DecodeBytes(FrameData(2, codes), 5, 1);
  EXPECT_EQ(d.Pixels, (Bytes{0, 0, 1, 1, 1}));
  EXPECT_TRUE(d.Warnings.empty());
}

TEST(GIFDecoder, CodeSizeGrowsToTwelveBitsAndStays) {
  // Minimum size 8: clear 256; 3838 codes fill the table up to 4095, so the widths pass 9, 10, 11
  // and 12 bits. Further 12-bit codes use the full table; then the end code.
  std::vector<std::pair<int, int>> codes = {{256, 9}};
  Bytes expect;
  int freeCode = 258, size = 9;
  for (int i = 0; i < 4000; ++i) {
    const int v = i % 256;
    codes.push_back({v, size});
    expect.push_back(uint8_t(v));
    if (i > 0 && freeCode < 4096) {
      ++freeCode;
      if (freeCode >= (1 << size) && size < 12) ++size;
    }
  }
  EXPECT_EQ(size, 12);
  codes.push_back({257, size});
  Decoded d = DecodeBytes(FrameData(8, PackCodes(codes)), 4000, 1);
  EXPECT_EQ(d.Pixels, expect);
  EXPECT_TRUE(d.Warnings.empty());
}

TEST(GIFDecoder, ShortDataKeepsTheFill) {
  // Sixteen bits: clear, then four times 1 (the fourth code is 4 bits wide).
  const Bytes four = PackCodes({{4, 3}, {1, 3}, {1, 3}, {1, 3}, {1, 4}});
  const std::string premature = "Premature end of data", underrun = "Decoder bit buffer under-run";
  struct Case {
    const char* name;
    Bytes data;
    size_t decoded;
    std::vector<std::string> warnings;
  } cases[] = {
      {"end code early", FrameData(2, PackCodes({{4, 3}, {1, 3}, {1, 3}, {5, 3}})), 2, {}},
      {"no code size byte", {}, 0, {}},
      {"cut inside a block", Bytes{2, 9, four[0], four[1]}, 4, {premature, underrun}},
      {"no terminator", FrameData(2, four, 255, false), 4, {premature, underrun}},
      {"an empty block at once", Bytes{2, 0, 3, four[0], four[1], four[0], 0}, 0, {underrun}},
  };
  for (auto& c : cases) {
    for (uint8_t fill : {uint8_t(0), uint8_t(3)}) {
      Decoded d = DecodeBytes(c.data, 3, 2, false, fill);
      ASSERT_EQ(d.Pixels.size(), 6u) << c.name;
      for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(d.Pixels[i], i < c.decoded ? 1 : fill) << c.name << " pixel " << i;
      EXPECT_EQ(d.Warnings, c.warnings) << c.name;
    }
  }
  // An empty block right after the code size byte ends the frame there, and the stream stands
  // after it.
  Decoded d = DecodeBytes(Bytes{2, 0, 3, 1, 2, 3, 0}, 3, 2);
  EXPECT_EQ(d.EndPosition, 2);
}

TEST(GIFDecoder, CodesSpanningBlocksOfOneByte) {
  Bytes pixels = RandomPixels(2000, 256, 7);
  // Nine-bit codes only: a clear every 200 codes keeps the table below entry 512.
  std::vector<std::pair<int, int>> codes;
  for (size_t i = 0; i < pixels.size(); ++i) {
    if (i % 200 == 0) codes.push_back({256, 9});
    codes.push_back({pixels[i], 9});
  }
  codes.push_back({257, 9});
  const Bytes packed = PackCodes(codes);
  for (int block : {1, 2, 3, 255}) {
    Decoded d = DecodeBytes(FrameData(8, packed, block), 2000, 1);
    EXPECT_EQ(d.Pixels, pixels) << "blocks of " << block;
    EXPECT_TRUE(d.Warnings.empty()) << "blocks of " << block;
  }
}

TEST(GIFDecoder, HostileTablesEndWithAnError) {
  struct Case {
    const char* name;
    Bytes data;
  } cases[] = {
      // 7 and then 7 again as the code being defined make entry 7 refer to itself.
      {"an entry referring to itself", FrameData(2, PackCodes({{4, 3}, {0, 3}, {7, 3}, {7, 3}, {7, 4}}))},
      // Codes beyond the next free one chain entries 11 -> 12 -> 13 -> 11: the walk is stopped
      // when it would overflow the pixel stack.
      {"a loop through three entries",
       FrameData(3, PackCodes({{8, 4}, {0, 4}, {12, 4}, {13, 4}, {11, 4}, {0, 4}, {11, 4}}))},
  };
  for (auto& c : cases) {
    TMemoryStream s;
    Fill(s, c.data);
    Bytes px;
    try {
      Decode(s, 100, 1, false, 0, px);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const GIFException& e) {
      EXPECT_STREQ(e.what(), "Circular decoder table entry") << c.name;
    }
  }
}

// Three-bit clear codes (4) and nothing else, over several blocks.
Bytes ClearCodesOnly() {
  Bytes b;
  for (int i = 0; i < 200; ++i) b.insert(b.end(), {0x24, 0x49, 0x92});
  return FrameData(2, b);
}

TEST(GIFDecoder, BrokenDataNeverLoops) {
  struct Case {
    const char* name;
    Bytes data;
  } cases[] = {
      {"clear codes only", ClearCodesOnly()},
      {"first code not a colour", FrameData(2, PackCodes({{4, 3}, {7, 3}, {1, 3}}))},
      {"code size 12", Bytes{12, 2, 0xFF, 0xFF, 0}},
      {"code size 0", Bytes{0, 1, 0x55, 0}},
  };
  for (auto& c : cases) {
    Bytes all = c.data;
    all.push_back(';');
    Decoded d = DecodeBytes(all, 4, 4, false, 9);
    EXPECT_EQ(d.Pixels, Bytes(16, 9)) << c.name;
    EXPECT_EQ(d.EndPosition, int64_t(c.data.size())) << c.name;
  }
  Decoded d = DecodeBytes(Bytes{12, 2, 0xFF, 0xFF, 0}, 4, 4);
  EXPECT_EQ(d.Warnings, std::vector<std::string>{"Invalid LZW code size"});
}

TEST(GIFDecoder, RefusesFramesTooLargeToHold) {
  TMemoryStream s;
  Fill(s, Bytes{2, 0});
  Bytes px;
  EXPECT_THROW(Decode(s, 65535, 65535, false, 0, px), GIFException);
}

// Frames written by ImageMagick, compared with ImageMagick's own reading of them.
TEST(GIFDecoder, ReadsFramesWrittenByImageMagick) {
  for (const char* name : {"im_gradient", "im_noise", "im_interlaced", "im_bilevel"}) {
    const Bytes file = ReadFile(FixturePath(std::string(name) + ".gif"));
    const Bytes rgb = ReadFile(FixturePath(std::string(name) + ".rgb"));
    GIFFrame fr = FirstFrame(file);
    TMemoryStream s;
    Fill(s, file);
    s.SetPosition(fr.DataOffset);
    Warnings w;
    Bytes px;
    Decode(s, fr.Width, fr.Height, fr.Interlaced, 0, px, w.Hook());
    EXPECT_TRUE(w.Texts.empty()) << name;
    EXPECT_EQ(file[size_t(s.Position())], ';') << name;
    ASSERT_EQ(rgb.size(), px.size() * 3) << name;
    size_t wrong = 0;
    for (size_t i = 0; i < px.size(); ++i)
      for (int c = 0; c < 3; ++c)
        if (fr.Palette[px[i] * 3u + unsigned(c)] != rgb[i * 3 + size_t(c)]) ++wrong;
    EXPECT_EQ(wrong, 0u) << name;
  }
}

}  // namespace
