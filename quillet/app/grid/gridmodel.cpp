#include "gridmodel.h"

#include <algorithm>

// ---- TColumnTitle ----

TGridAlignment TColumnTitle::Alignment() const { return FAssigned.Alignment ? FAlignment : taLeftJustify; }
void TColumnTitle::SetAlignment(TGridAlignment v) {
  if (FAssigned.Alignment && v == FAlignment) return;
  FAlignment = v;
  FAssigned.Alignment = true;
  Changed();
}
String TColumnTitle::Caption() const { return FAssigned.Caption ? FCaption : String(); }
void TColumnTitle::SetCaption(const String& v) {
  if (FAssigned.Caption && v == FCaption) return;
  FCaption = v;
  FAssigned.Caption = true;
  Changed();
}
TColor TColumnTitle::Color() const {
  if (FAssigned.Color) return FColor;
  return FColumn->Grid() ? FColumn->Grid()->FixedColor() : clBtnFace;
}
void TColumnTitle::SetColor(TColor v) {
  if (FAssigned.Color && v == FColor) return;
  FColor = v;
  FAssigned.Color = true;
  Changed();
}
bool TColumnTitle::StoreColor() const {
  if (!FAssigned.Color) return false;
  return FColor != (FColumn->Grid() ? FColumn->Grid()->FixedColor() : clBtnFace);
}
TGridFont TColumnTitle::Font() const {
  if (FAssigned.Font) return FFont;
  return FColumn->Grid() ? FColumn->Grid()->Font() : FColumn->Font();
}
void TColumnTitle::SetFont(const TGridFont& v) {
  if (FAssigned.Font && v == FFont) return;
  FFont = v;
  FAssigned.Font = true;
  Changed();
}
void TColumnTitle::RestoreDefaults() {
  FAssigned = {};
  FAlignment = taLeftJustify;
  FCaption.clear();
  FColor = clBtnFace;
  FFont = TGridFont();
}
void TColumnTitle::Changed() { FColumn->Changed(); }

// ---- TColumn ----

TColumn::TColumn(TFormatGridModel* Grid) : FGrid(Grid), FTitle(this) {}

TGridAlignment TColumn::Alignment() const { return FAssigned.Alignment ? FAlignment : taLeftJustify; }
void TColumn::SetAlignment(TGridAlignment v) {
  if (FAssigned.Alignment && v == FAlignment) return;
  FAlignment = v;
  FAssigned.Alignment = true;
  Changed();
}
TColor TColumn::Color() const {
  if (FAssigned.Color) return FColor;
  return FGrid ? FGrid->Color() : clWindow;
}
void TColumn::SetColor(TColor v) {
  if (FAssigned.Color && v == FColor) return;
  FColor = v;
  FAssigned.Color = true;
  Changed();
}
bool TColumn::StoreColor() const {
  return FAssigned.Color && FColor != (FGrid ? FGrid->Color() : clWindow);
}
TGridFont TColumn::Font() const {
  if (FAssigned.Font || !FGrid) return FFont;
  return FGrid->Font();
}
void TColumn::SetFont(const TGridFont& v) {
  if (FAssigned.Font && v == FFont) return;
  FFont = v;
  FAssigned.Font = true;
  Changed();
}
int TColumn::Width() const {
  if (FAssigned.Width) return FWidth;
  return FGrid ? FGrid->DefaultColWidth() : 64;
}
void TColumn::SetWidth(int v) {
  if (FAssigned.Width && v == FWidth) return;
  FWidth = v;
  FAssigned.Width = true;
  Changed();
}
bool TColumn::StoreWidth() const {
  return FAssigned.Width && FWidth != (FGrid ? FGrid->DefaultColWidth() : 64);
}
void TColumn::SetButtonStyle(TColumnButtonStyle v) {
  if (v == FButtonStyle) return;
  FButtonStyle = v;
  Changed();
}
void TColumn::SetEnabled(bool v) {
  if (v == FEnabled) return;
  FEnabled = v;
  Changed();
}
void TColumn::RestoreDefaults() {
  FAssigned = {};
  FAlignment = taLeftJustify;
  FColor = clWindow;
  FWidth = 64;
  FFont = FGrid ? FGrid->Font() : TGridFont();
  FButtonStyle = cbsNone;
  FTitle.RestoreDefaults();
  Changed();
}
void TColumn::Changed() {
  if (FGrid) FGrid->Changed();
}

// ---- TFormatGridModel ----

TFormatGridModel::TFormatGridModel() {
  BeginUpdate();
  SetColCount(5);
  EndUpdate();
  FPending = false;
}

TColumn& TFormatGridModel::AddColumn() {
  FColumns.push_back(std::make_unique<TColumn>(this));
  FCells.emplace_back(size_t(FRowCount));
  if (FFixedCols >= ColCount()) FFixedCols = std::max(0, ColCount() - 1);
  Changed();
  return *FColumns.back();
}

void TFormatGridModel::DeleteColumn(int i) {
  if (i < 0 || i >= ColCount()) return;
  FColumns.erase(FColumns.begin() + i);
  FCells.erase(FCells.begin() + i);
  if (FFixedCols >= ColCount()) FFixedCols = std::max(0, ColCount() - 1);
  Changed();
}

void TFormatGridModel::SetColCount(int v) {
  v = std::max(1, v);
  FShelf.clear();
  BeginUpdate();
  while (ColCount() > v) DeleteColumn(ColCount() - 1);
  while (ColCount() < v) AddColumn();
  if (FShowTitles && FFixedRows == 2) FFixedRows = 1;
  EndUpdate();
}

void TFormatGridModel::SetColCountKeeping(int v) {
  v = std::max(1, v);
  BeginUpdate();
  while (ColCount() > v) {
    FShelf.emplace_back(std::move(FColumns.back()), std::move(FCells.back()));
    FColumns.pop_back();
    FCells.pop_back();
    Changed();
  }
  while (ColCount() < v && !FShelf.empty()) {
    FColumns.push_back(std::move(FShelf.back().first));
    FCells.push_back(std::move(FShelf.back().second));
    FShelf.pop_back();
    if (FCells.back().size() < size_t(FRowCount)) FCells.back().resize(size_t(FRowCount));
    Changed();
  }
  while (ColCount() < v) AddColumn();
  if (FShowTitles && FFixedRows == 2) FFixedRows = 1;
  EndUpdate();
}

void TFormatGridModel::SetRowCountKeeping(int v) {
  v = std::max(1, v);
  // The cell vectors keep their rows past the count; Cell reads only below it.
  for (auto& c : FCells)
    if (c.size() < size_t(v)) c.resize(size_t(v));
  FRowCount = v;
  if (FFixedRows >= v) FFixedRows = v - 1;
  if (FShowTitles && FFixedRows == 2) FFixedRows = 1;
  Changed();
}

void TFormatGridModel::SetRowCount(int v) {
  v = std::max(1, v);
  FRowCount = v;
  for (auto& c : FCells) c.resize(size_t(v));
  if (FFixedRows >= v) FFixedRows = v - 1;
  if (FShowTitles && FFixedRows == 2) FFixedRows = 1;
  Changed();
}

void TFormatGridModel::SetFixedRows(int v) {
  FFixedRows = std::clamp(v, 0, FRowCount - 1);
  Changed();
}

void TFormatGridModel::SetFixedCols(int v) {
  FFixedCols = std::clamp(v, 0, ColCount() - 1);
  Changed();
}

void TFormatGridModel::MoveColumn(int From, int To) {
  if (From < 0 || From >= ColCount() || To < 0 || To >= ColCount() || From == To) return;
  auto col = std::move(FColumns[size_t(From)]);
  auto cells = std::move(FCells[size_t(From)]);
  FColumns.erase(FColumns.begin() + From);
  FCells.erase(FCells.begin() + From);
  FColumns.insert(FColumns.begin() + To, std::move(col));
  FCells.insert(FCells.begin() + To, std::move(cells));
  Changed();
}

String TFormatGridModel::Cell(int Col, int Row) const {
  if (Col < 0 || Col >= ColCount() || Row < 0 || Row >= FRowCount) return String();
  return FCells[size_t(Col)][size_t(Row)];
}

void TFormatGridModel::SetCell(int Col, int Row, const String& v) {
  if (Col < 0 || Col >= ColCount() || Row < 0 || Row >= FRowCount) return;
  FCells[size_t(Col)][size_t(Row)] = v;
  Changed();
}

TCheckRect TFormatGridModel::CheckBox(int CellWidth, int CellHeight) {
  const int l = (CellWidth - 13) / 2, t = (CellHeight - 13) / 2;
  return {l, t, l + 13, t + 13};
}

bool TFormatGridModel::ClickCheck(int Col, int Row, int X, int Y, int CellWidth, int CellHeight) {
  if (Col < 0 || Col >= ColCount() || Row < 0 || Row >= FRowCount || IsFixed(Col, Row)) return false;
  const TColumn& c = Column(Col);
  if (c.ButtonStyle() != cbsCheck || !c.Enabled()) return false;
  const TCheckRect r = CheckBox(CellWidth, CellHeight);
  if (X < r.Left || X >= r.Right || Y < r.Top || Y >= r.Bottom) return false;
  SetCell(Col, Row, Cell(Col, Row) == "1" ? "0" : "1");
  if (OnClickCheck) OnClickCheck(Col, Row);
  return true;
}

void TFormatGridModel::EndUpdate() {
  if (FUpdates > 0) --FUpdates;
  if (FUpdates == 0 && FPending) {
    FPending = false;
    if (OnChanged) OnChanged();
  }
}

void TFormatGridModel::Changed() {
  if (FUpdates > 0) {
    FPending = true;
    return;
  }
  if (OnChanged) OnChanged();
}
