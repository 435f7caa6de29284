#include "gif_image.h"

#include <memory>

#include "picture_budget.h"
#include "gif_frame_bitmap.h"
#include "picture.h"

bool GIFOptimizeOnStore = false;
bool GIFPaletteDisplay = false;
bool GIFAutoDitherActive = false;
uint16_t GIFClipboardFormat = 0;

namespace {
TGIFImageViewFactory gViewFactory = nullptr;
constexpr const char* kCopying = "Copying...";
constexpr const char* kNotSupported = "Object type not supported for operation";

// The picture's own bitmap takes the whole logical screen at 24 bits: a screen beyond one picture's
// budget (a small file may declare 65535 x 65535) is refused before anything is allocated.
void CheckScreenSize(int W, int H) {
  if (int64_t(W) * H > kMaxPicturePixels) GIFImage::Error(gifmsg::ImageDimensions);
}

TProgressStage Stage(TGIFProgressStage S) {
  return S == gpsStarting ? psStarting : S == gpsRunning ? psRunning : psEnding;
}

// Starting and ending progress around an operation; the end reports 0 % when an error passes.
class TProgressRun {
public:
  TProgressRun(TGIFImage& Image, const char* Caption) : FImage(Image), FCaption(Caption) {
    FImage.Progress(&FImage, gpsStarting, 0, false, FCaption);
  }
  ~TProgressRun() { FImage.Progress(&FImage, gpsEnding, FDone ? 100 : 0, true, FCaption); }
  void Done() { FDone = true; }

private:
  TGIFImage& FImage;
  const char* FCaption;
  bool FDone = false;
};
}  // namespace

void SetGIFImageViewFactory(TGIFImageViewFactory Factory) { gViewFactory = Factory; }

void RegisterGIFImageFormat() { TPicture::RegisterFileFormat("gif", GIFFormatName, GraphicClassOf<TGIFImage>); }

TGIFImage::TGIFImage() {
  if (gViewFactory) FView = gViewFactory(*this);
}

TGIFImage::~TGIFImage() {
  StopDraw();
  FreeBitmap();
  FView.reset();
  Images().Clear();
  FFrames.clear();
}

void TGIFImage::Warning(TObject* Sender, int Severity, const String& Message) {
  if (OnWarning) OnWarning(Sender, Severity, Message);
}

void TGIFImage::Progress(TObject* Sender, TGIFProgressStage S, int Percent, bool RedrawNow, const String& Message) {
  TGraphic::Progress(this, Stage(S), uint8_t(std::max(0, std::min(100, Percent))), RedrawNow, nullptr, Message);
}

void TGIFImage::ReductionSettings(int& Reduction, int& ColorBits, int& Dither) const {
  Reduction = ColorReduction;
  ColorBits = ReductionBits;
  Dither = DitherMode;
}

void TGIFImage::SubImageChanged(TGIFSubImage* SubImage) {
  FFrames.erase(SubImage);
  // The picture's bitmap shows frame 0, or a frame not in the list yet that may become it. Only an
  // existing bitmap needs the list asked (a walk over it): while frames are loaded or added there
  // is none, so loading stays linear in the frames.
  if (FBitmap && Images().IndexOf(SubImage) <= 0) FBitmap.reset();
}

TGIFImage::TFrameCache& TGIFImage::Cache(TGIFSubImage* Frame) { return FFrames[Frame]; }

TBitmap* TGIFImage::FrameBitmap(TGIFSubImage* Frame, bool Quiet) {
  TFrameCache& c = Cache(Frame);
  const bool dither = DoDither();
  if (c.Bitmap && c.Dithered != dither) c.Bitmap.reset();
  if (!c.Bitmap) {
    c.Bitmap = RenderFrameBitmap(*Frame, dither, Quiet);
    c.Dithered = dither;
  }
  if (c.MaskNeeded && Frame->Transparent()) {
    c.Mask = RenderFrameMask(*Frame);
    c.MaskNeeded = false;
  }
  return c.Bitmap.get();
}

void TGIFImage::SetFrameBitmap(TGIFSubImage* Frame, std::unique_ptr<TBitmap> Picture) {
  TFrameCache& c = Cache(Frame);
  c.Bitmap = std::move(Picture);
  c.Dithered = DoDither();
}

TBitmap* TGIFImage::BlankBitmap() {
  FBitmap.reset();
  if (Empty()) return nullptr;
  CheckScreenSize(Width(), Height());
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(pf24bit);
  bmp->SetSize(Width(), Height());
  FBitmap = std::move(bmp);
  return FBitmap.get();
}

TBitmap* TGIFImage::FrameMask(TGIFSubImage* Frame) {
  TFrameCache& c = Cache(Frame);
  if (c.MaskNeeded && Frame->Transparent()) {
    // The mask is made together with the frame's picture.
    c.Bitmap.reset();
    FrameBitmap(Frame);
  }
  return Frame->Transparent() ? Cache(Frame).Mask.get() : nullptr;
}

bool TGIFImage::DoDither() const {
  if (!(DrawOptions & gdDither)) return false;
  if (!(DrawOptions & gdAutoDither)) return true;
  return GIFAutoDitherActive;
}

void TGIFImage::StopDraw() {
  if (FView) FView->StopDraw();
  FreeBitmap();
}

void TGIFImage::FreeBitmap() {
  if (FView) FView->FreeBitmap();
  FBitmap.reset();
}

void TGIFImage::Clear() {
  StopDraw();
  FreeBitmap();
  TGIFImageOwner::Clear();
  Header().SetWidth(0);
  Header().SetHeight(0);
  FFrames.clear();
  SetPalette(nullptr);
}

void TGIFImage::SetPalette(TPaletteHandle Palette) {
  if (Palette == FPalette) return;
  const TPaletteHandle old = FPalette;
  FPalette = Palette;
  if (FView && old) FView->ReleasePalette(old);
  FreeBitmap();
  SetPaletteModified(true);
  Changed();
}

void TGIFImage::SetWidth(int Value) {
  for (int i = 0; i < Images().Count(); ++i)
    if (Images()[i]->Left() + Images()[i]->Width() > Value) GIFImage::Error(gifmsg::ImageWidth);
  if (Value == Width()) return;
  Header().SetWidth(Value);
  FreeBitmap();
  Changed();
}

void TGIFImage::SetHeight(int Value) {
  for (int i = 0; i < Images().Count(); ++i)
    if (Images()[i]->Top() + Images()[i]->Height() > Value) GIFImage::Error(gifmsg::ImageHeight);
  if (Value == Height()) return;
  Header().SetHeight(Value);
  FreeBitmap();
  Changed();
}

void TGIFImage::LoadFromStream(TStream& Stream) {
  TProgressRun progress(*this, gifmsg::Loading);
  Clear();
  const int64_t start = Stream.Position();
  try {
    TGIFImageOwner::LoadFromStream(Stream);
  } catch (...) {
    Stream.SetPosition(start);
    throw;
  }
  progress.Done();
  Changed();
}

void TGIFImage::SaveToStream(TStream& Stream) {
  TProgressRun progress(*this, gifmsg::Saving);
  TGIFImageOwner::SaveToStream(Stream);
  progress.Done();
}

void TGIFImage::WriteData(TStream& Stream) {
  if (GIFOptimizeOnStore) Optimize(ooColorMap, 0);
  TGraphic::WriteData(Stream);
}

TGIFSubImage* TGIFImage::Add(TPersistent* Source) {
  TGIFSubImage* frame = dynamic_cast<TGIFSubImage*>(Source);
  if (!frame) {
    if (!dynamic_cast<TGraphic*>(Source)) GIFImage::Error(kNotSupported);
    auto made = std::make_unique<TGIFSubImage>(this);
    if (auto* bmp = dynamic_cast<TBitmap*>(Source)) {
      AssignBitmapToFrame(*made, *bmp);
    } else {
      TBitmap picture, mask;
      if (!FView || !FView->RenderGraphic(*static_cast<TGraphic*>(Source), picture, &mask))
        throw EConvertError(String(Source->ClassName()) + " kann nicht zu TGIFImage zugewiesen werden");
      AssignBitmapToFrame(*made, picture);
      // An icon's masked pixels get a colour of their own and become transparent.
      if (!mask.Empty() && made->ColorMap().Count() != 0 && made->ColorMap().Count() != 256) {
        const int index = made->ColorMap().Add(TColor(0));
        for (int y = 0; y < made->Height(); ++y) {
          uint8_t* row = made->ScanLine(y);
          for (int x = 0; x < made->Width(); ++x)
            if (mask.Pixel(x, y) != clBlack) row[x] = uint8_t(index);
        }
        auto* gce = new TGIFGraphicControlExtension(made.get());
        made->Extensions().Add(gce);
        gce->SetTransparent(true);
        gce->SetTransparentColorIndex(index);
      }
    }
    frame = made.release();
  } else if (frame->Image() != this) {
    GIFImage::Error(kNotSupported);
  }
  if (Images().IndexOf(frame) < 0) Images().Add(frame);
  FreeBitmap();
  Changed();
  return frame;
}

void TGIFImage::Assign(TPersistent* Source) {
  if (Source == this) return;
  if (!Source) {
    Clear();
    Changed();
    return;
  }
  if (auto* src = dynamic_cast<TGIFImage*>(Source)) {
    Clear();
    // The copy reports through the source's notifications.
    const TProgressEvent ownProgress = OnProgress;
    const TGIFWarningEvent ownWarning = OnWarning;
    OnProgress = src->OnProgress;
    OnWarning = src->OnWarning;
    try {
      TProgressRun progress(*this, kCopying);
      Header().Assign(&src->Header());
      ThreadPriority = src->ThreadPriority;
      PaintBackgroundColor = src->PaintBackgroundColor;
      DrawOptions = src->DrawOptions;
      ColorReduction = src->ColorReduction;
      DitherMode = src->DitherMode;
      const int n = src->Images().Count();
      for (int i = 0; i < n; ++i) {
        auto frame = std::make_unique<TGIFSubImage>(this);
        frame->Assign(src->Images()[i]);
        Images().Add(frame.release());
        Progress(this, gpsRunning, (i + 1) * 100 / n, false, kCopying);
      }
      progress.Done();
    } catch (...) {
      OnProgress = ownProgress;
      OnWarning = ownWarning;
      throw;
    }
    OnProgress = ownProgress;
    OnWarning = ownWarning;
    FreeBitmap();
    Changed();
    return;
  }
  if (dynamic_cast<TGraphic*>(Source)) {
    AssignPicture(Source);
    return;
  }
  TGraphic::Assign(Source);
}

void TGIFImage::AssignPicture(TPersistent* Source) {
  Clear();
  try {
    Add(Source);
  } catch (const EConvertError&) {
    TGraphic::Assign(Source);
  }
}

void TGIFImage::AssignTo(TPersistent* Dest) {
  if (auto* bmp = dynamic_cast<TBitmap*>(Dest)) {
    TBitmap* own = Bitmap();
    if (own)
      bmp->Assign(own);
    else
      bmp->Assign(nullptr);  // an empty picture gives an empty bitmap
    return;
  }
  TGraphic::AssignTo(Dest);
}

TBitmap* TGIFImage::Bitmap() {
  if (Empty()) return nullptr;
  if (FBitmap) return FBitmap.get();
  CheckScreenSize(Width(), Height());
  TGIFSubImage* first = Images()[0];
  auto bmp = std::make_unique<TBitmap>();
  if (first->Left() == 0 && first->Top() == 0 && first->Width() == Width() && first->Height() == Height()) {
    bmp->Assign(FrameBitmap(first));
  } else {
    // Frame 0 on the picture's area; what it does not cover is black.
    bmp->SetPixelFormat(pf24bit);
    bmp->SetSize(Width(), Height());
    if (!first->Empty()) {
      TBitmap* f = FrameBitmap(first);
      for (int y = 0; y < first->Height() && first->Top() + y < Height(); ++y)
        for (int x = 0; x < first->Width() && first->Left() + x < Width(); ++x)
          bmp->SetPixel(first->Left() + x, first->Top() + y, f->Pixel(x, y));
    }
  }
  bmp->OnChange = [this](TObject*) { Changed(); };
  FBitmap = std::move(bmp);
  return FBitmap.get();
}

TColor TGIFImage::BackgroundColor() { return GlobalColorMap().Colors(Header().BackgroundColorIndex()); }

void TGIFImage::Optimize(int Options, int ReductionMode) {
  if (Empty()) return;
  StopDraw();
  OptimizeFrames(Options, ReductionMode);
  FreeBitmap();
  Changed();
}
