// Throughput of the installer's inflate decoder and CRC-32 next to zlib's inflate and crc32, on
// the same deflate streams, in MB/s of decoded output, with the ratio ours/zlib. "deflated" is
// the compression ratio of the stream.
//
// Both decoders do the installer's whole job per entry: decode, hand the output on in pieces (to
// the same sink), and compute the CRC-32 of it. zlib's inflate alone (without crc32) is
// shown as well, as the stricter comparison.

#include <stdio.h>
#include <string.h>
#include "bench_timing.h"
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "crc32.h"
#include "inflate.h"
#include "inflate_test_support.h"

namespace {

using vexel_test::Bytes;
using vexel_test::Deflate;

// ---- inputs --------------------------------------------------------------------------------------

bool AppendFile(Bytes& b, const char* path, size_t limit) {
  FILE* f = fopen(path, "rb");
  if (!f) return false;
  unsigned char buf[65536];
  size_t n;
  while (b.size() < limit && (n = fread(buf, 1, sizeof buf, f)) > 0) b.insert(b.end(), buf, buf + n);
  fclose(f);
  return true;
}

// Program text: the C++ library headers, else generated words.
Bytes TextCorpus(size_t size) {
  Bytes b;
  const char* dirs[] = {"/usr/include/c++/12/bits/", "/usr/include/"};
  const char* names[] = {"stl_algo.h",  "basic_string.h", "stl_tree.h",     "regex_compiler.tcc", "locale_facets.tcc",
                         "hashtable.h", "shared_ptr_base.h", "stl_vector.h", "unordered_map.h",    "stdio.h",
                         "stdlib.h",    "string.h",       "unistd.h",       "math.h",             "time.h"};
  while (b.size() < size) {
    size_t before = b.size();
    for (const char* d : dirs)
      for (const char* n : names) AppendFile(b, (std::string(d) + n).c_str(), size);
    if (b.size() == before) break;
  }
  std::mt19937 rng(1);
  static const char* const words[] = {"int", "return", "const", "struct", "if", "else", "for", "size_t",
                                      "(", ")", "{", "}", ";", "\n", "  ", "Verzeichnis", "Datei"};
  while (b.size() < size) {
    const char* w = words[rng() % (sizeof words / sizeof *words)];
    b.insert(b.end(), w, w + strlen(w));
    b.push_back(' ');
  }
  b.resize(size);
  return b;
}

// Machine code and data: this program and the shared libraries it uses, else structured noise.
Bytes BinaryCorpus(size_t size) {
  Bytes b;
  const char* files[] = {"/proc/self/exe", "/usr/lib/x86_64-linux-gnu/libstdc++.so.6",
                         "/usr/lib/x86_64-linux-gnu/libc.so.6", "/usr/lib/x86_64-linux-gnu/libz.so.1",
                         "/usr/lib/x86_64-linux-gnu/libm.so.6"};
  for (const char* f : files) AppendFile(b, f, size);
  std::mt19937 rng(2);
  while (b.size() < size) {
    unsigned char v = (unsigned char)rng();
    size_t run = 1 + rng() % 40;
    for (size_t i = 0; i < run; i++) b.push_back(rng() % 4 ? v : (unsigned char)rng());
  }
  b.resize(size);
  return b;
}

// ---- the two decoders ----------------------------------------------------------------------------

// Where decoded pieces go: copied on, as a file write would.
struct Sink {
  Bytes buf;
  size_t pos = 0;
  void Put(const unsigned char* p, size_t n) {
    memcpy(buf.data() + pos, p, n);
    pos += n;
  }
};

struct Source {
  const Bytes* in;
  size_t pos;
};

uint32_t Ours(const Bytes& stream, Sink& sink) {
  Source src = {&stream, 0};
  struct Ctx {
    Source* src;
    Sink* sink;
  } ctx = {&src, &sink};
  vexel::InflateIo io;
  io.context = &ctx;
  io.read = [](void* c, unsigned char* buf, size_t max) -> size_t {
    Source& s = *static_cast<Ctx*>(c)->src;
    size_t n = std::min(max, s.in->size() - s.pos);
    memcpy(buf, s.in->data() + s.pos, n);
    s.pos += n;
    return n;
  };
  io.write = [](void* c, const unsigned char* buf, size_t n) -> int {
    static_cast<Ctx*>(c)->sink->Put(buf, n);
    return 1;
  };
  uint32_t running = 0xFFFFFFFFu;
  if (!vexel::InflateEntry(io, (uint32_t)stream.size(), running)) fprintf(stderr, "bench_inflate: decoding failed\n");
  return ~running;
}

// zlib the same way: input in pieces of 32 KB, output in pieces of 128 KB to the sink.
uint32_t Zlib(const Bytes& stream, Sink& sink, bool withCrc) {
  z_stream z = {};
  inflateInit2(&z, -15);
  static unsigned char in[32768], out[vexel::kInflatePiece];
  size_t pos = 0;
  uLong crc = crc32(0, nullptr, 0);
  int rc = Z_OK;
  while (rc == Z_OK) {
    if (z.avail_in == 0) {
      size_t n = std::min(sizeof in, stream.size() - pos);
      memcpy(in, stream.data() + pos, n);
      pos += n;
      z.next_in = in;
      z.avail_in = (uInt)n;
    }
    z.next_out = out;
    z.avail_out = sizeof out;
    rc = inflate(&z, Z_NO_FLUSH);
    size_t got = sizeof out - z.avail_out;
    if (withCrc) crc = crc32(crc, out, (uInt)got);
    sink.Put(out, got);
  }
  if (rc != Z_STREAM_END) fprintf(stderr, "bench_inflate: zlib failed\n");
  inflateEnd(&z);
  return (uint32_t)crc;
}

// libdeflate the way it works best: the whole stream into an output buffer of the known size in
// one call, then its CRC-32 over the output (libdeflate has no streaming decoder).
uint32_t Libdeflate(libdeflate_decompressor* d, const Bytes& stream, Sink& sink) {
  size_t got = 0;
  if (libdeflate_deflate_decompress(d, stream.data(), stream.size(), sink.buf.data(), sink.buf.size(), &got) !=
      LIBDEFLATE_SUCCESS)
    fprintf(stderr, "bench_inflate: libdeflate failed\n");
  sink.pos = got;
  return libdeflate_crc32(0, sink.buf.data(), got);
}

// Best of several runs of about a fifth of a second each (processor time), in MB/s of `bytes`.
template <typename F>
double MBps(size_t bytes, F&& f) {
  return (double)bytes / bench::BestSecondsPerCall(f) / 1e6;
}

// The same for ours and a peer measured in turns.
template <typename F, typename G>
void MBpsInTurns(size_t bytes, F&& f, G&& g, double& ours, double& peer) {
  double a, b;
  bench::BestSecondsPerCallInTurns(f, g, a, b);
  ours = (double)bytes / a / 1e6;
  peer = (double)bytes / b / 1e6;
}

}  // namespace

int main() {
  const size_t kSize = 8 << 20;
  vexel::BuildCrcTable();
  Bytes text = TextCorpus(kSize), binary = BinaryCorpus(kSize);
  struct Case {
    const char* name;
    const Bytes* data;
    int level;
  } cases[] = {{"text", &text, 1}, {"text", &text, 6}, {"text", &text, 9},
               {"binary", &binary, 6}, {"binary", &binary, 0}};

  printf("inflate (decode + CRC-32 + 128 KB writes), MB/s of output\n");
  printf("%-8s %5s %8s %10s %10s %10s %14s %10s %11s %10s\n", "input", "level", "deflated", "ours", "zlib",
         "ours/zlib", "zlib w/o crc32", "ours/zlib", "libdeflate", "ours/libd.");
  double worst = 1e30, worstBare = 1e30, storedBare = 0, stored = 0, worstLibdeflate = 1e30;
  // The case furthest behind libdeflate, taken apart below.
  const Case* furthest = nullptr;
  double furthestOurs = 0, furthestLibd = 0;
  libdeflate_decompressor* dec = libdeflate_alloc_decompressor();
  for (const Case& c : cases) {
    Bytes stream = Deflate(*c.data, c.level);
    Sink sink;
    sink.buf.resize(c.data->size());
    uint32_t a = 0, b = 0;
    sink.pos = 0;
    a = Ours(stream, sink);
    bool same = sink.pos == c.data->size() && memcmp(sink.buf.data(), c.data->data(), sink.pos) == 0;
    uint32_t l = 0;
    // Each peer in turns with ours, round by round, so that a change in the machine's load falls
    // on both sides alike; each ratio is taken from its own pairing. The table's "ours" column is
    // the pairing with libdeflate.
    double oursZ, zlib, oursB, bare, ours, libd;
    MBpsInTurns(c.data->size(), [&] { sink.pos = 0; a = Ours(stream, sink); },
                [&] { sink.pos = 0; b = Zlib(stream, sink, true); }, oursZ, zlib);
    MBpsInTurns(c.data->size(), [&] { sink.pos = 0; a = Ours(stream, sink); },
                [&] { sink.pos = 0; Zlib(stream, sink, false); }, oursB, bare);
    MBpsInTurns(c.data->size(), [&] { sink.pos = 0; a = Ours(stream, sink); },
                [&] { l = Libdeflate(dec, stream, sink); }, ours, libd);
    const double toZlib = oursZ / zlib, toBare = oursB / bare, toLibd = ours / libd;
    if (!same || a != b || l != a) fprintf(stderr, "bench_inflate: outputs differ (%s, level %d)\n", c.name, c.level);
    printf("%-8s %5d %7.2f: %10.1f %10.1f %10.2f %14.1f %10.2f %11.1f %10.2f\n", c.name, c.level,
           (double)c.data->size() / stream.size(), ours, zlib, toZlib, bare, toBare, libd, toLibd);
    if (c.level == 0) {
      storedBare = toBare;
      stored = toZlib;
    } else {
      worst = std::min(worst, toZlib);
      worstBare = std::min(worstBare, toBare);
      if (toLibd < worstLibdeflate) {
        worstLibdeflate = toLibd;
        furthest = &c;
        furthestOurs = ours;
        furthestLibd = libd;
      }
    }
  }

  Bytes buf = binary;
  uint32_t x = 0, y = 0;
  double ours = MBps(buf.size(), [&] { x = vexel::UpdateCrc(buf.data(), buf.size(), 0xFFFFFFFFu); });
  double zlib = MBps(buf.size(), [&] { y = (uint32_t)crc32(0, buf.data(), (uInt)buf.size()); });
  if (~x != y) fprintf(stderr, "bench_inflate: CRC-32 values differ\n");
  printf("\nCRC-32 of %zu MB, MB/s: ours %.1f, zlib %.1f, ours/zlib %.2f\n", buf.size() >> 20, ours, zlib, ours / zlib);
  printf("inflate ours/zlib, both computing the CRC-32: lowest %.2f\n", worst);
  printf("inflate ours/zlib without its crc32: lowest %.2f on compressed data, %.2f on stored data"
         " (there the CRC-32 itself is most of the work)\n", worstBare, storedBare);
  // Where the time behind libdeflate goes, per MB of output in the case furthest behind: each
  // side's CRC-32, the copies that streaming in 128 KB pieces costs us (each piece handed to the
  // writer, its last 32 KB moved down as the history; libdeflate decodes into the final buffer in
  // one call), and what is left of each side, its decoding proper.
  if (furthest) {
    const size_t n = furthest->data->size();
    Bytes stream = Deflate(*furthest->data, furthest->level);
    Sink sink;
    sink.buf.resize(n);
    size_t got = 0;
    const double libdBare = MBps(n, [&] {
      libdeflate_deflate_decompress(dec, stream.data(), stream.size(), sink.buf.data(), n, &got);
    });
    const double libdCrc = MBps(n, [&] { x = libdeflate_crc32(0, buf.data(), buf.size()); });
    const size_t kPiece = vexel::kInflatePiece, kHistory = 32768;
    Bytes window(kHistory + kPiece);
    const double copies = MBps(n, [&] {
      for (size_t p = 0; p + kPiece <= n; p += kPiece) {
        memcpy(sink.buf.data() + p, window.data() + kHistory, kPiece);
        memcpy(window.data(), window.data() + kPiece, kHistory);
      }
    });
    const double msOurs = 1e3 / furthestOurs, msLibd = 1e3 / furthestLibd;
    const double msOurCrc = 1e3 / ours, msCopies = 1e3 / copies, msLibdCrc = 1e3 / libdCrc;
    printf("\nms per MB of output, %s level %d:    ours   libdeflate\n", furthest->name, furthest->level);
    printf("  whole job                        %6.3f   %6.3f\n", msOurs, msLibd);
    printf("  CRC-32                           %6.3f   %6.3f  (libdeflate: carry-less multiply)\n", msOurCrc,
           msLibdCrc);
    printf("  128 KB pieces: writer + history  %6.3f   %6.3f\n", msCopies, 0.0);
    printf("  decoding proper                  %6.3f   %6.3f  (ratio %.2f)\n", msOurs - msOurCrc - msCopies,
           1e3 / libdBare, (1e3 / libdBare) / (msOurs - msOurCrc - msCopies));
  }
  libdeflate_free_decompressor(dec);
  bench::Row("inflate (decode + CRC-32), compressed, lowest", "zlib", worst, 1.0);
  bench::Row("inflate (decode + CRC-32), stored", "zlib", stored, 1.0);
  bench::Row("inflate (decode + CRC-32), compressed, lowest", "libdeflate", worstLibdeflate, 0.8);
  return 0;
}
