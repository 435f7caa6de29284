#include "codeeditor.h"

#include <algorithm>

// ---- the model's view -----------------------------------------------------------------------

class TRACustomEditor::TView : public IEditorView {
public:
  explicit TView(TRACustomEditor* e) : E(e) {}
  void HideCaret() override {
    if (E->FHasCaret) ::HideCaret(E->FHandle);
  }
  void ShowCaret() override {
    if (E->FHasCaret) ::ShowCaret(E->FHandle);
  }
  void CaretMoved() override { E->PlaceCaret(); }
  void RepaintLine(int Line) override { RepaintRows(Line, Line); }
  void RepaintRows(int First, int Last) override {
    if (!E->HandleAllocated()) return;
    if (First > Last) std::swap(First, Last);
    const int top = std::max(First, E->TopRow()) - E->TopRow();
    const int bottom = std::min(Last, E->TopRow() + E->VisibleRowCount()) - E->TopRow();
    if (bottom < top) return;
    const TRect area = E->FEditorClient.ClientRect();
    RECT r = {area.left, area.top + top * E->FCellHeight, area.right,
              area.top + (bottom + 1) * E->FCellHeight};
    InvalidateRect(E->FHandle, &r, FALSE);
  }
  void Invalidate() override {
    E->FFullRepaint = true;
    E->Invalidate();
  }
  void RepaintGutter() override { E->FGutter.Invalidate(); }
  void UpdateGeometry() override { E->UpdateEditorGeometry(); }
  void ViewScrolled(int OldLeftCol, int OldTopRow) override { E->ScrollView(OldLeftCol, OldTopRow); }
  void Beep() override { MessageBeep(0); }
  bool PostCommand(int Command) override {
    if (!E->HandleAllocated()) return false;
    PostMessageA(E->FHandle, WM_EDITORCOMMAND, WPARAM(Command), 0);
    return true;
  }
  bool CompletionKeyDown(Word& Key, TShiftState Shift) override {
    const bool consumed = E->FCompletion->KeyDown(Key, Shift);
    if (consumed) E->FCompletionConsumedKey = true;
    return consumed;
  }
  void CompletionStopTimer() override { E->FCompletion->PauseTimer()->SetEnabled(false); }
  void CompletionCharTyped(char Ch, bool After) override { E->FCompletion->CharTyped(Ch, After); }
  void CompletionBackspace() override { E->FCompletion->Backspace(); }
  void CompletionCommand(int Command) override { E->FCompletion->Command(Command); }
  void CompletionClose() override { E->FCompletion->CloseUp(false); }

private:
  TRACustomEditor* E;
};

// ---- clipboard ------------------------------------------------------------------------------

bool TRACustomEditor::TWindowClipboard::GetText(String& Text) {
  return TClipboard::GetText(Text, FEditor->HandleAllocated() ? FEditor->Handle() : nullptr);
}

void TRACustomEditor::TWindowClipboard::SetText(const String& Text) {
  TClipboard::SetText(Text, FEditor->HandleAllocated() ? FEditor->Handle() : nullptr);
}

// ---- scroll bar -----------------------------------------------------------------------------

void TCodeScrollBar95::SetParams(int Position, int Min, int Max) {
  if (Max < Min)
    throw EInvalidOperation("Eigenschaft Scrollbar außerhalb des zulässigen Bereichs");
  FMin = Min;
  FMax = Max;
  FPosition = std::clamp(Position, Min, Max);
  Apply();
}

void TCodeScrollBar95::SetPage(int v) {
  FPage = v;
  Apply();
}

void TCodeScrollBar95::Apply() {
  if (!FHandle) return;
  SCROLLINFO si = {};
  si.cbSize = sizeof si;
  si.fMask = SIF_DISABLENOSCROLL;
  if (FMin >= 0 || FMax >= 0) {
    si.fMask |= SIF_RANGE;
    si.nMin = FMin;
    si.nMax = FMax;
  }
  if (FPosition >= 0) {
    si.fMask |= SIF_POS;
    si.nPos = FPosition;
  }
  if (FPage >= 0) {
    si.fMask |= SIF_PAGE;
    si.nPage = UINT(FPage);
  }
  SetScrollInfo(FHandle, FKind, &si, TRUE);
}

int TCodeScrollBar95::Scroll(int Code) {
  int pos = FPosition;
  switch (Code) {
    case SB_LINEUP: pos -= FSmallChange; break;
    case SB_LINEDOWN: pos += FSmallChange; break;
    case SB_PAGEUP: pos -= FLargeChange; break;
    case SB_PAGEDOWN: pos += FLargeChange; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      if (FHandle) {
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(FHandle, FKind, &si);
        pos = si.nTrackPos;
      }
      break;
    case SB_TOP: pos = FMin; break;
    case SB_BOTTOM: pos = FMax; break;
    default: break;
  }
  pos = std::clamp(pos, FMin, FMax);
  if (OnScroll) OnScroll(this, Code, pos);
  SetPosition(pos);
  return FPosition;
}

// ---- text area and gutter -------------------------------------------------------------------

int TEditorClient::Left() const { return FEditor->GutterWidth() + 2; }
int TEditorClient::Width() const { return std::max(FEditor->ClientWidth() - Left(), 0); }
int TEditorClient::Height() const { return FEditor->ClientHeight(); }

void TGutter::Invalidate() {
  if (!FEditor->HandleAllocated()) return;
  RECT r = {0, 0, FEditor->GutterWidth() + 3, FEditor->ClientHeight()};
  InvalidateRect(FEditor->Handle(), &r, FALSE);
}

void TGutter::Paint() {
  TRACustomEditor* e = FEditor;
  TCanvas* c = e->Canvas();
  const int g = e->GutterWidth();
  const int top = e->EditorClient()->Top();
  const int h = e->EditorClient()->Height();
  auto bar = [&](int x, int width, TColor color) {
    c->Brush()->SetColor(color);
    c->FillRect(TRect(x, top, x + width, top + h));
  };
  bar(0, g, e->GutterColor());
  bar(g - 2, 1, e->Color());
  // The strip between the gutter and the first cell (a 2-pixel line right of the grey one and
  // the text area's first pixel column) in the editor's colour.
  bar(g, 3, e->Color());
  bar(g - 1, 1, RGBColor(128, 128, 128));
  e->PaintGutter(c);
}

// ---- construction ---------------------------------------------------------------------------

TRACustomEditor::TRACustomEditor(TComponent* AOwner)
    : TCustomControl(AOwner),
      FView(new TView(this)),
      FWindowClipboard(this),
      FCompletion(new TCompletion(this)) {
  SetView(FView.get());
  SetClipboard(&FWindowClipboard);
  SetEventSender(this);
  SetCtl3D(true);
  FWidth = 150;
  FHeight = 40;
  FParentColor = false;
  FCursor = crIBeam;
  FTabStop = true;
  FColor = clWindow;
  FFont.SetName("Courier New");
  FFont.SetSize(10);
  FFont.SetPitch(fpFixed);  // the text is laid out in a grid of equal cells
  FAutoScrollTimer.SetEnabled(false);
  FAutoScrollTimer.SetInterval(100);
  FAutoScrollTimer.OnTimer = [this](TObject*) { AutoScrollTick(); };
  ComputeCellSize();
}

TRACustomEditor::~TRACustomEditor() {
  // The window goes first (with it the list window it owns); messages that arrive meanwhile
  // still find the completion and the view.
  DestroyHandle();
  SetView(nullptr);
  FCompletion.reset();
}

void TRACustomEditor::Loaded() {
  TCustomControl::Loaded();
  UpdateEditorGeometry();
}

void TRACustomEditor::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  if (FBorderStyle == bsSingle) {
    if (FCtl3D)
      p.ExStyle |= WS_EX_CLIENTEDGE;
    else
      p.Style |= WS_BORDER;
  }
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) p.Style |= WS_HSCROLL;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) p.Style |= WS_VSCROLL;
  p.ClassStyle = CS_DBLCLKS;  // no redraw of the whole window on resizing
}

void TRACustomEditor::HandleCreated() {
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) FHScroll.SetHandle(FHandle);
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) FVScroll.SetHandle(FHandle);
  FFullRepaint = true;
  UpdateEditorGeometry();
}

// ---- properties -----------------------------------------------------------------------------

void TRACustomEditor::SetBorderStyle(TBorderStyle v) {
  if (v == FBorderStyle) return;
  FBorderStyle = v;
  RecreateWnd();
}

void TRACustomEditor::SetScrollBars(TScrollStyle v) {
  if (v == FScrollBars) return;
  FScrollBars = v;
  FHScroll.SetHandle(nullptr);
  FVScroll.SetHandle(nullptr);
  RecreateWnd();
}

void TRACustomEditor::SetGutterWidth(int v) {
  if (v == FGutterWidth) return;
  FGutterWidth = std::max(v, 0);
  UpdateEditorGeometry();
  FFullRepaint = true;
  Invalidate();
}

void TRACustomEditor::SetGutterColor(TColor v) {
  FGutterColor = v;
  FGutter.Invalidate();
}

void TRACustomEditor::SetRightMarginVisible(bool v) {
  FRightMarginVisible = v;
  Invalidate();
}

void TRACustomEditor::SetRightMargin(int v) {
  FRightMargin = v;
  Invalidate();
}

void TRACustomEditor::SetRightMarginColor(TColor v) {
  FRightMarginColor = v;
  Invalidate();
}

void TRACustomEditor::FontChanged() {
  TCustomControl::FontChanged();
  UpdateEditorGeometry();
  if (FHasCaret) {
    DestroyCaret();
    CreateCaret(FHandle, nullptr, 2, std::max(FCellHeight - 2, 1));
    PlaceCaret();
    ShowCaret(FHandle);
  }
  FFullRepaint = true;
  Invalidate();
}

// ---- geometry -------------------------------------------------------------------------------

void TRACustomEditor::ComputeCellSize() {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FFont.Handle());
  SIZE s = {8, 15};
  GetTextExtentPoint32A(dc, "W", 1, &s);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  FCellWidth = std::max<int>(s.cx, 1);
  FCellHeight = std::max<int>(s.cy + 1, 2);
}

void TRACustomEditor::UpdateEditorGeometry() {
  if (IsLoading()) return;
  ComputeCellSize();
  const int cols = FEditorClient.Width() / FCellWidth;
  const int rows = FEditorClient.Height() / FCellHeight;
  SetVisibleCounts(cols, rows);
  const int range = std::max(Lines()->Count(), 1);
  FVScroll.SetParams(FVScroll.Position(), 0, std::max(1, range - 1 + rows - 1));
  FHScroll.SetParams(FHScroll.Position(), 0, 255);
  FHScroll.SetPage(cols);
  FVScroll.SetPage(rows);
  FHScroll.SetLargeChange(std::clamp(cols, 1, 32767));
  FVScroll.SetLargeChange(std::clamp(rows, 1, 32767));
  FGutter.Invalidate();
}

TRect TRACustomEditor::CellRect(int ColOffset, int RowOffset) const {
  const int left = FEditorClient.Left() + ColOffset * FCellWidth + 1;
  const int top = FEditorClient.Top() + RowOffset * FCellHeight;
  return TRect(left, top, left + FCellWidth, top + FCellHeight);
}

void TRACustomEditor::PixelToCell(int PX, int PY, int& X, int& Y) const {
  const int dx = PX - FEditorClient.Left();
  X = dx >= 0 ? (2 * dx + FCellWidth) / (2 * FCellWidth) : 0;  // rounded to the nearest cell edge
  Y = std::max((PY - FEditorClient.Top()) / FCellHeight, 0);
  if (PY < FEditorClient.Top()) Y = 0;
  X += LeftCol();
  Y += TopRow();
  X = std::max(std::min(X, LastVisibleCol()), 0);
  Y = std::max(std::min(Y, Lines()->Count() - 1), 0);
}

void TRACustomEditor::PlaceCaret() {
  if (!FHasCaret) return;
  const TRect r = CellRect(CaretX() - LeftCol(), CaretY() - TopRow());
  SetCaretPos(r.left - 1, r.top + 1);
}

void TRACustomEditor::OnSize() {
  UpdateEditorGeometry();
  FFullRepaint = true;
  Invalidate();
}

// ---- painting -------------------------------------------------------------------------------

void TRACustomEditor::GetLineAttr(int Line, int First, int Last) {
  First = std::clamp(First, 0, MaxColumn);
  Last = std::clamp(Last, 0, MaxColumn);
  const TLineAttr base{FFont.Color(), FColor, FFont.Style()};
  FAttrs[First] = base;
  for (int c = First; c <= Last; ++c) FAttrs[c + 1] = base;
  GetAttr(Line, First, Last);
  if (OnGetLineAttr) {
    String copy = Lines()->Line(Line);
    OnGetLineAttr(this, copy, Line, FAttrs);
  }
  if (HasSelection()) {
    const int by = SelBegY(), bx = SelBegX(), ey = SelEndY(), ex = SelEndX();
    int from = -1, to = -2;
    if (Line == by && Line == ey) {
      from = bx;
      to = ex - 1;
    } else if (Line == by && by < ey) {
      from = bx;
      to = Last;
    } else if (Line > by && Line < ey) {
      from = First;
      to = Last;
    } else if (Line == ey && by < ey) {
      from = 0;
      to = ex - 1;
    }
    from = std::max(from, First);
    to = std::min(to, Last);
    for (int c = from; c <= to; ++c) {
      FAttrs[c + 1].Fore = FSelForeColor;
      FAttrs[c + 1].Back = FSelBackColor;
    }
  }
  ChangeAttr(Line, First, Last);
}

void TRACustomEditor::PaintLine(int Line, int First, int Last) {
  if (Line < TopRow() || Line > TopRow() + VisibleRowCount()) return;
  First = std::max(First, LeftCol());
  if (Last < 0 || Last > LeftCol() + VisibleColCount()) Last = LeftCol() + VisibleColCount();
  Last = std::min(Last, MaxColumn);
  const int row = Line - TopRow();
  const TRect area = FEditorClient.ClientRect();
  const int rowTop = area.top + row * FCellHeight;
  const int fillRight = area.right + 2 * FCellWidth;
  TCanvas* c = Canvas();
  if (Line < 0 || Line >= Lines()->Count()) {
    c->Brush()->SetColor(FColor);
    c->FillRect(TRect(area.left, rowTop, fillRight, rowTop + FCellHeight));
    DrawRightMargin();
    return;
  }
  int restLeft = CellRect(First - LeftCol(), row).left;
  if (First <= Last) {
    GetLineAttr(Line, First, Last);
    const String& s = Lines()->Line(Line);
    String run;
    for (int col = First; col <= Last;) {
      const TLineAttr a = FAttrs[col + 1];
      int end = col;
      while (end + 1 <= Last && FAttrs[end + 2] == a) ++end;
      run.clear();
      for (int k = col; k <= end; ++k) run.push_back(k < int(s.size()) ? s[size_t(k)] : ' ');
      const TRect first = CellRect(col - LeftCol(), row);
      const TRect r(first.left, first.top, first.left + (end - col + 1) * FCellWidth, first.bottom);
      c->Font()->SetStyle(a.Style);
      c->Font()->SetColor(a.Fore);
      c->Brush()->SetColor(a.Back);
      c->TextCells(r, r.left, r.top, run, FCellWidth);
      restLeft = r.right;
      col = end + 1;
    }
  }
  const bool selectedBelow = HasSelection() && Line >= SelBegY() && Line < SelEndY();
  c->Brush()->SetColor(selectedBelow ? FSelBackColor : FColor);
  if (restLeft < fillRight) c->FillRect(TRect(restLeft, rowTop, fillRight, rowTop + FCellHeight));
  DrawRightMargin();
}

void TRACustomEditor::DrawRightMargin() {
  if (!FRightMarginVisible || FRightMargin <= LeftCol() || FRightMargin >= LastVisibleCol() + 3)
    return;
  const int x = CellRect(FRightMargin - LeftCol(), 0).left;
  TCanvas* c = Canvas();
  c->Brush()->SetColor(FRightMarginColor);
  c->FillRect(TRect(x, FEditorClient.Top(), x + 1, FEditorClient.Top() + FEditorClient.Height()));
}

void TRACustomEditor::Paint() {
  if (UpdateLock() > 0) return;
  TRect r;
  if (FFullRepaint) {
    r = FEditorClient.BoundsRect();  // the whole text area, in its own coordinates
  } else {
    r = Canvas()->ClipRect();
    r.left -= FGutterWidth;
    r.right -= FGutterWidth;
  }
  const int firstCol = std::max(int(r.left) / FCellWidth - 1, 0);
  const int lastCol = int(r.right) / FCellWidth + 1;
  const int firstRow = std::max(int(r.top) / FCellHeight, 0);
  const int lastRow = int(r.bottom) / FCellHeight + 1;
  for (int row = firstRow; row <= lastRow; ++row)
    PaintLine(TopRow() + row, LeftCol() + firstCol, LeftCol() + lastCol);
  FGutter.Paint();
  FFullRepaint = false;
}

void TRACustomEditor::PaintGutterNow() {
  if (!HandleAllocated()) return;
  AcquireCanvas();
  try {
    FGutter.Paint();
  } catch (...) {
    ReleaseCanvas();
    throw;
  }
  ReleaseCanvas();
}

// ---- scrolling ------------------------------------------------------------------------------

void TRACustomEditor::ScrollView(int OldLeftCol, int OldTopRow) {
  if (UpdateLock() > 0 || !HandleAllocated()) return;
  if (FHasCaret) ::HideCaret(FHandle);
  const TRect area = FEditorClient.ClientRect();
  if (TopRow() != OldTopRow) {
    const int dy = (OldTopRow - TopRow()) * FCellHeight;
    if (std::abs(dy) >= area.Height()) {
      FFullRepaint = true;
      Invalidate();
    } else {
      RECT clip = {area.left, area.top, area.right,
                   area.top + std::min(area.Height(), (VisibleRowCount() + 1) * FCellHeight)};
      ScrollWindowEx(FHandle, 0, dy, &clip, &clip, nullptr, nullptr, SW_INVALIDATE);
      UpdateWindow(FHandle);
    }
  }
  if (LeftCol() != OldLeftCol) {
    FFullRepaint = true;
    Invalidate();
  }
  FHScroll.SetPosition(LeftCol());
  FVScroll.SetPosition(TopRow());
  PlaceCaret();
  if (FHasCaret) ::ShowCaret(FHandle);
  FireEvent(OnScroll, this);
}

void TRACustomEditor::HScroll(int code, int) {
  const int pos = FHScroll.Scroll(code);
  if (code == SB_LINEUP || code == SB_LINEDOWN || code == SB_PAGEUP || code == SB_PAGEDOWN ||
      code == SB_THUMBTRACK)
    SetLeftTop(pos, TopRow());
}

void TRACustomEditor::VScroll(int code, int) {
  const int pos = FVScroll.Scroll(code);
  if (code == SB_LINEUP || code == SB_LINEDOWN || code == SB_PAGEUP || code == SB_PAGEDOWN ||
      code == SB_THUMBTRACK)
    SetLeftTop(LeftCol(), pos);
}

// ---- focus, keys, mouse ---------------------------------------------------------------------

void TRACustomEditor::OnSetFocus() {
  CreateCaret(FHandle, nullptr, 2, std::max(FCellHeight - 2, 1));
  FHasCaret = true;
  PlaceCaret();
  ShowCaret(FHandle);
  TCustomControl::OnSetFocus();
}

void TRACustomEditor::OnKillFocus() {
  if (FCompletion) FCompletion->CloseUp(false);
  if (FHasCaret) {
    DestroyCaret();
    FHasCaret = false;
  }
  TCustomControl::OnKillFocus();
}

void TRACustomEditor::KeyDown(Word& Key, TShiftState Shift) {
  // A key that runs a command makes the model drop the character the same keystroke
  // produces. Keys that produce no character (arrows, Home, Delete...) must not make it drop
  // the next typed one: when no character of this keystroke is waiting, that drop is cancelled.
  MSG pending;
  const bool charFollows =
      HandleAllocated() && PeekMessageA(&pending, FHandle, WM_CHAR, WM_CHAR, PM_NOREMOVE);
  bool userZeroed = false;
  const TKeyEvent saved = OnKeyDown;
  if (saved)
    OnKeyDown = [&](TObject* s, Word& k, TShiftState sh) {
      saved(s, k, sh);
      if (k == 0) userZeroed = true;
    };
  FCompletionConsumedKey = false;
  const Word before = Key;
  try {
    TEditorModel::KeyDown(Key, Shift);
  } catch (...) {
    OnKeyDown = saved;
    throw;
  }
  OnKeyDown = saved;
  if (before != 0 && Key == 0 && !userZeroed && !FCompletionConsumedKey && !charFollows)
    TEditorModel::KeyPress(0);  // clears the drop flag that the command set
  FSwallowSysChar = Key == 0;
}

void TRACustomEditor::KeyUp(Word& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TRACustomEditor::KeyPress(char& Key) {
  TEditorModel::KeyPress(Key);
  Key = 0;
}

void TRACustomEditor::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FIgnoreMouseDown) {
    FIgnoreMouseDown = false;
    return;
  }
  FCompletion->CloseUp(false);
  if (!Focused()) SetFocus();
  int cx, cy;
  PixelToCell(X, Y, cx, cy);
  FMouseY = Y;
  FDragRow = cy;
  TEditorModel::MouseDown(cx, cy, Button == mbLeft);
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TRACustomEditor::MouseMove(TShiftState Shift, int X, int Y) {
  if (Shift.Contains(ssLeft) && GetCapture() == FHandle) {
    int cx, cy;
    PixelToCell(X, Y, cx, cy);
    FMouseY = Y;
    FDragRow = cy;
    TEditorModel::MouseMove(cx, cy);
    FAutoScrollTimer.SetEnabled(Y < 0 || Y > ClientHeight());
  }
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TRACustomEditor::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FAutoScrollTimer.SetEnabled(false);
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TRACustomEditor::DblClick() {
  FIgnoreMouseDown = true;
  FireEvent(OnDblClick, this);
  TEditorModel::DoubleClick();
}

void TRACustomEditor::AutoScrollTick() {
  const int y = FMouseY, h = ClientHeight();
  if (y >= 0 && y <= h) return;
  int delta;
  if (y < -20)
    delta = -VisibleRowCount();
  else if (y < 0)
    delta = -1;
  else if (y <= h + 20)
    delta = 1;
  else
    delta = VisibleRowCount();
  // The drag target row moves; the model moves the caret and the selection end there.
  int target = FDragRow + delta;
  if (!CursorBeyondEOF()) target = std::min(target, Lines()->Count() - 1);
  FDragRow = std::max(target, 0);
  TEditorModel::AutoScroll(FDragRow - CaretY());
}

bool TRACustomEditor::SetCursorMessage(int X, int Y) {
  if (X < FGutterWidth && FCursor == crIBeam) {
    ::SetCursor(CursorHandle(crArrow));
    return true;
  }
  return TCustomControl::SetCursorMessage(X, Y);
}

LRESULT TRACustomEditor::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // every pixel is painted by Paint
    case WM_COPY:
      PostMessageA(FHandle, WM_EDITORCOMMAND, 368, 0);
      return 1;
    case WM_CUT:
      if (!ReadOnly()) PostMessageA(FHandle, WM_EDITORCOMMAND, 369, 0);
      return 1;
    case WM_PASTE:
      if (!ReadOnly()) PostMessageA(FHandle, WM_EDITORCOMMAND, 370, 0);
      return 1;
    case WM_EDITORCOMMAND:
      ExecCommand(int(w));
      return 0;
    case EM_GETFIRSTVISIBLELINE:
      // As an edit control answers it: the line at the top of the view.
      return TopRow();
    case WM_MOUSEWHEEL: {
      // The wheel scrolls the view by the system's wheel line count per notch.
      UINT lines = 3;
      SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
      const int notches = -short(HIWORD(w)) / WHEEL_DELTA;
      const int step = lines == WHEEL_PAGESCROLL ? VisibleRowCount() : int(lines);
      // It stops where the scroll bar stops: the last line at the top of the view.
      const int lastTop = std::max(Lines()->Count() - 1, 0);
      if (notches != 0) SetLeftTop(LeftCol(), std::clamp(TopRow() + notches * step, 0, lastTop));
      return 0;
    }
    case WM_SYSKEYDOWN: {
      const LRESULT r = TCustomControl::WndProc(msg, w, l);
      // An Alt key that ran a command (Alt+Backspace: undo) still goes to the system, which then
      // knows that the Alt key was used with another key: otherwise releasing Alt would open the
      // menu bar and take the next keys away from the page.
      if (FSwallowSysChar && w != VK_F4) DefaultHandler(msg, w, l);
      return r;
    }
    case WM_SYSCHAR:
      // The character of an Alt key that ran a command (Alt+Backspace: undo) is not a menu key.
      if (FSwallowSysChar) {
        FSwallowSysChar = false;
        return 0;
      }
      break;
    default:
      break;
  }
  return TCustomControl::WndProc(msg, w, l);
}
