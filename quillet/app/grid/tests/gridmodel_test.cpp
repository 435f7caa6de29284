#include "gridmodel.h"

#include <gtest/gtest.h>

TEST(GridModel, ColCountFollowsColumns) {
  TFormatGridModel g;
  g.SetColCount(3);
  g.Column(2).SetColor(clRed);
  g.SetColCount(5);
  ASSERT_EQ(g.ColCount(), 5);
  EXPECT_EQ(g.Column(2).Color(), clRed);
  EXPECT_EQ(g.Column(4).Color(), g.Color());  // new columns are default
  g.SetColCount(2);
  EXPECT_EQ(g.ColCount(), 2);
  g.SetColCount(3);
  EXPECT_EQ(g.Column(2).Color(), g.Color());  // the deleted column object is gone
}

TEST(GridModel, UnassignedValuesFollowTheGrid) {
  TFormatGridModel g;
  TColumn& c = g.Column(0);
  g.SetColor(clYellow);
  EXPECT_EQ(c.Color(), clYellow);
  c.SetColor(clAqua);
  g.SetColor(clLime);
  EXPECT_EQ(c.Color(), clAqua);
  EXPECT_TRUE(c.StoreColor());

  g.SetFixedColor(0x9DB6B9);
  EXPECT_EQ(c.Title().Color(), 0x9DB6B9);
  TGridFont f;
  f.Name = "Arial";
  g.SetFont(f);
  EXPECT_EQ(c.Font().Name, "Arial");
  EXPECT_EQ(c.Title().Font().Name, "Arial");
  EXPECT_FALSE(c.StoreFont());
  g.SetDefaultColWidth(80);
  EXPECT_EQ(c.Width(), 80);
  EXPECT_FALSE(c.StoreWidth());
  c.SetWidth(80);  // assigned but equal to what it follows: not stored
  EXPECT_FALSE(c.StoreWidth());
  g.SetDefaultColWidth(64);
  EXPECT_EQ(c.Width(), 80);
  EXPECT_EQ(c.Alignment(), taLeftJustify);
  EXPECT_EQ(c.Title().Caption(), "");

  c.SetButtonStyle(cbsCheck);
  c.RestoreDefaults();
  EXPECT_EQ(c.Color(), clLime);
  EXPECT_EQ(c.Width(), 64);
  EXPECT_EQ(c.ButtonStyle(), cbsNone);
  EXPECT_FALSE(c.StoreColor());
}

TEST(GridModel, ChangesNotifyOnceInsideAnUpdate) {
  TFormatGridModel g;
  int n = 0;
  g.OnChanged = [&] { ++n; };
  g.Column(1).SetAlignment(taCenter);
  EXPECT_EQ(n, 1);
  g.Column(1).SetAlignment(taCenter);  // same value again: nothing
  EXPECT_EQ(n, 1);
  g.BeginUpdate();
  g.Column(0).SetColor(clRed);
  g.Column(1).Title().SetCaption("A");
  g.SetColCount(8);
  EXPECT_EQ(n, 1);
  g.EndUpdate();
  EXPECT_EQ(n, 2);
}

TEST(GridModel, MoveColumnCarriesItsCells) {
  TFormatGridModel g;
  g.SetColCount(4);
  for (int c = 0; c < 4; ++c) {
    g.Column(c).Title().SetCaption(String(1, char('A' + c)));
    g.SetCell(c, 1, String(1, char('a' + c)));
  }
  g.MoveColumn(0, 2);
  EXPECT_EQ(g.Column(0).Title().Caption(), "B");
  EXPECT_EQ(g.Column(1).Title().Caption(), "C");
  EXPECT_EQ(g.Column(2).Title().Caption(), "A");
  EXPECT_EQ(g.Cell(2, 1), "a");
  EXPECT_EQ(g.Cell(0, 1), "b");
  g.MoveColumn(3, 0);
  EXPECT_EQ(g.Column(0).Title().Caption(), "D");
  EXPECT_EQ(g.Cell(9, 9), "");  // outside: empty, no fault
}

TEST(GridModel, CheckClicks) {
  TFormatGridModel g;
  g.SetFixedCols(0);
  g.Column(1).SetButtonStyle(cbsCheck);
  int clicks = 0;
  g.OnClickCheck = [&](int c, int r) { ++clicks; EXPECT_EQ(c, 1); EXPECT_EQ(r, 2); };
  const TCheckRect b = TFormatGridModel::CheckBox(64, 24);
  EXPECT_EQ(b.Left, 25);
  EXPECT_EQ(b.Top, 5);
  EXPECT_EQ(b.Right, 38);
  struct { String Before, After; } cases[] = {{"", "1"}, {"0", "1"}, {"Wort", "1"}, {"1", "0"}};
  for (const auto& k : cases) {
    g.SetCell(1, 2, k.Before);
    EXPECT_TRUE(g.ClickCheck(1, 2, 30, 10, 64, 24));
    EXPECT_EQ(g.Cell(1, 2), k.After) << k.Before;
  }
  EXPECT_EQ(clicks, 4);
  g.SetCell(1, 2, "0");
  EXPECT_FALSE(g.ClickCheck(1, 2, 24, 10, 64, 24));  // just left of the box
  EXPECT_FALSE(g.ClickCheck(1, 2, 38, 10, 64, 24));  // just right of it
  EXPECT_FALSE(g.ClickCheck(1, 0, 30, 10, 64, 24));  // a fixed title cell
  EXPECT_FALSE(g.ClickCheck(0, 2, 30, 10, 64, 24));  // not a check column
  g.Column(1).SetEnabled(false);
  EXPECT_FALSE(g.ClickCheck(1, 2, 30, 10, 64, 24));
  EXPECT_EQ(g.Cell(1, 2), "0");
  EXPECT_EQ(clicks, 4);
}

TEST(GridModel, FixedRowsAndRows) {
  TFormatGridModel g;
  g.SetRowCount(3);
  g.SetFixedRows(2);
  g.SetColCount(4);  // with titles shown, two fixed rows become one
  EXPECT_EQ(g.FixedRows(), 1);
  g.SetFixedRows(5);
  EXPECT_EQ(g.FixedRows(), 2);  // at most one below the row count
  g.SetCell(0, 2, "x");
  g.SetRowCount(2);
  g.SetRowCount(3);
  EXPECT_EQ(g.Cell(0, 2), "");
}

TEST(GridModel, CountsTypedDigitByDigitKeepWhatTheyPassOver) {
  TFormatGridModel m;
  m.SetColCount(6);
  m.Column(4).Title().SetCaption("Preis");
  const TColumn* fifth = &m.Column(4);
  m.SetCell(4, 3, "9,90");
  m.SetCell(0, 4, "unten");
  // "12" columns passes through 1, "30" rows through 3.
  m.SetColCountKeeping(1);
  m.SetRowCountKeeping(3);
  EXPECT_EQ(m.ColCount(), 1);
  EXPECT_EQ(m.Cell(0, 4), "");
  m.SetColCountKeeping(12);
  m.SetRowCountKeeping(30);
  ASSERT_EQ(m.ColCount(), 12);
  EXPECT_EQ(&m.Column(4), fifth);
  EXPECT_EQ(m.Column(4).Title().Caption(), "Preis");
  EXPECT_EQ(m.Cell(4, 3), "9,90");
  EXPECT_EQ(m.Cell(0, 4), "unten");
  EXPECT_EQ(m.Cell(11, 29), "");
  m.SetCell(11, 29, "letzte");
  EXPECT_EQ(m.Cell(11, 29), "letzte");
  // The plain counts still delete.
  m.SetColCount(2);
  m.SetColCount(5);
  EXPECT_EQ(m.Column(4).Title().Caption(), "");
}
