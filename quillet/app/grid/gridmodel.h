// The portable half of the format grid: the column objects with their values that follow the
// grid until assigned, the cell texts, the grid size that always matches the column count, and
// the check-box geometry of a check column. The window (formatgrid.*) draws from this model.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "colors.h"
#include "fontstyles.h"
#include "sysutils.h"

enum TGridAlignment { taLeftJustify, taRightJustify, taCenter };
enum TColumnButtonStyle { cbsNone, cbsCheck };

struct TGridFont {
  String Name = "MS Sans Serif";
  int Size = 8;
  TColor Color = clWindowText;
  TFontStyles Style;
  bool operator==(const TGridFont& o) const {
    return Name == o.Name && Size == o.Size && Color == o.Color && Style == o.Style;
  }
  bool operator!=(const TGridFont& o) const { return !(*this == o); }
};

class TFormatGridModel;
class TColumn;

class TColumnTitle {
public:
  explicit TColumnTitle(TColumn* Owner) : FColumn(Owner) {}
  TGridAlignment Alignment() const;
  void SetAlignment(TGridAlignment v);
  String Caption() const;
  void SetCaption(const String& v);
  TColor Color() const;
  void SetColor(TColor v);
  TGridFont Font() const;
  void SetFont(const TGridFont& v);
  // Whether the value would be written to a stored form.
  bool StoreAlignment() const { return FAssigned.Alignment && FAlignment != taLeftJustify; }
  bool StoreCaption() const { return FAssigned.Caption && !FCaption.empty(); }
  bool StoreColor() const;
  bool StoreFont() const { return FAssigned.Font; }
  void RestoreDefaults();

private:
  void Changed();
  TColumn* FColumn;
  struct { bool Alignment = false, Caption = false, Color = false, Font = false; } FAssigned;
  TGridAlignment FAlignment = taLeftJustify;
  String FCaption;
  TColor FColor = clBtnFace;
  TGridFont FFont;
};

class TColumn {
public:
  explicit TColumn(TFormatGridModel* Grid);
  TFormatGridModel* Grid() const { return FGrid; }
  TGridAlignment Alignment() const;
  void SetAlignment(TGridAlignment v);
  TColor Color() const;
  void SetColor(TColor v);
  TGridFont Font() const;
  void SetFont(const TGridFont& v);
  int Width() const;
  void SetWidth(int v);
  TColumnButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TColumnButtonStyle v);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v);
  TColumnTitle& Title() { return FTitle; }
  const TColumnTitle& Title() const { return FTitle; }
  bool StoreAlignment() const { return FAssigned.Alignment && FAlignment != taLeftJustify; }
  bool StoreColor() const;
  bool StoreFont() const { return FAssigned.Font; }
  bool StoreWidth() const;
  void RestoreDefaults();
  // The grid's column width was changed by the grid itself (a dragged border).
  void TakeWidth(int v) { FWidth = v; FAssigned.Width = true; }
  void Changed();

private:
  friend class TColumnTitle;
  TFormatGridModel* FGrid;
  struct { bool Alignment = false, Color = false, Font = false, Width = false; } FAssigned;
  TGridAlignment FAlignment = taLeftJustify;
  TColor FColor = clWindow;
  TGridFont FFont;
  int FWidth = 64;
  TColumnButtonStyle FButtonStyle = cbsNone;
  bool FEnabled = true;
  TColumnTitle FTitle;
};

struct TCheckRect { int Left, Top, Right, Bottom; };

class TFormatGridModel {
public:
  TFormatGridModel();
  // The grid's own values the columns follow.
  TColor Color() const { return FColor; }
  void SetColor(TColor v) { FColor = v; Changed(); }
  TColor FixedColor() const { return FFixedColor; }
  void SetFixedColor(TColor v) { FFixedColor = v; Changed(); }
  const TGridFont& Font() const { return FFont; }
  void SetFont(const TGridFont& v) { FFont = v; Changed(); }
  int DefaultColWidth() const { return FDefaultColWidth; }
  void SetDefaultColWidth(int v) { FDefaultColWidth = v; Changed(); }

  int ColCount() const { return int(FColumns.size()); }
  void SetColCount(int v);
  int RowCount() const { return FRowCount; }
  void SetRowCount(int v);
  // Like SetColCount and SetRowCount, but what a smaller count takes away (columns with their
  // titles and cells, the texts of rows) is kept aside and comes back first when the count grows
  // again: a count typed digit by digit ("12" passes through "1") loses nothing.
  void SetColCountKeeping(int v);
  void SetRowCountKeeping(int v);
  int FixedRows() const { return FFixedRows; }
  void SetFixedRows(int v);
  int FixedCols() const { return FFixedCols; }
  void SetFixedCols(int v);
  bool ShowTitles() const { return FShowTitles; }
  void SetShowTitles(bool v) { if (v != FShowTitles) { FShowTitles = v; Changed(); } }

  TColumn& Column(int i) { return *FColumns.at(size_t(i)); }
  const TColumn& Column(int i) const { return *FColumns.at(size_t(i)); }
  TColumn& AddColumn();
  void DeleteColumn(int i);
  // The column at From ends at To; the ones between shift by one (cell texts move with it).
  void MoveColumn(int From, int To);

  String Cell(int Col, int Row) const;
  void SetCell(int Col, int Row, const String& v);

  // Whether the cell (Col, Row) is drawn as a title: among the fixed rows, or row 0 without
  // fixed rows.
  bool IsTitleCell(int Row) const { return Row < FFixedRows; }
  bool IsFixed(int Col, int Row) const { return Col < FFixedCols || Row < FFixedRows; }
  // The 13 x 13 box of a check cell, relative to the cell's top left.
  static TCheckRect CheckBox(int CellWidth, int CellHeight);
  // A left press at (X, Y) relative to the cell's top left: toggles a check cell ("1" <-> "0",
  // any other text becomes "1") when the press lies in its box; returns whether it toggled.
  bool ClickCheck(int Col, int Row, int X, int Y, int CellWidth, int CellHeight);

  void BeginUpdate() { ++FUpdates; }
  void EndUpdate();
  // Called once per change (or once at the end of an update bracket): the window repaints.
  std::function<void()> OnChanged;
  std::function<void(int Col, int Row)> OnClickCheck;
  void Changed();

private:
  TColor FColor = clWindow, FFixedColor = clBtnFace;
  TGridFont FFont;
  int FDefaultColWidth = 64;
  int FRowCount = 5, FFixedRows = 1, FFixedCols = 1;
  bool FShowTitles = true;
  int FUpdates = 0;
  bool FPending = false;
  std::vector<std::unique_ptr<TColumn>> FColumns;
  std::vector<std::vector<String>> FCells;  // [column][row]; may hold rows past FRowCount
  // Columns set aside by SetColCountKeeping, the last one taken away at the back.
  std::vector<std::pair<std::unique_ptr<TColumn>, std::vector<String>>> FShelf;
};
