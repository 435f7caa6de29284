#include "picturesize.h"

#include <memory>
#include <vector>

#include "bitmap.h"
#include "gif_reader.h"
#include "jpeg_reader.h"
#include "pcx_reader.h"
#include "png_reader.h"
#include "streams.h"
#include "tiff_reader.h"

namespace {

// Pictures larger than this in either direction are not taken as pictures of a page.
constexpr uint32_t kMaxSide = 65535;

uint32_t Le16(const uint8_t* p) { return uint32_t(p[1]) << 8 | p[0]; }
uint32_t Le32(const uint8_t* p) { return Le16(p + 2) << 16 | Le16(p); }

[[noreturn]] void Unreadable(const String& Kind, const String& File) {
  const String msg = "Die Datei " + ExtractFileName(File) + " ist keine lesbare " + Kind + "-Grafik.";
  throw EInvalidGraphic(msg);
}

std::vector<uint8_t> ReadHead(const String& File, size_t Max) {
  TFileStream f(File, fmOpenRead | fmShareDenyWrite);
  std::vector<uint8_t> data(Max);
  data.resize(size_t(f.Read(data.data(), int64_t(Max))));
  return data;
}

TPictureSize Checked(uint32_t W, uint32_t H, const String& Kind, const String& File) {
  if (W == 0 || H == 0 || W > kMaxSide || H > kMaxSide) Unreadable(Kind, File);
  return {int(W), int(H)};
}

// "BM", the file header (14 bytes), then an info header of 40 or more bytes (32-bit width and
// height, a negative height for top-down rows) or the old 12-byte core header (16-bit sizes).
TPictureSize BmpSize(const String& File) {
  const std::vector<uint8_t> d = ReadHead(File, 26);
  if (d.size() < 26 || d[0] != 'B' || d[1] != 'M') Unreadable("BMP", File);
  const uint32_t header = Le32(&d[14]);
  if (header == 12) return Checked(Le16(&d[18]), Le16(&d[20]), "BMP", File);
  if (header < 40) Unreadable("BMP", File);
  const int32_t h = int32_t(Le32(&d[22]));
  return Checked(Le32(&d[18]), uint32_t(h < 0 ? -int64_t(h) : h), "BMP", File);
}

TPictureSize OfBitmap(TBitmap* B) {
  std::unique_ptr<TBitmap> b(B);
  return {b->Width(), b->Height()};
}

}  // namespace

TPictureSize ReadPictureSize(const String& FileName) {
  const String ext = LowerCase(ExtractFileExt(FileName));
  if (ext == ".png") {
    std::unique_ptr<TBitmap> b(new TBitmap());
    LoadPNGFile(FileName, *b);
    return {b->Width(), b->Height()};
  }
  if (ext == ".bmp") return BmpSize(FileName);
  if (ext == ".jpg" || ext == ".jpeg") {
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    int x = 0, y = 0;
    return OfBitmap(ReadJPEGStream(f, x, y));
  }
  if (ext == ".gif") {
    TGIFScreenInfo screen;
    TGIFFrameInfo frame;
    int frames = 0;
    return OfBitmap(ReadGIFFile(FileName, 0, screen, frame, frames));
  }
  if (ext == ".pcx") {
    int h = 0, v = 0;
    return OfBitmap(ReadPCXFile(FileName, h, v));
  }
  if (ext == ".tif" || ext == ".tiff") {
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    int count = 0, x = 0, y = 0;
    return OfBitmap(ReadTIFF(f, 0, count, x, y));
  }
  throw EInvalidGraphic("Unbekanntes Bildformat: " + ExtractFileName(FileName));
}
