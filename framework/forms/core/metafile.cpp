#include "metafile.h"

#include <algorithm>
#include <cstdlib>

namespace {

[[noreturn]] void Bad() { throw EInvalidGraphic("Ung\xFCltige Metadatei"); }

uint32_t U16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
int S16(const uint8_t* p) { return int16_t(U16(p)); }
uint32_t U32(const uint8_t* p) { return U16(p) | U16(p + 2) << 16; }
int S32(const uint8_t* p) { return int32_t(U32(p)); }

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr int64_t kMaxFile = int64_t(1) << 27;
// WMF record functions that give the picture's window.
constexpr uint32_t kSetWindowOrg = 0x020B, kSetWindowExt = 0x020C;

int MulDivRound(int64_t v, int64_t num, int64_t den) {
  const int64_t p = v * num;
  return int(p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den));
}

// Walks the records of a standard WMF (header of 9 words, then records of a 32-bit word count and
// a 16-bit function) for the last window extent it sets. Returns false when there is none.
bool WindowExtent(const uint8_t* d, size_t n, int& w, int& h) {
  if (n < 18 || (U16(d) != 1 && U16(d) != 2) || U16(d + 2) != 9) Bad();
  bool found = false;
  size_t i = 18;
  while (i + 6 <= n) {
    const uint64_t words = U32(d + i);
    const uint32_t fn = U16(d + i + 4);
    if (words < 3 || words * 2 > n - i) break;
    if (fn == 0) break;  // the closing record
    if (fn == kSetWindowExt && words >= 5) {
      h = std::abs(S16(d + i + 6));
      w = std::abs(S16(d + i + 8));
      found = true;
    }
    i += size_t(words * 2);
  }
  return found;
}

}  // namespace

void TMetafile::LoadFromStream(TStream& Stream) {
  std::vector<uint8_t> d = ReadRest(Stream, kMaxFile + 1);
  if (int64_t(d.size()) > kMaxFile) Bad();
  bool enhanced = false;
  size_t records = 0;
  int w = 0, h = 0, lw = 0, lh = 0;
  bool boxWindow = false;
  int boxLeft = 0, boxTop = 0;
  if (d.size() >= 88 && U32(&d[0]) == 1 && U32(&d[40]) == kEmfSignature) {
    // ENHMETAHEADER: type 1, size, bounds (device pixels), frame (0.01 mm, inclusive), signature,
    // version, bytes, records, ...
    if (U32(&d[4]) < 88 || U32(&d[4]) > d.size()) Bad();
    enhanced = true;
    const int64_t fw = int64_t(S32(&d[32])) - S32(&d[24]), fh = int64_t(S32(&d[36])) - S32(&d[28]);
    w = MulDivRound(std::llabs(fw), ScreenDpi, 2540);
    h = MulDivRound(std::llabs(fh), ScreenDpi, 2540);
  } else if (d.size() >= 22 && U32(&d[0]) == kPlaceableKey) {
    // Placeable header: key, handle, bounding box (left, top, right, bottom), units per inch,
    // reserved, checksum (the XOR of the ten words before it).
    uint32_t sum = 0;
    for (int i = 0; i < 10; ++i) sum ^= U16(&d[2 * i]);
    const uint32_t inch = U16(&d[14]);
    if (inch == 0 || sum != U16(&d[20])) Bad();
    records = 22;
    lw = std::abs(S16(&d[10]) - S16(&d[6]));
    lh = std::abs(S16(&d[12]) - S16(&d[8]));
    w = MulDivRound(lw, ScreenDpi, inch);
    h = MulDivRound(lh, ScreenDpi, inch);
    int ew = 0, eh = 0;
    if (WindowExtent(&d[22], d.size() - 22, ew, eh)) {
      lw = ew, lh = eh;
    } else {
      boxWindow = true;
      boxLeft = std::min(S16(&d[6]), S16(&d[10]));
      boxTop = std::min(S16(&d[8]), S16(&d[12]));
    }
  } else {
    if (!WindowExtent(d.data(), d.size(), lw, lh)) Bad();
    w = lw;
    h = lh;
  }
  if (w <= 0 || h <= 0) Bad();
  TMetafileState n;
  n.Data.swap(d);
  n.RecordsOffset = records;
  n.Enhanced = enhanced;
  n.Width = w;
  n.Height = h;
  n.LogicalWidth = lw;
  n.LogicalHeight = lh;
  n.BoxWindow = boxWindow;
  n.BoxLeft = boxLeft;
  n.BoxTop = boxTop;
  Take(std::move(n));
}

std::vector<uint8_t> TMetafile::PlayedRecords() const {
  std::vector<uint8_t> r(Records(), Records() + RecordsSize());
  if (Enhanced() || !F.BoxWindow || r.size() < 18) return r;
  // Two records of five words: the size in words, the function, then y before x.
  auto record = [](uint32_t fn, int y, int x) {
    const uint16_t w[5] = {5, 0, uint16_t(fn), uint16_t(y), uint16_t(x)};
    std::vector<uint8_t> b;
    for (uint16_t v : w) b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8));
    return b;
  };
  const std::vector<uint8_t> org = record(kSetWindowOrg, F.BoxTop, F.BoxLeft);
  const std::vector<uint8_t> ext = record(kSetWindowExt, F.LogicalHeight, F.LogicalWidth);
  r.insert(r.begin() + 18, ext.begin(), ext.end());
  r.insert(r.begin() + 18, org.begin(), org.end());
  // The header counts the file's words (at 6) and its largest record (at 12).
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) r[at + i] = uint8_t(v >> (8 * i));
  };
  put32(6, U32(&r[6]) + 10);
  put32(12, std::max<uint32_t>(U32(&r[12]), 5));
  return r;
}

void TMetafile::SetWidth(int Value) {
  if (Value == F.Width) return;
  F.Width = Value;
  Changed(this);
}

void TMetafile::SetHeight(int Value) {
  if (Value == F.Height) return;
  F.Height = Value;
  Changed(this);
}
