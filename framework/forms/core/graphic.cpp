#include "graphic.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>

namespace {

std::map<std::string, TGraphicPlatform>& Platforms() {
  static std::map<std::string, TGraphicPlatform> d;
  return d;
}

const TGraphicPlatform* PlatformOf(const TGraphic& g) {
  auto it = Platforms().find(g.ClassName());
  return it == Platforms().end() ? nullptr : &it->second;
}

[[noreturn]] void Unsupported() {
  throw EInvalidGraphicOperation("Format der Zwischenablage wird nicht unterst\xFCtzt");
}

}  // namespace

namespace {
void (*BitmapPainter)(TGraphic&, TBitmap&, int, int) = nullptr;
}

void SetBitmapPainter(void (*Painter)(TGraphic&, TBitmap&, int, int)) { BitmapPainter = Painter; }

void DrawGraphicOnBitmap(TGraphic& Graphic, TBitmap& Bitmap, int X, int Y) {
  if (!BitmapPainter) throw EInvalidOperation(String(Graphic.ClassName()) + " kann hier nicht gezeichnet werden");
  BitmapPainter(Graphic, Bitmap, X, Y);
}

void RegisterGraphicPlatform(const char* ClassName, const TGraphicPlatform& Routines) { Platforms()[ClassName] = Routines; }

void TGraphic::LoadFromFile(const String& FileName) {
  TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

void TGraphic::SaveToFile(const String& FileName) {
  TSaveFileStream f(FileName);
  SaveToStream(f);
  f.Commit();
}

void TGraphic::LoadFromClipboardFormat(uint16_t AFormat, THandle AData, TPaletteHandle APalette) {
  const TGraphicPlatform* p = PlatformOf(*this);
  if (!p || !p->LoadClipboard) Unsupported();
  p->LoadClipboard(*this, AFormat, AData, APalette);
}

void TGraphic::SaveToClipboardFormat(uint16_t& AFormat, THandle& AData, TPaletteHandle& APalette) {
  const TGraphicPlatform* p = PlatformOf(*this);
  if (!p || !p->SaveClipboard) Unsupported();
  p->SaveClipboard(*this, AFormat, AData, APalette);
}

void TGraphic::Draw(TCanvas& ACanvas, const TRect& Rect) {
  const TGraphicPlatform* d = PlatformOf(*this);
  if (!d || !d->Draw) throw EInvalidOperation(String(ClassName()) + " kann hier nicht gezeichnet werden");
  d->Draw(*this, ACanvas, Rect);
}

TPaletteHandle TGraphic::GetPalette() {
  const TGraphicPlatform* d = PlatformOf(*this);
  return d && d->Palette ? d->Palette(*this) : nullptr;
}

void TGraphic::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Changed(this);
}

void TGraphic::SetModified(bool Value) {
  if (Value) Changed(this);
  else FModified = false;
}

void TGraphic::Changed(TObject* Sender) {
  FModified = true;
  FireEvent(OnChange, Sender);
}

void TGraphic::Progress(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow, const TRect* R,
                        const String& Msg) {
  FireEvent(OnProgress, Sender, Stage, PercentDone, RedrawNow, R, Msg);
}

void TGraphic::ReadData(TStream& Stream) {
  uint32_t size = 0;
  Stream.ReadBuffer(&size, 4);
  if (int64_t(size) > Stream.Size() - Stream.Position()) throw EReadError("Stream-Lesefehler");
  TMemoryStream m;
  if (size > 0) m.CopyFrom(Stream, size);
  m.SetPosition(0);
  LoadFromStream(m);
}

void TGraphic::WriteData(TStream& Stream) {
  TMemoryStream m;
  SaveToStream(m);
  const uint32_t size = uint32_t(m.Size());
  Stream.WriteBuffer(&size, 4);
  Stream.WriteBuffer(m.Memory(), size);
}

std::vector<uint8_t> TGraphic::ReadRest(TStream& Stream, int64_t Limit) {
  const int64_t avail = std::max<int64_t>(0, Stream.Size() - Stream.Position());
  std::vector<uint8_t> d(size_t(std::min(avail, Limit)));
  if (!d.empty()) d.resize(size_t(Stream.Read(d.data(), int64_t(d.size()))));
  return d;
}
