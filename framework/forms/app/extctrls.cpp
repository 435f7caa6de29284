#include "extctrls.h"

#include <algorithm>

// ---- TShape ---------------------------------------------------------------------------------

TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner) {
  FWidth = 65;
  FHeight = 65;
  FPen.OnChange = [this](TObject*) { Invalidate(); };
  FBrush.OnChange = [this](TObject*) { Invalidate(); };
}

void TShape::Paint(TCanvas& Canvas) {
  Canvas.Pen()->Assign(&FPen);
  Canvas.Brush()->Assign(&FBrush);
  // A wider pen stays inside the bounds.
  const int inset = FPen.Width() / 2;
  Canvas.Rectangle(inset, inset, Width() - inset, Height() - inset);
}

// ---- TImage ---------------------------------------------------------------------------------

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
  FWidth = 105;
  FHeight = 105;
  FPicture->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

void TImage::SetAutoSize(bool v) {
  FAutoSize = v;
  if (v) PictureChanged();
}

void TImage::PictureChanged() {
  if (FAutoSize && !FPicture->Empty()) SetBounds(FLeft, FTop, FPicture->Width(), FPicture->Height());
  Invalidate();
}

void TImage::Paint(TCanvas& Canvas) {
  TGraphic* g = FPicture->Graphic();
  if (!g || g->Empty()) return;
  if (FStretch) {
    Canvas.StretchDraw(TRect(0, 0, Width(), Height()), g);
    return;
  }
  int x = 0, y = 0;
  if (FCenter) {
    x = (Width() - g->Width()) / 2;
    y = (Height() - g->Height()) / 2;
  }
  Canvas.Draw(x, y, g);
}

// ---- TScrollBox -----------------------------------------------------------------------------

TScrollBox::TScrollBox(TComponent* AOwner) : TCustomControl(AOwner) {
  FWidth = 185;
  FHeight = 41;
  FCaptureMouse = false;
}

void TScrollBox::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style |= WS_HSCROLL | WS_VSCROLL;
  if (FBorderStyle == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
  p.ExStyle |= WS_EX_CONTROLPARENT;
}

void TScrollBox::UpdateRange() {
  if (!FAutoScroll) return;
  int right = 0, bottom = 0;
  for (TControl* c : FControls) {
    if (!c->Visible()) continue;
    right = std::max(right, c->Left() + FHorz.Position + c->Width());
    bottom = std::max(bottom, c->Top() + FVert.Position + c->Height());
  }
  FHorz.Range = right;
  FVert.Range = bottom;
  UpdateScrollBars();
}

void TScrollBox::SetRange(int Width, int Height) {
  FHorz.Range = std::max(Width, 0);
  FVert.Range = std::max(Height, 0);
  UpdateScrollBars();
}

void TScrollBox::UpdateScrollBars() {
  if (!FHandle || FUpdating) return;
  FUpdating = true;
  // Twice: showing one bar narrows the client area, which may call for the other.
  for (int pass = 0; pass < 2; ++pass) {
    RECT r;
    GetClientRect(FHandle, &r);
    for (int bar : {SB_HORZ, SB_VERT}) {
      TControlScrollBar& b = bar == SB_HORZ ? FHorz : FVert;
      SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
      si.nMax = std::max(b.Range - 1, 0);
      si.nPage = UINT(bar == SB_HORZ ? r.right : r.bottom);
      si.nPos = b.Position;
      SetScrollInfo(FHandle, bar, &si, TRUE);
    }
  }
  FUpdating = false;
  ScrollTo(FHorz.Position, FVert.Position);  // clamps to the new ranges
}

void TScrollBox::ScrollTo(int X, int Y) {
  int cw = ClientWidth(), ch = ClientHeight();
  X = std::max(0, std::min(X, FHorz.Range - cw));
  Y = std::max(0, std::min(Y, FVert.Range - ch));
  const int dx = FHorz.Position - X, dy = FVert.Position - Y;
  if (dx == 0 && dy == 0) return;
  FHorz.Position = X;
  FVert.Position = Y;
  for (TControl* c : FControls) c->ScrolledBy(dx, dy);
  if (FHandle) {
    ScrollWindowEx(FHandle, dx, dy, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    SetScrollPos(FHandle, SB_HORZ, X, TRUE);
    SetScrollPos(FHandle, SB_VERT, Y, TRUE);
  }
}

void TScrollBox::ScrollInView(TControl* AControl) {
  if (!AControl) return;
  int x = FHorz.Position, y = FVert.Position;
  if (AControl->Left() < 0) x += AControl->Left();
  else if (AControl->Left() + AControl->Width() > ClientWidth())
    x += AControl->Left() + AControl->Width() - ClientWidth();
  if (AControl->Top() < 0) y += AControl->Top();
  else if (AControl->Top() + AControl->Height() > ClientHeight())
    y += AControl->Top() + AControl->Height() - ClientHeight();
  ScrollTo(x, y);
}

int TScrollBox::Scrolled(const TControlScrollBar& Bar, int Code, int Page, int Track) const {
  switch (Code) {
    case SB_LINEUP: return Bar.Position - Bar.Increment;
    case SB_LINEDOWN: return Bar.Position + Bar.Increment;
    case SB_PAGEUP: return Bar.Position - Page;
    case SB_PAGEDOWN: return Bar.Position + Page;
    case SB_TOP: return 0;
    case SB_BOTTOM: return Bar.Range;
    case SB_THUMBTRACK: return Bar.Tracking ? Track : Bar.Position;
    case SB_THUMBPOSITION: return Track;
    default: return Bar.Position;
  }
}

void TScrollBox::HScroll(int Code, int Pos) {
  SCROLLINFO si = {sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
  GetScrollInfo(FHandle, SB_HORZ, &si);
  ScrollTo(Scrolled(FHorz, Code, ClientWidth(), si.nTrackPos), FVert.Position);
}

void TScrollBox::VScroll(int Code, int Pos) {
  SCROLLINFO si = {sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
  GetScrollInfo(FHandle, SB_VERT, &si);
  ScrollTo(FHorz.Position, Scrolled(FVert, Code, ClientHeight(), si.nTrackPos));
}

LRESULT TScrollBox::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_MOUSEWHEEL) {
    const int steps = short(HIWORD(w)) / WHEEL_DELTA;
    // Without a vertical range the wheel moves the content sideways.
    if (FVert.Range > ClientHeight()) ScrollBy(0, -steps * 3 * FVert.Increment);
    else ScrollBy(-steps * 3 * FHorz.Increment, 0);
    return 0;
  }
  LRESULT r = 0;
  if ((msg == WM_COMMAND || msg == WM_NOTIFY) && ReflectControlMessage(msg, w, l, r)) return r;
  return TCustomControl::WndProc(msg, w, l);
}
