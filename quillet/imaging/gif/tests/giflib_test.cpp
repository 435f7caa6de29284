// The encoders' output read by giflib, the peer decoder, in a minimal GIF file around it; and
// frames that giflib's own encoder wrote, read by ours.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>

#include "gif_encoder.h"
#include "gif_lzw_decoder.h"
#include "gif_test_support.h"

namespace {

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

// giflib's reading of the first frame (it puts interlaced rows into place itself).
Bytes GiflibDecode(const Bytes& file) {
  Source src{&file, 0};
  int err = 0;
  GifFileType* g = DGifOpen(&src, ReadMem, &err);
  EXPECT_NE(g, nullptr) << GifErrorString(err);
  if (!g) return {};
  EXPECT_EQ(DGifSlurp(g), GIF_OK) << GifErrorString(g->Error);
  Bytes px;
  if (g->ImageCount > 0) {
    const SavedImage& im = g->SavedImages[0];
    px.assign(im.RasterBits, im.RasterBits + im.ImageDesc.Width * im.ImageDesc.Height);
  }
  DGifCloseFile(g, &err);
  return px;
}

Bytes Gradient(int w, int h) {
  Bytes b(size_t(w * h));
  for (size_t i = 0; i < b.size(); ++i) b[i] = uint8_t((i % size_t(w)) ^ (i / size_t(w)));
  return b;
}

TEST(GIFEncoderWithGiflib, GiflibReadsWhatWeWrite) {
  struct Case {
    const char* name;
    Bytes pixels;
    int w, h, bpp;
  } cases[] = {
      {"noise 256 colours", RandomPixels(320 * 240, 256, 11), 320, 240, 8},
      {"noise 2 colours", RandomPixels(99 * 31, 2, 12), 99, 31, 1},
      {"pattern", Gradient(256, 64), 256, 64, 8},
      {"a long run", Bytes(2000 * 1000, 1), 2000, 1000, 1},
      {"runs", [] {
         Bytes b(150 * 150);
         for (size_t i = 0; i < b.size(); ++i) b[i] = uint8_t((i / 7) % 3 + ((i / 3001) % 2) * 4);
         return b;
       }(), 150, 150, 3},
      {"interlaced height 3", RandomPixels(5 * 3, 16, 13), 5, 3, 4},
  };
  for (const Case& c : cases) {
    for (int kind : {geLZW, geRLE}) {
      for (bool interlaced : {false, true}) {
        const std::string what = std::string(c.name) + (kind == geRLE ? " RLE" : " LZW") +
                                 (interlaced ? " interlaced" : "");
        TMemoryStream s;
        Encode(kind, s, c.bpp, 1 << c.bpp, c.pixels.data(), interlaced, c.h, c.w);
        const Bytes file = WrapInGIF(StreamBytes(s), c.w, c.h, c.bpp, interlaced);
        EXPECT_EQ(GiflibDecode(file), c.pixels) << what;
      }
    }
  }
}

TEST(GIFEncoderWithGiflib, WeReadWhatGiflibWrites) {
  const int w = 211, h = 97;
  const Bytes pixels = RandomPixels(size_t(w * h), 64, 21);
  Bytes file;
  int err = 0;
  GifFileType* g = EGifOpen(&file, [](GifFileType* gf, const GifByteType* b, int n) {
    Bytes* out = static_cast<Bytes*>(gf->UserData);
    out->insert(out->end(), b, b + n);
    return n;
  }, &err);
  ASSERT_NE(g, nullptr);
  ColorMapObject* map = GifMakeMapObject(64, nullptr);
  for (int i = 0; i < 64; ++i) map->Colors[i] = GifColorType{GifByteType(i * 4), 0, 0};
  ASSERT_EQ(EGifPutScreenDesc(g, w, h, 6, 0, map), GIF_OK);
  ASSERT_EQ(EGifPutImageDesc(g, 0, 0, w, h, false, nullptr), GIF_OK);
  for (int y = 0; y < h; ++y)
    ASSERT_EQ(EGifPutLine(g, const_cast<GifPixelType*>(pixels.data() + y * w), w), GIF_OK);
  EGifCloseFile(g, &err);
  GifFreeMapObject(map);

  GIFFrame fr = FirstFrame(file);
  TMemoryStream s;
  Fill(s, file);
  s.SetPosition(fr.DataOffset);
  Bytes px;
  Decode(s, fr.Width, fr.Height, false, 0, px);
  EXPECT_EQ(px, pixels);
  EXPECT_EQ(file[size_t(s.Position())], ';');
}

}  // namespace
