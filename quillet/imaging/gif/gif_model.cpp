#include "gif_model.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "../picture_budget.h"
#include "gif_lzw_decoder.h"

bool GIFRenderOnLoad = false;

// ---------------------------------------------------------------------------------------------
// Unit routines

namespace GIFImage {

void Error(const String& Message) { throw GIFException(Message); }

void ReadCheck(TStream& Stream, void* Buffer, int64_t Size) {
  if (Stream.Read(Buffer, Size) != Size) Error(gifmsg::PrematureEOF);
}

void WriteByte(TStream& Stream, uint8_t Value) { Stream.WriteBuffer(&Value, 1); }

uint8_t ReadByte(TStream& Stream) {
  uint8_t b = 0;
  if (Stream.Read(&b, 1) != 1) b = 0;
  return b;
}

void WriteStrings(TStream& Stream, const TStrings& Lines) {
  for (int i = 0; i < Lines.Count(); ++i) {
    const String line = Lines.Strings(i);
    size_t pos = 0;
    while (pos < line.size()) {
      const size_t n = std::min<size_t>(255, line.size() - pos);
      WriteByte(Stream, static_cast<uint8_t>(n));
      Stream.WriteBuffer(line.data() + pos, static_cast<int64_t>(n));
      pos += n;
    }
  }
  WriteByte(Stream, 0);
}

void ReadStrings(TStream& Stream, TStrings& Lines) {
  Lines.Clear();
  for (;;) {
    uint8_t size = 0;
    if (Stream.Read(&size, 1) != 1 || size == 0) break;
    char buf[255];
    const int64_t got = Stream.Read(buf, size);
    if (got > 0) Lines.Add(String(buf, static_cast<size_t>(got)));
    if (got != size) break;
  }
}

int BitsPerColors(int Count) {
  int n = 0;
  while (n < 8 && (1 << n) < Count) ++n;
  if (Count > 0 && n == 0) n = 1;
  return n;
}

int ScanLineBytes(int Width, int BitsPerPixel, int Alignment) {
  return ((Width * BitsPerPixel + Alignment - 1) & ~(Alignment - 1)) / 8;
}

TLogPalette CreateWebPalette() {
  TLogPalette p;
  p.reserve(216);
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) {
        TPaletteEntry e;
        e.peRed = uint8_t(r * 51);
        e.peGreen = uint8_t(g * 51);
        e.peBlue = uint8_t(b * 51);
        p.push_back(e);
      }
  return p;
}

}  // namespace GIFImage

using namespace GIFImage;

namespace {

// Reads one byte; false at the end of the data.
bool TryReadByte(TStream& Stream, uint8_t& Value) { return Stream.Read(&Value, 1) == 1; }

void StepBack(TStream& Stream, int64_t Count = 1) { Stream.Seek(-Count, soFromCurrent); }

// Colour table size of the packed fields' bits 0-2.
int TableColors(uint8_t Packed) { return 2 << (Packed & 7); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Items and lists

void TGIFItem::Warning(int Severity, const String& Message) {
  if (FImage) FImage->Warning(this, Severity, Message);
}

void TGIFItem::SaveToFile(const String& FileName) {
  TSaveFileStream s(FileName);
  SaveToStream(s);
  s.Commit();
}

void TGIFItem::LoadFromFile(const String& FileName) {
  TFileStream s(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(s);
}

TGIFList::~TGIFList() { Clear(); }

int TGIFList::Add(TGIFItem* Item) {
  FItems.push_back(Item);
  return Count() - 1;
}

void TGIFList::Insert(int Index, TGIFItem* Item) {
  Index = std::max(0, std::min(Index, Count()));
  FItems.insert(FItems.begin() + Index, Item);
}

int TGIFList::IndexOf(const TGIFItem* Item) const {
  for (int i = 0; i < Count(); ++i)
    if (FItems[size_t(i)] == Item) return i;
  return -1;
}

void TGIFList::Delete(int Index) {
  TGIFItem* item = Items(Index);
  FItems.erase(FItems.begin() + Index);
  delete item;
}

void TGIFList::Remove(TGIFItem* Item) {
  // From the back: items are mostly freed last first.
  for (size_t i = FItems.size(); i-- > 0;)
    if (FItems[i] == Item) {
      FItems.erase(FItems.begin() + std::ptrdiff_t(i));
      return;
    }
}

void TGIFList::Clear() {
  // Items take themselves out of their list while they are freed; the list is emptied first, so
  // each of those removals finds an empty list instead of searching all the items left.
  std::vector<TGIFItem*> items;
  items.swap(FItems);
  while (!items.empty()) {
    TGIFItem* item = items.back();
    items.pop_back();
    delete item;
  }
}

void TGIFList::Warning(int Severity, const String& Message) {
  if (FImage) FImage->Warning(this, Severity, Message);
}

void TGIFList::SaveToStream(TStream& Stream) {
  for (TGIFItem* item : FItems) item->SaveToStream(Stream);
}

TGIFSubImage* TGIFImageList::SubImages(int Index) const { return static_cast<TGIFSubImage*>(Items(Index)); }

void TGIFImageList::SaveToStream(TStream& Stream) {
  const int n = Count();
  for (int i = 0; i < n; ++i) {
    Items(i)->SaveToStream(Stream);
    if (FImage) FImage->Progress(this, gpsRunning, (i + 1) * 100 / n, false, gifmsg::Saving);
  }
}

void TGIFImageList::LoadFromStream(TStream& Stream, TObject* Parent) {
  (void)Parent;
  const int64_t size = Stream.Size();
  uint8_t b = 0;
  bool got = TryReadByte(Stream, b);
  while (got && b == 0) got = TryReadByte(Stream, b);
  for (;;) {
    if (!got) return;
    if (b == bsTrailer) {
      StepBack(Stream);
      return;
    }
    StepBack(Stream);
    if (b != bsExtensionIntroducer && b != bsImageDescriptor) {
      Warning(1, gifmsg::BadBlock);
      return;
    }
    TGIFSubImage* frame = new TGIFSubImage(FImage);
    try {
      frame->LoadFromStream(Stream);
    } catch (...) {
      delete frame;
      throw;
    }
    Add(frame);
    if (FImage) {
      const int percent = size > 0 ? static_cast<int>(Stream.Position() * 100 / size) : 100;
      FImage->Progress(this, gpsRunning, percent, GIFRenderOnLoad, gifmsg::Loading);
    }
    got = TryReadByte(Stream, b);
    while (got && b == 0) got = TryReadByte(Stream, b);
  }
}

TGIFExtension* TGIFExtensionList::Extensions(int Index) const { return static_cast<TGIFExtension*>(Items(Index)); }

void TGIFExtensionList::LoadFromStream(TStream& Stream, TObject* Parent) {
  TGIFSubImage* frame = static_cast<TGIFSubImage*>(Parent);
  for (;;) {
    uint8_t b = 0;
    if (!TryReadByte(Stream, b)) return;
    if (b == bsImageDescriptor || b == bsTrailer) {
      StepBack(Stream);
      return;
    }
    if (b != bsExtensionIntroducer) {
      Warning(1, gifmsg::BadExtensionLabel);
      StepBack(Stream);
      return;
    }
    const int64_t pos = Stream.Position();
    uint8_t label = 0;
    const TGIFExtensionClass* cls = nullptr;
    if (TryReadByte(Stream, label)) {
      cls = FindExtension(label);
      while (cls && cls->FindSubExtension) {
        Stream.Seek(pos + 1, soFromBeginning);
        const TGIFExtensionClass* sub = cls->FindSubExtension(Stream);
        if (sub == cls) break;
        cls = sub;
      }
    }
    Stream.Seek(pos, soFromBeginning);
    if (!cls) Error(gifmsg::UnknownExtension);
    StepBack(Stream);
    TGIFExtension* ext = cls->Create(frame);
    try {
      ext->LoadFromStream(Stream);
    } catch (...) {
      delete ext;
      throw;
    }
    Add(ext);
  }
}

// ---------------------------------------------------------------------------------------------
// Colour maps

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

namespace {

void HistogramOf(TGIFSubImage& Frame, std::vector<int>& Histogram) {
  const uint8_t* p = Frame.Data();
  const int64_t n = Frame.DataSize();
  const int count = static_cast<int>(Histogram.size());
  for (int64_t i = 0; i < n; ++i)
    if (p[i] < count) ++Histogram[p[i]];
}

void MapFrame(TGIFSubImage& Frame, const std::vector<int>& Map) {
  uint8_t* p = Frame.Data();
  const int64_t n = Frame.DataSize();
  const int count = static_cast<int>(Map.size());
  for (int64_t i = 0; i < n; ++i)
    if (p[i] < count) p[i] = static_cast<uint8_t>(Map[p[i]]);
  if (Frame.Transparent() && Frame.GraphicControlExtension()) {
    TGIFGraphicControlExtension* gce = Frame.GraphicControlExtension();
    const int t = gce->TransparentColorIndex();
    if (t < count) gce->StoreTransparentColorIndex(static_cast<uint8_t>(Map[size_t(t)]));
  }
  Frame.Changed();
}

}  // namespace

TGIFGlobalColorMap::~TGIFGlobalColorMap() { ClearEntries(); }

void TGIFGlobalColorMap::Warning(int Severity, const String& Message) {
  if (FHeader && FHeader->Image()) FHeader->Image()->Warning(this, Severity, Message);
}

void TGIFGlobalColorMap::BuildHistogram(std::vector<int>& Histogram) {
  TGIFImageOwner* image = FHeader ? FHeader->Image() : nullptr;
  if (!image) return;
  TGIFImageList& frames = image->Images();
  for (int i = 0; i < frames.Count(); ++i)
    if (&frames[i]->ActiveColorMap() == this) HistogramOf(*frames[i], Histogram);
}

void TGIFGlobalColorMap::MapImages(const std::vector<int>& Map) {
  TGIFImageOwner* image = FHeader ? FHeader->Image() : nullptr;
  if (!image) return;
  TGIFImageList& frames = image->Images();
  for (int i = 0; i < frames.Count(); ++i)
    if (&frames[i]->ActiveColorMap() == this) MapFrame(*frames[i], Map);
}

bool TGIFGlobalColorMap::Optimize() {
  TGIFImageOwner* image = FHeader ? FHeader->Image() : nullptr;
  if (!image || image->Images().Count() == 0) return false;
  return DoOptimize();
}

void TGIFGlobalColorMap::Changed() {
  if (FHeader && FHeader->Image()) FHeader->Image()->PaletteChanged();
}

TGIFLocalColorMap::~TGIFLocalColorMap() { ClearEntries(); }

void TGIFLocalColorMap::Warning(int Severity, const String& Message) {
  if (FSubImage && FSubImage->Image()) FSubImage->Image()->Warning(this, Severity, Message);
}

void TGIFLocalColorMap::BuildHistogram(std::vector<int>& Histogram) { HistogramOf(*FSubImage, Histogram); }

void TGIFLocalColorMap::MapImages(const std::vector<int>& Map) { MapFrame(*FSubImage, Map); }

bool TGIFLocalColorMap::Optimize() { return DoOptimize(); }

void TGIFLocalColorMap::Changed() {
  if (FSubImage && FSubImage->Image()) FSubImage->Image()->SubImageChanged(FSubImage);
}

// ---------------------------------------------------------------------------------------------
// Header

TGIFHeader::TGIFHeader(TGIFImageOwner* Image) : TGIFItem(Image), FColorMap(this) {}

void TGIFHeader::Clear() {
  std::memset(FDescriptor, 0, sizeof FDescriptor);
  FColorMap.Clear();
}

void TGIFHeader::SetWidth(int Value) {
  FDescriptor[0] = uint8_t(Value & 0xFF);
  FDescriptor[1] = uint8_t((Value >> 8) & 0xFF);
}

void TGIFHeader::SetHeight(int Value) {
  FDescriptor[2] = uint8_t(Value & 0xFF);
  FDescriptor[3] = uint8_t((Value >> 8) & 0xFF);
}

void TGIFHeader::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TGIFHeader*>(Source)) {
    if (src == this) return;
    std::memcpy(FDescriptor, src->FDescriptor, sizeof FDescriptor);
    FColorMap.Assign(&src->FColorMap);
    return;
  }
  if (auto* map = dynamic_cast<TGIFColorMap*>(Source)) {
    Clear();
    FColorMap.Assign(map);
    return;
  }
  TGIFItem::Assign(Source);
}

TGIFVersion TGIFHeader::GetVersion() const {
  return (FColorMap.Optimized() || FDescriptor[6] != 0) ? gv89a : gv87a;
}

void TGIFHeader::SaveToStream(TStream& Stream) {
  const TGIFVersion version = FImage ? FImage->Version() : GetVersion();
  if (version == gvUnknown) Error(gifmsg::BadVersion);
  uint8_t packed = 0;
  if (FColorMap.Count() > 0) {
    packed |= 0x80;
    if (FColorMap.Optimized()) packed |= 0x08;
  }
  const int resolution = FImage ? FImage->ColorResolution() : FColorMap.ColorResolution();
  packed |= uint8_t((std::max(resolution, 0) & 7) << 4);
  if (FColorMap.Count() > 0) {
    packed |= uint8_t((FColorMap.BitsPerPixel() - 1) & 7);
  } else {
    const int bpp = FImage ? FImage->BitsPerPixel() : 0;
    packed |= uint8_t(std::max(bpp - 1, 0) & 7);
  }
  FDescriptor[4] = packed;
  Stream.WriteBuffer(version == gv89a ? "GIF89a" : "GIF87a", 6);
  Stream.WriteBuffer(FDescriptor, 7);
  if (packed & 0x80) FColorMap.SaveToStream(Stream);
}

void TGIFHeader::LoadFromStream(TStream& Stream) {
  const int64_t start = Stream.Position();
  char sig[6];
  auto matches = [&] { return UpperCase(String(sig, 3)) == "GIF"; };
  ReadCheck(Stream, sig, 6);
  if (!matches()) {
    // A 4-byte length in front of the file, as some containers store it.
    Stream.Seek(start + 4, soFromBeginning);
    ReadCheck(Stream, sig, 6);
    if (!matches()) Error(gifmsg::BadSignature);
  }
  ReadCheck(Stream, FDescriptor, 7);
  if (FDescriptor[4] & 0x80) {
    const int n = TableColors(FDescriptor[4]);
    if (n < 2 || n > 256) Error(gifmsg::BadScreenColors);
    FColorMap.LoadFromStream(Stream, n);
  } else {
    FColorMap.Clear();
  }
}

// ---------------------------------------------------------------------------------------------
// Frames

TGIFSubImage::TGIFSubImage(TGIFImageOwner* Image) : TGIFItem(Image), FColorMap(this), FExtensions(Image) {}

TGIFSubImage::~TGIFSubImage() {
  if (FImage) {
    FImage->Images().Remove(this);
    FImage->SubImageChanged(this);  // the owner drops what it keeps for this frame
  }
  FExtensions.Clear();
  FGCE = nullptr;
}

void TGIFSubImage::Clear() {
  FExtensions.Clear();
  FGCE = nullptr;
  FTransparent = false;
  FColorMap.Clear();
  FData.clear();
  FData.shrink_to_fit();
  Changed();
}

int TGIFSubImage::GetBounds(int Index) const {
  const int off = 1 + (Index - 1) * 2;
  return FDescriptor[off] | (FDescriptor[off + 1] << 8);
}

void TGIFSubImage::SetDescriptorWord(int Offset, int Value) {
  FDescriptor[Offset] = uint8_t(Value & 0xFF);
  FDescriptor[Offset + 1] = uint8_t((Value >> 8) & 0xFF);
}

void TGIFSubImage::SetBounds(int Index, int Value) {
  if (Index < 1 || Index > 4) return;
  int b[4] = {Left(), Top(), Width(), Height()};
  b[Index - 1] = std::max(0, std::min(Value, 0xFFFF));
  const bool resized = b[2] != Width() || b[3] != Height();
  for (int i = 0; i < 4; ++i) SetDescriptorWord(1 + i * 2, b[i]);
  if (resized) {
    FData.assign(size_t(b[2]) * size_t(b[3]), 0);
    Changed();
  }
  if (!FImage) return;
  bool exceeded = false;
  if (b[0] + b[2] > FImage->Width()) {
    if (FImage->Width() != 0) {
      Warning(1, gifmsg::ImageWidth);
      exceeded = true;
    }
    FImage->SetWidth(b[0] + b[2]);
  }
  if (b[1] + b[3] > FImage->Height()) {
    if (FImage->Height() != 0) {
      Warning(1, gifmsg::ImageHeight);
      exceeded = true;
    }
    FImage->SetHeight(b[1] + b[3]);
  }
  if (exceeded) Warning(1, gifmsg::ScreenSize);
}

void TGIFSubImage::SetInterlaced(bool Value) {
  if (Value)
    FDescriptor[9] |= 0x40;
  else
    FDescriptor[9] &= uint8_t(~0x40);
}

TGIFColorMap& TGIFSubImage::ActiveColorMap() {
  if (FColorMap.Count() > 0) return FColorMap;
  if (FImage && FImage->GlobalColorMap().Count() > 0) return FImage->GlobalColorMap();
  return FColorMap;
}

bool TGIFSubImage::Empty() const { return FData.empty() || Width() == 0 || Height() == 0; }

void TGIFSubImage::NeedData() {
  if (Width() == 0 || Height() == 0) Error(gifmsg::EmptyImage);
  const size_t n = size_t(Width()) * size_t(Height());
  if (FData.size() != n) FData.assign(n, 0);
}

uint8_t* TGIFSubImage::ScanLine(int Row) {
  if (Width() == 0 || Height() == 0) Error(gifmsg::EmptyImage);
  if (Row < 0 || Row >= Height()) Error(gifmsg::PixelCoord);
  NeedData();
  return &FData[size_t(Row) * size_t(Width())];
}

uint8_t TGIFSubImage::Pixels(int X, int Y) {
  if (Width() == 0 || Height() == 0) Error(gifmsg::EmptyImage);
  if (X < 0 || X >= Width()) Error(gifmsg::PixelCoord);
  return ScanLine(Y)[X];
}

void TGIFSubImage::SetPixels(int X, int Y, uint8_t Value) {
  if (X < 0 || X >= Width()) Error(gifmsg::PixelCoord);
  ScanLine(Y)[X] = Value;
  Changed();
}

void TGIFSubImage::Changed() {
  if (FImage) FImage->SubImageChanged(this);
}

TGIFVersion TGIFSubImage::GetVersion() const {
  return (FColorMap.Optimized() || FExtensions.Count() > 0) ? gv89a : gv87a;
}

namespace {
// The most pixels the frame's LZW data at the stream's position can fill: its code size byte and
// the lengths of its sub-blocks are walked (the data itself is skipped) and the stream is put back.
int64_t FrameDataCanFill(TStream& Stream) {
  const int64_t start = Stream.Position(), size = Stream.Size();
  uint8_t initial = 0, length = 0;
  int64_t bytes = 0;
  if (TryReadByte(Stream, initial))
    for (int64_t at = start + 1; at < size && TryReadByte(Stream, length) && length != 0;) {
      at += 1 + length;
      bytes += std::min<int64_t>(length, size - (at - length));
      Stream.SetPosition(at);
    }
  Stream.SetPosition(start);
  // Root sizes above 11 bits leave the table no room; the decoder refuses them itself.
  return LZWMaxOutput(bytes, std::min<int>(initial, 11) + 1);
}
}  // namespace

void TGIFSubImage::LoadFromStream(TStream& Stream) {
  Clear();
  FExtensions.LoadFromStream(Stream, this);
  uint8_t b = 0;
  if (!TryReadByte(Stream, b)) return;
  StepBack(Stream);
  if (b == bsTrailer || b == 0) return;
  ReadCheck(Stream, FDescriptor, 10);
  if (Width() == 0 || Height() == 0) {
    SetDescriptorWord(5, FImage ? FImage->Width() : 0);
    SetDescriptorWord(7, FImage ? FImage->Height() : 0);
    Warning(1, gifmsg::ScreenSize);
  }
  if (FDescriptor[9] & 0x80) {
    const int n = TableColors(FDescriptor[9]);
    if (n < 2 || n > 256) Error(gifmsg::BadSubImageColors);
    FColorMap.LoadFromStream(Stream, n);
  }
  if (FImage && int64_t(Width()) * Height() > FImage->MaxFramePixels()) Error(gifmsg::ImageDimensions);
  if (FImage && FImage->FramesBoundedByData() && int64_t(Width()) * Height() > FrameDataCanFill(Stream))
    Error(gifmsg::ImageDimensions);
  const uint8_t fill = (FTransparent && FGCE) ? FGCE->TransparentColorIndex() : 0;
  std::vector<uint8_t> pixels;
  Decode(Stream, Width(), Height(), Interlaced(), fill, pixels, [this](int Severity, const String& Message) {
    Warning(Severity, Message);
  });
  FData.swap(pixels);
  Changed();
}

void TGIFSubImage::SaveToStream(TStream& Stream) {
  FExtensions.SaveToStream(Stream);
  if (Empty()) return;
  if (FColorMap.Count() > 0) {
    FDescriptor[9] = uint8_t(0x80 | (FColorMap.Optimized() ? 0x20 : 0) | ((FColorMap.BitsPerPixel() - 1) & 7));
  } else {
    FDescriptor[9] &= 0x58;
  }
  TGIFColorMap& map = ActiveColorMap();
  if (map.Count() == 0) Error(gifmsg::NoColorTable);
  FDescriptor[0] = bsImageDescriptor;
  Stream.WriteBuffer(FDescriptor, 10);
  FColorMap.SaveToStream(Stream);
  // The local table's size when the frame has one; otherwise the code size covers the largest table
  // of the whole picture, and every index below 2^BitsPerPixel is accepted.
  int bits = map.BitsPerPixel(), colors = map.Count();
  if (FColorMap.Count() == 0 && FImage) {
    bits = FImage->BitsPerPixel();
    colors = 1 << bits;
  }
  Encode(FImage ? FImage->Encoder() : geLZW, Stream, bits, colors, FData.data(), Interlaced(), Height(), Width(),
         [this](int Severity, const String& Message) { Warning(Severity, Message); });
}

void TGIFSubImage::Assign(TPersistent* Source) {
  if (Source == this) return;
  if (Source == nullptr) {
    Clear();
    return;
  }
  if (auto* src = dynamic_cast<TGIFSubImage*>(Source)) {
    Clear();
    if (src->Empty()) return;
    std::memcpy(FDescriptor, src->FDescriptor, sizeof FDescriptor);
    FTransparent = src->FTransparent;
    FData = src->FData;
    FColorMap.Assign(&src->FColorMap);
    if (src->FExtensions.Count() > 0) {
      TMemoryStream s;
      src->FExtensions.SaveToStream(s);
      s.SetPosition(0);
      FExtensions.LoadFromStream(s, this);
    }
    Changed();
    return;
  }
  TGIFItem::Assign(Source);
}

// ---------------------------------------------------------------------------------------------
// Trailer

void TGIFTrailer::SaveToStream(TStream& Stream) { WriteByte(Stream, bsTrailer); }

void TGIFTrailer::LoadFromStream(TStream& Stream) {
  uint8_t b = 0;
  if (TryReadByte(Stream, b) && b != bsTrailer) Warning(1, gifmsg::BadTrailer);
}

// ---------------------------------------------------------------------------------------------
// Extensions

TGIFExtension::TGIFExtension(TGIFSubImage* Frame) : TGIFItem(Frame ? Frame->Image() : nullptr), FSubImage(Frame) {}

void TGIFExtension::WriteIntroducer(TStream& Stream) const {
  const uint8_t b[2] = {bsExtensionIntroducer, GetExtensionType()};
  Stream.WriteBuffer(b, 2);
}

void TGIFExtension::ReadIntroducer(TStream& Stream) const {
  uint8_t b[2];
  ReadCheck(Stream, b, 2);
  if (b[0] != bsExtensionIntroducer) Error(gifmsg::BadExtensionLabel);
  if (b[1] != GetExtensionType()) Error(gifmsg::BadExtensionInstance);
}

namespace {
template <typename T>
TGIFExtension* CreateExtension(TGIFSubImage* Frame) {
  return new T(Frame);
}
}  // namespace

// Graphic control

TGIFGraphicControlExtension::TGIFGraphicControlExtension(TGIFSubImage* Frame) : TGIFExtension(Frame) {
  if (FSubImage && !FSubImage->FGCE) FSubImage->FGCE = this;
}

TGIFGraphicControlExtension::~TGIFGraphicControlExtension() {
  if (FSubImage && FSubImage->FGCE == this) {
    if (Transparent()) FSubImage->FTransparent = false;
    FSubImage->FGCE = nullptr;
  }
}

const TGIFExtensionClass* TGIFGraphicControlExtension::ClassInfo() {
  static const TGIFExtensionClass info = {"TGIFGraphicControlExtension",
                                          CreateExtension<TGIFGraphicControlExtension>, nullptr};
  return &info;
}

void TGIFGraphicControlExtension::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TGIFGraphicControlExtension*>(Source)) {
    std::memcpy(FBlock, src->FBlock, sizeof FBlock);
    if (FSubImage && FSubImage->FGCE == this && Transparent()) FSubImage->FTransparent = true;
    return;
  }
  TGIFExtension::Assign(Source);
}

void TGIFGraphicControlExtension::SetTransparent(bool Value) {
  if (Value)
    FBlock[1] |= 0x01;
  else
    FBlock[1] &= uint8_t(~0x01);
  if (Value && FSubImage) FSubImage->FTransparent = true;
}

void TGIFGraphicControlExtension::SetUserInput(bool Value) {
  if (Value)
    FBlock[1] |= 0x02;
  else
    FBlock[1] &= uint8_t(~0x02);
}

void TGIFGraphicControlExtension::SetDisposal(int Value) {
  FBlock[1] = uint8_t((FBlock[1] & ~0x1C) | ((Value & 7) << 2));
}

void TGIFGraphicControlExtension::SetDelay(int Value) {
  FBlock[2] = uint8_t(Value & 0xFF);
  FBlock[3] = uint8_t((Value >> 8) & 0xFF);
}

void TGIFGraphicControlExtension::SetTransparentColorIndex(int Value) {
  if (FSubImage) {
    TGIFColorMap& map = FSubImage->ActiveColorMap();
    if (map.Count() > 0 && (Value < 0 || Value >= map.Count())) {
      Warning(1, gifmsg::BadColorIndexMap);
      Value = 0;
    }
  }
  FBlock[4] = uint8_t(Value & 0xFF);
  if (FSubImage) FSubImage->Changed();
}

void TGIFGraphicControlExtension::SaveToStream(TStream& Stream) {
  WriteIntroducer(Stream);
  FBlock[0] = 4;
  FBlock[5] = 0;
  Stream.WriteBuffer(FBlock, 6);
}

void TGIFGraphicControlExtension::LoadFromStream(TStream& Stream) {
  ReadIntroducer(Stream);
  const int64_t got = Stream.Read(FBlock, 6);
  if (got != 6) {
    Warning(1, gifmsg::PrematureEOF);
    return;
  }
  if (Transparent() && FSubImage && FSubImage->FGCE == this) FSubImage->FTransparent = true;
}

// Plain text

TGIFTextExtension::TGIFTextExtension(TGIFSubImage* Frame) : TGIFExtension(Frame) {}

const TGIFExtensionClass* TGIFTextExtension::ClassInfo() {
  static const TGIFExtensionClass info = {"TGIFTextExtension", CreateExtension<TGIFTextExtension>, nullptr};
  return &info;
}

void TGIFTextExtension::SetWord(int Offset, int Value) {
  FBlock[Offset] = uint8_t(Value & 0xFF);
  FBlock[Offset + 1] = uint8_t((Value >> 8) & 0xFF);
}

void TGIFTextExtension::SetGrid(int Left, int Top, int Width, int Height) {
  SetWord(1, Left);
  SetWord(3, Top);
  SetWord(5, Width);
  SetWord(7, Height);
}

void TGIFTextExtension::SetCell(uint8_t Width, uint8_t Height) {
  FBlock[9] = Width;
  FBlock[10] = Height;
}

void TGIFTextExtension::SetColors(uint8_t Foreground, uint8_t Background) {
  FBlock[11] = Foreground;
  FBlock[12] = Background;
}

void TGIFTextExtension::SaveToStream(TStream& Stream) {
  WriteIntroducer(Stream);
  FBlock[0] = 12;
  Stream.WriteBuffer(FBlock, 13);
  WriteStrings(Stream, FText);
}

void TGIFTextExtension::LoadFromStream(TStream& Stream) {
  ReadIntroducer(Stream);
  ReadCheck(Stream, FBlock, 13);
  ReadStrings(Stream, FText);
}

// Comment

const TGIFExtensionClass* TGIFCommentExtension::ClassInfo() {
  static const TGIFExtensionClass info = {"TGIFCommentExtension", CreateExtension<TGIFCommentExtension>, nullptr};
  return &info;
}

void TGIFCommentExtension::SaveToStream(TStream& Stream) {
  WriteIntroducer(Stream);
  WriteStrings(Stream, FText);
}

void TGIFCommentExtension::LoadFromStream(TStream& Stream) {
  ReadIntroducer(Stream);
  ReadStrings(Stream, FText);
}

// Application

namespace {
// The application block's class from its size byte and identifier. Blocks this program cannot
// read more specifically are kept as unknown application blocks.
const TGIFExtensionClass* FindAppSubExtension(TStream& Stream) {
  uint8_t size = 0;
  if (!TryReadByte(Stream, size)) return nullptr;
  uint8_t ident[11];
  if (size == 10) return TGIFUnknownAppExtension::ClassInfo();
  if (size >= 11 && Stream.Read(ident, 11) == 11) {
    if (const TGIFExtensionClass* cls = FindAppExtension(ident)) return cls;
  }
  return TGIFUnknownAppExtension::ClassInfo();
}
}  // namespace

const TGIFExtensionClass* TGIFApplicationExtension::ClassInfo() {
  static const TGIFExtensionClass info = {"TGIFApplicationExtension", CreateExtension<TGIFUnknownAppExtension>,
                                          FindAppSubExtension};
  return &info;
}

void TGIFApplicationExtension::SetIdent(const String& Identifier, const String& Authentication) {
  std::memset(FIdent, ' ', sizeof FIdent);
  std::memcpy(FIdent, Identifier.data(), std::min<size_t>(8, Identifier.size()));
  std::memcpy(FIdent + 8, Authentication.data(), std::min<size_t>(3, Authentication.size()));
}

void TGIFApplicationExtension::SaveToStream(TStream& Stream) {
  WriteIntroducer(Stream);
  WriteByte(Stream, 11);
  Stream.WriteBuffer(FIdent, 11);
  SaveData(Stream);
}

void TGIFApplicationExtension::LoadFromStream(TStream& Stream) {
  ReadIntroducer(Stream);
  uint8_t size = 0;
  ReadCheck(Stream, &size, 1);
  if (size == 10) {
    std::memset(FIdent, 0, sizeof FIdent);
    ReadCheck(Stream, FIdent, 10);
  } else if (size < 10) {
    Error(gifmsg::BadAppExtBlockSize);
  } else {
    ReadCheck(Stream, FIdent, 11);
    // The rest of a longer block is stepped over; it must be there.
    uint8_t rest[255];
    if (size > 11) ReadCheck(Stream, rest, size - 11);
  }
  LoadData(Stream);
}

const TGIFExtensionClass* TGIFUnknownAppExtension::ClassInfo() {
  static const TGIFExtensionClass info = {"TGIFUnknownAppExtension", CreateExtension<TGIFUnknownAppExtension>, nullptr};
  return &info;
}

void TGIFUnknownAppExtension::SaveData(TStream& Stream) {
  for (const TGIFBlock& b : FBlocks) {
    if (b.Data.empty()) continue;
    WriteByte(Stream, b.Size());
    Stream.WriteBuffer(b.Data.data(), int64_t(b.Data.size()));
  }
  WriteByte(Stream, 0);
}

void TGIFUnknownAppExtension::LoadData(TStream& Stream) {
  FBlocks.clear();
  for (;;) {
    uint8_t size = 0;
    if (!TryReadByte(Stream, size) || size == 0) break;
    TGIFBlock b;
    b.Data.resize(size);
    const int64_t got = Stream.Read(b.Data.data(), size);
    if (got <= 0) break;
    b.Data.resize(size_t(got));
    FBlocks.push_back(std::move(b));
    if (got != size) break;
  }
}

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage* Frame) : TGIFApplicationExtension(Frame) {
  SetIdent("NETSCAPE", "2.0");
}

const TGIFExtensionClass* TGIFAppExtNSLoop::ClassInfo() {
  static const TGIFExtensionClass info = {"TGIFAppExtNSLoop", CreateExtension<TGIFAppExtNSLoop>, nullptr};
  return &info;
}

void TGIFAppExtNSLoop::SaveData(TStream& Stream) {
  const uint8_t loop[4] = {3, 1, uint8_t(FLoops & 0xFF), uint8_t(FLoops >> 8)};
  Stream.WriteBuffer(loop, 4);
  if (FBufferSize > 0) {
    const uint8_t buf[6] = {5, 2, uint8_t(FBufferSize), uint8_t(FBufferSize >> 8), uint8_t(FBufferSize >> 16),
                            uint8_t(FBufferSize >> 24)};
    Stream.WriteBuffer(buf, 6);
  }
  WriteByte(Stream, 0);
}

void TGIFAppExtNSLoop::LoadData(TStream& Stream) {
  for (;;) {
    uint8_t size = 0;
    if (!TryReadByte(Stream, size) || size == 0) break;
    uint8_t block[255];
    ReadCheck(Stream, block, size);
    switch (block[0] & 7) {
      case 1:
        if (size < 3) Error(gifmsg::InvalidData);
        FLoops = uint16_t(block[1] | (block[2] << 8));
        break;
      case 2:
        if (size < 5) Error(gifmsg::InvalidData);
        FBufferSize = uint32_t(block[1]) | (uint32_t(block[2]) << 8) | (uint32_t(block[3]) << 16) |
                      (uint32_t(block[4]) << 24);
        break;
      default:
        break;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Registries

namespace {

struct TExtensionList {
  std::vector<std::pair<uint8_t, const TGIFExtensionClass*>> Items;
  TExtensionList() {
    Items.push_back({bsPlainTextExtension, TGIFTextExtension::ClassInfo()});
    Items.push_back({bsGraphicControlExtension, TGIFGraphicControlExtension::ClassInfo()});
    Items.push_back({bsCommentExtension, TGIFCommentExtension::ClassInfo()});
    Items.push_back({bsApplicationExtension, TGIFApplicationExtension::ClassInfo()});
  }
};

struct TAppExtensionList {
  std::vector<std::pair<String, const TGIFExtensionClass*>> Items;
  TAppExtensionList() {
    Items.push_back({"NETSCAPE2.0", TGIFAppExtNSLoop::ClassInfo()});
    Items.push_back({"ANIMEXTS1.0", TGIFAppExtNSLoop::ClassInfo()});
  }
};

TExtensionList& ExtensionList() {
  static TExtensionList list;
  return list;
}

TAppExtensionList& AppExtensionList() {
  static TAppExtensionList list;
  return list;
}

}  // namespace

void RegisterExtension(uint8_t Label, const TGIFExtensionClass* Class) {
  ExtensionList().Items.push_back({Label, Class});
}

const TGIFExtensionClass* FindExtension(uint8_t Label) {
  const auto& items = ExtensionList().Items;
  for (auto it = items.rbegin(); it != items.rend(); ++it)
    if (it->first == Label) return it->second;
  return nullptr;
}

void RegisterAppExtension(const String& Ident, const TGIFExtensionClass* Class) {
  String key = Ident;
  key.resize(11, ' ');
  AppExtensionList().Items.push_back({key, Class});
}

const TGIFExtensionClass* FindAppExtension(const uint8_t Ident[11]) {
  const String key(reinterpret_cast<const char*>(Ident), 11);
  const auto& items = AppExtensionList().Items;
  for (auto it = items.rbegin(); it != items.rend(); ++it)
    if (it->first == key) return it->second;
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Owning picture

TGIFImageOwner::TGIFImageOwner()
    : FHeader(new TGIFHeader(this)), FImages(new TGIFImageList(this)), FTrailer(new TGIFTrailer(this)) {}

TGIFImageOwner::~TGIFImageOwner() {
  FImages->Clear();
  delete FTrailer;
  delete FImages;
  delete FHeader;
}

void TGIFImageOwner::Warning(TObject* Sender, int Severity, const String& Message) {
  (void)Sender;
  (void)Severity;
  (void)Message;
}

void TGIFImageOwner::Progress(TObject* Sender, TGIFProgressStage Stage, int Percent, bool RedrawNow,
                              const String& Message) {
  (void)Sender;
  (void)Stage;
  (void)Percent;
  (void)RedrawNow;
  (void)Message;
}

TGIFVersion TGIFImageOwner::Version() {
  TGIFVersion v = gvUnknown;
  for (int i = 0; i < FImages->Count(); ++i) {
    v = std::max(v, (*FImages)[i]->GetVersion());
    if (v == gv89a) break;
  }
  return v;
}

int TGIFImageOwner::ColorResolution() {
  int r = GlobalColorMap().ColorResolution();
  for (int i = 0; i < FImages->Count(); ++i) r = std::max(r, (*FImages)[i]->ColorMap().ColorResolution());
  return r;
}

int TGIFImageOwner::BitsPerPixel() {
  if (FSavedBitsPerPixel) return FSavedBitsPerPixel;
  int b = GlobalColorMap().BitsPerPixel();
  for (int i = 0; i < FImages->Count(); ++i) b = std::max(b, (*FImages)[i]->ColorMap().BitsPerPixel());
  return b;
}

void TGIFImageOwner::Clear() {
  FImages->Clear();
  FHeader->Clear();
  PaletteChanged();
}

void TGIFImageOwner::LoadFromStream(TStream& Stream) {
  Clear();
  FHeader->LoadFromStream(Stream);
  FImages->LoadFromStream(Stream, nullptr);
  FTrailer->LoadFromStream(Stream);
}

void TGIFImageOwner::SaveToStream(TStream& Stream) {
  // Every frame without a table of its own asks for the largest table of the picture; the tables do
  // not change while the file is written, so it is worked out once (a walk over all frames per frame
  // would make saving quadratic in the frames).
  struct Once {
    int& bits;
    ~Once() { bits = 0; }
  } once{FSavedBitsPerPixel};
  FSavedBitsPerPixel = BitsPerPixel();
  FHeader->SaveToStream(Stream);
  FImages->SaveToStream(Stream);
  FTrailer->SaveToStream(Stream);
}
