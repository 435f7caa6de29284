// Helpers of the inflate tests: running the decoder over a byte vector, zlib as the reference
// encoder and decoder, test data, and a bit writer for hand-made deflate streams.
#pragma once

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <zlib.h>

#include <random>
#include <string>
#include <vector>

#include "crc32.h"
#include "inflate.h"

namespace vexel_test {

typedef std::vector<unsigned char> Bytes;

struct Decoded {
  bool ok = false;
  Bytes out;
  uint32_t crc = 0;             // the CRC-32 of what was written (complement of the running value)
  std::vector<size_t> writes;   // sizes handed to write, in order
  std::vector<size_t> reads;    // max asked of read, in order
  size_t consumed = 0;          // input bytes read delivered
};

struct DecodeOptions {
  size_t piece = SIZE_MAX;      // read delivers at most this many bytes per call
  int failWriteAt = -1;         // this write call (0-based) fails
  size_t failReadAfter = SIZE_MAX;  // read returns 0 once this many bytes were delivered
  uint32_t running = 0xFFFFFFFFu;   // the running CRC handed in
};

inline Decoded DecodeOnce(const Bytes& in, uint32_t compressedSize, const DecodeOptions& opt) {
  struct Ctx {
    const Bytes* in;
    size_t pos;
    const DecodeOptions* opt;
    Decoded* d;
  } ctx = {&in, 0, &opt, nullptr};
  Decoded d;
  ctx.d = &d;
  vexel::InflateIo io;
  io.context = &ctx;
  io.read = [](void* c, unsigned char* buf, size_t max) -> size_t {
    Ctx& x = *static_cast<Ctx*>(c);
    x.d->reads.push_back(max);
    if (x.pos >= x.opt->failReadAfter) return 0;
    size_t n = max;
    if (n > x.in->size() - x.pos) n = x.in->size() - x.pos;
    if (n > x.opt->piece) n = x.opt->piece;
    if (n) memcpy(buf, x.in->data() + x.pos, n);  // an empty input has no data pointer
    x.pos += n;
    return n;
  };
  io.write = [](void* c, const unsigned char* buf, size_t n) -> int {
    Ctx& x = *static_cast<Ctx*>(c);
    if ((int)x.d->writes.size() == x.opt->failWriteAt) {
      x.d->writes.push_back(n);
      return 0;
    }
    x.d->writes.push_back(n);
    x.d->out.insert(x.d->out.end(), buf, buf + n);
    return 1;
  };
  uint32_t running = opt.running;
  d.ok = vexel::InflateEntry(io, compressedSize, running);
  d.crc = ~running;
  d.consumed = ctx.pos;
  return d;
}

// Decodes with the loop compiled for BMI2 and again with the plain loop (where the processor has
// no BMI2 both runs take the plain loop). The two must agree in everything the caller sees;
// otherwise the run stops here, in a test as in the fuzzer.
inline Decoded Decode(const Bytes& in, uint32_t compressedSize, const DecodeOptions& opt = DecodeOptions()) {
  Decoded a = DecodeOnce(in, compressedSize, opt);
  vexel::UseBmi2Inflate(false);
  Decoded b = DecodeOnce(in, compressedSize, opt);
  vexel::UseBmi2Inflate(true);
  if (a.ok != b.ok || a.out != b.out || a.crc != b.crc || a.writes != b.writes || a.reads != b.reads ||
      a.consumed != b.consumed) {
    fprintf(stderr, "inflate: the BMI2 and the plain decoding loop disagree\n");
    abort();
  }
  return a;
}

inline Decoded Decode(const Bytes& in) { return Decode(in, (uint32_t)in.size()); }

inline uint32_t ZlibCrc(const Bytes& b) { return (uint32_t)crc32(0, b.data(), (uInt)b.size()); }

// A flush point: deflate is called with `flush` after the first `offset` bytes.
struct FlushPoint {
  size_t offset;
  int flush;
};

// Raw deflate (no zlib header) with the given level and strategy.
inline Bytes Deflate(const Bytes& data, int level, int strategy = Z_DEFAULT_STRATEGY,
                     const std::vector<FlushPoint>& points = {}) {
  z_stream z = {};
  if (deflateInit2(&z, level, Z_DEFLATED, -15, 8, strategy) != Z_OK) return Bytes();
  Bytes out(deflateBound(&z, (uLong)data.size()) + 64 * (points.size() + 1) + 64);
  z.next_out = out.data();
  z.avail_out = (uInt)out.size();
  size_t pos = 0;
  for (size_t i = 0; i <= points.size(); i++) {
    size_t end = i < points.size() ? points[i].offset : data.size();
    int flush = i < points.size() ? points[i].flush : Z_FINISH;
    z.next_in = const_cast<unsigned char*>(data.data()) + pos;
    z.avail_in = (uInt)(end - pos);
    int r;
    do {
      if (z.avail_out == 0) {
        size_t used = out.size();
        out.resize(out.size() * 2);
        z.next_out = out.data() + used;
        z.avail_out = (uInt)(out.size() - used);
      }
      r = deflate(&z, flush);
    } while (z.avail_in > 0 || z.avail_out == 0 || (flush == Z_FINISH && r != Z_STREAM_END));
    pos = end;
  }
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// zlib's verdict on a raw deflate stream given whole: decoded to the end of the final block?
struct ZlibDecoded {
  bool ok = false;
  Bytes out;
};

inline ZlibDecoded ZlibInflate(const Bytes& in) {
  ZlibDecoded r;
  z_stream z = {};
  if (inflateInit2(&z, -15) != Z_OK) return r;
  z.next_in = const_cast<unsigned char*>(in.data());
  z.avail_in = (uInt)in.size();
  unsigned char buf[16384];
  int rc;
  do {
    z.next_out = buf;
    z.avail_out = sizeof buf;
    rc = inflate(&z, Z_NO_FLUSH);
    r.out.insert(r.out.end(), buf, buf + (sizeof buf - z.avail_out));
  } while (rc == Z_OK && (z.avail_out == 0 || z.avail_in > 0));
  r.ok = rc == Z_STREAM_END;
  inflateEnd(&z);
  return r;
}

// ---- test data -----------------------------------------------------------------------------------

inline Bytes RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b(n);
  for (auto& c : b) c = (unsigned char)rng();
  return b;
}

// Words of a small vocabulary with punctuation: compresses like ordinary text.
inline Bytes TextBytes(size_t n, uint32_t seed) {
  static const char* const words[] = {"der", "die", "das", "Installation", "Verzeichnis", "Programm",
                                      "wird", "nicht", "und", "<td>", "</td>", "<table border=1>",
                                      "Quillet", "Datei", "entpackt", "Fehler", "\r\n", "  "};
  std::mt19937 rng(seed);
  Bytes b;
  while (b.size() < n) {
    const char* w = words[rng() % (sizeof words / sizeof *words)];
    b.insert(b.end(), w, w + strlen(w));
    b.push_back(rng() % 7 == 0 ? ',' : ' ');
  }
  b.resize(n);
  return b;
}

// Long runs of few values, as in pictures: distance 1 and long lengths.
inline Bytes RunBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b;
  while (b.size() < n) b.insert(b.end(), 1 + rng() % 600, (unsigned char)(rng() % 3));
  b.resize(n);
  return b;
}

// A random block repeated: copies that reach back across the 32 KB output pieces.
inline Bytes RepeatedBlock(size_t n, size_t block, uint32_t seed) {
  Bytes unit = RandomBytes(block, seed);
  Bytes b;
  while (b.size() < n) b.insert(b.end(), unit.begin(), unit.end());
  b.resize(n);
  return b;
}

// ---- hand-made streams -------------------------------------------------------------------------

class BitWriter {
 public:
  // Bits of a value, least significant first (header fields, extra bits).
  void Bits(uint32_t value, int count) {
    for (int i = 0; i < count; i++) Bit((value >> i) & 1);
  }
  // A Huffman code, most significant bit first.
  void Code(uint32_t code, int len) {
    for (int i = len - 1; i >= 0; i--) Bit((code >> i) & 1);
  }
  void Align() {
    while (n_ != 0) Bit(0);
  }
  void Byte(unsigned char b) { Bits(b, 8); }
  Bytes Done() {
    Bytes b = bytes_;
    if (n_) b.push_back(acc_);
    return b;
  }

  void Header(bool last, int type) {
    Bits(last ? 1 : 0, 1);
    Bits(type, 2);
  }
  // Fixed Huffman code symbols.
  void FixedSymbol(int sym) {
    if (sym < 144) Code(0x30 + sym, 8);
    else if (sym < 256) Code(0x190 + sym - 144, 9);
    else if (sym < 280) Code(sym - 256, 7);
    else Code(0xC0 + sym - 280, 8);
  }
  void FixedLiterals(const std::string& s) {
    for (unsigned char c : s) FixedSymbol(c);
  }
  void FixedMatch(int len, int dist) {
    static const int lbase[29] = {3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const int lextra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    int i = 28;
    while (lbase[i] > len) i--;
    FixedSymbol(257 + i);
    Bits(len - lbase[i], lextra[i]);
    int code = 0, base = 1;
    for (int c = 0; c < 30; c++) {
      int extra = c < 4 ? 0 : (c - 2) / 2;
      int b = c < 4 ? c + 1 : ((2 + (c & 1)) << extra) + 1;
      if (b <= dist) {
        code = c;
        base = b;
      }
    }
    Code(code, 5);
    Bits(dist - base, code < 4 ? 0 : (code - 2) / 2);
  }
  void Stored(bool last, const Bytes& data) {
    Header(last, 0);
    Align();
    Bits((uint32_t)data.size(), 16);
    Bits(~(uint32_t)data.size() & 0xFFFF, 16);
    for (unsigned char c : data) Byte(c);
  }

 private:
  void Bit(int b) {
    acc_ |= (unsigned char)(b << n_);
    if (++n_ == 8) {
      bytes_.push_back(acc_);
      acc_ = 0;
      n_ = 0;
    }
  }
  Bytes bytes_;
  unsigned char acc_ = 0;
  int n_ = 0;
};

// Canonical Huffman codes (most significant bit first) for a list of code lengths.
inline std::vector<uint32_t> CanonicalCodes(const std::vector<int>& lens) {
  int count[16] = {0};
  for (int l : lens) count[l]++;
  count[0] = 0;
  uint32_t next[16] = {0};
  uint32_t code = 0;
  for (int len = 1; len < 16; len++) {
    code = (code + count[len - 1]) << 1;
    next[len] = code;
  }
  std::vector<uint32_t> codes(lens.size());
  for (size_t i = 0; i < lens.size(); i++)
    if (lens[i]) codes[i] = next[lens[i]]++;
  return codes;
}

// A code-length symbol of a dynamic block header, with the value of its extra bits.
struct LenSym {
  int sym;
  int extra;
};

// A dynamic block with a code-length code of the given lengths (indexed by symbol 0..18), the
// first hclen of them sent; the code-length symbols are written as given.
struct DynamicHeader {
  int nlit = 257;
  int ndist = 1;
  int hclen = 19;
  std::vector<int> lenLens = std::vector<int>(19, 0);
  std::vector<LenSym> syms;

  void Write(BitWriter& w, bool last) const {
    static const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    w.Header(last, 2);
    w.Bits(nlit - 257, 5);
    w.Bits(ndist - 1, 5);
    w.Bits(hclen - 4, 4);
    for (int i = 0; i < hclen; i++) w.Bits(lenLens[order[i]], 3);
    std::vector<uint32_t> codes = CanonicalCodes(lenLens);
    for (const LenSym& s : syms) {
      w.Code(codes[s.sym], lenLens[s.sym]);
      if (s.sym == 16) w.Bits(s.extra, 2);
      if (s.sym == 17) w.Bits(s.extra, 3);
      if (s.sym == 18) w.Bits(s.extra, 7);
    }
  }
};

// A header that sends the given literal/length and distance lengths one by one, with a complete
// code-length code: 4 bits for the lengths 0..12, 5 bits for 13..15 and the repeat symbols.
inline DynamicHeader PlainHeader(const std::vector<int>& litLens, const std::vector<int>& distLens) {
  DynamicHeader h;
  h.nlit = (int)litLens.size();
  h.ndist = (int)distLens.size();
  for (int i = 0; i < 19; i++) h.lenLens[i] = i < 13 ? 4 : 5;
  for (int l : litLens) h.syms.push_back({l, 0});
  for (int l : distLens) h.syms.push_back({l, 0});
  return h;
}

// A complete literal/length code: literals 0..254 with 8 bits, the end code and length code 257
// (length 3) with 9 bits; 255 has no code.
inline std::vector<int> SmallLitLens() {
  std::vector<int> l(258, 0);
  for (int i = 0; i < 255; i++) l[i] = 8;
  l[256] = 9;
  l[257] = 9;
  return l;
}

}  // namespace vexel_test
