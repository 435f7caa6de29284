#include "bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

int PixelFormatBits(TPixelFormat pf) {
  switch (pf) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf16bit: return 16;
    case pf32bit: return 32;
    case pfDevice:
    case pf24bit: break;
  }
  return 24;
}

static TRGBQuad Quad(int r, int g, int b) {
  TRGBQuad q;
  q.rgbRed = uint8_t(r);
  q.rgbGreen = uint8_t(g);
  q.rgbBlue = uint8_t(b);
  return q;
}

std::vector<TRGBQuad> TBitmap::DefaultPalette(TPixelFormat pf) {
  std::vector<TRGBQuad> pal;
  switch (pf) {
    case pf1bit:
      pal = {Quad(0, 0, 0), Quad(255, 255, 255)};
      break;
    case pf4bit: {
      // The 16 colours of the window system's standard VGA palette.
      static const uint8_t vga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                         {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                         {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                         {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
      for (auto& c : vga) pal.push_back(Quad(c[0], c[1], c[2]));
      break;
    }
    case pf8bit:
      // A 6 x 6 x 6 colour cube followed by 40 grey levels.
      for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
          for (int b = 0; b < 6; ++b) pal.push_back(Quad(r * 51, g * 51, b * 51));
      for (int i = 0; i < 40; ++i) {
        int v = (i * 255 + 19) / 39;
        pal.push_back(Quad(v, v, v));
      }
      break;
    default:
      break;
  }
  return pal;
}

TBitmap::~TBitmap() {
  if (FExtension) FExtension->Changing();
  FExtension.reset();
  FStorage.reset();
}

void TBitmap::ReleasePixels() {
  if (FExtension) FExtension->Changing();
  FStorage.reset();
  FBits = nullptr;
}

void TBitmap::Reallocate(int w, int h, TPixelFormat pf, bool keep, bool clear) {
  if (w < 0 || h < 0) throw EInvalidGraphic("Ungültige Bildgröße");
  if (w == 0 || h == 0) w = h = 0;
  int bits = PixelFormatBits(pf);
  int64_t stride = ((int64_t(w) * bits + 31) / 32) * 4;
  if (h > 0 && stride > MaxPixelBytes / h) throw EInvalidGraphic("Bild zu gro\xDF");
  PixelHeap heap;
  if (clear) {
    heap.assign(size_t(stride * h), 0);
  } else {
    heap.resize(size_t(stride * h));
    const size_t used = size_t((int64_t(w) * bits + 7) / 8);
    if (used < size_t(stride))
      for (int y = 0; y < h; ++y)
        std::memset(heap.data() + size_t(y) * size_t(stride) + used, 0, size_t(stride) - used);
  }
  if (keep && FBits && bits == BitsPerPixel()) {
    int rows = std::min(h, FHeight);
    size_t bytes = std::min<size_t>(size_t(stride), size_t((int64_t(std::min(w, FWidth)) * bits + 7) / 8));
    for (int y = 0; y < rows; ++y)
      std::memcpy(heap.data() + size_t(h - 1 - y) * size_t(stride), ScanLine(y), bytes);
    // A partial last byte of an indexed row may carry pixels beyond the new width: clear them.
    int used = (std::min(w, FWidth) * bits) % 8;
    if (used && bytes > 0)
      for (int y = 0; y < rows; ++y) heap[size_t(h - 1 - y) * size_t(stride) + bytes - 1] &= uint8_t(0xFF00 >> used);
  }
  ReleasePixels();
  FHeap.swap(heap);
  FBits = FHeap.empty() ? nullptr : FHeap.data();
  FWidth = w;
  FHeight = h;
  if (pf != FPixelFormat || (bits <= 8 && FPalette.size() != (size_t(1) << bits)) || (bits > 8 && !FPalette.empty())) {
    FPalette = DefaultPalette(pf);
  }
  FPixelFormat = pf;
  ++FChangeCount;
}

void TBitmap::SetSize(int w, int h) {
  if (w == FWidth && h == FHeight) return;
  Reallocate(w, h, FPixelFormat, true);
  Changed(this);
}

void TBitmap::SetSizeUncleared(int w, int h) {
  if (w == FWidth && h == FHeight) return;
  Reallocate(w, h, FPixelFormat, false, false);
  Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat pf) {
  if (pf == pfDevice) pf = pf24bit;
  if (pf == FPixelFormat) return;
  if (Empty()) {
    Reallocate(FWidth, FHeight, pf, false);
    Changed(this);
    return;
  }
  TBitmap old;
  old.FWidth = FWidth;
  old.FHeight = FHeight;
  old.FPixelFormat = FPixelFormat;
  old.FPalette = FPalette;
  // Pixels on the heap move over as they are; others (a system bitmap's) are copied.
  if (!FStorage && FBits == FHeap.data())
    old.FHeap.swap(FHeap);
  else
    old.FHeap.assign(FBits, FBits + ImageSize());
  old.FBits = old.FHeap.data();
  const bool indexedTo24 = pf == pf24bit && old.BitsPerPixel() <= 8;
  Reallocate(FWidth, FHeight, pf, false, !indexedTo24);  // that turn writes every pixel
  if (indexedTo24) {
    // Indexed to 24 bits, the common case of every loaded picture: through the colour table.
    const int bits = old.BitsPerPixel(), perByte = 8 / bits, mask = (1 << bits) - 1;
    uint8_t bgr[256][3] = {};
    for (size_t i = 0; i < old.FPalette.size() && i < 256; ++i) {
      bgr[i][0] = old.FPalette[i].rgbBlue;
      bgr[i][1] = old.FPalette[i].rgbGreen;
      bgr[i][2] = old.FPalette[i].rgbRed;
    }
    uint32_t quad[256];
    for (int i = 0; i < 256; ++i) quad[i] = uint32_t(bgr[i][0]) | uint32_t(bgr[i][1]) << 8 | uint32_t(bgr[i][2]) << 16;
    for (int y = 0; y < FHeight; ++y) {
      const uint8_t* in = old.ScanLine(y);
      uint8_t* out = ScanLine(y);
      if (bits == 8) {
        // Four bytes a pixel stored, the fourth overwritten by the next pixel; the last one three.
        int x = 0;
        for (; x + 1 < FWidth; ++x, out += 3) std::memcpy(out, quad + in[x], 4);
        std::memcpy(out, quad + in[x], 3);
        continue;
      }
      for (int x = 0; x < FWidth; ++x) {
        const int shift = 8 - bits * (x % perByte + 1);
        std::memcpy(out + 3 * x, bgr[(in[x / perByte] >> shift) & mask], 3);
      }
    }
  } else {
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x) SetPixel(x, y, old.Pixel(x, y));
  }
  Changed(this);
}

void TBitmap::MoveFrom(TBitmap& Source) {
  if (&Source == this) return;
  if (Source.FStorage || !Source.FBits) {
    Assign(&Source);
    return;
  }
  ReleasePixels();
  FHeap.swap(Source.FHeap);
  FBits = FHeap.data();
  FWidth = Source.FWidth;
  FHeight = Source.FHeight;
  FPixelFormat = Source.FPixelFormat;
  FPalette = Source.FPalette;
  ++FChangeCount;
  Source.Reallocate(0, 0, Source.FPixelFormat, false);
  SetTransparent(Source.Transparent());
  Changed(this);
}

void TBitmap::SetPalette(const std::vector<TRGBQuad>& pal) {
  int bits = BitsPerPixel();
  if (bits > 8) return;
  FPalette = pal;
  FPalette.resize(size_t(1) << bits);
  ++FChangeCount;
  Changed(this);
}

uint8_t* TBitmap::ScanLine(int y) {
  if (y < 0 || y >= FHeight) throw EInvalidOperation("Zeilenindex au\xDF" "erhalb des g\xFCltigen Bereichs");
  return FBits + size_t(FHeight - 1 - y) * size_t(RowBytes());
}

const uint8_t* TBitmap::ScanLine(int y) const { return const_cast<TBitmap*>(this)->ScanLine(y); }

void TBitmap::Assign(TPersistent* Source) {
  if (Source == nullptr) {
    Reallocate(0, 0, FPixelFormat, false);
    Changed(this);
    return;
  }
  auto* src = dynamic_cast<TBitmap*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  if (src == this) return;
  Reallocate(src->FWidth, src->FHeight, src->FPixelFormat, false);
  FPalette = src->FPalette;
  if (src->FBits && FBits) std::memcpy(FBits, src->FBits, ImageSize());
  SetTransparent(src->Transparent());
  Changed(this);
}

TColor TBitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return clBlack;
  const uint8_t* row = ScanLine(y);
  int bits = BitsPerPixel();
  auto fromIndex = [&](unsigned i) {
    if (i >= FPalette.size()) return clBlack;
    const TRGBQuad& q = FPalette[i];
    return RGBColor(q.rgbRed, q.rgbGreen, q.rgbBlue);
  };
  switch (bits) {
    case 1: return fromIndex((row[x >> 3] >> (7 - (x & 7))) & 1);
    case 4: return fromIndex((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15);
    case 8: return fromIndex(row[x]);
    case 16: {
      unsigned v = row[2 * x] | (row[2 * x + 1] << 8);  // 5-5-5, red highest
      auto expand = [](unsigned c) { return int((c << 3) | (c >> 2)); };
      return RGBColor(expand((v >> 10) & 31), expand((v >> 5) & 31), expand(v & 31));
    }
    case 32: return RGBColor(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
    default: return RGBColor(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
  }
}

int TBitmap::Nearest(TColor c) const {
  int best = 0, bestDist = 1 << 30;
  for (size_t i = 0; i < FPalette.size(); ++i) {
    const TRGBQuad& q = FPalette[i];
    int dr = q.rgbRed - RedOf(c), dg = q.rgbGreen - GreenOf(c), db = q.rgbBlue - BlueOf(c);
    int d = dr * dr + dg * dg + db * db;
    if (d < bestDist) {
      bestDist = d;
      best = int(i);
    }
  }
  return best;
}

void TBitmap::SetPixel(int x, int y, TColor c) {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return;
  c = ColorToRGB(c);
  uint8_t* row = ScanLine(y);
  switch (BitsPerPixel()) {
    case 1: {
      uint8_t m = uint8_t(0x80 >> (x & 7));
      if (Nearest(c)) row[x >> 3] |= m; else row[x >> 3] &= uint8_t(~m);
      break;
    }
    case 4: {
      int i = Nearest(c);
      uint8_t& b = row[x >> 1];
      b = (x & 1) ? uint8_t((b & 0xF0) | i) : uint8_t((b & 0x0F) | (i << 4));
      break;
    }
    case 8: row[x] = uint8_t(Nearest(c)); break;
    case 16: {
      unsigned v = unsigned((RedOf(c) >> 3) << 10 | (GreenOf(c) >> 3) << 5 | (BlueOf(c) >> 3));
      row[2 * x] = uint8_t(v);
      row[2 * x + 1] = uint8_t(v >> 8);
      break;
    }
    case 32:
      row[4 * x] = uint8_t(BlueOf(c));
      row[4 * x + 1] = uint8_t(GreenOf(c));
      row[4 * x + 2] = uint8_t(RedOf(c));
      row[4 * x + 3] = 0;
      break;
    default:
      row[3 * x] = uint8_t(BlueOf(c));
      row[3 * x + 1] = uint8_t(GreenOf(c));
      row[3 * x + 2] = uint8_t(RedOf(c));
      break;
  }
}

void TBitmap::Fill(TColor c) {
  if (Empty()) return;
  for (int x = 0; x < FWidth; ++x) SetPixel(x, 0, c);
  const uint8_t* first = ScanLine(0);
  for (int y = 1; y < FHeight; ++y) std::memcpy(ScanLine(y), first, size_t(RowBytes()));
}

void TBitmap::AdoptStorage(uint8_t* bits, std::unique_ptr<TBitmapStorage> storage) {
  if (FBits && bits && bits != FBits) std::memcpy(bits, FBits, ImageSize());
  FStorage = std::move(storage);
  FBits = bits;
  PixelHeap().swap(FHeap);
}
