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
#include <png.h>
#include <jpeglib.h>

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
#include "jpeg_reader.h"
#include "png_reader.h"
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

enum Kind { kRGB, kGrey, kPalette, kBilevel };

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
  uint16_t samples = 1;
  TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &samples);
  uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
  if (photometric == PHOTOMETRIC_PALETTE) TIFFGetField(t, TIFFTAG_COLORMAP, &red, &green, &blue);
  std::vector<uint8_t> line(size_t(TIFFScanlineSize(t)));
  size_t stride = bits == 1 ? ((w + 31) / 32) * 4 : ((w * 24 + 31) / 32) * 4;
  std::vector<uint8_t> out(stride * h);
  for (uint32_t y = 0; y < h; ++y) {
    TIFFReadScanline(t, line.data(), y, 0);
    uint8_t* o = &out[stride * (h - 1 - y)];
    if (bits == 1) {
      for (size_t i = 0; i < line.size(); ++i) o[i] = photometric == PHOTOMETRIC_MINISWHITE ? uint8_t(~line[i]) : line[i];
    } else if (photometric == PHOTOMETRIC_PALETTE) {
      for (uint32_t x = 0; x < w; ++x) {
        o[3 * x] = uint8_t(blue[line[x]] >> 8);
        o[3 * x + 1] = uint8_t(green[line[x]] >> 8);
        o[3 * x + 2] = uint8_t(red[line[x]] >> 8);
      }
    } else if (samples == 1) {
      for (uint32_t x = 0; x < w; ++x) o[3 * x] = o[3 * x + 1] = o[3 * x + 2] = line[x];
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

// giflib's side of what the image loader asks for: the first frame as 24-bit rows and the number
// of frames, the other frames' data skipped unread.
void GiflibFirstFrameAndCount(const std::string& path) {
  int err = 0;
  GifFileType* g = DGifOpenFileName(path.c_str(), &err);
  GifRecordType type;
  int frames = 0;
  std::vector<uint8_t> out;
  std::vector<GifPixelType> line;
  do {
    if (DGifGetRecordType(g, &type) == GIF_ERROR) break;
    if (type == IMAGE_DESC_RECORD_TYPE) {
      if (DGifGetImageDesc(g) == GIF_ERROR) break;
      int w = g->Image.Width, h = g->Image.Height;
      if (frames++ == 0) {
        const ColorMapObject* map = g->Image.ColorMap ? g->Image.ColorMap : g->SColorMap;
        size_t stride = size_t((w * 24 + 31) / 32) * 4;
        out.assign(stride * size_t(h), 0);
        line.resize(size_t(w));
        for (int y = 0; y < h; ++y) {
          DGifGetLine(g, line.data(), w);
          uint8_t* o = &out[stride * size_t(h - 1 - y)];
          for (int x = 0; x < w; ++x) {
            const GifColorType& c = map->Colors[line[size_t(x)]];
            o[3 * x] = c.Blue;
            o[3 * x + 1] = c.Green;
            o[3 * x + 2] = c.Red;
          }
        }
      } else {
        int size;
        GifByteType* block;
        DGifGetCode(g, &size, &block);
        while (block) DGifGetCodeNext(g, &block);
      }
    } else if (type == EXTENSION_RECORD_TYPE) {
      int code;
      GifByteType* ext;
      DGifGetExtension(g, &code, &ext);
      while (ext) DGifGetExtensionNext(g, &ext);
    }
  } while (type != TERMINATE_RECORD_TYPE);
  DGifCloseFile(g, &err);
}

void OurGIFFirstFrameAndCount(const std::string& path) {
  TGIFScreenInfo screen;
  TGIFFrameInfo frame;
  int count;
  std::unique_ptr<TBitmap> b(ReadGIFFile(path, 0, screen, frame, count));
}

// libpng alone: the picture's rows as the library delivers them, in blue-green-red order.
void LibpngRead(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, f);
  png_read_info(png, info);
  // The same 24-bit picture the reader shows: palette entries expanded, colours blue first.
  if (png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  png_set_bgr(png);
  png_read_update_info(png, info);
  const png_uint_32 h = png_get_image_height(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  std::vector<uint8_t> image(rowBytes * h);
  std::vector<png_bytep> rows(h);
  for (png_uint_32 y = 0; y < h; ++y) rows[y] = image.data() + rowBytes * (h - 1 - y);
  png_read_image(png, rows.data());
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(f);
}

void OurPNGRead(const std::string& path) {
  TBitmap b;
  LoadPNGFile(path, b);
}

// libjpeg alone: every scan line in blue-green-red order into a bottom-up picture.
void LibjpegRead(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_decompress(&cinfo);
  jpeg_stdio_src(&cinfo, f);
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);
  const size_t stride = (size_t(cinfo.output_width) * 24 + 31) / 32 * 4;
  std::vector<uint8_t> out(stride * cinfo.output_height);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out.data() + stride * (cinfo.output_height - 1 - cinfo.output_scanline);
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  std::fclose(f);
}

void OurJPEGRead(const std::string& path) {
  TFileStream s(path, fmOpenRead);
  int x, y;
  std::unique_ptr<TBitmap> b(ReadJPEGStream(s, x, y));
}

void WritePPM(const std::string& path, int w, int h, const std::vector<uint8_t>& rgb) {
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fprintf(f, "P6\n%d %d\n255\n", w, h);
  std::fwrite(rgb.data(), 1, rgb.size(), f);
  std::fclose(f);
}

// The lowest ratio of a group of files: a row of the table.
struct Group {
  const char* job;
  const char* peer;
  double aim;
  double lowest = 1e9;
  void Add(double ratio) { lowest = std::min(lowest, ratio); }
  void Print() const { bench::Row(job, peer, lowest, aim); }
};

}  // namespace

int main() {
  TIFFSetWarningHandler(nullptr);
  std::string dir = "/tmp/bench_imaging_" + std::to_string(::getpid());
  std::string mk = "mkdir -p " + dir;
  if (std::system(mk.c_str()) != 0) return 1;

  const int pw = 2048, ph = 1536, aw = 2480, ah = 3508, gw = 1600, gh = 1200;
  std::vector<uint8_t> photo = Photo(pw, ph), page = Page(aw, ah);
  Group plain{"TIFF uncompressed and PackBits RGB", "libtiff", 1.0};
  Group lzw{"TIFF LZW (predictor, grey, palette)", "libtiff", 1.0};
  Group fax{"TIFF bilevel, G3 1-D / 2-D, G4", "libtiff", 1.0};
  struct TiffCase { const char* name; std::string file; Kind kind; uint16_t compression; int rows; bool twoD; Group* group; };
  std::vector<TiffCase> tiffs = {
      {"TIFF RGB 2048x1536 LZW+predictor", dir + "/photo_lzw.tif", kRGB, COMPRESSION_LZW, 16, false, &lzw},
      {"TIFF grey 2048x1536 LZW+predictor", dir + "/grey_lzw.tif", kGrey, COMPRESSION_LZW, 16, false, &lzw},
      {"TIFF palette 2048x1536 LZW", dir + "/palette_lzw.tif", kPalette, COMPRESSION_LZW, 16, false, &lzw},
      {"TIFF RGB 2048x1536 PackBits", dir + "/photo_packbits.tif", kRGB, COMPRESSION_PACKBITS, 16, false, &plain},
      {"TIFF RGB 2048x1536 uncompressed", dir + "/photo_none.tif", kRGB, COMPRESSION_NONE, 16, false, &plain},
      {"TIFF page 2480x3508 Group 4", dir + "/page_g4.tif", kBilevel, COMPRESSION_CCITTFAX4, 3508, false, &fax},
      {"TIFF page 2480x3508 Group 3 2-D", dir + "/page_g3.tif", kBilevel, COMPRESSION_CCITTFAX3, 128, true, &fax},
      {"TIFF page 2480x3508 Group 3 1-D", dir + "/page_g3_1d.tif", kBilevel, COMPRESSION_CCITTFAX3, 128, false, &fax},
  };
  std::printf("ratio = peer time / our time (above 1: ours is faster)\n");
  for (const TiffCase& c : tiffs) {
    const bool bilevel = c.kind == kBilevel;
    WriteTIFF(c.file, bilevel ? aw : pw, bilevel ? ah : ph, bilevel ? page : photo, c.kind, c.compression, c.rows,
              c.twoD);
    double px = bilevel ? double(aw) * ah : double(pw) * ph;
    double ours = BestSecondsPerCall([&] { OurTIFFRead(c.file); });
    double peer = BestSecondsPerCall([&] { LibtiffRead(c.file); });
    Report(c.name, px, ours, peer, "libtiff");
    c.group->Add(peer / ours);
  }
  Group gifFirst{"GIF reader, first frame", "giflib", 1.0};
  std::string gif = dir + "/plasma.gif";
  WriteGIF(gif, gw, gh);
  double ours = BestSecondsPerCall([&] { OurGIFRead(gif); });
  double peer = BestSecondsPerCall([&] { GiflibRead(gif); });
  Report("GIF 1600x1200 256 colours", double(gw) * gh, ours, peer, "giflib");
  gifFirst.Add(peer / ours);

  Group gifMany{"GIF reader, file of many small frames", "giflib", 1.0};
  std::string anim = dir + "/banner.gif";
  WriteAnimation(anim, 33, 40, 30);
  ours = BestSecondsPerCall([&] { OurGIFFirstFrameAndCount(anim); });
  peer = BestSecondsPerCall([&] { GiflibFirstFrameAndCount(anim); });
  Report("GIF 33 frames 40x30, first + count", 40.0 * 30, ours, peer, "giflib");
  gifMany.Add(peer / ours);

  // PNG and JPEG files written by ImageMagick from the photograph and from the page.
  Group png{"PNG reader (libpng inside)", "libpng", 0.95};
  Group jpeg{"JPEG reader, progressive (libjpeg inside)", "libjpeg", 0.95};
  WritePPM(dir + "/photo.ppm", pw, ph, photo);
  const std::string convert = "convert " + dir + "/photo.ppm ";
  struct File { const char* name; std::string path; std::string make; Group* group; };
  std::vector<File> files = {
      {"PNG RGB 2048x1536", dir + "/photo.png", convert + dir + "/photo.png", &png},
      {"PNG RGBA 2048x1536", dir + "/photo_alpha.png", convert + "-alpha set -channel A -evaluate set 60% +channel " + dir + "/photo_alpha.png", &png},
      {"PNG palette 2048x1536", dir + "/photo_pal.png", convert + "-colors 200 PNG8:" + dir + "/photo_pal.png", &png},
      {"JPEG progressive 2048x1536", dir + "/photo_prog.jpg", convert + "-quality 90 -interlace plane " + dir + "/photo_prog.jpg", &jpeg},
  };
  for (const File& f : files) {
    if (std::system((f.make + " 2>/dev/null").c_str()) != 0) {
      std::printf("%s: ImageMagick fehlt\n", f.name);
      continue;
    }
    const bool isPNG = f.group == &png;
    ours = BestSecondsPerCall([&] { isPNG ? OurPNGRead(f.path) : OurJPEGRead(f.path); });
    peer = BestSecondsPerCall([&] { isPNG ? LibpngRead(f.path) : LibjpegRead(f.path); });
    Report(f.name, double(pw) * ph, ours, peer, isPNG ? "libpng" : "libjpeg");
    f.group->Add(peer / ours);
  }
  for (const Group* g : {&gifFirst, &gifMany, &plain, &lzw, &fax, &png, &jpeg}) g->Print();
  std::string rm = "rm -rf " + dir;
  return std::system(rm.c_str()) == 0 ? 0 : 1;
}
