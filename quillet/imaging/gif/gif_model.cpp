// The tree of a GIF file and its walks: the frame list, the colour map kinds (which frames a
// table serves), the header, the frames, the trailer and the owning picture.
#include "gif_model.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "picture_budget.h"
#include "gif_lzw_decoder.h"

bool GIFRenderOnLoad = false;

using namespace GIFImage;

namespace {

// Colour table size of the packed fields' bits 0-2.
int TableColors(uint8_t Packed) { return 2 << (Packed & 7); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Items and lists: their warnings go to the owning picture

void TGIFItem::Warning(int Severity, const String& Message) {
  if (FImage) FImage->Warning(this, Severity, Message);
}

void TGIFList::Warning(int Severity, const String& Message) {
  if (FImage) FImage->Warning(this, Severity, Message);
}

// ---------------------------------------------------------------------------------------------
// Frame list

TGIFSubImage* TGIFImageList::SubImages(int Index) const { return static_cast<TGIFSubImage*>(Items(Index)); }

void TGIFImageList::SaveToStream(TStream& Stream) {
  const int n = Count();
  for (int i = 0; i < n; ++i) {
    Items(i)->SaveToStream(Stream);
    if (FImage) FImage->Progress(this, gpsRunning, (i + 1) * 100 / n, false, gifmsg::Saving);
  }
}

void TGIFImageList::LoadFromStream(TStream& Stream, TObject* Parent) {
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
    auto frame = std::make_unique<TGIFSubImage>(FImage);
    frame->LoadFromStream(Stream);
    Add(frame.release());
    if (FImage) {
      const int percent = size > 0 ? static_cast<int>(Stream.Position() * 100 / size) : 100;
      FImage->Progress(this, gpsRunning, percent, GIFRenderOnLoad, gifmsg::Loading);
    }
    got = TryReadByte(Stream, b);
    while (got && b == 0) got = TryReadByte(Stream, b);
  }
}

// ---------------------------------------------------------------------------------------------
// Colour map kinds

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
}

void TGIFImageOwner::Progress(TObject* Sender, TGIFProgressStage Stage, int Percent, bool RedrawNow,
                              const String& Message) {
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
  // A logical screen far beyond its frames is bounded by them (BoundCanvas): the picture's bitmap
  // is the screen, and what the frames cannot fill is not worth a bitmap of hundreds of megabytes.
  int right = 0, bottom = 0;
  for (int i = 0; i < FImages->Count(); ++i) {
    const TGIFSubImage* f = (*FImages)[i];
    right = std::max(right, f->Left() + f->Width());
    bottom = std::max(bottom, f->Top() + f->Height());
  }
  const TCanvasSize screen = BoundCanvas(FHeader->Width(), FHeader->Height(), right, bottom);
  if (FImages->Count() > 0 && (screen.Width != FHeader->Width() || screen.Height != FHeader->Height())) {
    FHeader->SetWidth(screen.Width);
    FHeader->SetHeight(screen.Height);
    Warning(FHeader, 1, gifmsg::ScreenSize);
  }
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
