// Where the thumbnail view puts its cells and which cell a press hits.
#include <gtest/gtest.h>

#include "thumblayout.h"

namespace {
TThumbLayout Layout(Tscrollmode Mode, int ViewW, int ViewH, int Size, int Count, Tviewtype Align = VTNormal) {
  TThumbLayout l;
  l.ScrollMode = Mode;
  l.AlignView = Align;
  l.ViewWidth = ViewW;
  l.ViewHeight = ViewH;
  l.Size = Size;
  l.Count = Count;
  l.Recompute();
  return l;
}
}  // namespace

TEST(ThumbLayout, CellSizeAndCellsPerLine) {
  struct Case { Tscrollmode mode; int w, h, size, count, cellW, cellH, perLine; } cases[] = {
      {SMHorizontal, 600, 480, 100, 0, 200, 200, 2},  // a new view
      {SMHorizontal, 600, 480, 40, 0, 80, 80, 5},     // (480 - 20) / 84
      {SMHorizontal, 600, 19, 100, 0, 200, 200, 1},   // less than 20 pixels high
      {SMVertical, 600, 480, 40, 0, 80, 80, 6},       // (600 - 20) / 84
      {SMboth, 600, 480, 40, 10, 80, 80, 4},          // square root of 10 rounded up
      {SMboth, 600, 480, 40, 9, 80, 80, 3},
      {SMboth, 600, 480, 40, 0, 80, 80, 1},
      {SMHorizontal, 600, 480, 33, 0, 66, 66, 6},     // 66 exactly; (460) / 70
      {SMHorizontal, 600, 480, 0, 0, 0, 0, 115},      // gap only: 460 / 4
  };
  for (const Case& c : cases) {
    const TThumbLayout l = Layout(c.mode, c.w, c.h, c.size, c.count);
    EXPECT_EQ(l.CellWidth, c.cellW) << c.size;
    EXPECT_EQ(l.CellHeight, c.cellH) << c.size;
    EXPECT_EQ(l.PerLine, c.perLine) << c.mode << " " << c.w << "x" << c.h;
  }
  TThumbLayout none = Layout(SMHorizontal, 600, 480, 0, 0);
  none.ThumbGap = 0;
  none.Recompute();
  EXPECT_EQ(none.PerLine, 1);  // no divisor: one per line
  TThumbLayout half = Layout(SMHorizontal, 600, 480, 0, 0);
  half.MaxWidth = 5;  // 2.5 rounds to even
  half.MaxHeight = 7;
  half.Size = 50;
  half.Recompute();
  EXPECT_EQ(half.CellWidth, 2);
  EXPECT_EQ(half.CellHeight, 4);
}

TEST(ThumbLayout, CellRectangles) {
  struct Case { Tscrollmode mode; Tviewtype align; int w, h, index, left, top; } cases[] = {
      // SMVertical, 6 per line: rows from left to right
      {SMVertical, VTNormal, 600, 480, 0, 4, 4},
      {SMVertical, VTNormal, 600, 480, 1, 88, 4},
      {SMVertical, VTNormal, 600, 480, 5, 424, 4},
      {SMVertical, VTNormal, 600, 480, 6, 4, 88},
      // SMHorizontal, 5 per column: columns from top to bottom
      {SMHorizontal, VTNormal, 600, 480, 0, 4, 4},
      {SMHorizontal, VTNormal, 600, 480, 4, 4, 340},
      {SMHorizontal, VTNormal, 600, 480, 5, 88, 4},
      // centred: (460 / 2 - 5 * 80 / 2) = 30 more; (580 / 2 - 84 * 6 / 2) = 38 more
      {SMHorizontal, VTCenter, 600, 480, 0, 4, 34},
      {SMVertical, VTCenter, 600, 480, 1, 126, 4},
      // fitted: gaps (460 - 5 * 84) / 6 = 6 and (580 - 6 * 80) / 7 = 14
      {SMHorizontal, VTFitToScreen, 600, 480, 1, 4, 92},
      {SMVertical, VTFitToScreen, 600, 480, 1, 108, 4},
      // SMboth with 10 cells: 4 per line
      {SMboth, VTNormal, 600, 480, 4, 4, 88},
  };
  for (const Case& c : cases) {
    const TThumbLayout l = Layout(c.mode, c.w, c.h, 40, 10, c.align);
    const TThumbRect r = l.CellRect(c.index);
    EXPECT_EQ(r.Left, c.left) << c.mode << "/" << c.align << " cell " << c.index;
    EXPECT_EQ(r.Top, c.top) << c.mode << "/" << c.align << " cell " << c.index;
    EXPECT_EQ(r.Width, 80);
    EXPECT_EQ(r.Height, 80);
  }
}

TEST(ThumbLayout, PressSelectsTheCellUnderThePointer) {
  struct Case { Tscrollmode mode; Tviewtype align; int count, x, y, scrollX, scrollY, hit; } cases[] = {
      {SMVertical, VTNormal, 10, 90, 10, 0, 0, 1},   // inside the second cell
      {SMVertical, VTNormal, 10, 86, 10, 0, 0, -1},  // in the gap before it
      {SMVertical, VTNormal, 10, 10, 90, 0, 0, 6},   // second row
      {SMVertical, VTNormal, 7, 100, 90, 0, 0, -1},  // a cell that does not exist
      {SMVertical, VTNormal, 10, 10, 10, 0, 84, 6},  // scrolled one row down
      {SMHorizontal, VTNormal, 10, 10, 90, 0, 0, 1}, // columns: second of the first column
      {SMHorizontal, VTNormal, 10, 90, 10, 0, 0, 5},
      {SMHorizontal, VTNormal, 10, 6, 6, 84, 0, 5},  // scrolled one column right
      {SMHorizontal, VTCenter, 10, 10, 10, 0, 0, -1}, // the centring moved the cell away
      {SMVertical, VTNormal, 10, 0, 0, 0, 0, -1},
      {SMVertical, VTNormal, 0, 10, 10, 0, 0, -1},
      {SMVertical, VTNormal, 10, 590, 10, 0, 0, -1}, // past the last place: capped to place 6
  };
  for (const Case& c : cases) {
    const TThumbLayout l = Layout(c.mode, 600, 480, 40, c.count, c.align);
    EXPECT_EQ(l.HitTest(c.x, c.y, c.scrollX, c.scrollY), c.hit)
        << c.mode << " (" << c.x << "," << c.y << ") scrolled " << c.scrollX << "," << c.scrollY;
  }
}
