#include "formatgrid.h"

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
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, TRUE);
}

TRect TFormatGrid::CellRect(int ACol, int ARow) const {
  int x = 0;
  for (int c = 0; c < ACol && c < FModel.ColCount(); ++c) x += FModel.Column(c).Width() + 1;
  const int y = ARow * (FRowHeight + 1);
  const int w = ACol < FModel.ColCount() ? FModel.Column(ACol).Width() : 0;
  return TRect(x, y, x + w, y + FRowHeight);
}

void TFormatGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
  ACol = ARow = -1;
  if (X < 0 || Y < 0) return;
  int x = 0;
  for (int c = 0; c < FModel.ColCount(); ++c) {
    const int w = FModel.Column(c).Width() + 1;
    if (X < x + w) { ACol = c; break; }
    x += w;
  }
  const int r = Y / (FRowHeight + 1);
  if (r < FModel.RowCount() && ACol >= 0) ARow = r;
  else ACol = -1;
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
  for (int r = 0; r < FModel.RowCount(); ++r)
    for (int c = 0; c < FModel.ColCount(); ++c)
      DrawCell(c, r, CellRect(c, r), c == FCol && r == FRow && !FModel.IsFixed(c, r));
}

int TFormatGrid::SizingColumn(int X, int Y) const {
  if (Y < 0 || Y >= FModel.FixedRows() * (FRowHeight + 1)) return -1;
  int right = 0;
  for (int c = 0; c < FModel.ColCount(); ++c) {
    right += FModel.Column(c).Width();
    if (X >= right - 2 && X <= right + 2) return c;
    ++right;
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
    const int w = X - CellRect(FSizing, 0).left;
    FModel.Column(FSizing).TakeWidth(w < 4 ? 4 : w);
    FModel.Changed();
  }
  TCustomControl::MouseMove(Shift, X, Y);
}

void TFormatGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FSizing >= 0) {  // the end of a border drag is no click on a cell
    FSizing = -1;
    ReleaseCapture();
    return;
  }
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TFormatGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && (FSizing = SizingColumn(X, Y)) >= 0) {
    SetCapture(Handle());
    return;
  }
  int c, r;
  MouseToCell(X, Y, c, r);
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
