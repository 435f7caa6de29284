// Damaged and hostile streams: each must come to an end, stay within its buffers (the sanitizer
// build checks that), report failure and give output whose CRC does not pass for the real data.

#include <gtest/gtest.h>

#include "inflate_test_support.h"

using namespace vexel_test;

namespace {

Bytes Str(const char* s) { return Bytes(s, s + strlen(s)); }

struct DamagedCase {
  const char* name;
  Bytes stream;
  bool checkOutput;  // the output is as given (how far decoding goes on after the damage)
  Bytes output;
};

// A dynamic block with SmallLitLens and two one-bit distance codes, holding "ab" and the end.
void WriteSmallDynamicData(BitWriter& w, const std::vector<int>& litLens, const std::vector<int>& distLens,
                           const char* text, bool end = true) {
  std::vector<uint32_t> lc = CanonicalCodes(litLens);
  for (const char* p = text; *p; p++) w.Code(lc[(unsigned char)*p], litLens[(unsigned char)*p]);
  if (end) w.Code(lc[256], litLens[256]);
}

std::vector<DamagedCase> Cases() {
  std::vector<DamagedCase> cases;
  auto add = [&cases](const char* name, BitWriter& w, bool check, const Bytes& out) {
    cases.push_back({name, w.Done(), check, out});
  };
  {
    BitWriter w;
    w.Header(false, 1);
    w.FixedLiterals("abc");
    w.FixedSymbol(256);
    w.Header(true, 0);
    w.Align();
    w.Bits(5, 16);
    w.Bits(5, 16);  // should be 0xFFFA
    w.FixedLiterals("hello");
    add("stored lengths do not match: the unwritten output is dropped", w, true, Bytes());
  }
  {
    BitWriter w;
    w.Header(false, 3);
    w.Header(true, 1);
    w.FixedLiterals("xyz");
    w.FixedSymbol(256);
    add("block type 3, not last: decoding goes on", w, true, Str("xyz"));
  }
  {
    BitWriter w;
    w.Header(true, 3);
    w.FixedLiterals("never");
    add("block type 3, last: the entry ends", w, true, Bytes());
  }
  for (int code : {30, 31}) {
    BitWriter w;
    w.Header(false, 1);
    w.FixedLiterals("ab");
    w.FixedSymbol(257);
    w.Code(code, 5);
    w.Header(true, 1);
    w.FixedLiterals("cd");
    w.FixedSymbol(256);
    add(code == 30 ? "distance code 30 ends its block" : "distance code 31 ends its block", w, true, Str("abcd"));
  }
  for (int code : {286, 287}) {
    BitWriter w;
    w.Header(false, 1);
    w.FixedLiterals("ab");
    w.FixedSymbol(code);
    w.Header(true, 1);
    w.FixedLiterals("cd");
    w.FixedSymbol(256);
    add(code == 286 ? "length code 286 ends its block" : "length code 287 ends its block", w, true, Str("abcd"));
  }
  {
    BitWriter w;
    w.Header(true, 1);
    w.FixedLiterals("a");
    w.FixedMatch(3, 2);
    w.FixedSymbol(256);
    add("distance too far back copies zeros", w, true, Bytes{'a', 0, 'a', 0});
  }
  {
    BitWriter w;
    w.Header(true, 1);
    w.FixedMatch(258, 32768);
    w.FixedSymbol(256);
    add("farthest distance as the first code", w, true, Bytes(258, 0));
  }
  {
    BitWriter w;
    w.Header(false, 1);
    w.FixedLiterals("ok");
    w.FixedSymbol(256);
    DynamicHeader h;
    h.hclen = 4;
    h.lenLens[16] = h.lenLens[17] = h.lenLens[18] = h.lenLens[0] = 1;
    h.Write(w, true);
    w.Bits(0, 32);
    add("over-subscribed code-length code: stops, earlier output kept", w, true, Str("ok"));
  }
  {
    BitWriter w;
    DynamicHeader h;
    h.hclen = 4;
    h.lenLens[0] = 1;
    for (int i = 0; i < 258; i++) h.syms.push_back({0, 0});
    h.Write(w, true);
    w.Bits(0, 16);
    add("incomplete code-length code", w, true, Bytes());
  }
  {
    BitWriter w;
    w.Header(false, 1);
    w.FixedLiterals("ok");
    w.FixedSymbol(256);
    std::vector<int> lit(257, 0);
    for (int i = 0; i < 257; i++) lit[i] = 8;
    PlainHeader(lit, {1, 1}).Write(w, true);
    w.Bits(0, 32);
    add("over-subscribed literal/length code", w, true, Str("ok"));
  }
  {
    // 'a', 'b' and the end code with two bits each: a quarter of the code space unused.
    std::vector<int> lit(257, 0);
    lit['a'] = lit['b'] = lit[256] = 2;
    BitWriter w;
    PlainHeader(lit, {1}).Write(w, true);
    WriteSmallDynamicData(w, lit, {1}, "ab");
    add("incomplete literal/length code, unused part not sent", w, true, Str("ab"));
    BitWriter v;
    PlainHeader(lit, {1}).Write(v, true);
    WriteSmallDynamicData(v, lit, {1}, "a", false);
    v.Code(3, 2);  // the unused code
    v.FixedLiterals("zzzz");
    add("incomplete literal/length code, unused part sent", v, true, Str("a"));
  }
  {
    BitWriter w;
    w.Header(false, 1);
    w.FixedLiterals("ok");
    w.FixedSymbol(256);
    PlainHeader(SmallLitLens(), {1, 1, 1}).Write(w, true);
    w.Bits(0, 32);
    add("over-subscribed distance code", w, true, Str("ok"));
  }
  {
    // Distance codes 0 and 1 with two bits each: half the code space unused.
    std::vector<int> lit = SmallLitLens(), dist = {2, 2};
    std::vector<uint32_t> lc = CanonicalCodes(lit);
    BitWriter w;
    PlainHeader(lit, dist).Write(w, true);
    WriteSmallDynamicData(w, lit, dist, "ab", false);
    w.Code(lc[257], 9);  // length 3
    w.Code(0, 2);        // distance 1
    w.Code(lc[256], 9);
    add("incomplete distance code of two-bit codes", w, true, Str("abbbb"));
  }
  {
    std::vector<int> lit = SmallLitLens();
    lit[0] = lit[1] = lit[2] = 0;
    DynamicHeader h = PlainHeader(lit, {1, 1});
    h.syms.erase(h.syms.begin(), h.syms.begin() + 3);
    h.syms.insert(h.syms.begin(), LenSym{16, 0});  // "repeat the previous length 3 times"
    BitWriter w;
    h.Write(w, true);
    WriteSmallDynamicData(w, lit, {1, 1}, "ab");
    add("repeat with no length before it repeats 0", w, true, Str("ab"));
  }
  {
    BitWriter w;
    w.Header(false, 1);
    w.FixedLiterals("ok");
    w.FixedSymbol(256);
    DynamicHeader h = PlainHeader(SmallLitLens(), {1, 1});
    h.syms.pop_back();
    h.syms.push_back({18, 127});  // 138 zeros where one length is left
    h.Write(w, true);
    w.Bits(0, 32);
    add("repeat past the last length", w, true, Str("ok"));
    BitWriter v;
    DynamicHeader g = PlainHeader(SmallLitLens(), {1, 1});
    g.syms.pop_back();
    g.syms.push_back({16, 3});  // six copies of the last length
    g.Write(v, true);
    v.Bits(0, 32);
    add("repeat of the previous length past the last length", v, true, Bytes());
  }
  {
    std::vector<int> lit = SmallLitLens();
    lit.resize(288, 0);
    BitWriter w;
    PlainHeader(lit, {1, 1}).Write(w, true);
    WriteSmallDynamicData(w, lit, {1, 1}, "ab");
    add("288 literal/length codes", w, true, Str("ab"));
    std::vector<int> dist(32, 0);
    dist[0] = dist[1] = 1;
    BitWriter v;
    PlainHeader(SmallLitLens(), dist).Write(v, true);
    WriteSmallDynamicData(v, SmallLitLens(), dist, "ab");
    add("32 distance codes", v, true, Str("ab"));
  }
  {
    std::vector<int> lit = SmallLitLens();
    lit[256] = 0;
    BitWriter w;
    PlainHeader(lit, {1, 1}).Write(w, true);
    WriteSmallDynamicData(w, lit, {1, 1}, "ab", false);
    add("no end code", w, false, Bytes());
  }
  {
    BitWriter w;
    w.Header(false, 1);
    w.FixedLiterals("ab");
    add("input ends inside a fixed block", w, false, Bytes());
  }
  {
    BitWriter w;
    w.Header(false, 0);
    w.Align();
    w.Bits(1000, 16);
    w.Bits(~1000u & 0xFFFF, 16);
    w.FixedLiterals("only a few bytes");
    add("input ends inside a stored block", w, false, Bytes());
  }
  return cases;
}

TEST(InflateDamaged, HandMadeStreamsEndFailAndKeepTheirOutputSmall) {
  for (const DamagedCase& c : Cases()) {
    Decoded d = Decode(c.stream);
    EXPECT_FALSE(d.ok) << c.name;
    EXPECT_FALSE(ZlibInflate(c.stream).ok) << c.name << " (zlib takes it: not a damaged stream)";
    EXPECT_LE(d.out.size(), 300u) << c.name;
    if (c.checkOutput) {
      EXPECT_TRUE(d.out == c.output) << c.name;
    }
    size_t written = 0;
    for (size_t n : d.writes) written += n;
    EXPECT_EQ(written, d.out.size()) << c.name;
  }
}

TEST(InflateDamaged, SingleOneBitDistanceCodeIsValid) {
  std::vector<int> lit = SmallLitLens();
  std::vector<uint32_t> lc = CanonicalCodes(lit);
  BitWriter w;
  PlainHeader(lit, {1}).Write(w, true);
  WriteSmallDynamicData(w, lit, {1}, "ab", false);
  w.Code(lc[257], 9);  // length 3
  w.Code(0, 1);        // distance 1
  w.Code(lc[256], 9);
  Bytes stream = w.Done();
  Decoded d = Decode(stream);
  EXPECT_TRUE(d.ok);
  EXPECT_TRUE(d.out == Str("abbbb"));
  EXPECT_TRUE(ZlibInflate(stream).ok);
}

TEST(InflateDamaged, WindowStartsZeroedForEveryEntry) {
  // A first entry fills the window with non-zero bytes; a second reaches before its own start.
  Bytes fill(70000, 0xEE);
  ASSERT_TRUE(Decode(Deflate(fill, 1)).ok);
  BitWriter w;
  w.Header(true, 1);
  w.FixedLiterals("z");
  w.FixedMatch(258, 20000);
  w.FixedSymbol(256);
  Decoded d = Decode(w.Done());
  EXPECT_FALSE(d.ok);
  Bytes want(259, 0);
  want[0] = 'z';
  EXPECT_TRUE(d.out == want);
}

TEST(InflateDamaged, InputUsedUpStopsTheAllOnesBytes) {
  // A fixed block reads all-ones bytes as the literal 255 again and again: decoding must stop.
  BitWriter w;
  w.Header(false, 1);
  w.FixedLiterals("ab");
  Bytes stream = w.Done();
  Decoded d = Decode(stream);
  EXPECT_FALSE(d.ok);
  ASSERT_GE(d.out.size(), 2u);
  EXPECT_LE(d.out.size(), 32u);
  EXPECT_EQ(d.out[0], 'a');
  // Nothing at all to read: no read call, nothing written.
  d = Decode(Bytes(), 0);
  EXPECT_FALSE(d.ok);
  EXPECT_TRUE(d.reads.empty());
  EXPECT_TRUE(d.writes.empty());
  // All-ones bytes as the entry's data.
  for (size_t n : {1, 2, 5, 1000}) {
    d = Decode(Bytes(n, 0xFF));
    EXPECT_FALSE(d.ok);
    EXPECT_LE(d.out.size(), 32u);
  }
}

// Data and its deflate stream, damaged by the two tests below.
struct Source {
  const char* name;
  Bytes data;
  Bytes stream;
};

TEST(InflateDamaged, TruncatedStreamsFailTheirCrc) {
  Bytes text = TextBytes(40000, 101), small = TextBytes(3000, 102), random = RandomBytes(5000, 103);
  std::vector<Source> sources = {{"dynamic", text, Deflate(text, 6)},
                                 {"fixed", small, Deflate(small, 6, Z_FIXED)},
                                 {"stored", random, Deflate(random, 0)},
                                 {"Huffman only", small, Deflate(small, 6, Z_HUFFMAN_ONLY)}};
  for (const Source& s : sources) {
    uint32_t crc = ZlibCrc(s.data);
    size_t n = s.stream.size();
    for (size_t len = 0; len < n; len += (len + 40 < n && n > 2000) ? 37 : 1) {
      Bytes cut(s.stream.begin(), s.stream.begin() + len);
      Decoded d = Decode(cut);
      ASSERT_FALSE(d.ok) << s.name << " cut to " << len;
      ASSERT_TRUE(d.crc != crc || d.out == s.data) << s.name << " cut to " << len;
      ASSERT_LE(d.out.size(), s.data.size() + 258 * 64) << s.name << " cut to " << len;
      // The same cut made by the compressed size with the whole stream readable.
      Decoded e = Decode(s.stream, (uint32_t)len);
      ASSERT_TRUE(e.out == d.out) << s.name << " cut to " << len;
    }
  }
}

TEST(InflateDamaged, RandomDamageAgreesWithZlib) {
  Bytes text = TextBytes(20000, 201), small = TextBytes(4000, 202), random = RandomBytes(3000, 203);
  Bytes runs = RunBytes(20000, 204);
  std::vector<FlushPoint> flushes = {{3000, Z_SYNC_FLUSH}, {3000, Z_SYNC_FLUSH}, {9000, Z_FULL_FLUSH}};
  std::vector<Source> sources = {{"dynamic", text, Deflate(text, 6)},
                                 {"fixed", small, Deflate(small, 9, Z_FIXED)},
                                 {"stored", random, Deflate(random, 0)},
                                 {"RLE", runs, Deflate(runs, 6, Z_RLE)},
                                 {"flushed", text, Deflate(text, 1, Z_DEFAULT_STRATEGY, flushes)}};
  std::mt19937 rng(205);
  for (const Source& s : sources) {
    uint32_t crc = ZlibCrc(s.data);
    for (int round = 0; round < 600; round++) {
      Bytes m = s.stream;
      if (round < 400) {
        size_t bit = rng() % (m.size() * 8);
        m[bit / 8] ^= (unsigned char)(1u << (bit % 8));
      } else if (round < 550) {
        for (int k = 0; k < 4; k++) m[rng() % m.size()] = (unsigned char)rng();
      } else {
        size_t from = rng() % m.size();
        for (size_t i = from; i < m.size(); i++) m[i] = (unsigned char)rng();
      }
      Decoded d = Decode(m);
      ZlibDecoded z = ZlibInflate(m);
      ASSERT_EQ(d.ok, z.ok) << s.name << " round " << round;
      if (z.ok) {
        ASSERT_TRUE(d.out == z.out) << s.name << " round " << round;
      } else {
        ASSERT_TRUE(d.crc != crc || d.out == s.data) << s.name << " round " << round;
      }
      ASSERT_LE(d.out.size(), 1032 * m.size() + 32768) << s.name << " round " << round;
    }
  }
}

}  // namespace
