// Decoding speed of Quillet's TIFF reader next to libtiff and of its GIF reader next to giflib, on
// the same files in one run, in megapixels per second, with the ratio ours / peer.
//
// The pictures are written here by the peers themselves: a photograph-like RGB picture (LZW with
// horizontal differencing, and PackBits), a scanned A4 page at 300 dpi (CCITT Group 4 and Group 3
// two-dimensional), and a 256-colour GIF. Both sides do the whole job: open the file, decode every
// row and store it as a 24-bit (or 1-bit) picture in blue-green-red order.

#include "bench_timing.h"
#include <gif_lib.h>
#include <unistd.h>
#include <tiffio.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "gif_reader.h"
#include "tiff_reader.h"

namespace {

using bench::BestSecondsPerCall;

// A smooth picture with texture, like a photograph.
std::vector<uint8_t> Photo(int w, int h) {
  std::vector<uint8_t> p(size_t(w) * h * 3);
  std::mt19937 rng(3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* q = &p[(size_t(y) * w + x) * 3];
      double fx = x / double(w), fy = y / double(h);
      q[0] = uint8_t(127 + 120 * std::sin(fx * 7 + fy * 3) + rng() % 5);
      q[1] = uint8_t(127 + 120 * std::cos(fy * 5 - fx * 2));
      q[2] = uint8_t(std::min(255.0, 255 * fx * fy + rng() % 3));
    }
  return p;
}

// A page of text-like blocks: 1 bits black in a white-is-zero picture.
std::vector<uint8_t> Page(int w, int h) {
  int rowBytes = (w + 7) / 8;
  std::vector<uint8_t> p(size_t(rowBytes) * h, 0);
  std::mt19937 rng(5);
  for (int line = 150; line + 40 < h - 150; line += 60)
    for (int x = 200; x < w - 200;) {
      int len = 10 + int(rng() % 40);
      if (rng() % 6 == 0) { x += len; continue; }
      for (int y = line; y < line + 30; ++y)
        for (int i = x; i < std::min(x + len, w - 200); ++i)
          if ((rng() & 3) != 0 || y % 7 < 5) p[size_t(y) * rowBytes + i / 8] |= uint8_t(0x80 >> (i % 8));
      x += len + 8;
    }
  return p;
}

void WriteTIFF(const std::string& path, int w, int h, const std::vector<uint8_t>& pixels, bool bilevel,
               uint16_t compression, int rowsPerStrip) {
  TIFF* t = TIFFOpen(path.c_str(), "w");
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, uint32_t(w));
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, uint32_t(h));
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, uint16_t(bilevel ? 1 : 8));
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, uint16_t(bilevel ? 1 : 3));
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, uint16_t(bilevel ? PHOTOMETRIC_MINISWHITE : PHOTOMETRIC_RGB));
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG));
  TIFFSetField(t, TIFFTAG_COMPRESSION, compression);
  if (compression == COMPRESSION_LZW) TIFFSetField(t, TIFFTAG_PREDICTOR, uint16_t(2));
  if (compression == COMPRESSION_CCITTFAX3) TIFFSetField(t, TIFFTAG_GROUP3OPTIONS, uint32_t(GROUP3OPT_2DENCODING));
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, uint32_t(rowsPerStrip));
  size_t rowBytes = bilevel ? size_t(w + 7) / 8 : size_t(w) * 3;
  std::vector<uint8_t> row(rowBytes);
  for (int y = 0; y < h; ++y) {
    std::memcpy(row.data(), &pixels[rowBytes * y], rowBytes);
    TIFFWriteScanline(t, row.data(), uint32_t(y), 0);
  }
  TIFFClose(t);
}

// libtiff's side: decode every scan line and store it bottom-up in blue-green-red order (or as 1-bit
// rows with white as 1 bits), as the reader's bitmap holds it.
void LibtiffRead(const std::string& path) {
  TIFF* t = TIFFOpen(path.c_str(), "r");
  uint32_t w = 0, h = 0;
  uint16_t bits = 1, photometric = 0;
  TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &w);
  TIFFGetField(t, TIFFTAG_IMAGELENGTH, &h);
  TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &photometric);
  std::vector<uint8_t> line(size_t(TIFFScanlineSize(t)));
  size_t stride = bits == 1 ? ((w + 31) / 32) * 4 : ((w * 24 + 31) / 32) * 4;
  std::vector<uint8_t> out(stride * h);
  for (uint32_t y = 0; y < h; ++y) {
    TIFFReadScanline(t, line.data(), y, 0);
    uint8_t* o = &out[stride * (h - 1 - y)];
    if (bits == 1) {
      for (size_t i = 0; i < line.size(); ++i) o[i] = photometric == PHOTOMETRIC_MINISWHITE ? uint8_t(~line[i]) : line[i];
    } else {
      for (uint32_t x = 0; x < w; ++x) {
        o[3 * x] = line[3 * x + 2];
        o[3 * x + 1] = line[3 * x + 1];
        o[3 * x + 2] = line[3 * x];
      }
    }
  }
  TIFFClose(t);
}

void OurTIFFRead(const std::string& path) {
  TFileStream s(path, fmOpenRead);
  int count, x, y;
  std::unique_ptr<TBitmap> b(ReadTIFF(s, 0, count, x, y));
}

void WriteGIF(const std::string& path, int w, int h) {
  int err = 0;
  GifFileType* g = EGifOpenFileName(path.c_str(), false, &err);
  GifColorType colors[256];
  for (int i = 0; i < 256; ++i) colors[i] = GifColorType{uint8_t(i), uint8_t(255 - i), uint8_t((i * 7) & 255)};
  ColorMapObject* map = GifMakeMapObject(256, colors);
  EGifPutScreenDesc(g, w, h, 8, 0, map);
  EGifPutImageDesc(g, 0, 0, w, h, false, nullptr);
  std::vector<GifPixelType> row(static_cast<size_t>(w));
  std::mt19937 rng(9);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x)
      row[size_t(x)] = GifPixelType((int(64 + 60 * std::sin(x * 0.02) + 60 * std::cos(y * 0.03)) + int(rng() % 4)) & 255);
    EGifPutLine(g, row.data(), w);
  }
  EGifCloseFile(g, &err);
  GifFreeMapObject(map);
}

// giflib's side: decode the frame and store it as 24-bit blue-green-red rows.
void GiflibRead(const std::string& path) {
  int err = 0;
  GifFileType* g = DGifOpenFileName(path.c_str(), &err);
  DGifSlurp(g);
  const SavedImage& im = g->SavedImages[0];
  const ColorMapObject* map = im.ImageDesc.ColorMap ? im.ImageDesc.ColorMap : g->SColorMap;
  int w = im.ImageDesc.Width, h = im.ImageDesc.Height;
  size_t stride = size_t((w * 24 + 31) / 32) * 4;
  std::vector<uint8_t> out(stride * size_t(h));
  for (int y = 0; y < h; ++y) {
    uint8_t* o = &out[stride * size_t(h - 1 - y)];
    const GifByteType* in = im.RasterBits + size_t(y) * size_t(w);
    for (int x = 0; x < w; ++x) {
      const GifColorType& c = map->Colors[in[x]];
      o[3 * x] = c.Blue;
      o[3 * x + 1] = c.Green;
      o[3 * x + 2] = c.Red;
    }
  }
  DGifCloseFile(g, &err);
}

void OurGIFRead(const std::string& path) {
  TGIFScreenInfo screen;
  TGIFFrameInfo frame;
  int count;
  std::unique_ptr<TBitmap> b(ReadGIFFile(path, 0, screen, frame, count));
}

void Report(const char* name, double pixels, double ours, double peer, const char* peerName) {
  std::printf("%-34s ours %8.1f Mpx/s   %-7s %8.1f Mpx/s   ratio %.2f\n", name, pixels / ours / 1e6, peerName,
              pixels / peer / 1e6, peer / ours);
}

}  // namespace

int main() {
  TIFFSetWarningHandler(nullptr);
  std::string dir = "/tmp/bench_imaging_" + std::to_string(::getpid());
  std::string mk = "mkdir -p " + dir;
  if (std::system(mk.c_str()) != 0) return 1;

  const int pw = 2048, ph = 1536, aw = 2480, ah = 3508, gw = 1600, gh = 1200;
  std::vector<uint8_t> photo = Photo(pw, ph), page = Page(aw, ah);
  struct TiffCase { const char* name; std::string file; bool bilevel; uint16_t compression; int rows; };
  std::vector<TiffCase> tiffs = {
      {"TIFF RGB 2048x1536 LZW+predictor", dir + "/photo_lzw.tif", false, COMPRESSION_LZW, 16},
      {"TIFF RGB 2048x1536 PackBits", dir + "/photo_packbits.tif", false, COMPRESSION_PACKBITS, 16},
      {"TIFF RGB 2048x1536 uncompressed", dir + "/photo_none.tif", false, COMPRESSION_NONE, 16},
      {"TIFF page 2480x3508 Group 4", dir + "/page_g4.tif", true, COMPRESSION_CCITTFAX4, 3508},
      {"TIFF page 2480x3508 Group 3 2-D", dir + "/page_g3.tif", true, COMPRESSION_CCITTFAX3, 128},
  };
  std::printf("ratio = peer time / our time (above 1: ours is faster)\n");
  for (const TiffCase& c : tiffs) {
    WriteTIFF(c.file, c.bilevel ? aw : pw, c.bilevel ? ah : ph, c.bilevel ? page : photo, c.bilevel, c.compression,
              c.rows);
    double px = c.bilevel ? double(aw) * ah : double(pw) * ph;
    double ours = BestSecondsPerCall([&] { OurTIFFRead(c.file); });
    double peer = BestSecondsPerCall([&] { LibtiffRead(c.file); });
    Report(c.name, px, ours, peer, "libtiff");
  }
  std::string gif = dir + "/plasma.gif";
  WriteGIF(gif, gw, gh);
  double ours = BestSecondsPerCall([&] { OurGIFRead(gif); });
  double peer = BestSecondsPerCall([&] { GiflibRead(gif); });
  Report("GIF 1600x1200 256 colours", double(gw) * gh, ours, peer, "giflib");
  std::string rm = "rm -rf " + dir;
  return std::system(rm.c_str()) == 0 ? 0 : 1;
}
