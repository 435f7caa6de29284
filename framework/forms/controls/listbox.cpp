#include "listbox.h"

TListBox::TListBox(TComponent* AOwner) : TWinControl(AOwner) {
  FItems.OnChange = [this](TObject*) {
    if (!FFilling) FillWindow();
  };
}

void TListBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.BaseClassName = "LISTBOX";
  p.Style |= WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
  if (FStyle == lbOwnerDrawFixed) p.Style |= LBS_OWNERDRAWFIXED;
  if (FStyle == lbOwnerDrawVariable) p.Style |= LBS_OWNERDRAWVARIABLE;
  if (FStyle != lbStandard) p.Style |= LBS_HASSTRINGS;
}

void TListBox::HandleCreated() {
  // The window that gets the owner-draw messages passes them on to us.
  if (HWND owner = GetParent(FHandle))
    if (TWinControl* o = FromHandle(owner)) o->SetOwnerDrawTarget(this);
  if (FStyle == lbOwnerDrawFixed) SendMessageA(FHandle, LB_SETITEMHEIGHT, 0, FItemHeight);
  FillWindow();
}

void TListBox::FillWindow() {
  if (!FHandle) return;
  FFilling = true;
  SendMessageA(FHandle, WM_SETREDRAW, FALSE, 0);
  SendMessageA(FHandle, LB_RESETCONTENT, 0, 0);
  for (int i = 0; i < FItems.Count(); ++i)
    SendMessageA(FHandle, LB_ADDSTRING, 0, LPARAM(FItems.StringRef(i).c_str()));
  SendMessageA(FHandle, LB_SETCURSEL, WPARAM(FItemIndex), 0);
  SendMessageA(FHandle, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(FHandle, nullptr, TRUE);
  FFilling = false;
}

int TListBox::ItemIndex() const {
  return FHandle ? int(SendMessageA(FHandle, LB_GETCURSEL, 0, 0)) : FItemIndex;
}

void TListBox::SetItemIndex(int v) {
  if (v < -1 || v >= FItems.Count()) v = -1;
  FItemIndex = v;
  if (FHandle) SendMessageA(FHandle, LB_SETCURSEL, WPARAM(v), 0);
}

void TListBox::SetItemHeight(int v) {
  if (v < 1) v = 1;
  FItemHeight = v;
  if (FHandle && FStyle == lbOwnerDrawFixed) {
    SendMessageA(FHandle, LB_SETITEMHEIGHT, 0, v);
    InvalidateRect(FHandle, nullptr, TRUE);
  }
}

void TListBox::SetStyle(TListBoxStyle v) {
  if (v == FStyle) return;
  FItemIndex = ItemIndex();
  FStyle = v;
  RecreateWnd();
}

int TListBox::TopIndex() const {
  return FHandle ? int(SendMessageA(FHandle, LB_GETTOPINDEX, 0, 0)) : 0;
}

void TListBox::SetTopIndex(int v) {
  if (FHandle) SendMessageA(FHandle, LB_SETTOPINDEX, WPARAM(v), 0);
}

int TListBox::ItemAtPos(int X, int Y) const {
  if (!FHandle) return -1;
  const LRESULT r = SendMessageA(FHandle, LB_ITEMFROMPOINT, 0, MAKELPARAM(X, Y));
  if (HIWORD(r)) return -1;  // outside every item
  const int i = LOWORD(r);
  return i < FItems.Count() ? i : -1;
}

TRect TListBox::ItemRect(int Index) const {
  RECT r = {0, 0, 0, 0};
  if (FHandle) SendMessageA(FHandle, LB_GETITEMRECT, WPARAM(Index), LPARAM(&r));
  return TRect(r);
}

bool TListBox::DrawItemMessage(DRAWITEMSTRUCT& dis) {
  if (dis.CtlType != ODT_LISTBOX || dis.hwndItem != FHandle) return false;
  if (int(dis.itemID) < 0) return true;
  TOwnerDrawState state = 0;
  if (dis.itemState & ODS_SELECTED) state |= odSelected;
  if (dis.itemState & ODS_FOCUS) state |= odFocused;
  if (dis.itemState & ODS_DISABLED) state |= odDisabled;
  FCanvas.SetHandle(dis.hDC);
  FCanvas.Font()->Assign(&FFont);
  if (state & odSelected) {
    FCanvas.Brush()->SetColor(clHighlight);
    FCanvas.Font()->SetColor(clHighlightText);
  } else {
    FCanvas.Brush()->SetColor(FColor);
    FCanvas.Font()->SetColor(FFont.Color());
  }
  try {
    if (OnDrawItem)
      OnDrawItem(this, int(dis.itemID), TRect(dis.rcItem), state);
    else
      DrawItem(int(dis.itemID), TRect(dis.rcItem), state);
  } catch (...) {
    FCanvas.SetHandle(nullptr);
    throw;
  }
  FCanvas.SetHandle(nullptr);
  return true;
}

bool TListBox::MeasureItemMessage(MEASUREITEMSTRUCT& mis) {
  if (mis.CtlType != ODT_LISTBOX) return false;
  int h = FItemHeight;
  if (FStyle == lbOwnerDrawVariable && OnMeasureItem) OnMeasureItem(this, int(mis.itemID), h);
  mis.itemHeight = UINT(h > 0 ? h : 1);
  return true;
}

void TListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  FCanvas.FillRect(Rect);
  if (Index >= 0 && Index < FItems.Count())
    FCanvas.TextOut(Rect.left + 2, Rect.top, FItems.StringRef(Index));
}

LRESULT TListBox::WndProc(UINT msg, WPARAM w, LPARAM l) {
  // The system list box does its own mouse and key work; our handlers only watch.
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE: {
      LRESULT r = DefaultHandler(msg, w, l);
      const int x = short(LOWORD(l)), y = short(HIWORD(l));
      if (msg == WM_MOUSEMOVE)
        MouseMove(MouseShiftState(w), x, y);
      else if (msg == WM_LBUTTONDOWN)
        MouseDown(mbLeft, MouseShiftState(w), x, y);
      else
        MouseUp(mbLeft, MouseShiftState(w), x, y);
      return r;
    }
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_PAINT:
      return DefaultHandler(msg, w, l);
    case WM_NCCREATE:
      return DefaultHandler(msg, w, l);
    default:
      return TWinControl::WndProc(msg, w, l);
  }
}
