#include "pixview.h"

#include <algorithm>
#include <cmath>

#include "bitmap_win.h"
#include "cursors_win.h"
#include "pixproc.h"

namespace {

// The cursors of the view: numbers and resource names.
const struct {
  int Number;
  const char* Name;
} kCursors[] = {{crZoomOut, "ZOOMMENO"}, {crZoomIn, "ZOOMPIU"}, {crCross, "CROCE"},   {crEraser, "GOMMA"},
                {crHand, "MANO"},        {crPen, "PENNA"},      {crCross1, "CROCE1"}, {crCross2, "CROCE2"}};

// Set each time a view is made: the dash period and the screen's colour depth.
int gDashPeriod = 7;
int gScreenBits = 24;

int RoundHalfEven(double v) { return int(std::nearbyint(v)); }

}  // namespace

int TPixView::DashPeriod() { return gDashPeriod; }

TPixView::TPixView(TComponent* AOwner) : TCustomControl(AOwner), FBitmap(new TBitmap) {
  // Each view loads the cursors again (the list keeps the newest).
  for (const auto& c : kCursors)
    SetScreenCursor(c.Number, HCURSOR(LoadImageA(GetModuleHandleA(nullptr), c.Name, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)));
  SetCursor(TCursor(crCross2));
  SetBounds(Left(), Top(), 105, 105);
  FBitmap->SetPixelFormat(pf24bit);
  FTimer.reset(new TTimer(nullptr));
  FTimer->SetEnabled(false);
  for (auto& s : FStrips) {
    s.reset(new TBitmap);
    s->SetPixelFormat(pf24bit);
  }
  OSVERSIONINFOA v = {};
  v.dwOSVersionInfoSize = sizeof v;
  gDashPeriod = GetVersionExA(&v) && v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 9 : 7;
  HDC screen = GetDC(nullptr);
  gScreenBits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
}

TPixView::~TPixView() {
  FTimer->SetEnabled(false);
  DestroyHandle();
}

void TPixView::SetBackground(TColor Value) {
  FBackground = Value;
  Update();
  ImageChange();
}

void TPixView::SetScrollBars(bool Value) {
  FScrollBars = Value;
  if (!Value && HandleAllocated()) {
    ShowScrollBar(Handle(), SB_VERT, FALSE);
    ShowScrollBar(Handle(), SB_HORZ, FALSE);
  }
  Update();
}

void TPixView::SetAnimatedSel(bool Value) {
  FAnimatedSel = Value;
  if (FSelShown) {
    StopFrame(true);
    StartFrame(true);
  }
}

void TPixView::SetZoom(int Percent) {
  FZoom = Percent;
  Update();
}

void TPixView::SetDPI(int X, int Y) {
  FDpiX = X;
  FDpiY = Y;
  FDpcmX = RoundHalfEven(X * 0.3937007874);
  FDpcmY = RoundHalfEven(Y * 0.3937007874);
}

// Both maxima are 0 unless the zoomed picture has a size; a picture that fits the control's
// full size (scroll bars included) does not scroll at all.
void TPixView::MaxOffsets(int& MX, int& MY) const {
  const int w = RoundHalfEven(double(FBitmap->Width()) * FZoom / 100.0);
  const int h = RoundHalfEven(double(FBitmap->Height()) * FZoom / 100.0);
  MX = MY = 0;
  if (w < 1 || h < 1) return;
  MX = std::max(0, w - ClientWidth());
  MY = std::max(0, h - ClientHeight());
  if (w <= Width() && h <= Height()) MX = MY = 0;
}

int TPixView::MaxViewX() const {
  int mx, my;
  MaxOffsets(mx, my);
  return mx;
}

int TPixView::MaxViewY() const {
  int mx, my;
  MaxOffsets(mx, my);
  return my;
}

void TPixView::SetViewX(int Value) {
  FViewX = std::max(0, std::min(Value, MaxViewX()));
  if (HandleAllocated()) OnScreen([&](TCanvas& c) { PaintInto(c.Handle()); });
  ViewChanged();
  if (FSelShown) StartFrame(false);
  if (FScrollBars && HandleAllocated()) SetScrollPos(Handle(), SB_HORZ, FViewX, TRUE);
}

void TPixView::SetViewY(int Value) {
  FViewY = std::max(0, std::min(Value, MaxViewY()));
  if (HandleAllocated()) OnScreen([&](TCanvas& c) { PaintInto(c.Handle()); });
  ViewChanged();
  if (FSelShown) StartFrame(false);
  if (FScrollBars && HandleAllocated()) SetScrollPos(Handle(), SB_VERT, FViewY, TRUE);
}

int TPixView::ScrollTo(int Code, int Pos, int Current, int Max) {
  switch (Code) {
    case SB_LINEUP: return Current - 1;
    case SB_LINEDOWN: return Current + 1;
    case SB_PAGEUP: return Current - 10;
    case SB_PAGEDOWN: return Current + 10;
    case SB_THUMBTRACK: return Pos & 0xFFFF;
    case SB_TOP: return 0;
    case SB_BOTTOM: return Max;
    default: return Current;  // thumb position, end of scrolling
  }
}

void TPixView::Update() {
  const int cw = ClientWidth(), ch = ClientHeight();
  int mx, my;
  MaxOffsets(mx, my);
  if (FViewX > mx) {
    FViewX = mx;
    ViewChanged();
  }
  if (FViewY > my) {
    FViewY = my;
    ViewChanged();
  }
  if (FScrollBars && HandleAllocated()) {
    try {
      auto bar = [&](int which, int max, int client) {
        if (max >= 1) {
          SetScrollRange(Handle(), which, 0, client + max - 1, FALSE);
          SCROLLINFO si = {sizeof si, SIF_PAGE, 0, 0, UINT(client), 0, 0};
          SetScrollInfo(Handle(), which, &si, TRUE);
          ShowScrollBar(Handle(), which, TRUE);
        } else {
          ShowScrollBar(Handle(), which, FALSE);
        }
      };
      bar(SB_HORZ, mx, cw);
      bar(SB_VERT, my, ch);
    } catch (...) {
    }
  }
  // A scroll bar that appeared or went changes the client area: lay out once more.
  if ((ClientWidth() != cw || ClientHeight() != ch) && FUpdateDepth == 0) {
    ++FUpdateDepth;
    Update();
    --FUpdateDepth;
  }
  if (FSelShown) StartFrame(false);
  Invalidate();
}

void TPixView::Paint() { PaintInto(Canvas()->Handle()); }

void TPixView::PaintInto(HDC DC) {
  const int cw = ClientWidth(), ch = ClientHeight();
  if (!NotShownText().empty()) {
    // A picture that has its size but no pixels (one the loader cannot decode): the background
    // with the reason in place of a black picture.
    HBRUSH b = CreateSolidBrush(ColorRef(FBackground));
    RECT all = {0, 0, cw, ch};
    FillRect(DC, &all, b);
    DeleteObject(b);
    const HGDIOBJ font = SelectObject(DC, GetStockObject(DEFAULT_GUI_FONT));
    const COLORREF back = ColorRef(FBackground);
    const int light = GetRValue(back) * 3 + GetGValue(back) * 6 + GetBValue(back);
    SetTextColor(DC, light > 1275 ? RGB(0, 0, 0) : RGB(255, 255, 255));
    SetBkMode(DC, TRANSPARENT);
    RECT text = {8, 8, std::max(8, cw - 8), std::max(8, ch - 8)};
    DrawTextA(DC, NotShownText().c_str(), -1, &text, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(DC, font);
    return;
  }
  const int bw = FBitmap->Width(), bh = FBitmap->Height();
  const int w = RoundHalfEven(double(bw) * FZoom / 100.0), h = RoundHalfEven(double(bh) * FZoom / 100.0);
  const int dw = std::min(w, cw), dh = std::min(h, ch);
  int sx = 0, sw = 0, sy = 0, sh = 0;
  if (w != 0) {
    sx = RoundHalfEven(double(bw) / w * FViewX);
    sw = RoundHalfEven(double(bw) / w * dw);
  }
  if (h != 0) {
    sy = RoundHalfEven(double(bh) / h * FViewY);
    sh = RoundHalfEven(double(bh) / h * dh);
  }
  if (dw < cw || dh < ch) {
    HBRUSH b = CreateSolidBrush(ColorRef(FBackground));
    RECT right = {dw, 0, cw, ch}, below = {0, dh, cw, ch};
    FillRect(DC, &right, b);
    FillRect(DC, &below, b);
    DeleteObject(b);
  }
  if (bh > 0 && dw > 0 && dh > 0) {
    // The pixels DrawDibDraw gives, without its copy of the whole picture on every call (Wine's
    // DrawDib copies the source into a section of its own each time): source rows counted from
    // the bottom of the bottom-up DIB.
    std::vector<uint8_t> info = BitmapInfo(*FBitmap);
    SetStretchBltMode(DC, COLORONCOLOR);
    StretchDIBits(DC, 0, 0, dw, dh, sx, bh - sy - sh, sw, sh, FBitmap->Bits(),
                  reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, SRCCOPY);
  }
}

LRESULT TPixView::WndProc(UINT Msg, WPARAM W, LPARAM L) {
  switch (Msg) {
    case WM_ERASEBKGND:
      return 0;  // Paint covers the whole client area
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED: {
      if (Msg == WM_PALETTECHANGED && HWND(W) == Handle()) return TRUE;
      HDC dc = GetDC(Handle());
      if (FDrawDib.Realize(dc, false) > 0) Invalidate();
      ReleaseDC(Handle(), dc);
      return TRUE;
    }
    default:
      return TCustomControl::WndProc(Msg, W, L);
  }
}

bool TPixView::SetCursorMessage(int X, int Y) {
  if (HCURSOR c = ScreenCursor(int(Cursor()))) {
    ::SetCursor(c);
    return true;
  }
  return TCustomControl::SetCursorMessage(X, Y);
}

void TPixView::Assign(TPersistent* Source) {
  if (!Source) {
    if (TCanvas* c = BitmapCanvas(*FBitmap)) {
      c->Brush()->SetColor(FBackground);
      c->Brush()->SetStyle(bsSolid);
      c->FillRect(TRect(0, 0, FBitmap->Width(), FBitmap->Height()));
      GdiFlush();
    }
    Update();
    return;
  }
  if (auto* v = dynamic_cast<TPixView*>(Source)) {
    if (v == this) return;
    FBitmap->Assign(v->FBitmap.get());
    FBackground = v->FBackground;
    SetDPI(v->FDpiX, v->FDpiY);
    Update();
    ImageChange();
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    if (b->PixelFormat() == pf1bit) TPixProc::Expand1Bit(*b, *FBitmap);
    else FBitmap->Assign(b);
    FBitmap->SetPixelFormat(pf24bit);
    Update();
    ImageChange();
  }
}

// ---- the selection frame ----

template <typename Work>
void TPixView::OnScreen(Work work) {
  AcquireCanvas();
  try {
    work(*Canvas());
  } catch (...) {
    ReleaseCanvas();
    throw;
  }
  ReleaseCanvas();
}

void TPixView::SetSelection(int X1, int Y1, int X2, int Y2) {
  if (FSelShown) StopFrame(true);
  FSelX1 = std::min(X1, X2), FSelX2 = std::max(X1, X2);
  FSelY1 = std::min(Y1, Y2), FSelY2 = std::max(Y1, Y2);
  FSelShown = true;
  StartFrame(true);
}

void TPixView::ClearSelection() {
  if (!FSelShown) return;
  StopFrame(true);
  FSelShown = false;
}

void TPixView::StartFrame(bool StepNow) {
  if (gScreenBits <= 8) return;
  FPhase = 0;
  FTimer->SetInterval(1);
  FTimer->OnTimer = [this](TObject*) { StepFrame(); };
  FTimer->SetEnabled(true);
  if (StepNow) StepFrame();
}

void TPixView::StopFrame(bool Restore) {
  if (gScreenBits <= 8) return;
  FTimer->SetEnabled(false);
  FTimer->SetInterval(0);
  FTimer->OnTimer = nullptr;
  if (Restore && FPhase >= 1 && HandleAllocated())
    OnScreen([&](TCanvas& c) { RestoreStrips(c, FSelX1 - FViewX, FSelY1 - FViewY, FSelX2 - FViewX, FSelY2 - FViewY); });
  FPhase = 0;
}

void TPixView::StepFrame() {
  if (!HandleAllocated()) return;
  const int x1 = FSelX1 - FViewX, y1 = FSelY1 - FViewY, x2 = FSelX2 - FViewX, y2 = FSelY2 - FViewY;
  OnScreen([&](TCanvas& c) {
    if (FPhase < 1) {
      SaveStrips(c, x1, y1, x2, y2);
      // A still frame: the timer stops after this first step.
      FTimer->SetInterval(FAnimatedSel ? 300 : 0);
      if (!FAnimatedSel) FTimer->SetEnabled(false);
    } else {
      RestoreStrips(c, x1, y1, x2, y2);
    }
    if (++FPhase >= gDashPeriod) FPhase = 1;
    DrawFrame(c, x1, y1, x2, y2);
  });
}

namespace {

// The four strips under a frame's edges (or the whole area of a small frame in the first), as
// screen rectangles, with the size of the strip bitmap that keeps each.
struct TStripRects {
  int Count;
  TRect R[4];
};

TStripRects StripRects(int x1, int y1, int x2, int y2) {
  if (x2 - x1 >= gDashPeriod && y2 - y1 >= gDashPeriod)
    return {4,
            {TRect(x1, y1, x2 + 1, y1 + 2), TRect(x1, y2, x2 + 1, y2 + 2), TRect(x1, y1, x1 + 1, y2 + 2),
             TRect(x2, y1, x2 + 1, y2 + 2)}};
  return {1, {TRect(x1, y1, x2 + 1, y2 + 1)}};
}

}  // namespace

void TPixView::SaveStrips(TCanvas& Screen, int x1, int y1, int x2, int y2) {
  if (x2 == x1 || y2 == y1) return;
  const TStripRects s = StripRects(x1, y1, x2, y2);
  for (int i = 0; i < s.Count; ++i) {
    const TRect& r = s.R[i];
    FStrips[i]->SetSize(r.Width(), r.Height());
    TCanvas* c = BitmapCanvas(*FStrips[i]);
    c->CopyRect(TRect(0, 0, r.Width(), r.Height()), Screen, r);
  }
  GdiFlush();
}

void TPixView::RestoreStrips(TCanvas& Screen, int x1, int y1, int x2, int y2) {
  if (x2 == x1 || y2 == y1) return;
  const TStripRects s = StripRects(x1, y1, x2, y2);
  for (int i = 0; i < s.Count; ++i) {
    const TRect& r = s.R[i];
    if (TCanvas* c = BitmapCanvas(*FStrips[i])) Screen.CopyRect(r, *c, TRect(0, 0, r.Width(), r.Height()));
  }
}

void TPixView::DrawFrame(TCanvas& Screen, int x1, int y1, int x2, int y2) {
  if (x2 == x1 || y2 == y1) return;
  Screen.Brush()->SetStyle(bsClear);
  Screen.Pen()->SetWidth(1);
  Screen.Pen()->SetStyle(psSolid);
  if (x2 - x1 >= gDashPeriod && y2 - y1 >= gDashPeriod) {
    Screen.Pen()->SetMode(pmCopy);
    Screen.Pen()->SetColor(clBlack);
    Screen.Rectangle(x1, y1, x2 + 1, y2 + 1);
    Screen.Pen()->SetStyle(psDot);
    Screen.Pen()->SetColor(clWhite);
    Screen.MoveTo(x1 + FPhase, y1), Screen.LineTo(x2 + 1, y1);
    Screen.MoveTo(x1 + FPhase, y2), Screen.LineTo(x2 + 1, y2);
    Screen.MoveTo(x1, y1 + FPhase), Screen.LineTo(x1, y2 + 1);
    Screen.MoveTo(x2, y1 + FPhase), Screen.LineTo(x2, y2 + 1);
  } else {
    Screen.Pen()->SetMode(pmNot);
    Screen.Rectangle(x1, y1, x2 + 1, y2 + 1);
  }
  Screen.Pen()->SetMode(pmCopy);
  Screen.Pen()->SetStyle(psSolid);
  Screen.Brush()->SetStyle(bsSolid);
}
