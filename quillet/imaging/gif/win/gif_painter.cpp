#include "gif_painter.h"

#include <mmsystem.h>

#include "bitmap_win.h"
#include "gif_frame_bitmap.h"
#include "gif_frame_draw.h"

TGIFPainter::TGIFPainter(TGIFPainter** Ref, TThreadList<TGIFPainter>* List, TGIFImage* Image, TCanvas* Canvas,
                         const TRect& Rect, TGIFDrawOptions Options)
    : TThread(true), TGIFAnimation(Image, Options, Image->AnimationSpeed), FGIF(Image), FList(List), FCanvas(Canvas), FRect(Rect),
      FRef(Ref) {
  if (FRef) *FRef = this;
  FreeOnTerminate = true;
  OnTerminate = [this](TObject*) { PainterTerminated(); };
  // A threaded painter waits on its event, so that Stop ends even an endless pause at once.
  if (Threaded()) FEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);

  if (Image->PaintBackgroundColor != clNone)
    FBackgroundColor = Image->PaintBackgroundColor;
  else if (Image->GlobalColorMap().Count() > 0)
    FBackgroundColor = Image->BackgroundColor();
  else
    FBackgroundColor = TColor(GetSysColor(COLOR_WINDOW));
  bool used[8] = {};
  for (int i = 0; i < Image->Images().Count(); ++i)
    if (TGIFGraphicControlExtension* g = Image->Images()[i]->GraphicControlExtension()) used[g->Disposal()] = true;
  if (Options & gdClearOnLoop) used[2] = true;
  if (used[2] && (Options & gdTransparent)) FBackground = MakeSurface(true);
  if (used[2] || used[3]) {
    FBuffer = MakeSurface(true);
    FBackupBuffer = MakeSurface(false);
  }
}

TGIFPainter::~TGIFPainter() {
  // A painter run inside Draw ends here; a threaded one ran this through OnTerminate already.
  if (!FTerminatedDone) PainterTerminated();
}

std::unique_ptr<TBitmap> TGIFPainter::MakeSurface(bool CopyCanvas) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(std::max<int>(1, FRect.Width()), std::max<int>(1, FRect.Height()));
  b->Fill(FBackgroundColor);
  if (CopyCanvas && FCanvas && FCanvas->HandleAllocated()) {
    if (TCanvas* c = BitmapCanvas(*b))
      BitBlt(c->Handle(), 0, 0, FRect.Width(), FRect.Height(), FCanvas->Handle(), FRect.left, FRect.top, SRCCOPY);
    GdiFlush();
  }
  return b;
}

void TGIFPainter::Start() {
  if (Threaded()) Resume();
}

void TGIFPainter::Stop() {
  TGIFAnimation::Stop();
  Terminate();
  if (Threaded()) {
    if (FEvent) SetEvent(FEvent);
    SetPriority(tpNormal);
    if (Suspended()) Resume();
  }
}

uint32_t TGIFPainter::Now() { return timeGetTime(); }

bool TGIFPainter::WaitForStop(int64_t Milliseconds) {
  if (!FEvent) {
    ::Sleep(DWORD(Milliseconds == GIFInfinitePause ? 100 : Milliseconds));
    return false;
  }
  const DWORD ms = Milliseconds == GIFInfinitePause ? INFINITE : DWORD(Milliseconds);
  return WaitForSingleObject(FEvent, ms) == WAIT_OBJECT_0;
}

void TGIFPainter::Sleep(int Milliseconds) { ::Sleep(DWORD(Milliseconds)); }

void TGIFPainter::ProcessMessages() {
  MSG m;
  while (!TGIFAnimation::Terminated() && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(int(m.wParam));
      Stop();
      return;
    }
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

void TGIFPainter::GiveWay() { ::Sleep(0); }

void TGIFPainter::PrepareFrame(TGIFSubImage* Frame) {
  if (!FGIF) return;
  if (Threaded()) {
    // Rendered here, handed to the picture in the user-interface thread before painting.
    FNext = RenderFrameBitmap(*Frame, FGIF->DoDither(), true);
    FNextFrame = Frame;
  } else {
    FGIF->FrameBitmap(Frame);
  }
}

void TGIFPainter::DoSynchronize(const TThreadMethod& Method) {
  if (TGIFAnimation::Terminated()) return;
  if (Threaded())
    Synchronize(Method);
  else
    Method();
}

void TGIFPainter::Notify(TGIFPaintEvent Event) {
  const TNotifyEvent* e = nullptr;
  switch (Event) {
    case peStart: e = &OnPaintStart; break;
    case peFrame: e = &OnPaintFrame; break;
    case peFramePainted: e = &OnFramePainted; break;
    case peLoop: e = &OnPaintLoop; break;
    case peEnd: e = &OnPaintEnd; break;
  }
  if (!e || !*e) return;
  DoSynchronize([this, e] { (*e)(static_cast<TThread*>(this)); });
}

void TGIFPainter::PaintActiveFrame() {
  DoSynchronize([this] {
    if (!FGIF) return;
    TGIFSubImage* frame = FImage->Images()[ActiveImage()];
    if (FNext && FNextFrame == frame) FGIF->SetFrameBitmap(frame, std::move(FNext));
    FNext.reset();
    if (FBuffer)
      PaintComposedFrame();
    else
      PaintFrame();
    if (OnImageBitmap) FGIF->BitmapPainted();
  });
}

void TGIFPainter::PaintFrame() {
  TGIFSubImage* frame = FImage->Images()[ActiveImage()];
  TBitmap* bmp = FGIF->FrameBitmap(frame);
  DrawGIFFrame(*frame, *bmp, FGIF->FrameMask(frame), *FCanvas, FRect, (DrawOptions() & gdTransparent) != 0,
               (DrawOptions() & gdTile) != 0);
  MarkPainted();
}

void TGIFPainter::RestoreBackground(TBitmap& Target) {
  TCanvas* dst = BitmapCanvas(Target);
  if (!dst) return;
  TGIFSubImage* frame = FImage->Images()[ActiveImage()];
  const TGIFDrawOptions o = DrawOptions();
  const int iw = FImage->Width(), ih = FImage->Height();
  const TRect area(0, 0, FRect.Width(), FRect.Height());
  auto tiles = [&](auto&& Each) {
    if (iw <= 0 || ih <= 0) return;
    for (int x = frame->Left(); x < area.right; x += iw)
      for (int y = frame->Top(); y < area.bottom; y += ih) Each(TRect(x, y, x + frame->Width(), y + frame->Height()));
  };
  const TGIFRect s = frame->ScaleRect({0, 0, int(area.right), int(area.bottom)});
  const TRect scaled(s.Left, s.Top, s.Right, s.Bottom);
  if (o & gdTransparent) {
    TCanvas* src = FBackground ? BitmapCanvas(*FBackground) : nullptr;
    if (!src) return;
    auto copy = [&](const TRect& r) {
      BitBlt(dst->Handle(), r.left, r.top, r.Width(), r.Height(), src->Handle(), r.left, r.top, SRCCOPY);
    };
    if (o & gdTile)
      tiles(copy);
    else
      copy(scaled);
    return;
  }
  TColor colour = FBackgroundColor;
  if ((o & gdTile) && frame->Width() != iw && frame->Height() != ih) {
    if (FGIF->PaintBackgroundColor != clNone) colour = FGIF->PaintBackgroundColor;
    dst->Brush()->SetColor(colour);
    tiles([&](const TRect& r) { dst->FillRect(r); });
    return;
  }
  dst->Brush()->SetColor(colour);
  dst->FillRect(scaled);
}

void TGIFPainter::PaintComposedFrame() {
  if ((DrawOptions() & gdCheckCanvas) && (!FCanvas->HandleAllocated() || GetObjectType(FCanvas->Handle()) == 0)) {
    Stop();
    return;
  }
  const bool clearFirst = (DrawOptions() & gdClearOnLoop) && ActiveImage() == 0;
  TGIFSubImage* frame = FImage->Images()[ActiveImage()];
  // The drawing surface by disposal; 4 - 7 are treated as 1.
  TBitmap* surface = FBuffer.get();
  bool copy = true, direct = false;
  const int disposal = Disposal() > 3 ? 1 : Disposal();
  const int previous = PreviousDisposal() > 3 ? 1 : PreviousDisposal();
  if (disposal == 3 && previous <= 1) {
    direct = true;
    copy = false;
  } else if (disposal == 3) {
    surface = FBackupBuffer.get();
  }
  if (clearFirst) RestoreBackground(*FBuffer);
  if (disposal == 3 && previous >= 2) {
    TCanvas* from = BitmapCanvas(*FBuffer);
    TCanvas* to = BitmapCanvas(*FBackupBuffer);
    if (from && to) BitBlt(to->Handle(), 0, 0, FRect.Width(), FRect.Height(), from->Handle(), 0, 0, SRCCOPY);
  }
  TBitmap* bmp = FGIF->FrameBitmap(frame);
  const bool transparent = (DrawOptions() & gdTransparent) != 0, tile = (DrawOptions() & gdTile) != 0;
  if (direct) {
    DrawGIFFrame(*frame, *bmp, FGIF->FrameMask(frame), *FCanvas, FRect, transparent, tile);
  } else if (TCanvas* c = BitmapCanvas(*surface)) {
    DrawGIFFrame(*frame, *bmp, FGIF->FrameMask(frame), *c, TRect(0, 0, FRect.Width(), FRect.Height()), transparent,
                 tile);
    if (copy)
      BitBlt(FCanvas->Handle(), FRect.left, FRect.top, FRect.Width(), FRect.Height(), c->Handle(), 0, 0, SRCCOPY);
  }
  if (disposal == 2) RestoreBackground(*FBuffer);
  MarkPainted();
}

void TGIFPainter::PainterTerminated() {
  if (FTerminatedDone) return;
  FTerminatedDone = true;
  if (FGIF) {
    if (FList) {
      {
        TPainterListLock lock(*FList);
        if (FRef && *FRef == this) *FRef = nullptr;
      }
      FList->Remove(this);
    }
    // A run that failed reports its error to the picture's owner as a warning.
    if (!ErrorMessage().empty()) FGIF->Warning(static_cast<TThread*>(this), 1, ErrorMessage());
  }
  Detach();
  FBuffer.reset();
  FBackupBuffer.reset();
  FBackground.reset();
  FNext.reset();
  if (FEvent) {
    CloseHandle(FEvent);
    FEvent = nullptr;
  }
}
