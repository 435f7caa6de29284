#include "picturesize.h"

#include <cstring>
#include <memory>
#include <vector>

#include "bitmap.h"
#include "gif_filter.h"
#include "pcx_filter.h"
#include "streams.h"
#include "tiff_filter.h"

namespace {

// Pictures larger than this in either direction are not taken as pictures of a page.
constexpr uint32_t kMaxSide = 65535;

uint32_t Be16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }
uint32_t Be32(const uint8_t* p) { return Be16(p) << 16 | Be16(p + 2); }
uint32_t Le16(const uint8_t* p) { return uint32_t(p[1]) << 8 | p[0]; }
uint32_t Le32(const uint8_t* p) { return Le16(p + 2) << 16 | Le16(p); }

[[noreturn]] void Unreadable(const String& Kind, const String& File) {
  const String msg = "Die Datei " + ExtractFileName(File) + " ist keine lesbare " + Kind + "-Grafik.";
  if (Kind == "PNG") throw Exception(msg);
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

// "\x89PNG\r\n\x1a\n", then the IHDR chunk: length 13, type, width, height (big-endian).
TPictureSize PngSize(const String& File) {
  const std::vector<uint8_t> d = ReadHead(File, 24);
  static const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (d.size() < 24 || std::memcmp(d.data(), sig, 8) != 0 || Be32(&d[8]) != 13 ||
      std::memcmp(&d[12], "IHDR", 4) != 0)
    Unreadable("PNG", File);
  return Checked(Be32(&d[16]), Be32(&d[20]), "PNG", File);
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

// JPEG: markers from SOI on; the first start-of-frame marker (C0..CF except C4, C8, CC) holds
// precision, height and width.
TPictureSize JpegSize(const String& File) {
  TMemoryStream m;
  m.LoadFromFile(File);
  const uint8_t* p = reinterpret_cast<const uint8_t*>(m.Memory());
  const size_t n = size_t(m.Size());
  if (n < 4 || p[0] != 0xFF || p[1] != 0xD8) Unreadable("JPEG", File);
  size_t i = 2;
  while (i + 4 <= n) {
    if (p[i] != 0xFF) Unreadable("JPEG", File);
    const uint8_t marker = p[i + 1];
    if (marker == 0xFF) { ++i; continue; }  // fill byte
    if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) { i += 2; continue; }
    if (marker == 0xD9 || marker == 0xDA) break;  // end of picture or scan before any frame
    const size_t len = Be16(p + i + 2);
    if (len < 2 || i + 2 + len > n) break;
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      if (len < 7) break;
      return Checked(Be16(p + i + 7), Be16(p + i + 5), "JPEG", File);
    }
    i += 2 + len;
  }
  Unreadable("JPEG", File);
}

TPictureSize OfBitmap(TBitmap* B) {
  std::unique_ptr<TBitmap> b(B);
  return {b->Width(), b->Height()};
}

}  // namespace

TPictureSize ReadPictureSize(const String& FileName) {
  const String ext = LowerCase(ExtractFileExt(FileName));
  if (ext == ".png") return PngSize(FileName);
  if (ext == ".bmp") return BmpSize(FileName);
  if (ext == ".jpg" || ext == ".jpeg") return JpegSize(FileName);
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
