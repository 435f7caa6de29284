// The container first: the window system's headers would rename its RegisterClipboardFormat.
#include "picture.h"
#include "gif_image_win.h"

#include <memory>
#include <vector>

#include "bitmap_win.h"
#include "gif_frame_draw.h"
#include "gif_painter.h"
// The window system's headers make RegisterClipboardFormat a macro for its ANSI function; the
// picture container's member of that name is meant here.
#undef RegisterClipboardFormat

namespace {
constexpr const char* kClipboardFailed = "Failed to store GIF on clipboard";
constexpr const char* kClipboardFormat = "Format der Zwischenablage wird nicht unterstützt";

HPALETTE MakePalette(const TLogPalette& Entries) {
  if (Entries.empty()) return nullptr;
  std::vector<uint8_t> block(sizeof(LOGPALETTE) + Entries.size() * sizeof(PALETTEENTRY));
  auto* lp = reinterpret_cast<LOGPALETTE*>(block.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = WORD(Entries.size());
  for (size_t i = 0; i < Entries.size(); ++i)
    lp->palPalEntry[i] = {Entries[i].peRed, Entries[i].peGreen, Entries[i].peBlue, Entries[i].peFlags};
  return GDICheck(CreatePalette(lp));
}

// Sets a flag for the lifetime of the guard.
struct TFlag {
  bool& F;
  explicit TFlag(bool& Flag) : F(Flag) { F = true; }
  ~TFlag() { F = false; }
};

std::unique_ptr<TGIFImageView> MakeView(TGIFImage& Image) { return std::make_unique<TGIFImageWin>(Image); }

// The clipboard's bitmap form: a device-dependent bitmap read as 24 bits, or made from a picture.
void ReadBitmapHandle(HBITMAP Handle, TBitmap& Out) {
  BITMAP bm = {};
  if (!GetObjectA(Handle, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) GIFImage::Error(kClipboardFormat);
  Out.SetPixelFormat(pf24bit);
  Out.SetSize(bm.bmWidth, bm.bmHeight);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = bm.bmWidth;
  bi.bmiHeader.biHeight = bm.bmHeight;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  HDC dc = GetDC(nullptr);
  const int rows = GetDIBits(dc, Handle, 0, UINT(bm.bmHeight), Out.Bits(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  if (rows != bm.bmHeight) GIFImage::Error(kClipboardFormat);
}

HBITMAP MakeBitmapHandle(const TBitmap& Picture) {
  std::vector<uint8_t> info = BitmapInfo(Picture);
  HDC dc = GetDC(nullptr);
  HBITMAP h = CreateDIBitmap(dc, reinterpret_cast<BITMAPINFOHEADER*>(info.data()), CBM_INIT, Picture.Bits(),
                             reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  return GDICheck(h);
}
}  // namespace

TGIFImageWin* GIFImageWin(TGIFImage& Image) { return dynamic_cast<TGIFImageWin*>(Image.View()); }

TGIFImageWin::~TGIFImageWin() {
  StopDraw();
  // Painters still running inside a Draw further up the stack no longer reach the picture.
  {
    TPainterListLock lock(FPainters);
    for (TGIFPainter* p : lock.Painters()) {
      p->Stop();
      p->Detach();
    }
    lock.Painters().clear();
  }
  if (FImage.PaletteHandle()) DeleteObject(static_cast<HPALETTE>(FImage.PaletteHandle()));
}

bool TGIFImageWin::WaitWhile(const std::function<bool()>& Pending) {
  for (;;) {
    bool pending;
    {
      TPainterListLock lock(FPainters);
      pending = Pending();
    }
    if (!pending) return true;
    if (TThread::ProcessSyncMessages()) {
      PostQuitMessage(0);
      return false;
    }
    Sleep(0);
  }
}

void TGIFImageWin::StopDraw() {
  // Every painter is told to stop through its event; the threaded ones are waited for while their
  // last synchronised calls (their removal from the list among them) are served. No thread is
  // ended from outside: one ended in the middle of its work could leave heap or GDI locks held.
  bool quit = false;
  for (;;) {
    bool threaded = false;
    {
      TPainterListLock lock(FPainters);
      std::vector<TGIFPainter*>& list = lock.Painters();
      for (size_t i = list.size(); i-- > 0;) {
        list[i]->Stop();
        threaded |= list[i]->Threaded();
      }
    }
    if (!threaded) break;
    if (TThread::ProcessSyncMessages()) quit = true;
    Sleep(0);
  }
  if (quit) PostQuitMessage(0);
}

void TGIFImageWin::FreeBitmap() {
  TPainterListLock lock(FPainters);
  if (FDrawPainter) FDrawPainter->Stop();
}

void TGIFImageWin::ReleasePalette(TPaletteHandle Old) { DeleteObject(static_cast<HPALETTE>(Old)); }

bool TGIFImageWin::RenderGraphic(TGraphic& Source, TBitmap& Picture, TBitmap* Mask) {
  if (Source.Empty()) return false;
  const int w = Source.Width(), h = Source.Height();
  // Drawn once on white and once on black: where the two differ, the picture lets its
  // background through (an icon's masked pixels).
  auto render = [&](TBitmap& B, TColor Background) {
    B.SetPixelFormat(pf24bit);
    B.SetSize(w, h);
    B.Fill(Background);
    TCanvas* c = BitmapCanvas(B);
    if (!c) return false;
    try {
      Source.Draw(*c, TRect(0, 0, w, h));
    } catch (const EInvalidOperation&) {
      return false;
    }
    GdiFlush();
    return true;
  };
  if (!render(Picture, clWhite)) return false;
  if (!Mask || !Source.Transparent()) return true;
  TBitmap black;
  if (!render(black, clBlack)) return true;
  Mask->SetPixelFormat(pf1bit);
  Mask->SetPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
  Mask->SetSize(w, h);
  bool any = false;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool through = Picture.Pixel(x, y) != black.Pixel(x, y);
      any |= through;
      Mask->SetPixel(x, y, through ? clWhite : clBlack);
    }
  if (!any) Mask->SetSize(0, 0);
  return true;
}

HPALETTE TGIFImageWin::Palette() {
  if (FImage.PaletteGuard()) GIFImage::Error(gifmsg::NoColorTable);
  TFlag guard(FImage.PaletteGuard());
  if (FImage.PaletteHandle()) return static_cast<HPALETTE>(FImage.PaletteHandle());
  HPALETTE made = nullptr;
  if (FImage.DoDither())
    made = MakePalette(GIFImage::CreateWebPalette());
  else if (FImage.GlobalColorMap().Count() > 0)
    made = MakePalette(FImage.GlobalColorMap().ExportPalette());
  else if (FImage.Images().Count() > 0)
    return nullptr;  // frame palettes are the frames' own
  if (made) FImage.SetPalette(made);
  return made;
}

void TGIFImageWin::ShowBitmap(TCanvas& Canvas, const TRect& Rect) {
  TBitmap* bmp = FImage.Bitmap();
  if (!bmp) return;
  if (FImage.DrawOptions & gdTile) {
    const int w = FImage.Width(), h = FImage.Height();
    if (w <= 0 || h <= 0) return;
    for (int x = Rect.left; x < Rect.right; x += w)
      for (int y = Rect.top; y < Rect.bottom; y += h) StretchDrawBitmap(Canvas, TRect(x, y, x + w, y + h), *bmp);
  } else {
    StretchDrawBitmap(Canvas, Rect, *bmp);
  }
}

void TGIFImageWin::CreatePainter(TCanvas* Canvas, const TRect& Rect, TGIFDrawOptions Options) {
  FDrawPainter = nullptr;
  if (Rect.left >= Rect.right || Rect.top >= Rect.bottom || FImage.Empty()) return;
  if (FImage.Images().Count() == 1) Options &= TGIFDrawOptions(~(gdThreaded | gdAnimate));
  auto* p = new TGIFPainter(&FDrawPainter, &FPainters, &FImage, Canvas, Rect, Options);
  FPainters.Add(p);
  p->OnPaintStart = FImage.OnPaintStart;
  p->OnPaintFrame = FImage.OnPaintFrame;
  p->OnFramePainted = FImage.OnFramePainted;
  p->OnPaintLoop = FImage.OnPaintLoop;
  p->OnPaintEnd = FImage.OnPaintEnd;
  p->OnImageBitmap = !(Options & gdDirect);
  if (!(Options & gdThreaded)) {
    // The whole animation plays inside this call; the painter frees itself.
    p->FreeOnTerminate = false;
    p->Run();
    delete p;
    FDrawPainter = nullptr;
    return;
  }
  p->SetPriority(TThreadPriority(FImage.ThreadPriority));
}

void TGIFImageWin::Draw(TCanvas& Canvas, const TRect& Rect) {
  if (FImage.Drawing() || FImage.Empty()) return;
  TFlag drawing(FImage.Drawing());
  const TGIFDrawOptions o = FImage.DrawOptions;
  if (FImage.Images().Count() == 1 || !(o & gdAnimate)) {
    TGIFSubImage* first = FImage.Images()[0];
    TBitmap* bmp = FImage.FrameBitmap(first);
    DrawGIFFrame(*first, *bmp, FImage.FrameMask(first), Canvas, Rect, (o & gdTransparent) != 0, (o & gdTile) != 0);
    return;
  }
  if (!(o & gdDirect) && FImage.HasBitmap()) {
    ShowBitmap(Canvas, Rect);
    return;
  }
  TPainterListLock lock(FPainters);
  if (FDrawPainter && FDrawPainter->Canvas() == &Canvas && TRect(FDrawPainter->Rect()).left == Rect.left &&
      FDrawPainter->Rect().top == Rect.top && FDrawPainter->Rect().right == Rect.right &&
      FDrawPainter->Rect().bottom == Rect.bottom)
    return;  // already playing there
  bool freeBitmap = true;
  if (FDrawPainter) {
    FDrawPainter->Stop();
    if (FDrawPainter->Threaded()) {
      lock.Unlock();
      freeBitmap = WaitWhile([this] { return FDrawPainter != nullptr; });
      lock.Lock();
    }
  }
  if (freeBitmap) FImage.FreeBitmap();
  TCanvas* target = &Canvas;
  TRect area = Rect;
  if (!(o & gdDirect)) {
    TBitmap* blank = FImage.BlankBitmap();
    TCanvas* c = blank ? BitmapCanvas(*blank) : nullptr;
    if (!c) return;
    // Transparent pixels show what was under the picture.
    SetStretchBltMode(c->Handle(), COLORONCOLOR);
    StretchBlt(c->Handle(), 0, 0, blank->Width(), blank->Height(), Canvas.Handle(), Rect.left, Rect.top, Rect.Width(),
               Rect.Height(), SRCCOPY);
    target = c;
    area = TRect(0, 0, blank->Width(), blank->Height());
  }
  CreatePainter(target, area, o);
  TGIFPainter* started = FDrawPainter;
  if (started) started->Start();
  lock.Unlock();
  if (!(o & gdDirect) && started) {
    if (!WaitWhile([&] { return FDrawPainter == started && !started->FramePainted() && !started->Terminated(); }))
      return;
  }
  if (!(o & gdDirect)) ShowBitmap(Canvas, Rect);
}

void TGIFImageWin::LoadFromClipboardFormat(uint16_t Format, THandle Data) {
  if (!Data) Data = THandle(GetClipboardData(Format));
  if (Format == GIFClipboardFormat && Data) {
    HGLOBAL h = reinterpret_cast<HGLOBAL>(Data);
    const void* p = GlobalLock(h);
    if (!p) GIFImage::Error(kClipboardFormat);
    try {
      TMemoryStream s;
      s.WriteBuffer(p, int64_t(GlobalSize(h)));
      s.SetPosition(0);
      FImage.LoadFromStream(s);
    } catch (...) {
      GlobalUnlock(h);
      throw;
    }
    GlobalUnlock(h);
    return;
  }
  if (Format == cfBitmap && Data) {
    TBitmap bmp;
    ReadBitmapHandle(reinterpret_cast<HBITMAP>(Data), bmp);
    FImage.Assign(&bmp);
    return;
  }
  GIFImage::Error(kClipboardFormat);
}

void TGIFImageWin::SaveToClipboardFormat(uint16_t& Format, THandle& Data, TPaletteHandle& Palette) {
  if (FImage.Empty()) return;
  // The caller puts the bitmap form on the clipboard; the GIF form goes there now.
  Format = cfBitmap;
  Data = THandle(MakeBitmapHandle(*FImage.Bitmap()));
  Palette = this->Palette();
  TMemoryStream s;
  FImage.SaveToStream(s);
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, SIZE_T(s.Size()));
  if (!h) return;  // only the bitmap form then
  void* p = GlobalLock(h);
  if (!p) {
    GlobalFree(h);
    return;
  }
  s.SetPosition(0);
  s.ReadBuffer(p, s.Size());
  GlobalUnlock(h);
  if (!SetClipboardData(GIFClipboardFormat, h)) {
    GlobalFree(h);
    GIFImage::Error(kClipboardFailed);
  }
}

void RegisterGIFImage() {
  static bool done = false;
  if (done) return;
  done = true;
  SetGIFImageViewFactory(MakeView);
  TGraphicPlatform routines;
  routines.Draw = [](TGraphic& G, TCanvas& C, const TRect& R) {
    if (TGIFImageWin* v = GIFImageWin(static_cast<TGIFImage&>(G))) v->Draw(C, R);
  };
  routines.Palette = [](TGraphic& G) -> TPaletteHandle {
    TGIFImageWin* v = GIFImageWin(static_cast<TGIFImage&>(G));
    return v ? v->Palette() : nullptr;
  };
  routines.LoadClipboard = [](TGraphic& G, uint16_t Format, THandle Data, TPaletteHandle) {
    TGIFImageWin* v = GIFImageWin(static_cast<TGIFImage&>(G));
    if (!v) GIFImage::Error(kClipboardFormat);
    v->LoadFromClipboardFormat(Format, Data);
  };
  routines.SaveClipboard = [](TGraphic& G, uint16_t& Format, THandle& Data, TPaletteHandle& Palette) {
    if (TGIFImageWin* v = GIFImageWin(static_cast<TGIFImage&>(G))) v->SaveToClipboardFormat(Format, Data, Palette);
  };
  RegisterGraphicPlatform("TGIFImage", routines);
  RegisterGIFImageFormat();
  GIFClipboardFormat = uint16_t(RegisterClipboardFormatA(GIFFormatName));
  TPicture::RegisterClipboardFormat(GIFClipboardFormat, GraphicClassOf<TGIFImage>);
  HDC dc = GetDC(nullptr);
  const int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
  ReleaseDC(nullptr, dc);
  GIFPaletteDisplay = bits <= 8;
  GIFAutoDitherActive = GIFPaletteDisplay;
}

void UnregisterGIFImage() { TPicture::UnregisterGraphicClass(GraphicClassOf<TGIFImage>); }
