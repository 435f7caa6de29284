// Writes the pictures of the imaging benchmark into the folder given as its argument, at build time
// (bench/imaging/CMakeLists.txt runs it, then ImageMagick turns photo.ppm into the PNG and JPEG
// files): the TIFF files through libtiff, the GIF files through giflib, so each reader is timed on
// files its peer wrote itself.
//
// A photograph-like RGB picture (LZW with horizontal differencing, PackBits, uncompressed; grey
// and palette pictures from its red channel), a scanned A4 page at 300 dpi (CCITT Group 4, Group 3
// one- and two-dimensional), a 256-colour GIF and an animated banner of many small frames.

#include <gif_lib.h>
#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "imaging_pictures.h"

namespace {

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

using namespace bench_pictures;

// Writes the picture with libtiff: RGB from the photograph, grey and palette from its red channel
// (the palette a ramp of 256 colours), bilevel from the page.
void WriteTIFF(const std::string& path, int w, int h, const std::vector<uint8_t>& pixels, Kind kind,
               uint16_t compression, int rowsPerStrip, bool twoD = true) {
  const bool bilevel = kind == kBilevel;
  TIFF* t = TIFFOpen(path.c_str(), "w");
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, uint32_t(w));
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, uint32_t(h));
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, uint16_t(bilevel ? 1 : 8));
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, uint16_t(kind == kRGB ? 3 : 1));
  const uint16_t photometric = kind == kRGB ? PHOTOMETRIC_RGB : kind == kGrey ? PHOTOMETRIC_MINISBLACK
                               : kind == kPalette ? PHOTOMETRIC_PALETTE : PHOTOMETRIC_MINISWHITE;
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, photometric);
  std::vector<uint16_t> map[3];
  if (kind == kPalette) {
    for (int i = 0; i < 256; ++i) {
      map[0].push_back(uint16_t(i * 257));
      map[1].push_back(uint16_t((255 - i) * 257));
      map[2].push_back(uint16_t(((i * 7) & 255) * 257));
    }
    TIFFSetField(t, TIFFTAG_COLORMAP, map[0].data(), map[1].data(), map[2].data());
  }
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG));
  TIFFSetField(t, TIFFTAG_COMPRESSION, compression);
  if (compression == COMPRESSION_LZW && kind != kPalette) TIFFSetField(t, TIFFTAG_PREDICTOR, uint16_t(2));
  if (compression == COMPRESSION_CCITTFAX3)
    TIFFSetField(t, TIFFTAG_GROUP3OPTIONS, uint32_t(twoD ? GROUP3OPT_2DENCODING : 0));
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, uint32_t(rowsPerStrip));
  size_t rowBytes = bilevel ? size_t(w + 7) / 8 : size_t(w) * (kind == kRGB ? 3 : 1);
  std::vector<uint8_t> row(rowBytes);
  for (int y = 0; y < h; ++y) {
    if (kind == kGrey || kind == kPalette)
      for (int x = 0; x < w; ++x) row[size_t(x)] = pixels[(size_t(y) * w + x) * 3];
    else
      std::memcpy(row.data(), &pixels[rowBytes * y], rowBytes);
    TIFFWriteScanline(t, row.data(), uint32_t(y), 0);
  }
  TIFFClose(t);
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

// Many small frames, as an animated banner: giflib writes them, each with its own position.
void WriteAnimation(const std::string& path, int frames, int w, int h) {
  int err = 0;
  GifFileType* g = EGifOpenFileName(path.c_str(), false, &err);
  GifColorType colors[256];
  for (int i = 0; i < 256; ++i) colors[i] = GifColorType{uint8_t(i), uint8_t(255 - i), uint8_t((i * 7) & 255)};
  ColorMapObject* map = GifMakeMapObject(256, colors);
  EGifPutScreenDesc(g, 4 * w, 4 * h, 8, 0, map);
  std::vector<GifPixelType> row(static_cast<size_t>(w));
  std::mt19937 rng(11);
  for (int f = 0; f < frames; ++f) {
    unsigned char gce[4] = {4, 10, 0, 0};
    EGifPutExtension(g, GRAPHICS_EXT_FUNC_CODE, 4, gce);
    EGifPutImageDesc(g, (f % 4) * w, (f / 4 % 4) * h, w, h, false, nullptr);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) row[size_t(x)] = GifPixelType((x / 8 + y / 8 + f) % 16 + int(rng() % 2) * 16);
      EGifPutLine(g, row.data(), w);
    }
  }
  EGifCloseFile(g, &err);
  GifFreeMapObject(map);
}

void WritePPM(const std::string& path, int w, int h, const std::vector<uint8_t>& rgb) {
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fprintf(f, "P6\n%d %d\n255\n", w, h);
  std::fwrite(rgb.data(), 1, rgb.size(), f);
  std::fclose(f);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Aufruf: make_imaging_pictures ORDNER\n");
    return 2;
  }
  TIFFSetWarningHandler(nullptr);
  const std::string dir = argv[1];
  using namespace bench_pictures;
  const std::vector<uint8_t> photo = Photo(kPhotoWidth, kPhotoHeight), page = Page(kPageWidth, kPageHeight);
  for (const TiffFile& t : kTiffFiles) {
    const bool bilevel = t.kind == kBilevel;
    WriteTIFF(dir + "/" + t.file, bilevel ? kPageWidth : kPhotoWidth, bilevel ? kPageHeight : kPhotoHeight,
              bilevel ? page : photo, t.kind, t.compression, t.rowsPerStrip, t.twoD);
  }
  WriteGIF(dir + "/plasma.gif", kGifWidth, kGifHeight);
  WriteAnimation(dir + "/banner.gif", kBannerFrames, kBannerWidth, kBannerHeight);
  WritePPM(dir + "/photo.ppm", kPhotoWidth, kPhotoHeight, photo);
  return 0;
}
