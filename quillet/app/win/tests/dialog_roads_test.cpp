// The road of the insert dialogs through the main window, in this process: a menu command or tool
// button opens its registered dialog modally, a timer drives the dialog once it shows, and its
// insert step puts the result at the caret of the page the program start opened.
#include <gtest/gtest.h>

#include <functional>

#include "childwin.h"
#include "commands.h"
#include "dialogdriver.h"
#include "lader.h"
#include "laufer.h"
#include "main.h"  // the program start
#include "tabledialogs.h"
#include "tagdialog.h"
#include "viform.h"

namespace {

const String kFixtures = String(ASTREL_SOURCE_DIR) + "\\quillet\\app\\dialogs\\tests\\fixtures\\";

// The document window the program start opened ("/neu").
TMDIChild* StartDocument() {
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (auto* d = dynamic_cast<TMDIChild*>(Screen->Forms(i))) return d;
  return nullptr;
}

bool CommandEnabled(unsigned Command) {
  return SendMessageA(Application->Handle(), QM_COMMANDENABLED, Command, 0) == 1;
}

// The dialog the command opened, and what the timer does with it once it is visible.
std::function<void(TForm*)> gDrive;
TForm* gDialog = nullptr;
void CALLBACK DriveDialog(HWND, UINT, UINT_PTR Id, DWORD) {
  if (!gDialog || !IsWindowVisible(gDialog->Handle())) return;
  KillTimer(nullptr, Id);
  gDrive(gDialog);
}

// The registered dialog with its insert step, created so that the timer finds it.
template <class D> void RegisterDriven(TInsertDialogKind Kind) {
  TInsertDialog d = InsertDialog(Kind);
  d.Create = [](TComponent* Owner, TDialogContext& C) -> TForm* { return gDialog = new D(Owner, C); };
  RegisterInsertDialog(Kind, d);
}

// Runs a menu command of the main window; Drive works the dialog it opens, which must close it.
void RunCommand(unsigned Command, std::function<void(TForm*)> Drive) {
  gDrive = std::move(Drive);
  SetTimer(nullptr, 0, 20, DriveDialog);
  SendMessageA(Application->Handle(), WM_COMMAND, Command, 0);
  gDialog = nullptr;
}

class DialogRoads : public DialogTest {
protected:
  void SetUp() override {
    DialogTest::SetUp();
    // The program's own start, with an empty page.
    StartMainWindow("/neu");
    App.ProcessMessages();
  }
};

TEST_F(DialogRoads, TagDialogsFromTheMenuCommandToTheCaret) {
  RegisterTagDialogs();
  RegisterDriven<Tlaufer>(idMarquee);
  RegisterDriven<Tviform>(idVideo);
  RegisterDriven<Tlader>(idImage);
  Screen->ActiveFormChanged();  // the main window takes the registered dialogs into its menus
  TMDIChild* doc = StartDocument();
  ASSERT_NE(doc, nullptr);
  doc->edi->Lines()->Add("");
  App.ProcessMessages();
  EXPECT_TRUE(CommandEnabled(cmMarquee));
  RunCommand(cmMarquee, [](TForm* f) {
    auto* m = static_cast<Tlaufer*>(f);
    m->Edit5->SetText("Hallo");
    m->ColorButton1->Click();
  });
  RunCommand(cmVideo, [](TForm* f) {
    auto* v = static_cast<Tviform*>(f);
    v->Edit1->SetText("clip.avi");
    v->ColorButton3->Click();  // "Beenden": nothing is inserted
  });
  RunCommand(cmImage, [](TForm* f) {
    auto* l = static_cast<Tlader*>(f);
    l->TakePicture(kFixtures + "bild.gif");
    l->ColorButton2->Click();
  });
  EXPECT_EQ(doc->edi->Lines()->Text(),
            "<Marquee Align=\"Top\" Behaviour=\"Scroll\" Direction=\"Left\" Scrollamount=\"1\" Loop=\"1\" "
            "Bgcolor=\"#FFFFFF\">Hallo</Marquee>\r\n"
            "<IMG Src=\"bild.gif\" Width=\"10\" Height=\"20\" Border=\"0\">\r\n\r\n");
  for (TInsertDialogKind k : {idImage, idLink, idMarquee, idVideo, idFont}) UnregisterInsertDialog(k);
}

TEST_F(DialogRoads, TableDialogsFromTheMenuCommandToTheCaret) {
  RegisterTableDialogs();
  RegisterDriven<Ttabell>(idTable);
  RegisterDriven<Tbauf>(idFormBuilder);
  RegisterDriven<Tsoform>(idSoundTable);
  Screen->ActiveFormChanged();  // the main window takes the registered dialogs into its menus
  TMDIChild* doc = StartDocument();
  ASSERT_NE(doc, nullptr);
  App.ProcessMessages();
  EXPECT_TRUE(CommandEnabled(cmTable));
  EXPECT_TRUE(CommandEnabled(cmFormBuilder));
  EXPECT_TRUE(CommandEnabled(cmSoundTable));
  RunCommand(cmTable, [](TForm* f) {
    auto* t = static_cast<Ttabell*>(f);
    t->SpinEdit1.Edit->SetText("1");
    t->SpinEdit2.Edit->SetText("1");
    t->ColorButton1->Click();
  });
  RunCommand(cmFormBuilder, [](TForm* f) {
    auto* b = static_cast<Tbauf*>(f);
    SendMessageA(b->CheckBox5->Handle(), BM_CLICK, 0, 0);
    b->ColorButton3->Click();
  });
  RunCommand(cmSoundTable, [](TForm* f) {
    auto* s = static_cast<Tsoform*>(f);
    s->Edit1->SetText("a.mid");
    s->ColorButton6->Click();
  });
  RunCommand(cmSoundTable, [](TForm* f) { static_cast<Tsoform*>(f)->ColorButton5->Click(); });  // nothing
  EXPECT_EQ(doc->edi->Lines()->Text(),
            "<Table bgcolor=\"#FFFFFF\">\r\n<Tr> <Th Align=\"Left\" Valign=\"Bottom\"></Th> </Tr>\r\n"
            "</Table>\r\n"
            "<Form Action=\" \" Method=\"Get\">\r\n"
            "<Input Type=\"submit\" Name=\"Submit\" Value=\"Submit\"><BR>\r\n</Form>\r\n"
            "<Table border=4 bgcolor=\"#FFFFFF\" align=Left>\r\n<tr>\r\n"
            "<td><font face=\"comic sans MS\" size=1><b> Titel </b></font></td>\r\n</tr>\r\n<tr>\r\n"
            "<td><EMBED SRC=\"a.mid\" width=145 height=60 autostart=\"false\" Loop=0></td>\r\n</tr>\r\n"
            "</Table>\r\n\r\n");  // the editor's own empty last line
  for (TInsertDialogKind k : {idTable, idFormBuilder, idSoundTable}) UnregisterInsertDialog(k);
}

}  // namespace
