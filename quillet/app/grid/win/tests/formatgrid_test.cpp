// TFormatGrid in a real window under Wine: cells under the mouse, check clicks through mouse
// messages, and the painted colours of title, text and check cells.
#include <gtest/gtest.h>

#include "formatgrid.h"
#include "test_host.h"

namespace {

class FormatGrid : public ::testing::Test {
protected:
  TTestHost Host{30, 30, 500, 300};
  TFormatGrid* G = nullptr;

  void SetUp() override {
    G = new TFormatGrid(&Host);
    G->SetParent(&Host);
    G->SetBounds(0, 0, 400, 200);
    G->Model().SetFixedCols(0);
    G->SetDefaultRowHeight(20);
    Host.Handle();
    ProcessMessages();
  }
  void TearDown() override { delete G; }
  void Press(int x, int y) {
    SendMessageA(G->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(G->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  COLORREF Pixel(int x, int y) {
    ProcessMessages();
    G->Update();
    HDC dc = GetDC(G->Handle());
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(G->Handle(), dc);
    return c;
  }
};

TEST_F(FormatGrid, MouseToCell) {
  int c, r;
  G->MouseToCell(70, 25, c, r);  // columns are 64 wide plus a line, rows 20 plus a line
  EXPECT_EQ(c, 1);
  EXPECT_EQ(r, 1);
  G->MouseToCell(10, 5, c, r);
  EXPECT_EQ(c, 0);
  EXPECT_EQ(r, 0);
  G->MouseToCell(399, 199, c, r);  // beyond the five columns
  EXPECT_EQ(c, -1);
  EXPECT_EQ(r, -1);
}

TEST_F(FormatGrid, CheckClicksThroughTheMouse) {
  G->Columns(1).SetButtonStyle(cbsCheck);
  int calls = 0;
  G->OnClickCheck = [&](TObject*, int c, int r) { ++calls; EXPECT_EQ(c, 1); EXPECT_EQ(r, 2); };
  const TRect cell = G->CellRect(1, 2);
  const int cx = cell.left + cell.Width() / 2, cy = cell.top + cell.Height() / 2;
  G->SetCells(1, 2, "Wort");
  Press(cx, cy);
  EXPECT_EQ(G->Cells(1, 2), "1");
  Press(cx, cy);
  EXPECT_EQ(G->Cells(1, 2), "0");
  EXPECT_EQ(calls, 2);
  Press(cell.left + 2, cy);  // in the cell, outside the box: selects only
  EXPECT_EQ(G->Cells(1, 2), "0");
  EXPECT_EQ(G->Col(), 1);
  EXPECT_EQ(G->Row(), 2);
  G->Columns(1).SetEnabled(false);
  Press(cx, cy);
  EXPECT_EQ(G->Cells(1, 2), "0");
  EXPECT_EQ(calls, 2);
}

TEST_F(FormatGrid, DraggingATitleBorderSetsTheColumnWidth) {
  int events = 0;
  G->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++events; };
  G->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++events; };
  SendMessageA(G->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(64, 5));  // right border of column 0
  SendMessageA(G->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 5));
  SendMessageA(G->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(100, 5));
  EXPECT_EQ(G->Columns(0).Width(), 100);
  EXPECT_EQ(G->Columns(1).Width(), 64);
  EXPECT_EQ(events, 0);  // a drag is no press on a cell
  int c, r;
  G->MouseToCell(110, 25, c, r);
  EXPECT_EQ(c, 1);
  // A border in an ordinary row is no handle: the press selects the cell.
  SendMessageA(G->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 45));
  SendMessageA(G->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(140, 45));
  SendMessageA(G->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(140, 45));
  EXPECT_EQ(G->Columns(0).Width(), 100);
  EXPECT_EQ(G->Col(), 0);
  EXPECT_EQ(G->Row(), 2);
  EXPECT_EQ(events, 2);
}

TEST_F(FormatGrid, PaintedColours) {
  G->Model().SetFixedColor(0x9DB6B9);
  G->Columns(2).SetColor(0x00FF00);
  G->Columns(3).SetButtonStyle(cbsCheck);
  G->Columns(3).SetColor(0xFF0000);
  EXPECT_EQ(Pixel(130 + 3, 3), COLORREF(0x9DB6B9));      // title row
  EXPECT_EQ(Pixel(130 + 3, 21 + 3), COLORREF(0x00FF00));  // a text cell of column 2
  EXPECT_EQ(Pixel(195 + 2, 42 + 2), COLORREF(0xFF0000));  // a check cell outside its box
  EXPECT_EQ(Pixel(64, 30), COLORREF(0xC0C0C0));          // the grid line
}

TEST_F(FormatGrid, ScrollsAndWalksToEveryCell) {
  G->SetColCount(15);
  G->SetRowCount(30);
  ProcessMessages();
  // The last cell lies beyond the window until the keyboard walks there.
  EXPECT_EQ(G->CellRect(14, 29).Width(), 0);
  SendMessageA(G->Handle(), WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(G->Col(), 14);
  G->SetSelection(14, 29);
  EXPECT_GT(G->LeftCol(), 0);
  EXPECT_GT(G->TopRow(), 1);
  const TRect last = G->CellRect(14, 29);
  ASSERT_GT(last.Width(), 0);
  EXPECT_LE(last.right, G->ClientWidth());
  EXPECT_LE(last.bottom, G->ClientHeight());
  int c, r;
  G->MouseToCell(last.left + 5, last.top + 5, c, r);
  EXPECT_EQ(c, 14);
  EXPECT_EQ(r, 29);
  // The title row stays at the top while the rows scroll.
  G->MouseToCell(last.left + 5, 5, c, r);
  EXPECT_EQ(r, 0);
  // The keys walk cell by cell and stop at the edges.
  for (WPARAM k : {VK_DOWN, VK_RIGHT}) SendMessageA(G->Handle(), WM_KEYDOWN, k, 0);
  EXPECT_EQ(G->Col(), 14);
  EXPECT_EQ(G->Row(), 29);
  SendMessageA(G->Handle(), WM_KEYDOWN, VK_HOME, 0);
  EXPECT_EQ(G->Col(), 0);
  EXPECT_EQ(G->LeftCol(), 0);
  for (int i = 0; i < 5; ++i) SendMessageA(G->Handle(), WM_KEYDOWN, VK_PRIOR, 0);
  EXPECT_EQ(G->Row(), 1);  // the first row below the title
  EXPECT_EQ(G->TopRow(), 1);
  // The scroll bars and the wheel move the view.
  SendMessageA(G->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(G->TopRow(), 2);
  SendMessageA(G->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-100 * WHEEL_DELTA)), 0);
  const int bottom = G->TopRow();
  EXPECT_LT(G->CellRect(0, 29).bottom, G->ClientHeight() + 1);
  EXPECT_GT(G->CellRect(0, 29).Width(), 0);
  SendMessageA(G->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(G->TopRow(), bottom);  // not past the last row
  SendMessageA(G->Handle(), WM_HSCROLL, SB_BOTTOM, 0);
  EXPECT_GT(G->CellRect(14, 0).Width(), 0);
  SendMessageA(G->Handle(), WM_HSCROLL, SB_TOP, 0);
  EXPECT_EQ(G->LeftCol(), 0);
}

TEST_F(FormatGrid, ATitleDraggedOntoAnotherColumnMovesTheColumn) {
  G->Columns(1).Title().SetCaption("B");
  G->SetCells(1, 2, "b2");
  const TColumn* moved = &G->Columns(1);
  int ups = 0;
  G->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
  const TRect from = G->CellRect(1, 0), to = G->CellRect(3, 0);
  SendMessageA(G->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.left + 20, 10));
  SendMessageA(G->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.left + 20, 10));
  SendMessageA(G->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(to.left + 20, 10));
  EXPECT_EQ(&G->Columns(3), moved);
  EXPECT_EQ(G->Columns(3).Title().Caption(), "B");
  EXPECT_EQ(G->Cells(3, 2), "b2");
  EXPECT_EQ(G->Cells(1, 2), "");
  EXPECT_EQ(ups, 0);  // a drop is no click on a title
  // A press and release on one title is a click, and moves nothing.
  SendMessageA(G->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(to.left + 20, 10));
  SendMessageA(G->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(to.left + 20, 10));
  EXPECT_EQ(&G->Columns(3), moved);
  EXPECT_EQ(ups, 1);
  // The selected column stays selected wherever a move puts it: the moved one itself, one the
  // move shifts by a place (in either direction) and one outside the move.
  const struct { int From, To, Selected; } moves[] = {
      {1, 3, 1}, {1, 3, 2}, {1, 3, 3}, {1, 3, 4}, {3, 1, 3}, {3, 1, 2}, {3, 1, 1}, {3, 1, 0}};
  for (const auto& m : moves) {
    G->SetSelection(m.Selected, 1);
    const TColumn* selected = &G->Columns(m.Selected);
    const TRect a = G->CellRect(m.From, 0), b = G->CellRect(m.To, 0);
    SendMessageA(G->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.left + 20, 10));
    SendMessageA(G->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(b.left + 20, 10));
    SendMessageA(G->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(b.left + 20, 10));
    EXPECT_EQ(&G->Columns(G->Col()), selected) << m.From << " -> " << m.To << ", selected " << m.Selected;
  }
}

}  // namespace
