// The table designer, form builder and sound table driven in this process: the exchange-list
// items they leave, byte for byte, and the grid edits through the title dialog. Their road from a
// menu command through the main window to the caret is in quillet/app/win/tests/dialog_roads_test.cpp.
#include <gtest/gtest.h>

#include "dialogdriver.h"
#include "tabledialogs.h"
#include "tableids.h"

namespace {

class TableDialogs : public DialogTest {
protected:
  void SetUp() override {
    DialogTest::SetUp();
    Context.WorkFolder = ExtractFilePath(App.ExeName()) + "DATEN\\";
    App.ProcessMessages();
  }
  static void Click(TCheckBox* C) {
    SendMessageA(C->Handle(), BM_CLICK, 0, 0);
  }
};

TEST_F(TableDialogs, DesignerStartValuesAndEdits) {
  auto d = Open<Ttabell>();
  EXPECT_EQ(d->Caption(), " Tabellen Designer");
  EXPECT_EQ(d->SpinEdit1.Value(), 5);
  EXPECT_EQ(d->SpinEdit2.Value(), 6);
  // A press on column 2 of the title row, then the title dialog returns "Preis" / "Right".
  int runs = 0;
  d->RunTitleDialog = [&] {
    ++runs;
    Exchange->Add("Preis");
    Exchange->Add("Right");
  };
  const TRect title = d->fzo->CellRect(2, 0);
  SendMessageA(d->fzo->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(title.left + 5, title.top + 5));
  SendMessageA(d->fzo->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(title.left + 5, title.top + 5));
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(d->fzo->Columns(2).Title().Caption(), "Preis");
  EXPECT_EQ(d->fzo->Columns(2).Title().Alignment(), taRightJustify);
  EXPECT_EQ(Lines(*Exchange), (std::vector<String>{"Preis", "Right"}));

  // Fewer rows and columns through the number fields; no title row; border 2, spacing 3.
  d->SpinEdit1.Edit->SetText("1");
  EXPECT_EQ(d->fzo->FixedRows(), 0);
  d->SpinEdit1.Edit->SetText("2");
  EXPECT_EQ(d->fzo->FixedRows(), 1);  // the title row is back
  d->SpinEdit2.Edit->SetText("3");
  EXPECT_EQ(d->fzo->RowCount(), 2);
  EXPECT_EQ(d->fzo->ColCount(), 3);
  d->SpinEdit3.Edit->SetText("2");
  d->SpinEdit5.Edit->SetText("3");
  Click(d->CheckBox2);
  EXPECT_EQ(d->fzo->FixedRows(), 0);
  d->RunTitleDialog = [&] {
    Exchange->Add("Brot");
    Exchange->Add("Center");
  };
  const TRect cell = d->fzo->CellRect(0, 0);
  SendMessageA(d->fzo->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell.left + 5, cell.top + 5));
  SendMessageA(d->fzo->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(cell.left + 5, cell.top + 5));
  EXPECT_EQ(d->fzo->Cells(0, 0), "Brot");
  d->Edit1->SetText("Preise");
  d->ComboBox1->SetItemIndex(0);
  d->ColorButton1Click();
  const String th0 = "<Th Align=\"Center\" Valign=\"Bottom\">";
  const String td1 = "<Td Align=\"Left\" Valign=\"Bottom\"></Td>";
  const String td2 = "<Td Align=\"Left\" Valign=\"Bottom\"></Td>";
  EXPECT_EQ(Lines(*Exchange),
            (std::vector<String>{"<Table bgcolor=\"#FFFFFF\" Border=\"2\" Cellspacing=\"3\">\r"
                                 "<Caption align=\"Top\">Preise</Caption>\r"
                                 "<Tr> " + th0 + "Brot</Th> " + td1 + " " + td2 + " </Tr>\r"
                                 "<Tr> " + th0 + "</Th> " + td1 + " " + td2 + " </Tr>\r"
                                 "</Table>\r"}));
}

TEST_F(TableDialogs, DesignerRowTitleBoxAndCancel) {
  auto d = Open<Ttabell>();
  Click(d->CheckBox1);
  EXPECT_FALSE(d->CheckBox1->Checked());
  EXPECT_EQ(d->fzo->Columns(0).Color(), clSilver);
  Click(d->CheckBox1);
  EXPECT_EQ(d->fzo->Columns(0).Color(), 0x9DB6B9);
  Exchange->Add("x");
  d->ColorButton2Click();
  EXPECT_EQ(Exchange->Count(), 0);
  // Closed by the close box after a cell edit: the title dialog's items are not inserted.
  auto e = Open<Ttabell>();
  Exchange->Add("Preis");
  Exchange->Add("Right");
  SendMessageA(e->Handle(), WM_CLOSE, 0, 0);
  App.ProcessMessages();
  EXPECT_EQ(Exchange->Count(), 0);
}

TEST_F(TableDialogs, TitleDialog) {
  auto d = Open<Tfomel>();
  EXPECT_EQ(d->Caption(), " Titel");
  Exchange->Clear();
  d->Edit1->SetText("Kopf");
  d->ComboBox1->SetItemIndex(2);
  d->ColorButton1Click();
  EXPECT_EQ(Lines(*Exchange), (std::vector<String>{"Kopf", "Right"}));
}

TEST_F(TableDialogs, FormBuilder) {
  auto d = Open<Tbauf>();
  EXPECT_EQ(d->Caption(), " Formular erzeugen");
  d->ComboBox2->SetItemIndex(1);
  d->ColorButton3Click();
  std::vector<String> want(12);
  want[1] = "<Form Action=\" \" Method=\"Post\">\r";
  want[11] = "</Form>\r";
  EXPECT_EQ(Lines(*Exchange), want);
  auto e = Open<Tbauf>();
  Click(e->CheckBox8);
  Click(e->CheckBox7);
  e->ColorButton3Click();
  want[0] = "<Center>\r";
  want[1] = "<Form Action=\" \" Method=\"Get\">\r";
  want[5] = "<Select Name=\"select01\" Size=\"0\">\r   <Option>Item1\r   <Option>Item2\r</Select><BR>   ";
  want[6] = "\r";
  want[11] = "</Form>\r</Center>\r";  // the centring closes after the form
  EXPECT_EQ(Lines(*Exchange), want);
}

TEST_F(TableDialogs, SoundTable) {
  auto d = Open<Tsoform>();
  EXPECT_EQ(d->Caption(), " Sound Steuerung mit Playliste");
  String shown;
  d->Message = [&](const String& m) { shown = m; };
  Exchange->Clear();
  Exchange->Add("alt");
  d->ColorButton6Click();
  EXPECT_EQ(shown, "Bitte mindestens den Sound > eins < laden !");
  EXPECT_EQ(Lines(*Exchange), (std::vector<String>{"alt"}));  // nothing built
  EXPECT_TRUE(d->Visible());
  d->Edit1->SetText("a.mid");
  d->Edit3->SetText("lied.mid");
  d->ColorButton6Click();
  const std::vector<String> want{
      "<Table border=4 bgcolor=\"#FFFFFF\" align=Left>\r", "<tr>\r",
      "<td><font face=\"comic sans MS\" size=1><b> Titel </b></font></td>\r", "</tr>\r", "<tr>\r",
      "<td><EMBED SRC=\"a.mid\" width=145 height=60 autostart=\"false\" Loop=0></td>\r", "</tr>\r",
      "", "", "", "<tr>\r",
      "<td><a href=\"lied.mid\"><font face=\"comic sans MS\" size=2>lied</font></a></td>\r", "</tr>\r",
      "", "", "", "</Table>\r"};
  EXPECT_EQ(Lines(*Exchange), want);
  auto e = Open<Tsoform>();
  e->ColorButton5Click();
  EXPECT_EQ(Exchange->Count(), 0);
}

}  // namespace
