#include "picture.h"

#include <algorithm>
#include <memory>

#include "bitmap.h"
#include "icon.h"
#include "metafile.h"

namespace {

struct TClipboardEntry {
  uint16_t Format;
  TGraphicClass GraphicClass;
};

struct TRegistry {
  std::vector<TFileFormat> Files;
  std::vector<TClipboardEntry> Clipboard;
  TRegistry() {
    Files.push_back({"bmp", "Bitmaps", &GraphicClassOf<TBitmap>});
    Files.push_back({"ico", "Symbole", &GraphicClassOf<TIcon>});
    Files.push_back({"wmf", "Metadateien", &GraphicClassOf<TMetafile>});
    Files.push_back({"emf", "Erweiterte Metadateien", &GraphicClassOf<TMetafile>});
    Clipboard.push_back({cfBitmap, &GraphicClassOf<TBitmap>});
  }
};

TRegistry& Registry() {
  static TRegistry r;
  return r;
}

String Bare(const String& Extension) {
  String e = LowerCase(Extension);
  if (!e.empty() && e[0] == '.') e.erase(0, 1);
  return e;
}

// A new empty picture of the class that Graphic belongs to, found among the registered classes.
TGraphic* NewLike(const TGraphic& Graphic) {
  auto make = [&](TGraphicClass c) -> TGraphic* {
    std::unique_ptr<TGraphic> g(c());
    return String(g->ClassName()) == Graphic.ClassName() ? g.release() : nullptr;
  };
  for (const TFileFormat& f : Registry().Files)
    if (TGraphic* g = make(f.GraphicClass)) return g;
  for (const TClipboardEntry& c : Registry().Clipboard)
    if (TGraphic* g = make(c.GraphicClass)) return g;
  throw EInvalidGraphic(String("Unbekannte Grafikklasse ") + Graphic.ClassName());
}

}  // namespace

TPicture::~TPicture() { delete FGraphic; }

void TPicture::Replace(TGraphic* NewGraphic) {
  delete FGraphic;
  FGraphic = NewGraphic;
  if (FGraphic) {
    FGraphic->OnChange = [this](TObject*) { Changed(); };
    FGraphic->OnProgress = [this](TObject* Sender, TProgressStage Stage, uint8_t Percent, bool Redraw,
                                  const TRect* R, const String& Msg) {
      FireEvent(OnProgress, Sender, Stage, Percent, Redraw, R, Msg);
    };
  }
  Changed();
}

void TPicture::Changed() { FireEvent(OnChange, this); }

void TPicture::SetGraphic(TGraphic* Value) {
  if (Value == FGraphic) return;
  if (!Value) {
    Replace(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> g(NewLike(*Value));
  g->Assign(Value);
  Replace(g.release());
}

TBitmap* TPicture::Bitmap() {
  if (auto* b = dynamic_cast<TBitmap*>(FGraphic)) return b;
  Replace(new TBitmap);
  return static_cast<TBitmap*>(FGraphic);
}

int TPicture::Width() const { return FGraphic ? FGraphic->Width() : 0; }
int TPicture::Height() const { return FGraphic ? FGraphic->Height() : 0; }

void TPicture::LoadFromFile(const String& FileName) {
  const String ext = Bare(ExtractFileExt(FileName));
  TGraphicClass c = FileFormatClass(ext);
  if (!c) throw EInvalidGraphic("Unbekannte Bilddateierweiterung (." + ext + ")");
  std::unique_ptr<TGraphic> g(c());
  g->OnProgress = OnProgress;
  g->LoadFromFile(FileName);
  Replace(g.release());
}

void TPicture::SaveToFile(const String& FileName) {
  if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::LoadFromClipboardFormat(uint16_t AFormat, THandle AData, TPaletteHandle APalette) {
  TGraphicClass c = nullptr;
  for (const TClipboardEntry& e : Registry().Clipboard)
    if (e.Format == AFormat) c = e.GraphicClass;
  if (!c) throw EInvalidGraphic("Nicht unterst\xFCtztes Zwischenablageformat");
  std::unique_ptr<TGraphic> g(c());
  g->LoadFromClipboardFormat(AFormat, AData, APalette);
  Replace(g.release());
}

void TPicture::SaveToClipboardFormat(uint16_t& AFormat, THandle& AData, TPaletteHandle& APalette) {
  if (FGraphic) FGraphic->SaveToClipboardFormat(AFormat, AData, APalette);
}

bool TPicture::SupportsClipboardFormat(uint16_t AFormat) {
  for (const TClipboardEntry& e : Registry().Clipboard)
    if (e.Format == AFormat) return true;
  return false;
}

void TPicture::Assign(TPersistent* Source) {
  if (!Source) SetGraphic(nullptr);
  else if (auto* p = dynamic_cast<TPicture*>(Source)) SetGraphic(p->Graphic());
  else if (auto* g = dynamic_cast<TGraphic*>(Source)) SetGraphic(g);
  else TPersistent::Assign(Source);
}

void TPicture::RegisterFileFormat(const String& AExtension, const String& ADescription, TGraphicClass AGraphicClass) {
  const String ext = Bare(AExtension);
  auto& files = Registry().Files;
  files.erase(std::remove_if(files.begin(), files.end(), [&](const TFileFormat& f) { return f.Extension == ext; }),
              files.end());
  files.push_back({ext, ADescription, AGraphicClass});
}

void TPicture::RegisterClipboardFormat(uint16_t AFormat, TGraphicClass AGraphicClass) {
  auto& clip = Registry().Clipboard;
  clip.erase(std::remove_if(clip.begin(), clip.end(), [&](const TClipboardEntry& e) { return e.Format == AFormat; }),
             clip.end());
  clip.push_back({AFormat, AGraphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass AGraphicClass) {
  auto& files = Registry().Files;
  files.erase(std::remove_if(files.begin(), files.end(),
                             [&](const TFileFormat& f) { return f.GraphicClass == AGraphicClass; }),
              files.end());
  auto& clip = Registry().Clipboard;
  clip.erase(std::remove_if(clip.begin(), clip.end(),
                            [&](const TClipboardEntry& e) { return e.GraphicClass == AGraphicClass; }),
             clip.end());
}

std::vector<TFileFormat> TPicture::FileFormats() { return Registry().Files; }

TGraphicClass TPicture::FileFormatClass(const String& Extension) {
  const String ext = Bare(Extension);
  for (const TFileFormat& f : Registry().Files)
    if (f.Extension == ext) return f.GraphicClass;
  return nullptr;
}

String TPicture::GraphicFilter() {
  String all, each;
  for (const TFileFormat& f : Registry().Files) {
    all += (all.empty() ? "*." : ";*.") + f.Extension;
    each += "|" + f.Description + " (*." + f.Extension + ")|*." + f.Extension;
  }
  return "Alle (" + all + ")|" + all + each;
}
