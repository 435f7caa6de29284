#include "pcx_reader.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

[[noreturn]] void Bad() { throw EInvalidGraphic("unrecognized PCX"); }

// Decodes one line of N bytes from the data at pos. A run reaching past the line is cut at the line's
// end (its rest is dropped, as the next line starts afresh); data ending early leaves zeros.
void DecodeLine(const std::vector<uint8_t>& data, size_t& pos, int encoding, uint8_t* line, size_t n) {
  std::memset(line, 0, n);
  if (encoding == 0) {
    size_t take = std::min(n, data.size() - std::min(pos, data.size()));
    if (take) std::memcpy(line, data.data() + pos, take);
    pos += n;
    return;
  }
  size_t out = 0;
  while (out < n && pos < data.size()) {
    uint8_t b = data[pos++];
    if ((b & 0xC0) == 0xC0) {
      size_t count = b & 63;
      uint8_t v = pos < data.size() ? data[pos] : 0;
      ++pos;
      for (size_t i = 0; i < count && out < n; ++i) line[out++] = v;
    } else {
      line[out++] = b;
    }
  }
}

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

}  // namespace

static TBitmap* ReadPCXStreamImpl(TStream& s, int& HorzResolution, int& VertResolution, int64_t Size, TScreenResolution Screen,
                       int64_t MaxPixels) {
  int64_t start = s.Position();
  uint8_t h[128];
  if (Size < 128 || s.Read(h, 128) != 128) Bad();
  int encoding = h[2], bits = h[3], planes = h[65];
  if (h[0] != 10 || encoding > 1 || bits > 8 || (planes != 1 && planes != 3)) Bad();
  int width = int(U16(h + 8)) - int(U16(h + 4)) + 1;
  int height = int(U16(h + 10)) - int(U16(h + 6)) + 1;
  size_t n = U16(h + 66);
  if (width < 0 || height < 0) Bad();
  // The lines must be fillable from the data the file holds: run-length coding gives at most 63
  // bytes for two. A picture that they fill but the budget does not hold is too large, not broken.
  {
    const int64_t lineBytes = std::max<int64_t>(int64_t(n), (int64_t(width) * bits + 7) / 8) * planes;
    const int64_t data = std::max<int64_t>(0, std::min(Size, s.Size() - start) - 128);
    if (width > 0 && int64_t(height) * lineBytes > (encoding ? (data * 63 + 1) / 2 : data)) Bad();
  }
  if (int64_t(width) * height > MaxPixels || int64_t(width) * height > kMaxPicturePixels)
    throw EPictureTooLarge(width, height);
  HorzResolution = U16(h + 12);
  VertResolution = U16(h + 14);
  if (HorzResolution == 0 || VertResolution == 0) {
    HorzResolution = Screen.X;
    VertResolution = Screen.Y;
  }
  std::unique_ptr<TBitmap> bmp(new TBitmap);
  bmp->SetPixelFormat(pf24bit);
  bmp->SetSize(width, height);
  if (bmp->Empty()) return bmp.release();  // a width or height of 0: nothing to decode

  uint8_t pal[768] = {};
  if (planes == 1 && bits > 4 && Size >= 128 + 768) {
    s.Seek(start + Size - 768, soFromBeginning);
    if (s.Read(pal, 768) != 768) std::memset(pal, 0, sizeof pal);
    s.Seek(start + 128, soFromBeginning);
  }
  // The data as far as the stream holds it.
  std::vector<uint8_t> data;
  {
    int64_t want = Size - 128, avail = s.Size() - s.Position();
    data.resize(size_t(std::max<int64_t>(0, std::min(want, avail))));
    if (!data.empty()) data.resize(size_t(s.Read(data.data(), int64_t(data.size()))));
  }
  // Every pixel of a row reads within the line buffers, also when the header's bytes per line is
  // smaller than the width needs.
  size_t bufLen = std::max(n, size_t(width)) + 8;
  std::vector<uint8_t> line[3] = {std::vector<uint8_t>(bufLen), std::vector<uint8_t>(bufLen),
                                  std::vector<uint8_t>(bufLen)};
  size_t pos = 0;
  const int W = width;
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bmp->ScanLine(y);
    if (planes == 3) {
      for (int p = 0; p < 3; ++p) DecodeLine(data, pos, encoding, line[p].data(), n);
      for (int x = 0; x < W; ++x) {
        row[3 * x] = line[2][x];
        row[3 * x + 1] = line[1][x];
        row[3 * x + 2] = line[0][x];
      }
      continue;
    }
    DecodeLine(data, pos, encoding, line[0].data(), n);
    const uint8_t* l = line[0].data();
    if (bits == 8) {
      for (int x = 0; x < W; ++x) {
        const uint8_t* c = pal + 3 * l[x];
        row[3 * x] = c[2];
        row[3 * x + 1] = c[1];
        row[3 * x + 2] = c[0];
      }
    } else if (bits == 4) {
      for (int x = 0; x < W; ++x) {
        int v = (x & 1) ? (l[x >> 1] & 15) : (l[x >> 1] >> 4);
        const uint8_t* c = h + 16 + 3 * v;
        row[3 * x] = c[2];
        row[3 * x + 1] = c[1];
        row[3 * x + 2] = c[0];
      }
    } else if (bits == 1) {
      for (int x = 0; x < W; ++x) {
        uint8_t v = ((l[x >> 3] >> (7 - (x & 7))) & 1) ? 255 : 0;
        row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = v;
      }
    }
  }
  return bmp.release();
}

TBitmap* ReadPCXStream(TStream& s, int& HorzResolution, int& VertResolution, int64_t Size, TScreenResolution Screen,
                       int64_t MaxPixels) {
  try {
    return ReadPCXStreamImpl(s, HorzResolution, VertResolution, Size, Screen, MaxPixels);
  } catch (const std::bad_alloc&) {
    // A picture too large for the memory at hand.
    throw EInvalidGraphic("unrecognized PCX");
  }
}

TBitmap* ReadPCXFile(const String& FileName, int& HorzResolution, int& VertResolution, TScreenResolution Screen) {
  TFileStream s(FileName, fmOpenRead | fmShareDenyWrite);
  return ReadPCXStream(s, HorzResolution, VertResolution, s.Size(), Screen);
}
