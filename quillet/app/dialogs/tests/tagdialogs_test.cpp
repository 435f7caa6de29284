// The link, image, marquee, video and font dialogs driven in this process: the exchange-list
// lines they leave, byte for byte, and the media copies in the working folder. Their road from a
// menu command through the main window to the caret is in quillet/app/win/tests/dialog_roads_test.cpp.
#include <gtest/gtest.h>

#include <richedit.h>

#include "dialogdriver.h"
#include "insertids.h"
#include "lader.h"
#include "laufer.h"
#include "linker.h"
#include "pagelogic.h"
#include "tagdialog.h"
#include "texter.h"
#include "viform.h"

namespace {

const String kFixtures = String(ASTREL_SOURCE_DIR) + "\\quillet\\app\\dialogs\\tests\\fixtures\\";

class TagDialogs : public DialogTest {
protected:
  String Work;
  void SetUp() override {
    DialogTest::SetUp();
    Work = MakeWorkFolder("tagdialogs");
    App.ProcessMessages();
  }
  static void Select(TComboBox* C, int Index) {
    C->SetItemIndex(Index);
    SendMessageA(GetParent(C->Handle()), WM_COMMAND, MAKEWPARAM(C->ControlId(), CBN_SELCHANGE), LPARAM(C->Handle()));
  }
  static void ReleaseMouseOver(TUpDown* U) {
    // Only the release: a press would step the position as well.
    SendMessageA(U->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  }
};

TEST_F(TagDialogs, LinkAroundTheSelectedText) {
  auto d = Open<Tlinker>();
  EXPECT_EQ(d->Caption(), " Link Einf\xFCgen ...");
  EXPECT_EQ(d->Edit1->Text(), "http://");
  EXPECT_FALSE(d->ColorButton1->Enabled());
  EXPECT_EQ(GetDlgCtrlID(d->ColorButton1->Handle()), LI_BLOCK + ID_BUTTON + 1);
  // The URL type replaces whatever address was typed.
  d->Edit1->SetText("www.beispiel.de");
  EXPECT_TRUE(d->ColorButton1->Enabled());
  Select(d->ComboBox2, 1);
  EXPECT_EQ(d->Edit1->Text(), "ftp://");

  struct Case { const char* target; const char* link; } cases[] = {
      {"", "<a Href=\"seite2.htm\">Wort</a>"},
      {"_Top", "<a Href=\"seite2.htm\" Target=\"_Top\">Wort</a>"},
      {"eigenes", "<a Href=\"seite2.htm\" Target=\"eigenes\">Wort</a>"},  // typed, not from the list
  };
  for (const Case& c : cases) {
    auto l = Open<Tlinker>();
    Exchange->Clear();
    Exchange->Add("Wort");
    l->Edit1->SetText("seite2.htm");
    l->ComboBox1->SetText(c.target);
    l->ColorButton1->Click();
    EXPECT_EQ(Lines(*Exchange), std::vector<String>{c.link}) << c.target;
  }
  auto a = Open<Tlinker>();
  Exchange->Add("Wort");
  a->ColorButton2->Click();
  EXPECT_EQ(Exchange->Count(), 0);
}

TEST_F(TagDialogs, MarqueeFromStartValuesAndChangedOnes) {
  auto d = Open<Tlaufer>();
  EXPECT_EQ(d->Caption(), " Lauftext einrichten");
  EXPECT_EQ(GetFocus(), d->Edit5->Handle());
  d->ColorButton1->Click();
  EXPECT_EQ(Lines(*Exchange),
            std::vector<String>{"<Marquee Align=\"Top\" Behaviour=\"Scroll\" Direction=\"Left\" Scrollamount=\"1\" "
                                "Loop=\"1\" Bgcolor=\"#FFFFFF\"> Scrolltext </Marquee>"});

  Exchange->Clear();
  auto e = Open<Tlaufer>();
  Select(e->ComboBox1, 2);
  Select(e->ComboBox2, 2);
  Select(e->ComboBox3, 1);
  e->Edit1->SetText("40");
  e->Edit2->SetText("80%");
  e->Edit3->SetText("3");
  e->Edit4->SetText("4");
  e->UpDown2->SetPosition(-3);
  ReleaseMouseOver(e->UpDown2);
  EXPECT_EQ(e->Panel5->Caption(), "-3");
  e->UpDown1->SetPosition(20);
  ReleaseMouseOver(e->UpDown1);
  e->Panel3->SetColor(TColor(0x336699));  // blue 33, green 66, red 99
  e->Edit5->SetText("Willkommen");
  e->ColorButton1->Click();
  EXPECT_EQ(Lines(*Exchange),
            std::vector<String>{"<Marquee Align=\"Bottom\" Behaviour=\"Alternate\" Direction=\"Right\" Height=\"40\" "
                                "Width=\"80%\" Vspace=\"3\" Hspace=\"4\" Scrollamount=\"20\" Scrolldelay=\"-3\" "
                                "Loop=\"1\" Bgcolor=\"#996633\">Willkommen</Marquee>"});
  auto f = Open<Tlaufer>();
  f->ColorButton2->Click();
  EXPECT_EQ(Exchange->Count(), 0);
}

TEST_F(TagDialogs, VideoIsCopiedIntoTheWorkingFolder) {
  DeleteFileA((Work + "DATEN\\clip.avi").c_str());
  auto d = Open<Tviform>();
  EXPECT_FALSE(d->ColorButton2->Enabled());
  d->TakeVideo(kFixtures + "clip.avi");
  EXPECT_EQ(d->Edit1->Text(), "clip.avi");
  EXPECT_TRUE(d->ColorButton2->Enabled());
  TMemoryStream copy;
  copy.LoadFromFile(Work + "DATEN\\clip.avi");
  EXPECT_EQ(String(copy.Memory(), size_t(copy.Size())), "RIFF0000AVI ");
  d->ColorButton2->Click();
  EXPECT_EQ(Lines(*Exchange), std::vector<String>{"<Img Dynsrc=\"clip.avi\" Loop=\"1\">"});

  Exchange->Clear();
  auto e = Open<Tviform>();
  e->Edit1->SetText("film.avi");
  Select(e->ComboBox1, 2);
  e->UpDown1->SetPosition(4);
  ReleaseMouseOver(e->UpDown1);
  e->ColorButton2->Click();
  EXPECT_EQ(Lines(*Exchange),
            std::vector<String>{"<Img Dynsrc=\"film.avi\" Start=\"Fileopen,Mouseover\" Loop=\"4\">"});
  // A file that cannot be read is reported and changes nothing.
  auto f = Open<Tviform>();
  EXPECT_THROW(f->TakeVideo(kFixtures + "fehlt.avi"), Exception);
  EXPECT_EQ(f->Edit1->Text(), "");
}

TEST_F(TagDialogs, PictureSizesOfEveryFormat) {
  struct Case { const char* file; const char* w; const char* h; } cases[] = {
      {"bild.gif", "10", "20"}, {"bild.png", "7", "3"}, {"bild.bmp", "12", "5"}, {"bild.jpg", "33", "17"}};
  auto d = Open<Tlader>();
  for (const Case& c : cases) {
    d->TakePicture(kFixtures + c.file);
    EXPECT_EQ(d->Panel2->Caption(), c.w) << c.file;
    EXPECT_EQ(d->Panel3->Caption(), c.h) << c.file;
  }
  // Pictures that cannot be read raise the loader's message for their format (the PNG reader's
  // own for PNG files) and leave the values of the last picture.
  struct Bad { const char* file; const char* message; } bad[] = {
      {"kaputt.png", "Error Reading File!"},
      {"kaputt.jpg", "unrecognized JPEG"},
      {"kaputt.bmp", "unrecognized BMP"},
      {"clip.avi", "unrecognized BMP"},  // any other extension takes the BMP path
  };
  for (const Bad& b : bad) {
    try {
      d->TakePicture(kFixtures + b.file);
      ADD_FAILURE() << b.file;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), b.message) << b.file;
    }
    EXPECT_EQ(d->Panel2->Caption(), "33") << b.file;
    EXPECT_EQ(d->Edit1->Text(), "bild.jpg") << b.file;
  }
}

TEST_F(TagDialogs, ImageItemsForTheMainWindow) {
  auto d = Open<Tlader>();
  EXPECT_EQ(d->Caption(), " Grafik einf\xFCgen");
  EXPECT_FALSE(d->ColorButton2->Enabled());
  d->TakePicture(kFixtures + "bild.gif");
  EXPECT_EQ(d->Edit1->Text(), "bild.gif");
  EXPECT_EQ(d->Panel5->Caption(), "<IMG Src=\"bild.gif\" Width=\"10\" Height=\"20\"");
  EXPECT_NE(GetFileAttributesA((Work + "DATEN\\bild.gif").c_str()), INVALID_FILE_ATTRIBUTES);
  // An unreadable picture leaves the previous values.
  EXPECT_THROW(d->TakePicture(kFixtures + "kaputt.png"), Exception);
  EXPECT_EQ(d->Edit1->Text(), "bild.gif");
  EXPECT_EQ(d->Panel2->Caption(), "10");
  EXPECT_EQ(GetFileAttributesA((Work + "DATEN\\kaputt.png").c_str()), INVALID_FILE_ATTRIBUTES);
  d->Edit2->SetText("5");
  d->Edit3->SetText("6");
  Select(d->ComboBox1, 0);
  d->ColorButton2->Click();
  const std::vector<String> items = {"<IMG Src=\"bild.gif\" Width=\"10\" Height=\"20\"", "5", "6", "0", "Left"};
  EXPECT_EQ(Lines(*Exchange), items);
  EXPECT_EQ(ImageTag(*Exchange),
            "<IMG Src=\"bild.gif\" Width=\"10\" Height=\"20\" Align=\"Left\" Vspace=\"5\" Hspace=\"6\" Border=\"0\">\r");

  // A name typed by hand still gives a whole tag.
  Exchange->Clear();
  auto e = Open<Tlader>();
  e->Edit1->SetText("logo.png");
  e->UpDown2->SetPosition(2);
  ReleaseMouseOver(e->UpDown2);
  e->ColorButton2->Click();
  EXPECT_EQ(Lines(*Exchange), (std::vector<String>{"<IMG Src=\"logo.png\"", "", "", "2", ""}));
  auto f = Open<Tlader>();
  f->ColorButton3->Click();
  EXPECT_EQ(Exchange->Count(), 0);
}

TEST_F(TagDialogs, FontListAndTheChosenFace) {
  auto d = Open<Ttexter>();
  EXPECT_EQ(d->Caption(), " Text Optionen");
  const std::vector<String> faces = Lines(*Exchange);
  ASSERT_GE(faces.size(), 2u);
  ASSERT_EQ(d->mem->LineCount(), int(faces.size()));
  EXPECT_EQ(d->mem->Line(1), faces[1]);
  EXPECT_FALSE(d->ColorButton1->Enabled());
  // A click on the second line selects its face.
  const LRESULT start = SendMessageA(d->mem->Handle(), EM_LINEINDEX, 1, 0);
  POINTL pt{};
  SendMessageA(d->mem->Handle(), EM_POSFROMCHAR, WPARAM(&pt), start);
  SendMessageA(d->mem->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x + 1, pt.y + 2));
  SendMessageA(d->mem->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(pt.x + 1, pt.y + 2));
  EXPECT_EQ(d->Panel5->Caption(), faces[1]);
  EXPECT_TRUE(d->ColorButton1->Enabled());
  d->ColorButton1->Click();
  EXPECT_EQ(Lines(*Exchange),
            std::vector<String>{"<Font Size=\"1\" Color=\"#000000\" Face=\"" + faces[1] + "\"> Text </Font>"});

  // Closed without "Übernehmen" (also by the title bar) it leaves no font names behind.
  auto e = Open<Ttexter>();
  ASSERT_GT(Exchange->Count(), 0);
  SendMessageA(e->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(Exchange->Count(), 0);
  auto f = Open<Ttexter>();
  f->ColorButton2->Click();
  EXPECT_EQ(Exchange->Count(), 0);
}

}  // namespace
