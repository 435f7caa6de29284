#include "tiff_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <set>
#include <vector>

#include "tiff_ccitt.h"
#include "picture_budget.h"
#include "tiff_lzw.h"

namespace {

[[noreturn]] void Invalid() { throw EInvalidGraphic("Invalid TIFF stream"); }

enum : uint16_t {
  tagImageWidth = 256, tagImageLength = 257, tagBitsPerSample = 258, tagCompression = 259,
  tagPhotometric = 262, tagFillOrder = 266, tagStripOffsets = 273, tagSamplesPerPixel = 277,
  tagRowsPerStrip = 278, tagStripByteCounts = 279, tagXResolution = 282, tagYResolution = 283,
  tagPlanarConfig = 284, tagT4Options = 292, tagResolutionUnit = 296, tagPredictor = 317,
  tagColorMap = 320, tagTileOffsets = 324, tagTileByteCounts = 325,
};

// Strip data read from a stream: a window of the file that serves every strip lying inside it, so
// that a file of many small strips is read in a few large reads, as one of few large strips is.
struct StripWindow {
  std::vector<uint8_t> bytes;
  uint64_t start = 0;
};

// The file as the reader sees it: the stream from its position, in the byte order of its header.
// Nothing is copied whole: directory values come through a small block cache, strip data through
// a strip window (or used where it lies, for a memory stream). Reads outside the file give 0.
class TiffData {
public:
  explicit TiffData(TStream& s) : FStream(s) {
    FStart = s.Position();
    FSize = uint64_t(std::max<int64_t>(0, s.Size() - FStart));
    if (auto* m = dynamic_cast<TMemoryStream*>(&s)) FMemory = reinterpret_cast<const uint8_t*>(m->Memory()) + FStart;
    uint8_t h[2] = {0, 0};
    if (FSize < 8 || !Read(0, h, 2) || !((h[0] == 'I' && h[1] == 'I') || (h[0] == 'M' && h[1] == 'M')))
      throw EInvalidGraphic("unrecognized TIFF");
    big = h[0] == 'M';
  }

  bool big = false;

  uint64_t Size() const { return FSize; }
  bool Has(uint64_t off, uint64_t n) const { return off <= FSize && n <= FSize - off; }
  uint32_t U8(uint64_t off) const {
    uint8_t b[1];
    return Read(off, b, 1) ? b[0] : 0;
  }
  uint32_t U16(uint64_t off) const {
    uint8_t p[2];
    if (!Read(off, p, 2)) return 0;
    return big ? uint32_t(p[0] << 8 | p[1]) : uint32_t(p[1] << 8 | p[0]);
  }
  uint32_t U32(uint64_t off) const {
    uint8_t p[4];
    if (!Read(off, p, 4)) return 0;
    return big ? uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]
               : uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
  }

  // Size bytes at off (the caller has cut them to the file), valid until the next call with the
  // same window; size is lowered when the stream gives fewer. A strip outside the window refills
  // it from the strip on, with at least kWindow bytes, so that the strips after it come with it.
  const uint8_t* Strip(uint64_t off, size_t& size, StripWindow& window) const {
    if (FMemory) return FMemory + off;
    if (off < window.start || off - window.start + size > window.bytes.size()) {
      const uint64_t want = std::min<uint64_t>(std::max<uint64_t>(size, kWindow), FSize - off);
      window.bytes.resize(size_t(want));
      FStream.SetPosition(int64_t(FStart + off));
      window.bytes.resize(size_t(FStream.Read(window.bytes.data(), int64_t(want))));
      window.start = off;
      size = std::min<size_t>(size, window.bytes.size());
    }
    return window.bytes.data() + (off - window.start);
  }

  // The n bytes at off (the caller keeps them inside the file) in one read.
  void Bytes(uint64_t off, size_t n, std::vector<uint8_t>& out) const {
    out.assign(n, 0);
    if (n == 0 || !Has(off, n)) return;
    if (FMemory) {
      std::memcpy(out.data(), FMemory + off, n);
      return;
    }
    FStream.SetPosition(int64_t(FStart + off));
    FStream.Read(out.data(), int64_t(n));
  }

private:
  // N (at most 8) bytes at off through the cache; false when they do not all lie in the file.
  bool Read(uint64_t off, uint8_t* out, size_t n) const {
    if (!Has(off, n)) return false;
    if (FMemory) {
      std::memcpy(out, FMemory + off, n);
      return true;
    }
    if (off < FBlockStart || off + n > FBlockStart + FBlock.size()) {
      FBlock.resize(size_t(std::min<uint64_t>(kBlock, FSize - off)));
      FStream.SetPosition(int64_t(FStart + off));
      FBlock.resize(size_t(FStream.Read(FBlock.data(), int64_t(FBlock.size()))));
      FBlockStart = off;
      if (FBlock.size() < n) return false;
    }
    std::memcpy(out, FBlock.data() + (off - FBlockStart), n);
    return true;
  }

  static constexpr uint64_t kBlock = 4096;
  static constexpr uint64_t kWindow = 256 * 1024;
  TStream& FStream;
  uint64_t FStart = 0, FSize = 0;
  const uint8_t* FMemory = nullptr;
  mutable std::vector<uint8_t> FBlock;
  mutable uint64_t FBlockStart = 0;
};

struct Entry {
  uint16_t tag = 0, type = 0;
  uint32_t count = 0;
  uint64_t field = 0;  // file offset of the 4-byte value field
};

class Directory {
public:
  Directory(const TiffData& d, std::vector<Entry> e) : FData(d), FEntries(std::move(e)) {}

  const Entry* Find(uint16_t tag) const {
    for (const Entry& e : FEntries)
      if (e.tag == tag) return &e;
    return nullptr;
  }
  static int TypeSize(uint16_t type) { return type == 3 ? 2 : type == 4 ? 4 : type == 1 ? 1 : 4; }

  uint32_t Value(uint16_t tag, uint32_t def) const {
    const Entry* e = Find(tag);
    return e ? Element(*e, 0) : def;
  }
  // Elements of an array: inside the value field when they fit in its 4 bytes, else at its offset.
  uint64_t Base(const Entry& e) const {
    return uint64_t(e.count) * uint64_t(TypeSize(e.type)) <= 4 ? e.field : FData.U32(e.field);
  }
  uint32_t Element(const Entry& e, uint64_t i) const {
    uint64_t off = Base(e) + i * uint64_t(TypeSize(e.type));
    switch (e.type) {
      case 1: return FData.U8(off);
      case 3: return FData.U16(off);
      default: return FData.U32(off);
    }
  }
  // The number of elements that lie inside the file.
  uint64_t Available(const Entry& e) const {
    uint64_t base = Base(e), size = uint64_t(TypeSize(e.type));
    if (base >= FData.Size()) return 0;
    return std::min<uint64_t>(e.count, (FData.Size() - base) / size);
  }
  uint64_t Count(uint16_t tag) const {
    const Entry* e = Find(tag);
    return e ? Available(*e) : 0;
  }
  // Every element of an array tag that lies in the file, read in one go.
  std::vector<uint32_t> Array(uint16_t tag) const {
    std::vector<uint32_t> v;
    const Entry* e = Find(tag);
    const uint64_t n = e ? Available(*e) : 0;
    if (n == 0) return v;
    const int size = TypeSize(e->type);
    if (n * uint64_t(size) <= 4) {
      for (uint64_t i = 0; i < n; ++i) v.push_back(Element(*e, i));
      return v;
    }
    std::vector<uint8_t> raw;
    FData.Bytes(Base(*e), size_t(n) * size_t(size), raw);
    v.resize(size_t(n));
    const uint8_t* p = raw.data();
    for (size_t i = 0; i < v.size(); ++i, p += size) {
      switch (e->type) {
        case 1: v[i] = p[0]; break;
        case 3: v[i] = FData.big ? uint32_t(p[0] << 8 | p[1]) : uint32_t(p[1] << 8 | p[0]); break;
        default:
          v[i] = FData.big ? uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]
                           : uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
      }
    }
    return v;
  }
  uint32_t Element(uint16_t tag, uint64_t i, uint32_t def) const {
    const Entry* e = Find(tag);
    return e && i < Available(*e) ? Element(*e, i) : def;
  }
  double Rational(uint16_t tag) const {
    const Entry* e = Find(tag);
    if (!e) return 0;
    uint64_t off = FData.U32(e->field);
    double num = FData.U32(off), den = FData.U32(off + 4);
    return num / (den == 0 ? 1 : den);
  }

private:
  const TiffData& FData;
  std::vector<Entry> FEntries;
};

int Truncate(double v) { return v >= 2147483647.0 ? 2147483647 : v <= 0 ? 0 : int(v); }

enum Kind { kNone, kRGB, kPalette, kGrey, kBilevel, kPlanarRGB };

// The rows of one strip (or one plane of a planar strip), decoded in order.
class StripRows {
public:
  // Data and Size are the strip's bytes, which must outlive the rows.
  StripRows(const uint8_t* data, size_t size, size_t rowLength, int compression, int width, int fillOrder, bool twoD,
            size_t rows)
      : FData(data), FSize(size), FRowLength(rowLength), FCompression(compression),
        FTwoD(twoD), FRow(rowLength + 8, 0) {
    if (compression == 5) FLZW.reset(new TTIFLZWDec(rowLength, data, size));
    if (compression >= 2 && compression <= 4) FFax.reset(new TCCITTDecoder(data, size, width, fillOrder));
    if (compression == 32773) UnpackBits(rows);
  }

  // The next row: FRowLength bytes (zeros where the data gave none).
  const uint8_t* Next() {
    uint8_t* row = FRow.data();
    switch (FCompression) {
      case 1:
      case 32773: {
        const uint8_t* src = FCompression == 1 ? FData : FUnpacked.get();
        size_t size = FCompression == 1 ? FSize : FUnpackedSize;
        if (FPos <= size && FRowLength <= size - FPos) {
          // A whole row in the data: read it where it lies.
          FPos += FRowLength;
          return src + FPos - FRowLength;
        }
        std::memset(row, 0, FRowLength);
        if (FPos < size) std::memcpy(row, src + FPos, std::min(FRowLength, size - FPos));
        FPos += FRowLength;
        return row;
      }
      case 2:
      case 3:
      case 4:
        if (!FFaxOk) return row;  // broken data: the rest of the strip stays as it is
        FFaxOk = FCompression == 2 ? FFax->DecodeModifiedHuffman(row)
                 : FCompression == 3 ? FFax->DecodeT4(row, FTwoD)
                                     : FFax->DecodeT6(row);
        return row;
      case 5:
        return FLZW->GetRow();
      default:
        std::memset(row, 0, FRowLength);
        return row;
    }
  }

private:
  // PackBits for the whole strip at once, so that a run may go on into the next row; never more
  // than the strip's rows.
  void UnpackBits(size_t rows) {
    // Two bytes give at most 128: the output never needs more than 64 times the data.
    size_t limit = std::min(FRowLength * rows, FSize * 64 + 128);
    // Every byte up to the end of the output is written before it is read: no need to clear it.
    FUnpacked.reset(new uint8_t[limit ? limit : 1]);
    uint8_t* out = FUnpacked.get();
    size_t p = 0, n = 0;
    while (p < FSize && n < limit) {
      int c = int8_t(FData[p++]);
      if (c >= 0) {
        size_t take = std::min({size_t(c) + 1, FSize - p, limit - n});
        std::memcpy(out + n, FData + p, take);
        n += take;
        p += size_t(c) + 1;
      } else if (c != -128) {
        if (p >= FSize) break;
        size_t count = std::min<size_t>(size_t(1 - c), limit - n);
        std::memset(out + n, FData[p++], count);
        n += count;
      }
    }
    FUnpackedSize = n;
  }

  const uint8_t* FData;
  size_t FSize, FRowLength;
  int FCompression;
  bool FTwoD;
  std::vector<uint8_t> FRow;
  std::unique_ptr<uint8_t[]> FUnpacked;
  size_t FUnpackedSize = 0;
  size_t FPos = 0;
  std::unique_ptr<TTIFLZWDec> FLZW;
  std::unique_ptr<TCCITTDecoder> FFax;
  bool FFaxOk = true;
};

// What one directory says about its picture, in the terms the decoding needs.
struct ImageLayout {
  uint32_t W = 0, H = 0, B = 1, C = 1, P = 2, N = 1, fillOrder = 1, rowsPerStrip = 0, predictor = 1;
  bool planar = false, twoD = false, bilevel = false, fax = false;
  Kind kind = kNone;
  uint64_t rowLength = 0;  // bytes of one decoded row (of one plane for planar data)
};

// Walks the directory chain, counting every directory, and keeps the entries of directory
// ImageIndex. A directory that lies outside the file or that the chain visits a second time ends
// the chain. Returns false when the file has fewer directories.
bool ReadDirectoryChain(const TiffData& d, int ImageIndex, int& ImageCount, std::vector<Entry>& wanted) {
  bool found = false;
  std::set<uint32_t> seen;
  for (uint32_t off = d.U32(4); off != 0 && seen.insert(off).second;) {
    uint32_t n = d.U16(off);
    if (!d.Has(off, 2 + uint64_t(n) * 12 + 4)) break;
    if (ImageCount == ImageIndex) {
      found = true;
      for (uint32_t i = 0; i < n; ++i) {
        uint64_t e = off + 2 + uint64_t(i) * 12;
        wanted.push_back(Entry{uint16_t(d.U16(e)), uint16_t(d.U16(e + 2)), d.U32(e + 4), e + 8});
      }
    }
    ++ImageCount;
    off = d.U32(off + 2 + uint64_t(n) * 12);
  }
  if (ImageCount == 0) Invalid();
  return found;
}

ImageLayout ReadLayout(const Directory& dir) {
  ImageLayout l;
  l.W = dir.Value(tagImageWidth, 0);
  l.H = dir.Value(tagImageLength, 0);
  l.B = dir.Value(tagBitsPerSample, 1);
  for (uint64_t i = 1, n = dir.Count(tagBitsPerSample); i < n; ++i)
    if (dir.Element(tagBitsPerSample, i, l.B) != l.B) Invalid();
  l.C = dir.Value(tagCompression, 1);
  l.P = dir.Value(tagPhotometric, 2);
  l.fillOrder = dir.Value(tagFillOrder, 1);
  l.N = dir.Value(tagSamplesPerPixel, 1);
  l.rowsPerStrip = dir.Value(tagRowsPerStrip, l.H);
  if (l.rowsPerStrip == 0 || l.rowsPerStrip > l.H) l.rowsPerStrip = l.H;
  l.planar = dir.Value(tagPlanarConfig, 1) == 2 && l.N > 1;
  l.twoD = (dir.Value(tagT4Options, 0) & 1) != 0;
  l.predictor = dir.Value(tagPredictor, 1);
  l.bilevel = l.B == 1 && l.N == 1;
  l.fax = l.C >= 2 && l.C <= 4;
  const uint32_t P = l.P, N = l.N, B = l.B;
  if (P == 2 && N == 3 && B == 8) l.kind = l.planar ? kPlanarRGB : kRGB;
  else if (P == 3 && N == 1 && (B == 8 || B == 4)) l.kind = kPalette;
  else if ((P == 0 || P == 1) && N == 1 && (B == 8 || B == 4)) l.kind = kGrey;
  else if ((P == 0 || P == 1) && l.bilevel) l.kind = kBilevel;
  l.rowLength = uint64_t(l.W) * B * (l.planar ? 1 : N) / 8;
  if ((B == 4 && (l.W & 1)) || (B == 1 && (l.W & 7))) ++l.rowLength;
  return l;
}

// Resolution in dots per inch: units 1 and 2 as they stand, unit 3 (centimetres) times 2.54.
void ReadResolution(const Directory& dir, int& XResolution, int& YResolution) {
  const uint32_t unit = dir.Value(tagResolutionUnit, 2);
  double xr = dir.Rational(tagXResolution), yr = dir.Rational(tagYResolution);
  if (unit == 1 || unit == 2) {
    XResolution = Truncate(xr);
    YResolution = Truncate(yr);
  } else if (unit == 3) {
    XResolution = Truncate(xr * 2.54);
    YResolution = Truncate(yr * 2.54);
  }
}

// Where the strips (or, without strips, the tiles) lie and how many of their bytes the file holds:
// each one's byte count (the rest of the file without one), cut at the end of the file and at the
// budget, which no strip can usefully exceed. The two arrays lie elsewhere in the file and are
// read once, in one read each; element by element they would refill the block cache by turns.
struct StripTable {
  bool tiled = false;
  std::vector<uint64_t> offset, bytes;
  StripTable(const TiffData& d, const Directory& dir) {
    tiled = dir.Count(tagStripOffsets) == 0;
    const std::vector<uint32_t> offsets = dir.Array(tiled ? tagTileOffsets : tagStripOffsets);
    const uint16_t countTag = tiled ? tagTileByteCounts : tagStripByteCounts;
    const bool haveCounts = dir.Find(countTag) != nullptr;
    const std::vector<uint32_t> counts = haveCounts ? dir.Array(countTag) : std::vector<uint32_t>();
    offset.assign(offsets.begin(), offsets.end());
    bytes.resize(offset.size());
    for (size_t i = 0; i < offset.size(); ++i) {
      const uint64_t off = offset[i];
      const uint64_t count = !haveCounts ? d.Size() : i < counts.size() ? counts[i] : 0;
      bytes[i] = off >= d.Size() ? 0 : std::min({count, d.Size() - off, uint64_t(kPictureBudgetBytes)});
    }
  }
  uint64_t Count() const { return offset.size(); }
};

// True when the strips hold enough data to fill the picture at their compression's largest
// expansion: a declared size the data cannot fill is refused before the bitmap is allocated.
// Every pixel needs at least one bit; a fax row needs at least one bit (a two-dimensional row
// that repeats the row above). Uncompressed data that holds a quarter of the picture is enough:
// a photo whose last rows are missing shows the rows that are there, and the bitmap stays within
// a few times the file's size. A tiled picture is measured by its tiles.
bool DataCanFill(const StripTable& t, const ImageLayout& l) {
  const uint64_t strips = t.Count();
  const uint64_t planes = l.planar ? 3 : 1;
  const uint64_t rowBytes = std::max<uint64_t>(l.rowLength, (uint64_t(l.W) + 7) / 8);
  uint64_t needed = l.fax ? uint64_t(l.H) : rowBytes * l.H * planes;  // rows for fax, else bytes
  if (l.C == 1) needed = (needed + 3) / 4;
  uint64_t most = 0;
  for (uint64_t i = 0; i < strips && most < needed; ++i) {
    const uint64_t n = t.bytes[size_t(i)];
    switch (l.C) {
      case 1: most += n; break;
      case 2: case 3: case 4: most += n * 8; break;
      case 5: most += uint64_t(LZWMaxOutput(int64_t(n), 9)); break;
      case 32773: most += n * kPackBitsMaxExpansion; break;
      case 34925: most += n * kLZMAMaxExpansion; break;   // LZMA, not decoded
      case 50000: most += n * kZstdMaxExpansion; break;   // Zstandard, not decoded
      default: most += n * kDeflateMaxExpansion; break;  // compressions the reader does not decode
    }
  }
  return l.W == 0 || l.H == 0 || most >= needed;
}

// Decodes the strips of one directory into the rows of its bitmap.
class StripDecoder {
public:
  StripDecoder(const TiffData& d, const Directory& dir, const StripTable& strips, const ImageLayout& l, TBitmap& bmp)
      : FData(d), FDir(dir), FStrips(strips), L(l), FBmp(bmp), FExpanded(size_t(l.rowLength) * 2 + 8) {
    if (L.kind == kPalette || L.kind == kGrey) ReadColours();
  }

  // Every row of the bitmap is written: rows beyond the strips' data black.
  void Run() {
    const uint32_t done = L.planar ? DecodePlanar() : DecodeChunky();
    for (uint32_t y = done; y < L.H; ++y) std::memset(FBmp.ScanLine(int(y)), 0, size_t(FBmp.RowBytes()));
  }

private:
  // The colours of palette and grey pixels as blue-green-red bytes: the colour map's upper 8 bits
  // of each 16-bit value, grey levels as they stand (inverted for white-is-zero pictures).
  void ReadColours() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint8_t bgr[4] = {0, 0, 0, 0};
      if (L.kind == kPalette) {
        const uint32_t n = 1u << L.B;
        if (i < n) {
          bgr[2] = uint8_t(FDir.Element(tagColorMap, i, 0) >> 8);
          bgr[1] = uint8_t(FDir.Element(tagColorMap, n + i, 0) >> 8);
          bgr[0] = uint8_t(FDir.Element(tagColorMap, 2 * n + i, 0) >> 8);
        }
      } else {
        bgr[0] = bgr[1] = bgr[2] = L.P == 0 ? uint8_t(255 - i) : uint8_t(i);
      }
      std::memcpy(&FColours[i], bgr, 4);
    }
  }

  // The rows of strip i; a strip outside the file has no data, one that runs past its end is cut.
  // Fax data stored least significant bit first is turned around by the fax decoder. Window holds
  // the strip's bytes when they are read from a stream; it serves the strips that follow.
  std::unique_ptr<StripRows> OpenStrip(uint64_t i, uint32_t rows, StripWindow& window) const {
    const uint64_t off = i < FStrips.Count() ? FStrips.offset[size_t(i)] : 0;
    size_t size = i < FStrips.Count() ? size_t(FStrips.bytes[size_t(i)]) : 0;
    const uint8_t* data = size ? FData.Strip(off, size, window) : nullptr;
    static const uint8_t kNone[1] = {0};
    return std::unique_ptr<StripRows>(new StripRows(data ? data : kNone, size_t(size), size_t(L.rowLength), int(L.C),
                                                    int(L.W), int(L.fillOrder), L.twoD, rows));
  }

  // The row after nibble expansion and prediction.
  const uint8_t* Prepare(const uint8_t* row) {
    if (L.B == 4 && !L.fax) {
      for (uint64_t i = 0; i < L.rowLength; ++i) {
        uint8_t hi = row[i] >> 4, lo = row[i] & 15;
        if (L.P == 0 || L.P == 1) { hi = uint8_t(hi * 16); lo = uint8_t(lo * 16); }
        FExpanded[2 * i] = hi;
        FExpanded[2 * i + 1] = lo;
      }
      return FExpanded.data();
    }
    if (L.predictor == 2 && L.B == 8) {
      std::memcpy(FExpanded.data(), row, size_t(L.rowLength));
      uint8_t* r = FExpanded.data();
      uint32_t step = L.planar ? 1 : L.N;
      if (step == 1 || step == 3)
        for (uint64_t i = step; i < uint64_t(L.W) * step && i < L.rowLength; ++i) r[i] = uint8_t(r[i] + r[i - step]);
      return r;
    }
    return row;
  }

  // One prepared row of chunky data into bitmap row out: every pixel byte of the row is written.
  void ConvertRow(const uint8_t* row, uint8_t* out) const {
    const uint32_t W = L.W;
    switch (L.kind) {
      case kRGB:
        SwapRedBlue(row, out, W);
        break;
      case kPalette:
      case kGrey:
        LookUpColours(row, out, W);
        break;
      case kBilevel: {
        // The bitmap shows 1 bits white. Fax decoding writes white runs as 1 bits; stored bits
        // mean white when they are 1 in a black-is-zero picture and 0 in a white-is-zero one.
        size_t bytes = (W + 7) / 8;
        bool invert = L.fax ? L.P == 1 : L.P == 0;
        if (invert)
          for (size_t i = 0; i < bytes; ++i) out[i] = uint8_t(~row[i]);
        else
          std::memcpy(out, row, bytes);
        if (W & 7) out[bytes - 1] &= uint8_t(0xFF00 >> (W & 7));
        break;
      }
      default:
        break;
    }
  }

  // Red-green-blue triples to blue-green-red. Each pixel is loaded as four bytes and stored
  // byte-swapped as four bytes, the fourth overwritten by the next pixel; the last pixel goes byte
  // by byte, as the row may end with it. (The bytes of a word are in little-endian order, as on
  // every processor the programs run on.)
  static void SwapRedBlue(const uint8_t* in, uint8_t* out, uint32_t W) {
    if (W == 0) return;
    for (uint32_t x = 0; x + 1 < W; ++x) {
      uint32_t v;
      std::memcpy(&v, in + 3 * x, 4);
      v = __builtin_bswap32(v) >> 8;
      std::memcpy(out + 3 * x, &v, 4);
    }
    const size_t last = 3 * size_t(W - 1);
    out[last] = in[last + 2];
    out[last + 1] = in[last + 1];
    out[last + 2] = in[last];
  }

  // Palette and grey rows through the colour table, four bytes stored per pixel as above.
  void LookUpColours(const uint8_t* in, uint8_t* out, uint32_t W) const {
    if (W == 0) return;
    for (uint32_t x = 0; x + 1 < W; ++x) std::memcpy(out + 3 * x, &FColours[in[x]], 4);
    std::memcpy(out + 3 * size_t(W - 1), &FColours[in[W - 1]], 3);
  }

  // Both return the number of rows written.
  uint32_t DecodeChunky() {
    const uint64_t strips = FStrips.Count();
    uint32_t y = 0;
    for (uint64_t s = 0; s < strips && y < L.H; ++s) {
      uint32_t rows = std::min(L.rowsPerStrip, L.H - y);
      std::unique_ptr<StripRows> in = OpenStrip(s, rows, FBuffers[0]);
      for (uint32_t r = 0; r < rows; ++r) ConvertRow(Prepare(in->Next()), FBmp.ScanLine(int(y + r)));
      y += rows;
    }
    return y;
  }

  // Planar RGB: strip group g takes its red, green and blue planes from strips g, groups + g and
  // 2 * groups + g. Each plane has a strip per RowsPerStrip rows of the picture, whatever part of
  // the offsets the file holds: a file cut inside them must not shift the green and blue planes.
  uint32_t DecodePlanar() {
    const uint64_t groups = (uint64_t(L.H) + L.rowsPerStrip - 1) / L.rowsPerStrip;
    uint32_t y = 0;
    for (uint64_t g = 0; g < groups && g < FStrips.Count() && y < L.H; ++g) {
      uint32_t rows = std::min(L.rowsPerStrip, L.H - y);
      std::unique_ptr<StripRows> plane[3];
      for (int p = 0; p < 3; ++p) plane[p] = OpenStrip(uint64_t(p) * groups + g, rows, FBuffers[p]);
      std::vector<uint8_t> rgb[3];
      for (uint32_t r = 0; r < rows; ++r) {
        for (int p = 0; p < 3; ++p) {
          const uint8_t* row = Prepare(plane[p]->Next());
          rgb[p].assign(row, row + L.W);
        }
        uint8_t* out = FBmp.ScanLine(int(y + r));
        for (uint32_t x = 0; x < L.W; ++x) {
          out[3 * x] = rgb[2][x];
          out[3 * x + 1] = rgb[1][x];
          out[3 * x + 2] = rgb[0][x];
        }
      }
      y += rows;
    }
    return y;
  }

  const TiffData& FData;
  const Directory& FDir;
  const StripTable& FStrips;
  const ImageLayout& L;
  TBitmap& FBmp;
  uint32_t FColours[256] = {};
  std::vector<uint8_t> FExpanded;
  StripWindow FBuffers[3];  // strip bytes read from a stream, one window per plane
};

TBitmap* ReadTIFFImpl(TStream& Stream, int ImageIndex, int& ImageCount, int& XResolution, int& YResolution,
                      int64_t MaxPixels, bool* Decoded) {
  if (Decoded) *Decoded = false;
  ImageCount = 0;
  XResolution = YResolution = 0;
  const TiffData d(Stream);
  std::vector<Entry> entries;
  if (!ReadDirectoryChain(d, ImageIndex, ImageCount, entries)) return nullptr;
  const Directory dir(d, std::move(entries));
  const ImageLayout l = ReadLayout(dir);
  ReadResolution(dir, XResolution, YResolution);

  const uint64_t pixels = uint64_t(l.W) * uint64_t(l.H);
  const StripTable strips(d, dir);
  if (l.W > 0x7FFFFFFF || l.H > 0x7FFFFFFF || !DataCanFill(strips, l)) Invalid();
  if (pixels > uint64_t(MaxPixels) || pixels > uint64_t(kMaxPicturePixels)) throw EPictureTooLarge(l.W, l.H);
  std::unique_ptr<TBitmap> bmp(new TBitmap);
  bmp->SetPixelFormat(l.bilevel ? pf1bit : pf24bit);
  // Layouts and compressions the reader does not know, fax codes on anything but bilevel rows and
  // tiled pictures keep black rows: the picture has its size, but not its pixels.
  const bool known = l.C == 1 || l.fax || l.C == 5 || l.C == 32773;
  if (l.kind == kNone || !known || strips.tiled || strips.Count() == 0 || l.W == 0 || l.H == 0 ||
      (l.fax && !l.bilevel)) {
    bmp->SetSize(int(l.W), int(l.H));
    return bmp.release();
  }
  // The decoder writes every row, so the bitmap need not be cleared first.
  bmp->SetSizeUncleared(int(l.W), int(l.H));
  StripDecoder(d, dir, strips, l, *bmp).Run();
  if (Decoded) *Decoded = true;
  return bmp.release();
}

}  // namespace

TBitmap* ReadTIFF(TStream& Stream, int ImageIndex, int& ImageCount, int& XResolution, int& YResolution,
                  int64_t MaxPixels, bool* Decoded) {
  try {
    return ReadTIFFImpl(Stream, ImageIndex, ImageCount, XResolution, YResolution, MaxPixels, Decoded);
  } catch (const std::bad_alloc&) {
    // A picture too large for the memory at hand.
    throw EInvalidGraphic("Invalid TIFF stream");
  }
}
