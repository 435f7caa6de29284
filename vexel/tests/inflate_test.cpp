// The decoder against zlib on valid streams, and how it reads its input and hands out its output.

#include <gtest/gtest.h>

#include <algorithm>

#include "inflate_test_support.h"

using namespace vexel_test;

namespace {

struct DataKind {
  const char* name;
  Bytes data;
};

std::vector<DataKind> Inputs() {
  Bytes mixed = TextBytes(30000, 7);
  Bytes r = RandomBytes(9000, 8), runs = RunBytes(25000, 9);
  mixed.insert(mixed.end(), r.begin(), r.end());
  mixed.insert(mixed.end(), runs.begin(), runs.end());
  return {{"text", TextBytes(90000, 1)},
          {"random", RandomBytes(40000, 2)},
          {"runs", RunBytes(70000, 3)},
          {"repeated 20000-byte block", RepeatedBlock(110000, 20000, 4)},
          {"mixed", mixed}};
}

void ExpectSame(const Bytes& stream, const Bytes& data, const std::string& what) {
  Decoded d = Decode(stream);
  ASSERT_TRUE(d.ok) << what;
  ASSERT_EQ(d.out.size(), data.size()) << what;
  EXPECT_TRUE(d.out == data) << what;
  EXPECT_EQ(d.crc, ZlibCrc(data)) << what;
}

TEST(InflateDifferential, LevelsAndStrategiesDecodeAsZlibEncoded) {
  const struct {
    int strategy;
    const char* name;
  } strategies[] = {{Z_DEFAULT_STRATEGY, "default"}, {Z_FILTERED, "filtered"},
                    {Z_HUFFMAN_ONLY, "Huffman only"}, {Z_RLE, "RLE"}, {Z_FIXED, "fixed"}};
  for (const DataKind& in : Inputs())
    for (const auto& st : strategies)
      for (int level = 0; level <= 9; level++) {
        std::string what = std::string(in.name) + ", " + st.name + ", level " + std::to_string(level);
        ExpectSame(Deflate(in.data, level, st.strategy), in.data, what);
      }
}

// Around the 32 KB window and the 128 KB output piece.
TEST(InflateDifferential, SizesAroundTheWindowAndThePiece) {
  for (size_t n : {(size_t)0, (size_t)1, (size_t)258, (size_t)32767, (size_t)32768, (size_t)32769,
                   vexel::kInflatePiece - 1, vexel::kInflatePiece, vexel::kInflatePiece + 1,
                   2 * vexel::kInflatePiece + 1})
    for (int level : {0, 1, 6, 9}) {
      Bytes text = TextBytes(n, 11), random = RandomBytes(n, 12);
      std::string what = std::to_string(n) + " bytes, level " + std::to_string(level);
      ExpectSame(Deflate(text, level), text, "text " + what);
      ExpectSame(Deflate(random, level), random, "random " + what);
    }
}

TEST(InflateDifferential, FlushPointsInsideTheStream) {
  Bytes data = TextBytes(100000, 21);
  const struct {
    int flush;
    const char* name;
  } kinds[] = {{Z_SYNC_FLUSH, "sync"}, {Z_FULL_FLUSH, "full"}, {Z_PARTIAL_FLUSH, "partial"}, {Z_BLOCK, "block"}};
  for (const auto& k : kinds)
    for (size_t every : {(size_t)1000, (size_t)32768, (size_t)40000}) {
      std::vector<FlushPoint> points;
      for (size_t at = every; at < data.size(); at += every) {
        points.push_back({at, k.flush});
        if (at % 3 == 0) points.push_back({at, k.flush});  // a second flush: an empty block
      }
      for (int level : {1, 6, 9})
        ExpectSame(Deflate(data, level, Z_DEFAULT_STRATEGY, points), data,
                   std::string(k.name) + " flush every " + std::to_string(every));
    }
  // Flushes with no data between them: a row of empty stored blocks.
  std::vector<FlushPoint> empties(20, FlushPoint{500, Z_SYNC_FLUSH});
  ExpectSame(Deflate(data, 6, Z_DEFAULT_STRATEGY, empties), data, "empty stored blocks");
  // Level changes half-way through mix block kinds within one stream.
  for (int strategy : {Z_DEFAULT_STRATEGY, Z_FIXED, Z_HUFFMAN_ONLY}) {
    z_stream z = {};
    ASSERT_EQ(deflateInit2(&z, 9, Z_DEFLATED, -15, 8, strategy), Z_OK);
    Bytes out(deflateBound(&z, (uLong)data.size()) + 4096);
    z.next_out = out.data();
    z.avail_out = (uInt)out.size();
    size_t step = data.size() / 4;
    for (int i = 0; i < 4; i++) {
      deflateParams(&z, i % 2 ? 0 : 9, strategy);
      z.next_in = data.data() + i * step;
      z.avail_in = (uInt)(i == 3 ? data.size() - 3 * step : step);
      ASSERT_NE(deflate(&z, i == 3 ? Z_FINISH : Z_NO_FLUSH), Z_STREAM_ERROR);
    }
    out.resize(z.total_out);
    deflateEnd(&z);
    ExpectSame(out, data, "level changes");
  }
}

TEST(InflateDifferential, EmptyStreamWritesNothing) {
  Decoded d = Decode(Deflate(Bytes(), 6));
  EXPECT_TRUE(d.ok);
  EXPECT_TRUE(d.out.empty());
  EXPECT_TRUE(d.writes.empty());
  EXPECT_EQ(d.crc, 0u);
  // The same by hand: one final fixed block holding only the end code.
  BitWriter w;
  w.Header(true, 1);
  w.FixedSymbol(256);
  d = Decode(w.Done());
  EXPECT_TRUE(d.ok);
  EXPECT_TRUE(d.writes.empty());
  EXPECT_EQ(d.crc, 0u);
}

// ---- copies --------------------------------------------------------------------------------------

TEST(InflateCopies, DistanceOneLength258RepeatsTheLastByte) {
  BitWriter w;
  w.Header(true, 1);
  w.FixedLiterals("xy");
  w.FixedMatch(258, 1);
  w.FixedMatch(258, 1);
  w.FixedSymbol(256);
  Decoded d = Decode(w.Done());
  Bytes want = {'x'};
  want.insert(want.end(), 1 + 516, 'y');
  EXPECT_TRUE(d.ok);
  EXPECT_TRUE(d.out == want);
  // zlib itself makes such copies of long runs.
  Bytes run(100000, 'q');
  ExpectSame(Deflate(run, 9), run, "run of one byte");
}

TEST(InflateCopies, ReachBackAcrossThe128KPieces) {
  // Stored data up to just below the end of the first 128 KB piece, then copies that start in it
  // and end in the next piece; then the farthest distance, 32768, from the second piece.
  Bytes first = RandomBytes(vexel::kInflatePiece - 100, 31);
  BitWriter w;
  auto stored = [&w](const Bytes& b) {  // a stored block holds at most 65535 bytes
    for (size_t at = 0; at < b.size(); at += 65535)
      w.Stored(false, Bytes(b.begin() + at, b.begin() + std::min(b.size(), at + 65535)));
  };
  stored(first);
  w.Header(false, 1);
  w.FixedMatch(258, 1000);  // crosses the end of the first piece
  w.FixedMatch(258, 32768);
  w.FixedMatch(30, 32768);
  w.FixedSymbol(256);
  stored(RandomBytes(140000, 32));  // its second stored block crosses the next piece end
  w.Header(true, 1);
  w.FixedMatch(258, 32768);
  w.FixedMatch(257, 12345);
  w.FixedSymbol(256);
  Bytes want = first;
  auto copy = [&want](size_t len, size_t dist) {
    for (size_t i = 0; i < len; i++) want.push_back(want[want.size() - dist]);
  };
  copy(258, 1000);
  copy(258, 32768);
  copy(30, 32768);
  Bytes second = RandomBytes(140000, 32);
  want.insert(want.end(), second.begin(), second.end());
  copy(258, 32768);
  copy(257, 12345);
  Decoded d = Decode(w.Done());
  EXPECT_TRUE(d.ok);
  ASSERT_EQ(d.out.size(), want.size());
  EXPECT_TRUE(d.out == want);
  EXPECT_EQ(d.crc, ZlibCrc(want));
  // Every short distance (the word-wise copy has special cases below 8) over a long length.
  BitWriter v;
  v.Header(true, 1);
  v.FixedLiterals("0123456789abcdefghij");
  for (int dist = 1; dist <= 20; dist++) v.FixedMatch(200 + dist, dist);
  v.FixedSymbol(256);
  Bytes w2(reinterpret_cast<const unsigned char*>("0123456789abcdefghij"),
           reinterpret_cast<const unsigned char*>("0123456789abcdefghij") + 20);
  for (int dist = 1; dist <= 20; dist++)
    for (int i = 0; i < 200 + dist; i++) w2.push_back(w2[w2.size() - dist]);
  d = Decode(v.Done());
  EXPECT_TRUE(d.ok);
  EXPECT_TRUE(d.out == w2);
}

// ---- input and output ----------------------------------------------------------------------------

TEST(InflateIo, OutputComesInPiecesOf128K) {
  const size_t kPiece = vexel::kInflatePiece;
  for (size_t n : {kPiece, 2 * kPiece, 2 * kPiece + 1, (size_t)100})
    for (int level : {0, 6}) {
      Bytes data = TextBytes(n, 41);
      Decoded d = Decode(Deflate(data, level));
      ASSERT_TRUE(d.ok);
      std::vector<size_t> want(n / kPiece, kPiece);
      if (n % kPiece) want.push_back(n % kPiece);
      EXPECT_EQ(d.writes, want) << n << " bytes, level " << level;
    }
}

TEST(InflateIo, ReadsAskForAtMost32KAndNeverPastTheEntry) {
  Bytes data = RandomBytes(100000, 51);
  Bytes stream = Deflate(data, 0);  // stored: about as long as the data
  Decoded d = Decode(stream);
  ASSERT_TRUE(d.ok);
  size_t rest = stream.size();
  std::vector<size_t> want;
  while (rest) {
    want.push_back(rest < 0x8000 ? rest : 0x8000);
    rest -= want.back();
  }
  EXPECT_EQ(d.reads, want);

  // Bytes behind the stream (the compressed size is larger) are not part of it.
  Bytes text = TextBytes(50000, 52);
  Bytes padded = Deflate(text, 6);
  size_t streamSize = padded.size();
  padded.resize(streamSize + 1000, 0xA5);
  d = Decode(padded);
  EXPECT_TRUE(d.ok);
  EXPECT_TRUE(d.out == text);
  // Only the compressed size is asked for, even when more could be read.
  d = Decode(padded, (uint32_t)streamSize);
  EXPECT_TRUE(d.ok);
  size_t asked = 0;
  for (size_t r : d.reads) asked += r;
  EXPECT_EQ(asked, streamSize);
}

TEST(InflateIo, ShortReadsDecodeTheSame) {
  Bytes data = TextBytes(80000, 61);
  Bytes r = RandomBytes(20000, 62);
  data.insert(data.end(), r.begin(), r.end());
  for (int level : {0, 1, 9}) {
    Bytes stream = Deflate(data, level);
    for (size_t piece : {(size_t)1, (size_t)7, (size_t)4095}) {
      DecodeOptions opt;
      opt.piece = piece;
      Decoded d = Decode(stream, (uint32_t)stream.size(), opt);
      EXPECT_TRUE(d.ok) << "pieces of " << piece;
      EXPECT_TRUE(d.out == data) << "pieces of " << piece;
    }
  }
}

TEST(InflateIo, FailedReadEndsTheEntryAndFailsItsCrc) {
  Bytes data = TextBytes(100000, 71), random = RandomBytes(100000, 72);
  data.insert(data.end(), random.begin(), random.end());
  Bytes stream = Deflate(data, 6);
  ASSERT_GT(stream.size(), 0x10000u);
  DecodeOptions opt;
  opt.failReadAfter = stream.size() / 2;
  Decoded d = Decode(stream, (uint32_t)stream.size(), opt);
  EXPECT_FALSE(d.ok);
  EXPECT_NE(d.crc, ZlibCrc(data));
  EXPECT_LT(d.out.size(), data.size());
}

TEST(InflateIo, FailedWriteStopsAtOnce) {
  Bytes data = TextBytes(400000, 81);
  DecodeOptions opt;
  opt.failWriteAt = 1;
  Decoded d = Decode(Deflate(data, 6), 0xFFFFFFFF, opt);
  EXPECT_FALSE(d.ok);
  EXPECT_EQ(d.writes.size(), 2u);  // nothing after the failed one
  // The CRC still covers every byte handed to write, the failed piece included.
  Bytes handed(data.begin(), data.begin() + 2 * vexel::kInflatePiece);
  EXPECT_EQ(d.crc, ZlibCrc(handed));
}

TEST(InflateIo, RunningCrcContinuesFromTheCallersValue) {
  Bytes a = TextBytes(5000, 91), b = TextBytes(70000, 92);
  DecodeOptions opt;
  opt.running = ~ZlibCrc(a);
  Decoded d = Decode(Deflate(b, 6), 0xFFFFFFFF, opt);
  ASSERT_TRUE(d.ok);
  Bytes ab = a;
  ab.insert(ab.end(), b.begin(), b.end());
  EXPECT_EQ(d.crc, ZlibCrc(ab));
}

}  // namespace
