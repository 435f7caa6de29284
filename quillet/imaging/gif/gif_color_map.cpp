// The colour table: its entries, their growth and search, the imports and exports, its file form,
// and the sort by use. Which pixels use a table is the business of its kind (the tree's global and
// local maps), which supply the histogram and the remapping.
#include "gif_color_map.h"

#include <algorithm>
#include <cstring>

using namespace GIFImage;

void TGIFColorMap::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TGIFColorMap*>(Source)) {
    if (src == this) return;
    FColors = src->FColors;
    FCapacity = src->FCapacity;
    FCount = src->FCount;
    FOptimized = src->FOptimized;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

void TGIFColorMap::ClearEntries() {
  FColors.clear();
  FColors.shrink_to_fit();
  FCount = 0;
  FCapacity = 0;
  FOptimized = false;
}

void TGIFColorMap::Clear() { ClearEntries(); }

void TGIFColorMap::SetCapacity(int Size) {
  if (Size < FCapacity) return;
  int cap = Size <= 16 ? 16 : (Size + 31) / 32 * 32;
  cap = std::min(cap, 256);
  FCapacity = cap;
  FColors.resize(size_t(cap) * 3, 0);
}

int TGIFColorMap::Add(TColor Color) {
  if (FCount >= 256) Error(gifmsg::TooManyColors);
  if (FCount >= FCapacity) SetCapacity(FCount + 1);
  uint8_t* e = &FColors[size_t(FCount) * 3];
  e[0] = uint8_t(Color & 0xFF);
  e[1] = uint8_t((Color >> 8) & 0xFF);
  e[2] = uint8_t((Color >> 16) & 0xFF);
  ++FCount;
  FOptimized = false;
  Changed();
  return FCount - 1;
}

int TGIFColorMap::AddUnique(TColor Color) {
  const int i = IndexOf(Color);
  return i >= 0 ? i : Add(Color);
}

void TGIFColorMap::Delete(int Index) {
  if (Index < 0 || Index >= FCount) Error(gifmsg::BadColorIndexMap);
  std::memmove(&FColors[size_t(Index) * 3], &FColors[size_t(Index + 1) * 3], size_t(FCount - Index - 1) * 3);
  --FCount;
  FOptimized = false;
  Changed();
}

int TGIFColorMap::IndexOf(TColor Color) const {
  const uint8_t r = uint8_t(Color & 0xFF), g = uint8_t((Color >> 8) & 0xFF), b = uint8_t((Color >> 16) & 0xFF);
  auto match = [&](int i) {
    const uint8_t* e = &FColors[size_t(i) * 3];
    return e[0] == r && e[1] == g && e[2] == b;
  };
  if (FOptimized) {
    for (int i = 0; i < FCount; ++i)
      if (match(i)) return i;
  } else {
    for (int i = FCount - 1; i >= 0; --i)
      if (match(i)) return i;
  }
  return -1;
}

TColor TGIFColorMap::Colors(int Index) {
  if (Index < 0 || Index >= FCount) {
    Warning(1, gifmsg::BadColorIndexMap);
    if (FCount == 0) Error(gifmsg::EmptyColorMap);
    Index = 0;
  }
  const uint8_t* e = &FColors[size_t(Index) * 3];
  return TColor(e[0] | (e[1] << 8) | (e[2] << 16));
}

void TGIFColorMap::SetColors(int Index, TColor Color) {
  if (Index < 0 || Index >= FCount) Error(gifmsg::BadColorIndexMap);
  uint8_t* e = &FColors[size_t(Index) * 3];
  e[0] = uint8_t(Color & 0xFF);
  e[1] = uint8_t((Color >> 8) & 0xFF);
  e[2] = uint8_t((Color >> 16) & 0xFF);
  Changed();
}

void TGIFColorMap::ImportRGB(const uint8_t* Quads, int Count) {
  Clear();
  Count = std::min(Count, 256);
  if (Count <= 0) return;
  SetCapacity(Count);
  for (int i = 0; i < Count; ++i) {
    FColors[size_t(i) * 3 + 0] = Quads[i * 4 + 2];
    FColors[size_t(i) * 3 + 1] = Quads[i * 4 + 1];
    FColors[size_t(i) * 3 + 2] = Quads[i * 4 + 0];
  }
  FCount = Count;
  Changed();
}

void TGIFColorMap::ImportPalette(const TLogPalette& Palette) {
  Clear();
  const int n = static_cast<int>(std::min<size_t>(Palette.size(), 256));
  if (n == 0) return;
  SetCapacity(n);
  for (int i = 0; i < n; ++i) {
    FColors[size_t(i) * 3 + 0] = Palette[size_t(i)].peRed;
    FColors[size_t(i) * 3 + 1] = Palette[size_t(i)].peGreen;
    FColors[size_t(i) * 3 + 2] = Palette[size_t(i)].peBlue;
  }
  FCount = n;
  Changed();
}

TLogPalette TGIFColorMap::ExportPalette() const {
  TLogPalette p(static_cast<size_t>(FCount));
  for (int i = 0; i < FCount; ++i) {
    p[size_t(i)].peRed = FColors[size_t(i) * 3 + 0];
    p[size_t(i)].peGreen = FColors[size_t(i) * 3 + 1];
    p[size_t(i)].peBlue = FColors[size_t(i) * 3 + 2];
    p[size_t(i)].peFlags = PC_NOCOLLAPSE;
  }
  return p;
}

void TGIFColorMap::SaveToStream(TStream& Stream) const {
  if (FCount == 0) return;
  Stream.WriteBuffer(FColors.data(), int64_t(FCount) * 3);
  const int pad = (1 << BitsPerPixel()) - FCount;
  if (pad > 0) {
    std::vector<uint8_t> zeros(size_t(pad) * 3, 0);
    Stream.WriteBuffer(zeros.data(), int64_t(zeros.size()));
  }
}

void TGIFColorMap::LoadFromStream(TStream& Stream, int Count) {
  Clear();
  if (Count <= 0) return;
  SetCapacity(Count);
  ReadCheck(Stream, FColors.data(), int64_t(Count) * 3);
  FCount = Count;
}

bool TGIFColorMap::Optimize() { return DoOptimize(); }

bool TGIFColorMap::DoOptimize() {
  if (FCount <= 1) return false;
  FOptimized = true;
  std::vector<int> histogram(size_t(FCount), 0);
  BuildHistogram(histogram);
  struct Pair {
    int Uses, Index;
  };
  std::vector<Pair> pairs(static_cast<size_t>(FCount));
  for (int i = 0; i < FCount; ++i) pairs[size_t(i)] = {histogram[size_t(i)], i};
  // Most used first; colours used equally often keep their order, so that a table already in order
  // of use stays as it is.
  std::sort(pairs.begin(), pairs.end(),
            [](const Pair& A, const Pair& B) { return A.Uses != B.Uses ? A.Uses > B.Uses : A.Index < B.Index; });
  bool moved = false;
  for (int i = 0; i < FCount; ++i)
    if (pairs[size_t(i)].Index != i) moved = true;
  if (!moved) return true;
  std::vector<int> map(static_cast<size_t>(FCount));
  for (int i = 0; i < FCount; ++i) map[size_t(pairs[size_t(i)].Index)] = i;
  MapImages(map);
  std::vector<uint8_t> colors(FColors.size(), 0);
  for (int i = 0; i < FCount; ++i)
    std::memcpy(&colors[size_t(i) * 3], &FColors[size_t(pairs[size_t(i)].Index) * 3], 3);
  FColors.swap(colors);
  for (int i = 0; i < FCount; ++i) {
    if (pairs[size_t(i)].Uses == 0) {
      FCount = i;
      break;
    }
  }
  Changed();
  return true;
}
