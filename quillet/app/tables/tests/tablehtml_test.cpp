#include "tablehtml.h"

#include <gtest/gtest.h>

namespace {
String Repeat(const String& s, int n) {
  String r;
  for (int i = 0; i < n; ++i) r += s;
  return r;
}
const String Th = "<Th Align=\"Left\" Valign=\"Bottom\"></Th>";
const String Td = "<Td Align=\"Left\" Valign=\"Bottom\"></Td>";
}  // namespace

TEST(TableHtml, StartValues) {
  TFormatGridModel g;
  SetUpDesignerGrid(g);
  ASSERT_EQ(g.ColCount(), 6);
  ASSERT_EQ(g.RowCount(), 5);
  EXPECT_EQ(g.Column(0).Color(), 0x9DB6B9);
  EXPECT_EQ(g.Column(0).Font().Color, clWhite);
  EXPECT_TRUE(g.Column(0).Font().Style.Contains(fsBold));
  EXPECT_EQ(g.Column(3).Title().Font().Color, clBlack);
  const String row = "<Tr> " + Th + Repeat(" " + Td, 5) + " </Tr>\r";
  const String want = "<Table bgcolor=\"#FFFFFF\">\r<Tr> " + Repeat(Th + " ", 6) + "</Tr>\r" +
                      Repeat(row, 4) + "</Table>\r";
  EXPECT_EQ(TableHtml(TTableSettings(), g), want);
}

TEST(TableHtml, TagCaptionAndTheFourRowForms) {
  TFormatGridModel g;
  SetUpDesignerGrid(g);
  g.SetColCount(2);
  g.SetRowCount(2);
  ApplyCellEdit(g, true, 1, 0, "Preis", "Right");
  ApplyCellEdit(g, true, 0, 1, "Brot", "Center");
  ApplyCellEdit(g, true, 1, 1, "2,50", "Right");
  EXPECT_EQ(g.Column(1).Title().Font().Color, clWhite);
  TTableSettings s;
  s.Border = 2;
  s.Spacing = 3;
  s.Background = 0x0000FF;  // red
  s.Caption = "Preise";
  s.Position = "Top";
  const String head = "<Table bgcolor=\"#FF0000\" Border=\"2\" Cellspacing=\"3\">\r"
                      "<Caption align=\"Top\">Preise</Caption>\r";
  const String titles = "<Tr> <Th Align=\"Left\" Valign=\"Bottom\"></Th> "
                        "<Th Align=\"Right\" Valign=\"Bottom\">Preis</Th> </Tr>\r";
  const String titled1 = "<Tr> <Th Align=\"Center\" Valign=\"Bottom\">Brot</Th>"
                         " <Td Align=\"Right\" Valign=\"Bottom\">2,50</Td> </Tr>\r";
  const String plain1 = "<Tr> <Td Align=\"Center\" Valign=\"Bottom\">Brot</Td> "
                        "<Td Align=\"Right\" Valign=\"Bottom\">2,50</Td> </Tr>\r";
  const String titled0 = "<Tr> <Th Align=\"Center\" Valign=\"Bottom\"></Th>"
                         " <Td Align=\"Right\" Valign=\"Bottom\"></Td> </Tr>\r";
  const String plain0 = "<Tr> <Td Align=\"Center\" Valign=\"Bottom\"></Td> "
                        "<Td Align=\"Right\" Valign=\"Bottom\"></Td> </Tr>\r";
  struct { bool Rows, Cols; String Body; } cases[] = {
      {true, true, titles + titled1 + "</Table>\r"},
      {false, true, titles + plain1 + "</Table>\r"},
      {true, false, titled0 + titled1 + "</Table>\r"},
      {false, false, plain0 + plain1 + "</Table>\r"},
  };
  for (const auto& k : cases) {
    s.RowTitles = k.Rows;
    s.ColTitles = k.Cols;
    EXPECT_EQ(TableHtml(s, g), head + k.Body) << k.Rows << k.Cols;
  }
  s.Caption = "X";
  s.Position = "";
  s.Border = s.Spacing = 0;
  s.Padding = 7;
  const String pre = "<Table bgcolor=\"#FF0000\" Cellpadding=\"7\">\r<Caption>X</Caption>\r";
  EXPECT_EQ(TableHtml(s, g).substr(0, pre.size()), pre);
}

TEST(TableHtml, CellEditWithoutTitleRowAndRowTitleLook) {
  TFormatGridModel g;
  SetUpDesignerGrid(g);
  ApplyCellEdit(g, false, 2, 0, "Kopf", "Center");  // row 0 is an ordinary row now
  EXPECT_EQ(g.Cell(2, 0), "Kopf");
  EXPECT_EQ(g.Column(2).Alignment(), taCenter);
  EXPECT_EQ(g.Column(2).Title().Caption(), "");
  ApplyCellEdit(g, true, 2, 1, "x", "Quer");  // an unknown word keeps the alignment
  EXPECT_EQ(g.Column(2).Alignment(), taCenter);
  ApplyCellEdit(g, true, 40, 1, "x", "Left");  // outside the grid: nothing
  TGridFont plain;
  plain.Name = "Arial";
  SetRowTitles(g, false, plain);
  EXPECT_EQ(g.Column(0).Color(), clSilver);
  EXPECT_EQ(g.Column(0).Font().Name, "Arial");
  SetRowTitles(g, true, plain);
  EXPECT_EQ(g.Column(0).Color(), 0x9DB6B9);
  EXPECT_EQ(g.Column(0).Font().Color, clWhite);
}

TEST(FormBuilder, Items) {
  TStringList l;
  l.Add("alt");
  TFormSettings s;
  s.Method = "Post";
  FormBuilderList(s, l);
  ASSERT_EQ(l.Count(), 12);
  for (int i = 0; i < 12; ++i) {
    if (i != 1 && i != 11) {
      EXPECT_EQ(l[i], "") << i;
    }
  }
  EXPECT_EQ(l[1], "<Form Action=\" \" Method=\"Post\">\r");
  EXPECT_EQ(l[11], "</Form>\r");
  s = TFormSettings();
  s.Center = s.TextArea = s.TextField = s.Password = s.Select = s.CheckBox = s.Radio = s.Submit =
      s.Reset = true;
  FormBuilderList(s, l);
  const char* want[] = {
      "<Center>\r",
      "<Form Action=\" \" Method=\"Get\">\r",
      "<Textarea Name=\"Text01\" Rows=6 Cols=20></Textarea><BR>\r",
      "<Input Type=\"text\" Name=\"input01\"><BR>\r",
      "<Input Type=\"password\" Name=\"input02\"><BR>\r",
      "<Select Name=\"select01\" Size=\"0\">\r   <Option>Item1\r   <Option>Item2\r</Select><BR>   ",
      "\r",
      "<Input type=\"checkbox\" name=\"check01\">Check Box<BR>\r",
      "<Input type=\"radio\" name=\"radio01\">Radio Button<BR>\r",
      "<Input Type=\"submit\" Name=\"Submit\" Value=\"Submit\"><BR>\r",
      "<Input type=\"reset\" name=\"Reset\" value=\"Reset\"><BR>\r",
      "</Form>\r</Center>\r"};
  ASSERT_EQ(l.Count(), 12);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(l[i], want[i]) << i;
}

TEST(SoundTable, OnlySoundOneWithStartValues) {
  TStringList l;
  TSoundSettings s;
  s.Sound[0] = "a.mid";
  SoundTableList(s, l);
  ASSERT_EQ(l.Count(), 17);
  EXPECT_EQ(l[0], "<Table border=4 bgcolor=\"#FFFFFF\" align=Left>\r");
  EXPECT_EQ(l[1], "<tr>\r");
  EXPECT_EQ(l[2], "<td><font face=\"comic sans MS\" size=1><b> Titel </b></font></td>\r");
  EXPECT_EQ(l[3], "</tr>\r");
  EXPECT_EQ(l[4], "<tr>\r");
  EXPECT_EQ(l[5], "<td><EMBED SRC=\"a.mid\" width=145 height=60 autostart=\"false\" Loop=0></td>\r");
  EXPECT_EQ(l[6], "</tr>\r");
  for (int i = 7; i < 16; ++i) EXPECT_EQ(l[i], "") << i;
  EXPECT_EQ(l[16], "</Table>\r");
}

TEST(SoundTable, TitleAutostartAndPlaylist) {
  TStringList l;
  TSoundSettings s;
  s.Sound[0] = "a.mid";
  s.Sound[2] = "lied.mid";
  s.AutoStart = true;
  s.Title = "Musik";
  s.Border = "0";
  s.Align = "Center";
  s.Loop = "3";
  SoundTableList(s, l);
  ASSERT_EQ(l.Count(), 17);
  EXPECT_EQ(l[0], "<Table border=0 bgcolor=\"#FFFFFF\" align=Center>\r");
  EXPECT_EQ(l[2], "<td><font face=\"comic sans MS\" size=2><Center><b>Musik</b></Center></font></td>\r");
  EXPECT_EQ(l[5], "<td><EMBED SRC=\"a.mid\" width=145 height=60 autostart=\"true\" Loop=3></td>\r");
  EXPECT_EQ(l[7], "");
  EXPECT_EQ(l[10], "<tr>\r");
  EXPECT_EQ(l[11], "<td><a href=\"lied.mid\"><font face=\"comic sans MS\" size=2>lied</font></a></td>\r");
  EXPECT_EQ(l[12], "</tr>\r");
  EXPECT_EQ(l[13], "");
}

TEST(SoundTable, PlaylistNames) {
  struct { const char* File; const char* Name; } cases[] = {
      {"lied.mid", "lied"}, {"lied", "lied"}, {"a.b.mid", "a.b"}, {"x.m", "x"}, {".mid", ""}};
  for (const auto& k : cases) EXPECT_EQ(PlaylistName(k.File), k.Name) << k.File;
}
