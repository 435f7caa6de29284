#include "formatgrid.h"

#include <algorithm>

TFormatGrid::TFormatGrid(TComponent* AOwner) : TCustomControl(AOwner) {
  SetBounds(0, 0, 320, 120);
  FModel.SetColor(clWindow);
  FModel.OnChanged = [this] { Invalidate(); };
  FModel.OnClickCheck = [this](int c, int r) {
    if (OnClickCheck) OnClickCheck(this, c, r);
  };
}

void TFormatGrid::SetColor(TColor v) {
  TCustomControl::SetColor(v);
  FModel.SetColor(v);
}

void TFormatGrid::FontChanged() {
  TCustomControl::FontChanged();
  TGridFont f;
  f.Name = Font()->Name();
  f.Size = Font()->Size();
  f.Color = Font()->Color();
  f.Style = Font()->Style();
  FModel.SetFont(f);
}

void TFormatGrid::Invalidate() {
  UpdateScrollBars();
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, TRUE);
}

void TFormatGrid::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style |= WS_HSCROLL | WS_VSCROLL | WS_TABSTOP;
}

// ---- the view: fixed cells, then the scrolling ones from FLeftCol / FTopRow ----------------

int TFormatGrid::FixedWidth() const {
  int x = 0;
  for (int c = 0; c < FModel.FixedCols() && c < FModel.ColCount(); ++c) x += FModel.Column(c).Width() + 1;
  return x;
}

int TFormatGrid::ColLeft(int ACol) const {
  if (ACol < 0 || ACol >= FModel.ColCount()) return -1;
  const int fixed = FModel.FixedCols();
  if (ACol >= fixed && ACol < FLeftCol) return -1;
  int x = 0;
  for (int c = 0; c < ACol && c < fixed; ++c) x += FModel.Column(c).Width() + 1;
  for (int c = std::max(fixed, FLeftCol); c < ACol; ++c) x += FModel.Column(c).Width() + 1;
  return x;
}

int TFormatGrid::RowTop(int ARow) const {
  if (ARow < 0 || ARow >= FModel.RowCount()) return -1;
  const int fixed = FModel.FixedRows();
  if (ARow < fixed) return ARow * (FRowHeight + 1);
  if (ARow < FTopRow) return -1;
  return (fixed + ARow - FTopRow) * (FRowHeight + 1);
}

int TFormatGrid::ColsFitting(int From) const {
  const int room = ClientWidth() - FixedWidth();
  int n = 0, x = 0;
  for (int c = From; c < FModel.ColCount(); ++c) {
    x += FModel.Column(c).Width() + 1;
    if (x > room + 1) break;
    ++n;
  }
  return std::max(n, 1);
}

int TFormatGrid::RowsFitting(int) const {
  const int room = ClientHeight() - FModel.FixedRows() * (FRowHeight + 1);
  return std::max((room + 1) / (FRowHeight + 1), 1);
}

int TFormatGrid::MaxLeftCol() const {
  const int fixed = FModel.FixedCols();
  int room = ClientWidth() - FixedWidth(), c = FModel.ColCount();
  while (c > fixed && room >= FModel.Column(c - 1).Width()) room -= FModel.Column(--c).Width() + 1;
  return std::max(std::min(c, FModel.ColCount() - 1), fixed);
}

int TFormatGrid::MaxTopRow() const {
  return std::max(std::min(FModel.RowCount() - RowsFitting(0), FModel.RowCount() - 1), FModel.FixedRows());
}

void TFormatGrid::ClampView() {
  FLeftCol = std::clamp(FLeftCol, FModel.FixedCols(), std::max(MaxLeftCol(), FModel.FixedCols()));
  FTopRow = std::clamp(FTopRow, FModel.FixedRows(), std::max(MaxTopRow(), FModel.FixedRows()));
}

void TFormatGrid::UpdateScrollBars() {
  ClampView();
  if (!HandleAllocated()) return;
  auto set = [this](int bar, int min, int count, int page, int pos) {
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = min;
    si.nMax = std::max(count - 1, min);
    si.nPage = UINT(count - min <= page ? count - min + 1 : page);
    si.nPos = pos;
    SetScrollInfo(Handle(), bar, &si, TRUE);
  };
  // A bar shows only while cells lie beyond the window.
  const bool wide = MaxLeftCol() > FModel.FixedCols();
  const bool tall = MaxTopRow() > FModel.FixedRows();
  set(SB_HORZ, FModel.FixedCols(), wide ? FModel.ColCount() : 0, ColsFitting(FLeftCol), FLeftCol);
  set(SB_VERT, FModel.FixedRows(), tall ? FModel.RowCount() : 0, RowsFitting(FTopRow), FTopRow);
}

void TFormatGrid::SetLeftTop(int ALeftCol, int ATopRow) {
  const int l = FLeftCol, t = FTopRow;
  FLeftCol = ALeftCol;
  FTopRow = ATopRow;
  ClampView();
  if (l != FLeftCol || t != FTopRow) Invalidate();
}

void TFormatGrid::ScrollIntoView(int ACol, int ARow) {
  int l = FLeftCol, t = FTopRow;
  if (ACol >= FModel.FixedCols()) {
    if (ACol < l) l = ACol;
    while (l < ACol && ACol >= l + ColsFitting(l)) ++l;
  }
  if (ARow >= FModel.FixedRows()) {
    if (ARow < t) t = ARow;
    else if (ARow >= t + RowsFitting(t)) t = ARow - RowsFitting(t) + 1;
  }
  SetLeftTop(l, t);
}

void TFormatGrid::SetSelection(int ACol, int ARow) {
  if (ACol < FModel.FixedCols() || ARow < FModel.FixedRows() || ACol >= FModel.ColCount() ||
      ARow >= FModel.RowCount())
    return;
  FCol = ACol;
  FRow = ARow;
  ScrollIntoView(ACol, ARow);
  Invalidate();
}

void TFormatGrid::KeyDown(Word& Key, TShiftState Shift) {
  int c = FCol, r = FRow;
  const int rows = RowsFitting(FTopRow);
  const int firstCol = FModel.FixedCols(), firstRow = FModel.FixedRows();
  const int lastCol = FModel.ColCount() - 1, lastRow = FModel.RowCount() - 1;
  switch (Key) {
    case VK_LEFT: --c; break;
    case VK_RIGHT: ++c; break;
    case VK_UP: --r; break;
    case VK_DOWN: ++r; break;
    case VK_PRIOR: r -= rows; break;
    case VK_NEXT: r += rows; break;
    case VK_HOME: c = firstCol; if (Shift.Contains(ssCtrl)) r = firstRow; break;
    case VK_END: c = lastCol; if (Shift.Contains(ssCtrl)) r = lastRow; break;
    case VK_TAB:
      // Tab walks the cells row by row; Shift+Tab back.
      if (Shift.Contains(ssShift)) {
        if (--c < firstCol) { c = lastCol; --r; }
      } else if (++c > lastCol) {
        c = firstCol;
        ++r;
      }
      if (r < firstRow || r > lastRow) return;
      break;
    default: TCustomControl::KeyDown(Key, Shift); return;
  }
  SetSelection(std::clamp(c, firstCol, std::max(lastCol, firstCol)), std::clamp(r, firstRow, std::max(lastRow, firstRow)));
  Key = 0;
}

namespace {
int ScrollTarget(int code, int pos, int current, int page, int min, int max) {
  switch (code) {
    case SB_LINEUP: return current - 1;
    case SB_LINEDOWN: return current + 1;
    case SB_PAGEUP: return current - page;
    case SB_PAGEDOWN: return current + page;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: return pos;
    case SB_TOP: return min;
    case SB_BOTTOM: return max;
    default: return current;
  }
}
}  // namespace

void TFormatGrid::HScroll(int code, int pos) {
  SetLeftTop(ScrollTarget(code, pos, FLeftCol, ColsFitting(FLeftCol), FModel.FixedCols(), MaxLeftCol()), FTopRow);
}

void TFormatGrid::VScroll(int code, int pos) {
  SetLeftTop(FLeftCol, ScrollTarget(code, pos, FTopRow, RowsFitting(FTopRow), FModel.FixedRows(), MaxTopRow()));
}

LRESULT TFormatGrid::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_MOUSEWHEEL) {
    const int notches = -short(HIWORD(w)) / WHEEL_DELTA;
    SetLeftTop(FLeftCol, FTopRow + notches);
    return 0;
  }
  return TCustomControl::WndProc(msg, w, l);
}

TRect TFormatGrid::CellRect(int ACol, int ARow) const {
  const int x = ColLeft(ACol), y = RowTop(ARow);
  if (x < 0 || y < 0 || (HandleAllocated() && (x >= ClientWidth() || y >= ClientHeight()))) return TRect(0, 0, 0, 0);
  return TRect(x, y, x + FModel.Column(ACol).Width(), y + FRowHeight);
}

void TFormatGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
  ACol = ARow = -1;
  if (X < 0 || Y < 0) return;
  for (int c = 0; c < FModel.ColCount(); ++c) {
    const int x = ColLeft(c);
    if (x >= 0 && X >= x && X < x + FModel.Column(c).Width() + 1) { ACol = c; break; }
  }
  for (int r = 0; r < FModel.RowCount() && ACol >= 0; ++r) {
    const int y = RowTop(r);
    if (y >= 0 && Y >= y && Y < y + FRowHeight + 1) { ARow = r; break; }
  }
  if (ARow < 0) ACol = -1;
}

void TFormatGrid::UseFont(const TGridFont& F) {
  TFont* f = Canvas()->Font();
  f->SetName(F.Name);
  f->SetSize(F.Size);
  f->SetColor(F.Color);
  f->SetStyle(F.Style);
}

void TFormatGrid::DrawText(const String& Text, const TRect& R, TGridAlignment A) {
  RECT r{R.left + 2, R.top, R.right - 2, R.bottom};
  const UINT align = A == taCenter ? DT_CENTER : A == taRightJustify ? DT_RIGHT : DT_LEFT;
  Canvas()->TextWidth("");  // selects the canvas font into the DC
  SetBkMode(Canvas()->Handle(), TRANSPARENT);
  SetTextColor(Canvas()->Handle(), ColorRef(Canvas()->Font()->Color()));
  ::DrawTextA(Canvas()->Handle(), Text.c_str(), int(Text.size()), &r,
              align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

void TFormatGrid::DrawCell(int ACol, int ARow, const TRect& R, bool Selected) {
  TCanvas* cv = Canvas();
  TColumn& col = FModel.Column(ACol);
  if (FModel.IsTitleCell(ARow)) {
    if (FModel.ShowTitles()) {
      UseFont(col.Title().Font());
      cv->Brush()->SetColor(col.Title().Color());
      cv->FillRect(R);
      DrawText(col.Title().Caption(), R, col.Title().Alignment());
    }
  } else if (col.ButtonStyle() == cbsCheck) {
    cv->Brush()->SetColor(Selected ? clHighlight : col.Color());
    cv->FillRect(R);
    const TCheckRect b = TFormatGridModel::CheckBox(R.Width(), R.Height());
    RECT box{R.left + b.Left, R.top + b.Top, R.left + b.Right, R.top + b.Bottom};
    UINT state = DFCS_BUTTONCHECK;
    if (FModel.Cell(ACol, ARow) == "1") state |= DFCS_CHECKED;
    DrawFrameControl(cv->Handle(), &box, DFC_BUTTON, state);
  } else {
    UseFont(col.Font());
    if (Selected) {
      cv->Brush()->SetColor(clHighlight);
      cv->Font()->SetColor(clHighlightText);
    } else if (FModel.IsFixed(ACol, ARow)) {
      cv->Brush()->SetColor(FModel.FixedColor());
    } else {
      cv->Brush()->SetColor(col.Color());
    }
    cv->FillRect(R);
    DrawText(FModel.Cell(ACol, ARow), R, col.Alignment());
  }
  if (OnDrawCell) OnDrawCell(this, ACol, ARow, R, Selected);
}

void TFormatGrid::Paint() {
  TCanvas* cv = Canvas();
  cv->Brush()->SetColor(FGridColor);
  cv->FillRect(TRect(0, 0, ClientWidth(), ClientHeight()));
  for (int r = 0; r < FModel.RowCount(); ++r) {
    if (RowTop(r) < 0 || RowTop(r) > ClientHeight()) continue;
    for (int c = 0; c < FModel.ColCount(); ++c) {
      const int x = ColLeft(c);
      if (x < 0 || x > ClientWidth()) continue;
      DrawCell(c, r, CellRect(c, r), c == FCol && r == FRow && !FModel.IsFixed(c, r));
    }
  }
}

int TFormatGrid::SizingColumn(int X, int Y) const {
  if (Y < 0 || Y >= FModel.FixedRows() * (FRowHeight + 1)) return -1;
  for (int c = 0; c < FModel.ColCount(); ++c) {
    const int x = ColLeft(c);
    if (x < 0) continue;
    const int right = x + FModel.Column(c).Width();
    if (X >= right - 2 && X <= right + 2) return c;
  }
  return -1;
}

bool TFormatGrid::SetCursorMessage(int X, int Y) {
  if (FSizing < 0 && SizingColumn(X, Y) < 0) return false;
  ::SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
  return true;
}

void TFormatGrid::MouseMove(TShiftState Shift, int X, int Y) {
  if (FSizing >= 0) {
    const int w = X - ColLeft(FSizing);
    FModel.Column(FSizing).TakeWidth(w < 4 ? 4 : w);
    FModel.Changed();
  }
  if (FMoving >= 0) {
    int c, r;
    MouseToCell(X, std::min(Y, FRowHeight - 1), c, r);
    if (c >= 0 && c != FMoving) FMoved = true;
    if (FMoved) ::SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
  }
  TCustomControl::MouseMove(Shift, X, Y);
}

void TFormatGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FSizing >= 0) {  // the end of a border drag is no click on a cell
    FSizing = -1;
    ReleaseCapture();
    return;
  }
  if (FMoving >= 0) {
    const int from = FMoving;
    FMoving = -1;
    ReleaseCapture();
    if (FMoved) {
      // A title dropped onto another column: the column and its cells move there. The drop is
      // no click on a cell either.
      FMoved = false;
      int c, r;
      MouseToCell(X, std::min(std::max(Y, 0), FRowHeight - 1), c, r);
      if (c < 0) c = X < 0 ? FModel.FixedCols() : FModel.ColCount() - 1;
      if (c >= FModel.FixedCols() && c != from) {
        // The selection stays on its column: the moved one goes to c, those between close up.
        if (FCol == from) FCol = c;
        else if (from < FCol && FCol <= c) --FCol;
        else if (c <= FCol && FCol < from) ++FCol;
        FModel.MoveColumn(from, c);
      }
      return;
    }
  }
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TFormatGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && (FSizing = SizingColumn(X, Y)) >= 0) {
    SetCapture(Handle());
    return;
  }
  if (HandleAllocated() && GetFocus() != Handle()) ::SetFocus(Handle());
  int c, r;
  MouseToCell(X, Y, c, r);
  if (Button == mbLeft && c >= FModel.FixedCols() && r >= 0 && r < FModel.FixedRows()) {
    // A press on a column title may begin moving that column.
    FMoving = c;
    FMoved = false;
    SetCapture(Handle());
  }
  if (Button == mbLeft && c >= 0) {
    const TRect cell = CellRect(c, r);
    FModel.ClickCheck(c, r, X - cell.left, Y - cell.top, cell.Width(), cell.Height());
    if (!FModel.IsFixed(c, r)) {
      FCol = c;
      FRow = r;
      Invalidate();
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}
