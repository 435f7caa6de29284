// Decoding speed of Quillet's TIFF reader next to libtiff and of its GIF reader next to giflib, on
// the same files in one run, in megapixels per second, with the ratio ours / peer.
//
// The pictures are written at build time by the peers' own libraries and ImageMagick
// (make_imaging_pictures.cpp, imaging_pictures.h). Both sides do the whole job: open the file,
// decode every row and store it as a 24-bit (or 1-bit) picture in blue-green-red order.

#include "bench_pixhost.h"
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
#include "pixio.h"
#include "png_reader.h"
#include "tiff_reader.h"
#include "imaging_pictures.h"

namespace {


// libtiff's side: decode every scan line and store it bottom-up in blue-green-red order (or as 1-bit
// rows with white as 1 bits), as the reader's bitmap holds it.
std::vector<uint8_t> LibtiffRead(const std::string& path) {
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
  return out;
}

std::unique_ptr<TBitmap> OurTIFFRead(const std::string& path) {
  TFileStream s(path, fmOpenRead);
  int count, x, y;
  return std::unique_ptr<TBitmap>(ReadTIFF(s, 0, count, x, y));
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

void FullViewLoad(const std::string& path) {
  bench::TPixHostWithoutWindow view;
  TPixIO io(nullptr);
  io.SetAttachedPixBox(&view);
  io.LoadFromFile(path);
}

// The lowest ratio of a group of files: a row of the table.
struct Group {
  const char* job;
  const char* peer;
  double aim;
  double lowest = 1e9;
  void Add(double ratio) { lowest = std::min(lowest, ratio); }
  // A row whose pictures are all missing reads 0: short of its aim.
  void Print() const { bench::Row(job, peer, lowest == 1e9 ? 0.0 : lowest, aim); }
};

// True when the build step wrote the picture (it may not be there after a failed step).
bool Present(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    std::printf("%s: Bild fehlt (Build-Schritt imaging_pictures)\n", path.c_str());
    return false;
  }
  std::fclose(f);
  return true;
}

}  // namespace

// With an argument only the pictures whose name contains it are measured (for profiling one reader).
int main(int argc, char** argv) {
  using namespace bench_pictures;
  const std::string only = argc > 1 ? argv[1] : "";
  auto wanted = [&](const char* name) { return std::string(name).find(only) != std::string::npos; };
  TIFFSetWarningHandler(nullptr);
  const std::string dir = BENCH_PICTURES;
  Group plain{"TIFF uncompressed and PackBits RGB", "libtiff", 1.0};
  Group lzw{"TIFF LZW (predictor, grey, palette)", "libtiff", 1.0};
  Group fax{"TIFF bilevel, G3 1-D / 2-D, G4", "libtiff", 1.0};
  Group rows{"TIFF one row per strip (none, PackBits, LZW)", "libtiff", 1.0};
  Group* groups[] = {&plain, &lzw, &fax, &rows};
  std::printf("ratio = peer time / our time (above 1: ours is faster)\n");
  for (const TiffFile& c : kTiffFiles) {
    const std::string file = dir + "/" + c.file;
    if (!wanted(c.name) || !Present(file)) continue;
    const bool bilevel = c.kind == kBilevel;
    double px = bilevel ? double(kPageWidth) * kPageHeight : double(kPhotoWidth) * kPhotoHeight;
    // Both sides must give the same pixels: a fast path that decodes wrongly is no result.
    const std::vector<uint8_t> theirs = LibtiffRead(file);
    const std::unique_ptr<TBitmap> mine = OurTIFFRead(file);
    if (!mine || mine->ImageSize() != theirs.size() || std::memcmp(mine->Bits(), theirs.data(), theirs.size()) != 0)
      std::printf("FEHLER: %s: andere Pixel als libtiff\n", c.name);
    double ours, peer;
    bench::BestSecondsPerCallInTurns([&] { OurTIFFRead(file); }, [&] { LibtiffRead(file); }, ours, peer);
    Report(c.name, px, ours, peer, "libtiff");
    groups[c.group]->Add(peer / ours);
  }
  Group gifFirst{"GIF reader, first frame", "giflib", 1.0};
  std::string gif = dir + "/plasma.gif";
  if (wanted("GIF 1600x1200 256 colours") && Present(gif)) {
    double ours, peer;
    bench::BestSecondsPerCallInTurns([&] { OurGIFRead(gif); }, [&] { GiflibRead(gif); }, ours, peer);
    Report("GIF 1600x1200 256 colours", double(kGifWidth) * kGifHeight, ours, peer, "giflib");
    gifFirst.Add(peer / ours);
  }

  Group gifMany{"GIF reader, file of many small frames", "giflib", 1.0};
  std::string anim = dir + "/banner.gif";
  if (wanted("GIF 33 frames 40x30, first + count") && Present(anim)) {
    double ours, peer;
    bench::BestSecondsPerCallInTurns([&] { OurGIFFirstFrameAndCount(anim); }, [&] { GiflibFirstFrameAndCount(anim); },
                                     ours, peer);
    Report("GIF 33 frames 40x30, first + count", double(kBannerWidth) * kBannerHeight, ours, peer, "giflib");
    gifMany.Add(peer / ours);
  }

  // PNG and JPEG files written by ImageMagick from the photograph.
  Group png{"PNG reader (libpng inside)", "libpng", 0.95};
  Group jpeg{"JPEG reader, progressive (libjpeg inside)", "libjpeg", 0.95};
  struct File { const char* name; const char* file; Group* group; };
  const File files[] = {
      {"PNG RGB 2048x1536", "photo.png", &png},
      {"PNG RGBA 2048x1536", "photo_alpha.png", &png},
      {"PNG palette 2048x1536", "photo_pal.png", &png},
      {"JPEG progressive 2048x1536", "photo_prog.jpg", &jpeg},
  };
  for (const File& f : files) {
    const std::string path = dir + "/" + f.file;
    if (!wanted(f.name) || !Present(path)) continue;
    const bool isPNG = f.group == &png;
    double ours, peer;
    bench::BestSecondsPerCallInTurns([&] { isPNG ? OurPNGRead(path) : OurJPEGRead(path); },
                                     [&] { isPNG ? LibpngRead(path) : LibjpegRead(path); }, ours, peer);
    Report(f.name, double(kPhotoWidth) * kPhotoHeight, ours, peer, isPNG ? "libpng" : "libjpeg");
    f.group->Add(peer / ours);
  }
  // A progressive photo of 24 megapixels in the image browser's full view (the coefficients of
  // the whole picture beside its bitmap) against libjpeg's own decode of it.
  Group fullView{"JPEG progressive 24 MP, full view", "libjpeg", 0.9};
  const std::string photo24 = dir + "/photo24_prog.jpg";
  if (wanted("JPEG progressive 6000x4000, full view") && Present(photo24)) {
    double ours, peer;
    bench::BestSecondsPerCallInTurns([&] { FullViewLoad(photo24); }, [&] { LibjpegRead(photo24); }, ours, peer);
    Report("JPEG progressive 6000x4000, full view", 6000.0 * 4000, ours, peer, "libjpeg");
    fullView.Add(peer / ours);
  }
  for (const Group* g : {&gifFirst, &gifMany, &plain, &lzw, &fax, &rows, &png, &jpeg, &fullView})
    if (only.empty() || g->lowest != 1e9) g->Print();
  return 0;
}
