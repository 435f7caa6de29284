// TFormatGrid: a string grid drawn from its model (gridmodel.h): each column with its own
// alignment, colours, font, width and title, check-box columns with a 13 x 13 box per cell. A
// left press selects the cell under the mouse and toggles a check box it hits; a column border
// in the title row can be dragged to change the column's width, and a column title dragged onto
// another column moves the column there. The cells beyond the window are reached with the scroll
// bars, the wheel and the keyboard (arrows, Page Up/Down, Home/End, Tab); the fixed rows and
// columns stay in place.
#pragma once

#include <functional>

#include "controls.h"
#include "gridmodel.h"

using TDrawCellEvent = std::function<void(TObject* Sender, int Col, int Row, const TRect& Rect, bool Selected)>;
using TClickCheckEvent = std::function<void(TObject* Sender, int Col, int Row)>;

class TFormatGrid : public TCustomControl {
public:
  explicit TFormatGrid(TComponent* AOwner);
  const char* ClassName() const override { return "TFormatGrid"; }

  TFormatGridModel& Model() { return FModel; }
  TColumn& Columns(int i) { return FModel.Column(i); }
  int ColCount() const { return FModel.ColCount(); }
  void SetColCount(int v) { FModel.SetColCount(v); }
  int RowCount() const { return FModel.RowCount(); }
  void SetRowCount(int v) { FModel.SetRowCount(v); }
  int FixedRows() const { return FModel.FixedRows(); }
  void SetFixedRows(int v) { FModel.SetFixedRows(v); }
  String Cells(int Col, int Row) const { return FModel.Cell(Col, Row); }
  void SetCells(int Col, int Row, const String& v) { FModel.SetCell(Col, Row, v); }
  int DefaultRowHeight() const { return FRowHeight; }
  void SetDefaultRowHeight(int v) { FRowHeight = v; Invalidate(); }
  TColor GridColor() const { return FGridColor; }
  void SetGridColor(TColor v) { FGridColor = v; Invalidate(); }
  int Col() const { return FCol; }
  int Row() const { return FRow; }
  // Selects a cell that is not fixed and scrolls it into view.
  void SetSelection(int ACol, int ARow);
  // The first scrolling column and row shown (the fixed ones are always shown).
  int LeftCol() const { return FLeftCol; }
  int TopRow() const { return FTopRow; }
  void SetLeftTop(int ALeftCol, int ATopRow);
  void SetColor(TColor v) override;

  // The cell under (X, Y) in client coordinates; -1, -1 outside the cells.
  void MouseToCell(int X, int Y, int& ACol, int& ARow) const;
  // The cell's rectangle in client coordinates; empty for a cell scrolled out of view.
  TRect CellRect(int ACol, int ARow) const;
  void Invalidate() override;

  TDrawCellEvent OnDrawCell;
  TClickCheckEvent OnClickCheck;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool SetCursorMessage(int X, int Y) override;
  void FontChanged() override;
  void CreateParams(TCreateParams& p) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  UINT DialogCode() override { return DLGC_WANTARROWS | DLGC_WANTTAB; }
  void HScroll(int code, int pos) override;
  void VScroll(int code, int pos) override;
  void OnSize() override { UpdateScrollBars(); }
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

private:
  void DrawCell(int ACol, int ARow, const TRect& R, bool Selected);
  void DrawText(const String& Text, const TRect& R, TGridAlignment A);
  void UseFont(const TGridFont& F);
  // The column whose right border lies within 2 pixels of X in a title row, or -1.
  int SizingColumn(int X, int Y) const;
  TFormatGridModel FModel;
  int FRowHeight = 24;
  TColor FGridColor = clSilver;
  int FCol = 0, FRow = 1;
  int FSizing = -1;  // the column whose border is being dragged
  int FMoving = -1;  // the column whose title is being dragged
  bool FMoved = false;
  int FLeftCol = 0, FTopRow = 0;
  // Left edge of a shown column, top edge of a shown row; -1 for one scrolled out of view.
  int ColLeft(int ACol) const;
  int RowTop(int ARow) const;
  int FixedWidth() const;
  // How many scrolling columns from From (rows from From) fit wholly into the window, at least 1.
  int ColsFitting(int From) const;
  int RowsFitting(int From) const;
  // The largest first column and row that still fill the window.
  int MaxLeftCol() const;
  int MaxTopRow() const;
  void ClampView();
  void UpdateScrollBars();
  void ScrollIntoView(int ACol, int ARow);
};
