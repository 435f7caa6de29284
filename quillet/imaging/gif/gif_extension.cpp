// The extension list's walk, the extension blocks and the registries of labels and application
// identifiers.
#include "gif_extension.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

using namespace GIFImage;

// ---------------------------------------------------------------------------------------------
// Extension list

TGIFExtension* TGIFExtensionList::Extensions(int Index) const { return static_cast<TGIFExtension*>(Items(Index)); }

void TGIFExtensionList::LoadFromStream(TStream& Stream, TObject* Parent) {
  TGIFExtensionHost* frame = dynamic_cast<TGIFExtensionHost*>(Parent);
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
    std::unique_ptr<TGIFExtension> ext(cls->Create(frame));
    ext->LoadFromStream(Stream);
    Add(ext.release());
  }
}

// ---------------------------------------------------------------------------------------------
// Extensions

TGIFExtension::TGIFExtension(TGIFExtensionHost* Frame)
    : TGIFItem(Frame ? Frame->HostImage() : nullptr), FSubImage(Frame) {}

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
TGIFExtension* CreateExtension(TGIFExtensionHost* Frame) {
  return new T(Frame);
}
}  // namespace

// Graphic control

TGIFGraphicControlExtension::TGIFGraphicControlExtension(TGIFExtensionHost* Frame) : TGIFExtension(Frame) {
  if (FSubImage && !FSubImage->GraphicControlExtension()) FSubImage->SetGraphicControlExtension(this);
}

TGIFGraphicControlExtension::~TGIFGraphicControlExtension() {
  if (FSubImage && FSubImage->GraphicControlExtension() == this) {
    if (Transparent()) FSubImage->SetTransparent(false);
    FSubImage->SetGraphicControlExtension(nullptr);
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
    if (FSubImage && FSubImage->GraphicControlExtension() == this && Transparent()) FSubImage->SetTransparent(true);
    return;
  }
  TGIFExtension::Assign(Source);
}

void TGIFGraphicControlExtension::SetTransparent(bool Value) {
  if (Value)
    FBlock[1] |= 0x01;
  else
    FBlock[1] &= uint8_t(~0x01);
  if (Value && FSubImage) FSubImage->SetTransparent(true);
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
  if (Transparent() && FSubImage && FSubImage->GraphicControlExtension() == this) FSubImage->SetTransparent(true);
}

// Plain text

TGIFTextExtension::TGIFTextExtension(TGIFExtensionHost* Frame) : TGIFExtension(Frame) {}

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

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFExtensionHost* Frame) : TGIFApplicationExtension(Frame) {
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
