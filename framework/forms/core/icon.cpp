#include "icon.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

[[noreturn]] void Bad() { throw EInvalidGraphic("Ung\xFCltiges Symbol"); }

uint32_t U16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t U32(const uint8_t* p) { return U16(p) | U16(p + 2) << 16; }

// Icon files of a program's size: a few hundred images at most, each far below 16 MB.
constexpr uint32_t kMaxImages = 512;
constexpr int64_t kMaxFile = int64_t(1) << 26;

}  // namespace

void TIcon::LoadFromStream(TStream& Stream) {
  std::vector<uint8_t> d = ReadRest(Stream, kMaxFile + 1);
  if (int64_t(d.size()) > kMaxFile) Bad();
  if (d.size() < 6 || U16(&d[0]) != 0 || U16(&d[2]) != 1) Bad();
  const uint32_t count = U16(&d[4]);
  if (count == 0 || count > kMaxImages || d.size() < 6 + size_t(count) * 16) Bad();
  TIconState n;
  int bestDiff = -1, bestBits = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* e = &d[6 + 16 * i];
    const int w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
    const uint32_t size = U32(e + 8), off = U32(e + 12);
    if (size < 8 || off > d.size() || size > d.size() - off) Bad();
    const uint8_t* img = &d[off];
    const bool png = std::memcmp(img, "\x89PNG", 4) == 0;
    if (!png && (size < 40 || U32(img) != 40)) Bad();
    // Bits per pixel from the image itself when the entry leaves them out.
    int bits = int(U16(e + 6));
    if (bits == 0 && !png) bits = int(U16(img + 14));
    const int diff = std::abs(w * h - 32 * 32);
    if (bestDiff < 0 || diff < bestDiff || (diff == bestDiff && bits > bestBits)) {
      bestDiff = diff;
      bestBits = bits;
      n.ImageOffset = off;
      n.ImageSize = size;
      n.Width = w;
      n.Height = h;
    }
  }
  n.Data.swap(d);
  Take(std::move(n));
}

void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Die Gr\xF6\xDF" "e eines Symbols kann nicht ge\xE4ndert werden"); }
void TIcon::SetHeight(int v) { SetWidth(v); }
