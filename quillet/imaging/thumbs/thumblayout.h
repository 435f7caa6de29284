// Where the thumbnail view puts its cells: the cell size from the largest size and the percentage,
// the number of cells per line, each cell's rectangle, and which cell a mouse press hits. Pure
// arithmetic over the view's settings, so the view (win/thumbview.*) only moves windows.
#pragma once

#include <cstdint>

enum Tscrollmode { SMHorizontal, SMVertical, SMboth };
enum Tviewtype { VTNormal, VTCenter, VTFitToScreen };

struct TThumbRect {
  int Left = 0, Top = 0, Width = 0, Height = 0;
};

struct TThumbLayout {
  // The view's settings.
  int MaxWidth = 200, MaxHeight = 200;
  int Size = 100;  // percent, 0..100
  int ThumbGap = 4;
  Tscrollmode ScrollMode = SMHorizontal;
  Tviewtype AlignView = VTNormal;
  // The view's size in pixels and its number of cells.
  int ViewWidth = 600, ViewHeight = 480;
  int Count = 0;

  // Computed by Recompute: the cell size and the cells per line (at least 1).
  int CellWidth = 200, CellHeight = 200;
  uint16_t PerLine = 2;

  // Cell size = MaxWidth x MaxHeight scaled by Size percent, rounded to nearest (ties to even);
  // cells per line: for SMHorizontal what fits into the view's height less 20 pixels (room for a
  // scroll bar), for SMVertical into its width less 20, for SMboth the square root of Count
  // rounded up; at least 1, also when the divisor is 0 (gap 0 and size 0).
  void Recompute();
  // The rectangle of cell I (counted from 0) in the view's content, scroll positions 0.
  TThumbRect CellRect(int I) const;
  // The cell that a press at (X, Y) of the view's client area hits with the content scrolled by
  // (ScrollX, ScrollY): the index (from 0) when it exists and (X, Y) lies strictly inside its
  // rectangle as laid out, else -1. The offsets of VTCenter and VTFitToScreen do not enter the
  // search, so a press that they move off the computed cell hits nothing.
  int HitTest(int X, int Y, int ScrollX, int ScrollY) const;
};
