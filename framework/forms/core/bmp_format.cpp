// The BMP file format of TBitmap: reading the variants that users meet and writing the plain one.
//
// Layout: an optional 14-byte file header ("BM", file size, two reserved words, offset of the
// pixels), an info header whose first 32-bit word is its own size, the colour table, the pixels.
// Info header sizes: 12 (OS/2 1.x and Windows core header: 16-bit width and height, 3-byte table
// entries), 40 (Windows; 52 and 56 with the colour masks inside, 108 and 124 with colour space
// data after them), 16 to 64 (OS/2 2.x: the Windows fields, then its own). Rows run bottom-up,
// or top-down with a negative height, each padded to 4 bytes.
#include <algorithm>
#include <cstring>

#include "bitmap.h"

namespace {

[[noreturn]] void Bad() { throw EInvalidGraphic("Ung\xFCltiges Bitmap"); }

enum : uint32_t { kRGB = 0, kRLE8 = 1, kRLE4 = 2, kBitFields = 3 };

uint32_t U16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t U32(const uint8_t* p) { return U16(p) | U16(p + 2) << 16; }
void Put16(uint8_t* p, uint32_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
void Put32(uint8_t* p, uint32_t v) { Put16(p, v); Put16(p + 2, v >> 16); }

// One colour channel of a 16- or 32-bit pixel, given by its mask: shifted down and scaled to
// 0..255 (v * 255 / max, truncated), as netpbm reads such pixels.
struct Channel {
  uint32_t mask = 0;
  int shift = 0, bits = 0;
  explicit Channel(uint32_t m) : mask(m) {
    if (!m) return;
    while (!((m >> shift) & 1)) ++shift;
    while (bits < 32 - shift && ((m >> (shift + bits)) & 1)) ++bits;
  }
  uint8_t Of(uint32_t px) const {
    if (!bits) return 0;
    uint32_t v = (px & mask) >> shift;
    if (bits >= 8) return uint8_t(v >> (bits - 8));
    return uint8_t(v * 255 / ((1u << bits) - 1));
  }
};

// What the headers say.
struct Header {
  int width = 0, height = 0;  // height > 0
  bool topDown = false;
  uint32_t bits = 0, compression = kRGB;
  uint32_t masks[3] = {0, 0, 0};  // red, green, blue
  size_t headerEnd = 0;           // offset after the info header and any masks that follow it
  size_t tableEntries = 0, entrySize = 4;
};

// PixelOffset: where the file header says the pixels start, counted from the info header (0 when
// there is no file header).
Header ReadHeader(const uint8_t* d, size_t size, size_t pixelOffset) {
  Header h;
  if (size < 4) Bad();
  const uint32_t hs = U32(d);
  if (hs == 12) {
    if (size < 12) Bad();
    h.width = int(U16(d + 4));
    h.height = int(U16(d + 6));
    h.bits = U16(d + 10);
    h.entrySize = 3;
    h.headerEnd = 12;
  } else if (hs >= 16 && hs <= 124 && size >= hs) {
    const int32_t w = int32_t(U32(d + 4)), ht = int32_t(U32(d + 8));
    if (w <= 0 || ht == 0 || ht == INT32_MIN) Bad();
    h.width = w;
    h.height = ht < 0 ? -ht : ht;
    h.topDown = ht < 0;
    h.bits = U16(d + 14);
    const bool os2 = hs != 40 && hs != 52 && hs != 56 && hs != 108 && hs != 124;
    h.compression = hs >= 20 ? U32(d + 16) : kRGB;
    if (os2 && h.compression > kRLE4) Bad();  // OS/2's Huffman and RLE24 codes
    const uint32_t used = hs >= 36 ? U32(d + 32) : 0;
    h.headerEnd = hs;
    if (h.compression == kBitFields) {
      if (hs >= 52) {
        for (int i = 0; i < 3; ++i) h.masks[i] = U32(d + 40 + 4 * i);
      } else if (pixelOffset != 0 && pixelOffset < hs + 12) {
        // Some writers mark the standard layout as bit fields without giving the masks.
        h.compression = kRGB;
      } else {
        if (size < hs + 12) Bad();
        for (int i = 0; i < 3; ++i) h.masks[i] = U32(d + hs + 4 * i);
        h.headerEnd = hs + 12;
      }
    }
    // 16 to 32 bits per pixel may carry an optional table for palette displays: skipped.
    const size_t full = h.bits <= 8 ? size_t(1) << h.bits : 0;
    h.tableEntries = h.bits > 8 ? std::min<size_t>(used, 1u << 16) : used == 0 || used > full ? full : used;
  } else {
    Bad();
  }
  if (hs == 12 && h.bits <= 8) h.tableEntries = size_t(1) << h.bits;
  bool known = false;
  switch (h.compression) {
    case kRGB: known = h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 16 || h.bits == 24 || h.bits == 32; break;
    case kRLE8: known = h.bits == 8; break;
    case kRLE4: known = h.bits == 4; break;
    case kBitFields: known = h.bits == 16 || h.bits == 32; break;
    default: break;
  }
  if (!known || h.width <= 0 || h.height <= 0) Bad();
  if ((h.compression == kRLE8 || h.compression == kRLE4) && h.topDown) Bad();
  if (h.compression == kRGB && h.bits == 16) h.masks[0] = 0x7C00, h.masks[1] = 0x03E0, h.masks[2] = 0x001F;
  if (h.compression == kRGB && h.bits == 32) h.masks[0] = 0xFF0000, h.masks[1] = 0xFF00, h.masks[2] = 0xFF;
  return h;
}

// Pictures of up to this many pixels (3 MB at 24 bits) are read whatever their data holds, so that a
// small picture cut off in transfer shows the rows that arrived. Larger ones must hold enough data
// to fill their picture (BMPDataCanFill) before a pixel is allocated.
constexpr int64_t kFillTestPixels = int64_t(1) << 20;

// BI_RLE8 and BI_RLE4: a run code of two bytes gives at most 255 pixels. (The skip and
// end-of-picture codes leave pixels at index 0; the writers users meet code every pixel.)
constexpr int64_t kRLEPixelsPerTwoBytes = 255;

bool CanFill(int64_t width, int64_t height, int64_t bits, bool rle, int64_t dataBytes) {
  if (width * height <= kFillTestPixels) return true;
  if (dataBytes <= 0) return false;
  if (rle) return dataBytes / 2 * kRLEPixelsPerTwoBytes >= width * height;
  // A quarter of the rows, as the TIFF reader's uncompressed strips. Sides are below 2^31 and bits
  // at most 32, so a row takes below 2^34 bytes; rows are counted by division, which cannot overflow.
  return dataBytes * 4 / ((width * bits + 31) / 32 * 4) >= height;
}

// Run-length coded rows (RLE8: one index a pixel; RLE4: two indices a byte, the high one first).
// Pixels that the codes skip keep index 0. Rows run bottom-up; the data may end early.
void DecodeRLE(const uint8_t* p, size_t n, bool four, TBitmap& b) {
  const int w = b.Width(), h = b.Height();
  int x = 0, y = 0;  // y counted from the bottom
  auto put = [&](unsigned index) {
    if (x < w && y < h) {
      uint8_t* row = b.ScanLine(h - 1 - y);
      if (four) {
        uint8_t& c = row[x >> 1];
        c = (x & 1) ? uint8_t((c & 0xF0) | (index & 15)) : uint8_t((c & 0x0F) | (index & 15) << 4);
      } else {
        row[x] = uint8_t(index);
      }
    }
    ++x;
  };
  size_t i = 0;
  while (i + 2 <= n && y < h) {
    const unsigned count = p[i], value = p[i + 1];
    i += 2;
    if (count > 0) {
      for (unsigned k = 0; k < count && x < w; ++k) put(four ? (k & 1 ? value & 15 : value >> 4) : value);
      continue;
    }
    if (value == 0) {  // end of the row
      x = 0;
      ++y;
    } else if (value == 1) {  // end of the picture
      break;
    } else if (value == 2) {  // move right and up
      if (i + 2 > n) break;
      x += p[i];
      y += p[i + 1];
      i += 2;
    } else {  // value pixels as they stand, padded to a 16-bit boundary
      const size_t bytes = four ? (value + 1) / 2 : value;
      if (i + bytes > n) break;
      for (unsigned k = 0; k < value; ++k) put(four ? (k & 1 ? p[i + k / 2] & 15 : p[i + k / 2] >> 4) : p[i + k]);
      i += (bytes + 1) & ~size_t(1);
    }
  }
}

// Uncompressed rows; a row that the data does not hold completely keeps what it holds.
void CopyRows(const Header& h, const uint8_t* p, size_t n, TBitmap& b) {
  const size_t stride = size_t(TBitmap::RowBytesFor(h.width, int(h.bits)));
  const Channel r(h.masks[0]), g(h.masks[1]), bl(h.masks[2]);
  for (int fy = 0; fy < h.height; ++fy) {
    const size_t start = size_t(fy) * stride;
    if (start >= n) break;
    const size_t avail = std::min(stride, n - start);
    uint8_t* out = b.ScanLine(h.topDown ? fy : h.height - 1 - fy);
    const uint8_t* in = p + start;
    if (h.bits <= 8 || h.bits == 24) {
      std::memcpy(out, in, std::min(avail, size_t(b.RowBytes())));
      continue;
    }
    const size_t step = h.bits / 8;
    for (int x = 0; x < h.width && size_t(x + 1) * step <= avail; ++x) {
      const uint32_t px = step == 2 ? U16(in + 2 * x) : U32(in + 4 * x);
      out[3 * x] = bl.Of(px);
      out[3 * x + 1] = g.Of(px);
      out[3 * x + 2] = r.Of(px);
    }
  }
}

TPixelFormat FormatOf(uint32_t bits) {
  switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    default: return pf24bit;
  }
}

// The pixel block's place and whether its uncompressed rows are all in the data: then they are
// copied whole, padding and all, and the new pixels need not be cleared first. Offset is where the
// pixels start (0: after the colour table), corrected here as the file demands.
bool RowsWhole(const Header& h, size_t size, size_t& offset) {
  const size_t tableEnd = h.headerEnd + h.tableEntries * h.entrySize;
  if (offset == 0 || offset < h.headerEnd || offset > size) offset = std::min(tableEnd, size);
  const bool rle = h.compression == kRLE8 || h.compression == kRLE4;
  const uint64_t rowBytes = (uint64_t(h.width) * h.bits + 31) / 32 * 4;
  return !rle && (h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 24) &&
         uint64_t(size - offset) >= rowBytes * uint64_t(h.height);
}

// A new bitmap of the header's size and format with the colour table of the DIB at d (size bytes).
void StartBitmap(const Header& h, const uint8_t* d, size_t size, bool rowsWhole, TBitmap& b) {
  b.SetPixelFormat(FormatOf(h.bits));
  if (rowsWhole)
    b.SetSizeUncleared(h.width, h.height);  // EInvalidGraphic for a size beyond MaxPixelBytes
  else
    b.SetSize(h.width, h.height);
  if (h.bits <= 8) {
    std::vector<TRGBQuad> pal(size_t(1) << h.bits);
    for (size_t i = 0; i < h.tableEntries; ++i) {
      const size_t at = h.headerEnd + i * h.entrySize;
      if (at + h.entrySize > size) break;
      pal[i].rgbBlue = d[at];
      pal[i].rgbGreen = d[at + 1];
      pal[i].rgbRed = d[at + 2];
    }
    b.SetPalette(pal);
  }
}

// The picture of a DIB in memory; Offset is where its pixels start (0: after the colour table).
void ReadDIB(const uint8_t* d, size_t size, size_t offset, TBitmap& Out) {
  const Header h = ReadHeader(d, size, offset);
  // A header that declares a picture its data cannot fill is refused before the picture exists.
  if (!CanFill(h.width, h.height, h.bits, h.compression == kRLE8 || h.compression == kRLE4,
               int64_t(size) - int64_t(h.headerEnd)))
    Bad();
  TBitmap b;
  StartBitmap(h, d, size, RowsWhole(h, size, offset), b);
  if (h.compression == kRLE8 || h.compression == kRLE4)
    DecodeRLE(d + offset, size - offset, h.compression == kRLE4, b);
  else
    CopyRows(h, d + offset, size - offset, b);
  Out.MoveFrom(b);
}

// Where a stream holds its pixels whole and uncompressed, they are read from the stream straight
// into the bitmap's rows (bottom-up files in one read), without a copy of the file in between.
// Head: the first bytes of the DIB (headers and colour table, all of them where the DIB is
// shorter), Size: the bytes the DIB has in the stream, Base: the DIB's position in the stream.
bool ReadRowsFromStream(const uint8_t* head, size_t headSize, size_t size, size_t offset, TStream& Stream,
                        int64_t base, TBitmap& Out) {
  const Header h = ReadHeader(head, headSize, offset);
  if (!RowsWhole(h, size, offset)) return false;
  TBitmap b;
  StartBitmap(h, head, headSize, true, b);
  const size_t stride = size_t(b.RowBytes());
  Stream.SetPosition(base + int64_t(offset));
  // A stream that gives less than it said it holds is read the other way, as far as it goes.
  if (!h.topDown) {
    const int64_t bytes = int64_t(stride * size_t(h.height));
    if (Stream.Read(b.Bits(), bytes) != bytes) return false;
  } else {
    for (int y = 0; y < h.height; ++y)
      if (Stream.Read(b.ScanLine(y), int64_t(stride)) != int64_t(stride)) return false;
  }
  Out.MoveFrom(b);
  return true;
}

}  // namespace

TBMPHeader ReadBMPHeader(TStream& Stream) {
  const int64_t start = Stream.Position();
  const int64_t size = std::max<int64_t>(0, Stream.Size() - start);
  // The headers and a colour table take at most 14 + 124 + 12 + 256 * 4 bytes.
  uint8_t head[2048];
  const size_t n = size_t(Stream.Read(head, std::min<int64_t>(size, int64_t(sizeof head))));
  Stream.SetPosition(start);
  const bool file = n >= 2 && head[0] == 'B' && head[1] == 'M';
  if (file && n < 14 + 12) Bad();
  const size_t skip = file ? 14 : 0, off = file ? U32(head + 10) : 0;
  const Header h = ReadHeader(head + skip, n - skip, off >= 14 ? off - 14 : 0);
  TBMPHeader r;
  r.Width = h.width;
  r.Height = h.height;
  r.Bits = int(h.bits);
  r.RunLength = h.compression == kRLE8 || h.compression == kRLE4;
  r.DataBytes = size - int64_t(skip) - int64_t(h.headerEnd);
  return r;
}

bool BMPDataCanFill(const TBMPHeader& Header) {
  return CanFill(Header.Width, Header.Height, Header.Bits, Header.RunLength, Header.DataBytes);
}

void TBitmap::LoadFromDIB(const uint8_t* Data, size_t Size) { ReadDIB(Data, Size, 0, *this); }

void TBitmap::LoadFromStream(TStream& Stream) {
  // The rest of the stream, but never more than the largest picture with its headers could need.
  const int64_t start = Stream.Position();
  const size_t rest = size_t(std::min<int64_t>(std::max<int64_t>(0, Stream.Size() - start), MaxPixelBytes + 65536));
  // The headers and a colour table take at most 14 + 124 + 12 + 256 * 4 bytes.
  std::vector<uint8_t> head(std::min<size_t>(rest, 2048));
  if (!head.empty()) head.resize(size_t(Stream.Read(head.data(), int64_t(head.size()))));
  const bool file = head.size() >= 2 && head[0] == 'B' && head[1] == 'M';
  if (file && head.size() < 14 + 12) Bad();
  const size_t skip = file ? 14 : 0, off = file ? U32(&head[10]) : 0;
  const size_t offset = off >= 14 ? off - 14 : 0;
  if (head.size() == std::min<size_t>(rest, 2048) && head.size() > skip &&
      ReadRowsFromStream(head.data() + skip, head.size() - skip, rest - skip, offset, Stream, start + int64_t(skip),
                         *this)) {
    Stream.SetPosition(start + int64_t(rest));  // where reading the whole picture ends
    return;
  }
  Stream.SetPosition(start);
  std::vector<uint8_t> d = ReadRest(Stream, MaxPixelBytes + 65536);
  if (d.size() >= 2 && d[0] == 'B' && d[1] == 'M') {
    if (d.size() < 14 + 12) Bad();
    ReadDIB(d.data() + 14, d.size() - 14, offset, *this);
  } else {
    ReadDIB(d.data(), d.size(), 0, *this);
  }
}

void TBitmap::SaveToStream(TStream& Stream) {
  const int bits = BitsPerPixel();
  const size_t table = bits <= 8 ? (size_t(1) << bits) * 4 : 0;
  const size_t offset = 14 + 40 + table;
  std::vector<uint8_t> head(offset, 0);
  head[0] = 'B';
  head[1] = 'M';
  Put32(&head[2], uint32_t(offset + ImageSize()));
  Put32(&head[10], uint32_t(offset));
  uint8_t* info = &head[14];
  Put32(info, 40);
  Put32(info + 4, uint32_t(FWidth));
  Put32(info + 8, uint32_t(FHeight));
  Put16(info + 12, 1);
  Put16(info + 14, uint32_t(bits));
  Put32(info + 20, uint32_t(ImageSize()));
  for (size_t i = 0; i < table / 4; ++i) {
    const TRGBQuad q = i < FPalette.size() ? FPalette[i] : TRGBQuad();
    uint8_t* e = &head[54 + 4 * i];
    e[0] = q.rgbBlue;
    e[1] = q.rgbGreen;
    e[2] = q.rgbRed;
  }
  Stream.WriteBuffer(head.data(), int64_t(head.size()));
  if (FBits) Stream.WriteBuffer(FBits, int64_t(ImageSize()));
}
