// Speed of the GIF LZW decoder next to giflib's, on the same frames in one run, in megapixels per
// second, with the ratio. Both sides decode one frame's data from memory into colour indices:
// ours through Decode, giflib through DGifGetLine row by row (its file header and image descriptor
// are read outside the timing loop's decoding work but inside each call, as a reader does it).
//
// The frames are written by giflib's own encoder: 256-colour noise (the table fills and clears all
// the time), a smooth 64-colour picture like a photograph, and a drawing with large flat areas.

#include "bench_timing.h"
#include <gif_lib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "gif_lzw_decoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

using bench::BestSecondsPerCall;

// A GIF file of one frame written by giflib.
Bytes WriteGif(const Bytes& px, int w, int h, int bits) {
  Bytes file;
  int err = 0;
  GifFileType* g = EGifOpen(&file, [](GifFileType* gf, const GifByteType* b, int n) {
    Bytes* out = static_cast<Bytes*>(gf->UserData);
    out->insert(out->end(), b, b + n);
    return n;
  }, &err);
  ColorMapObject* map = GifMakeMapObject(1 << bits, nullptr);
  for (int i = 0; i < (1 << bits); ++i) map->Colors[i] = GifColorType{GifByteType(i), GifByteType(i), GifByteType(i)};
  EGifPutScreenDesc(g, w, h, bits, 0, map);
  EGifPutImageDesc(g, 0, 0, w, h, false, nullptr);
  for (int y = 0; y < h; ++y) EGifPutLine(g, const_cast<GifPixelType*>(px.data() + size_t(y) * w), w);
  EGifCloseFile(g, &err);
  GifFreeMapObject(map);
  return file;
}

struct Source {
  const Bytes* data;
  size_t pos;
};

int ReadMem(GifFileType* g, GifByteType* buf, int n) {
  Source* s = static_cast<Source*>(g->UserData);
  int k = int(std::min(size_t(n), s->data->size() - s->pos));
  std::memcpy(buf, s->data->data() + s->pos, size_t(k));
  s->pos += size_t(k);
  return k;
}

void GiflibDecode(const Bytes& file, Bytes& out) {
  Source src{&file, 0};
  int err = 0;
  GifFileType* g = DGifOpen(&src, ReadMem, &err);
  GifRecordType type;
  DGifGetRecordType(g, &type);
  DGifGetImageDesc(g);
  const int w = g->Image.Width, h = g->Image.Height;
  out.resize(size_t(w) * h);
  for (int y = 0; y < h; ++y) DGifGetLine(g, out.data() + size_t(y) * w, w);
  DGifCloseFile(g, &err);
}

// Offset of the minimum code size byte: header, screen descriptor, global table, image descriptor.
int64_t DataOffset(const Bytes& f) { return 13 + 3 * (2 << (f[10] & 7)) + 10; }

}  // namespace

int main() {
  const int w = 1024, h = 768;
  std::mt19937 rng(5);
  Bytes noise(size_t(w) * h), photo(size_t(w) * h), drawing(size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const size_t i = size_t(y) * w + x;
      noise[i] = uint8_t(rng());
      photo[i] = uint8_t(std::min(63.0, 32 + 30 * std::sin(x / 60.0) * std::cos(y / 45.0) + rng() % 3));
      drawing[i] = uint8_t(((x / 128) ^ (y / 96)) % 4 == 0 ? (x * y / 997) % 16 : (x / 128 + y / 96) % 16);
    }
  struct Frame {
    const char* name;
    const Bytes* px;
    int bits;
  } frames[] = {{"noise, 256 colours", &noise, 8}, {"photograph-like, 64 colours", &photo, 6},
                {"drawing, 16 colours", &drawing, 4}};
  bool same = true;
  for (const Frame& f : frames) {
    const Bytes file = WriteGif(*f.px, w, h, f.bits);
    Bytes ours, theirs;
    TMemoryStream s;
    s.WriteBuffer(file.data(), int64_t(file.size()));
    const double tOurs = BestSecondsPerCall([&] {
      s.SetPosition(DataOffset(file));
      Decode(s, w, h, false, 0, ours);
    });
    const double tGiflib = BestSecondsPerCall([&] { GiflibDecode(file, theirs); });
    same = same && ours == *f.px && theirs == *f.px;
    const double mpx = double(w) * h / 1e6;
    std::printf("%-30s %7zu bytes  ours %7.1f Mpx/s   giflib %7.1f Mpx/s   ratio %.2f\n", f.name, file.size(),
                mpx / tOurs, mpx / tGiflib, tGiflib / tOurs);
  }
  std::printf("ratio = giflib time / our time (above 1: ours is faster)%s\n", same ? "" : "   PIXELS DIFFER");
  return same ? 0 : 1;
}
