#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tiff_ccitt.h"
#include "tiff_lzw.h"

namespace {

// Packs a string of '0' and '1' most significant bit first.
std::vector<uint8_t> Bits(const std::string& s) {
  std::vector<uint8_t> v((s.size() + 7) / 8, 0);
  size_t i = 0;
  for (char c : s) {
    if (c == ' ') continue;
    if (c == '1') v[i / 8] |= uint8_t(0x80 >> (i % 8));
    ++i;
  }
  v.resize((i + 7) / 8);
  return v;
}

// Packs codes of the given widths most significant bit first.
std::vector<uint8_t> Codes(const std::vector<std::pair<int, int>>& codes) {
  std::string s;
  for (auto [code, width] : codes)
    for (int b = width - 1; b >= 0; --b) s += ((code >> b) & 1) ? '1' : '0';
  return Bits(s);
}

}  // namespace

TEST(TIFFLZW, RowsComeFromTheStringTable) {
  // clear, 'a', 'b', 258 ("ab"), 260 (the string being defined: "aba"... from previous "ab" + 'a'), end
  auto data = Codes({{256, 9}, {'a', 9}, {'b', 9}, {258, 9}, {260, 9}, {257, 9}});
  TTIFLZWDec dec(3, data.data(), data.size());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(dec.GetRow()), 3), "aba");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(dec.GetRow()), 3), "bab");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(dec.GetRow()), 3), std::string("a\0\0", 3));
}

TEST(TIFFLZW, WidthGrowsOneCodeEarly) {
  // 253 codes after the clear take the table to 511 entries: from then codes are 10 bits wide.
  std::vector<std::pair<int, int>> codes = {{256, 9}};
  for (int i = 0; i < 254; ++i) codes.push_back({'x', 9});
  codes.push_back({'y', 10});
  codes.push_back({257, 10});
  auto data = Codes(codes);
  TTIFLZWDec dec(255, data.data(), data.size());
  const uint8_t* row = dec.GetRow();
  EXPECT_EQ(row[253], 'x');
  EXPECT_EQ(row[254], 'y');
}

TEST(TIFFLZW, StringsDefinedLongAgoAreStillRight) {
  // "ab" becomes code 258, then more single bytes than the output the decoder keeps fill the table
  // and the rows, then 258 comes again: its bytes are no longer in the kept output.
  std::vector<std::pair<int, int>> codes = {{256, 9}};
  int nextFree = 258;
  auto add = [&](int code) {
    int width = nextFree >= 2047 ? 12 : nextFree >= 1023 ? 11 : nextFree >= 511 ? 10 : 9;
    codes.push_back({code, width});
    if (codes.size() > 2 && nextFree < 4096) ++nextFree;
  };
  std::string expected = "ab";
  add('a');
  add('b');
  for (size_t i = 0; i < 4 * TTIFLZWDec::kHistory; ++i) {
    expected += char('c' + int(i % 3));
    add('c' + int(i % 3));
  }
  expected += "ab";
  add(258);
  add(257);
  auto data = Codes(codes);
  const size_t rowLength = 1000, total = expected.size();
  TTIFLZWDec dec(rowLength, data.data(), data.size());
  std::string out;
  while (out.size() <= total) out.append(reinterpret_cast<const char*>(dec.GetRow()), rowLength);
  EXPECT_TRUE(out.compare(0, total, expected) == 0);
  EXPECT_EQ(out[total], '\0');
}

TEST(TIFFLZW, HostileCodesStayInsideTheTable) {
  // Codes far beyond the next free one and strings past 4096 entries without a clear code.
  std::vector<std::pair<int, int>> codes = {{'a', 9}, {4000, 9}, {300, 9}};
  for (int i = 0; i < 5000; ++i) codes.push_back({i % 2 ? 258 : 'q', i < 250 ? 9 : i < 760 ? 10 : i < 1780 ? 11 : 12});
  auto data = Codes(codes);
  TTIFLZWDec dec(64, data.data(), data.size());
  for (int r = 0; r < 2000; ++r) dec.GetRow();
}

TEST(CCITT, OneDimensionalRuns) {
  // White 3 (1000), black 2 (11), white 3 (1000): row 11100011.
  auto d = Bits("1000 11 1000");
  TCCITTDecoder dec(d.data(), d.size(), 8, 1);
  uint8_t row[1];
  EXPECT_TRUE(dec.DecodeModifiedHuffman(row));
  EXPECT_EQ(row[0], 0xE7);  // 111 00 111
  EXPECT_EQ(dec.BitPosition(), 16u);  // rounded up to whole bytes

  // Make-up codes: white 64 + 0 (11011 00110101), black 66 (0000001111 = 64, 11 = 2), white 0; width 130.
  auto m = Bits("11011 00110101 0000001111 11 00110101");
  TCCITTDecoder mk(m.data(), m.size(), 130, 1);
  uint8_t wide[17] = {};
  EXPECT_TRUE(mk.DecodeT4(wide, false));
  EXPECT_EQ(wide[7], 0xFF);
  EXPECT_EQ(wide[8], 0x00);
  EXPECT_EQ(wide[16] & 0xC0, 0x00);

  // Fill order 2: the same codes with each byte's bits reversed.
  std::vector<uint8_t> r = d;
  for (uint8_t& b : r) {
    uint8_t o = 0;
    for (int i = 0; i < 8; ++i) if (b & (1 << i)) o |= uint8_t(0x80 >> i);
    b = o;
  }
  TCCITTDecoder rev(r.data(), r.size(), 8, 2);
  EXPECT_TRUE(rev.DecodeModifiedHuffman(row));
  EXPECT_EQ(row[0], 0xE7);
}

TEST(CCITT, TwoDimensionalModes) {
  // Row 1 by horizontal mode: 001, white 2 (0111), black 3 (10); then V0 for the last change: white 3.
  // Row 2: V0 (b1 = 2), VR1 (one right of the reference's next change 5: 6), V0 to the end.
  auto d = Bits("001 0111 10 1  1 011 1");
  TCCITTDecoder dec(d.data(), d.size(), 8, 1);
  uint8_t row[1];
  EXPECT_TRUE(dec.DecodeT6(row));
  EXPECT_EQ(row[0], 0xC7);  // 11 000 111
  EXPECT_TRUE(dec.DecodeT6(row));
  EXPECT_EQ(row[0], 0xC3);  // 11 0000 11
  // Pass mode: 0001 over the first black run of the reference keeps white up to b2.
  auto p = Bits("001 0111 10  1   0001 1");
  TCCITTDecoder pass(p.data(), p.size(), 8, 1);
  EXPECT_TRUE(pass.DecodeT6(row));
  EXPECT_TRUE(pass.DecodeT6(row));
  EXPECT_EQ(row[0], 0xFF);
  // Group 3 uncompressed mode: extension 0000001 111, then "1" (a black pixel), "01" (white, black),
  // the exit 0000001 with the colour bit 0 (white); V0 finishes the row white.
  auto u = Bits("0000001111 1 01 00000010 1");
  TCCITTDecoder unc(u.data(), u.size(), 8, 1);
  EXPECT_TRUE(unc.DecodeT4(row, true));
  EXPECT_EQ(row[0], 0x5F);  // 0 1 0 11111
  // An EOL and tag bit 1 before a row: that row is one-dimensional.
  auto t = Bits("000000000001 1 1000 11 1000");
  TCCITTDecoder tag(t.data(), t.size(), 8, 1);
  EXPECT_TRUE(tag.DecodeT4(row, true));
  EXPECT_EQ(row[0], 0xE7);
  // An EOL ends a Group 4 block.
  auto e = Bits("000000000001 000000000001");
  TCCITTDecoder eob(e.data(), e.size(), 8, 1);
  EXPECT_FALSE(eob.DecodeT6(row));
}

TEST(CCITT, BrokenCodesEndTheStrip) {
  auto d = Bits("00000000 00000000 00000000");
  TCCITTDecoder dec(d.data(), d.size(), 16, 1);
  uint8_t row[2];
  EXPECT_FALSE(dec.DecodeT4(row, true));
  // Runs far past the width are clipped.
  auto w = Bits("010011011 010011011 010011011 00110101");
  TCCITTDecoder wide(w.data(), w.size(), 16, 1);
  EXPECT_TRUE(wide.DecodeT4(row, false));
  EXPECT_EQ(row[0], 0xFF);
  EXPECT_EQ(row[1], 0xFF);
}
