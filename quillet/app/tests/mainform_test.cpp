// The main window in this process: the History menu, hints in the status bar, and the menu
// states while the only MDI child is not a document window.
#include <gtest/gtest.h>

#include "childwin.h"
#include "commands.h"
#include "main.h"

namespace {

class MainWindow : public ::testing::Test {
protected:
  TApplication App;
  void SetUp() override {
    App.Initialize();
    App.CreateForm<TMainForm>();
    MainForm->Show();
    App.ProcessMessages();
  }
  void Pump() { App.ProcessMessages(); }
};

TEST_F(MainWindow, HistoryEntriesRestoreTheirWindowsAndGoWithThem) {
  TMDIChild* a = MainForm->CreateDocumentWindow("seite.htm");
  TMDIChild* b = MainForm->CreateDocumentWindow("seite.htm");
  TMDIChild* c = MainForm->CreateDocumentWindow("C:\\web\\andere.htm");
  Pump();
  ASSERT_EQ(MainForm->HistoryMenu->Count(), 3);
  EXPECT_EQ(MainForm->HistoryMenu->Items(2)->Caption(), "andere.htm");
  EXPECT_EQ(MainForm->LastHistory, MainForm->HistoryMenu->Items(2));
  a->SetWindowState(wsMinimized);
  b->SetWindowState(wsMinimized);
  Pump();
  // Either entry of the two same captions restores both windows.
  MainForm->HistoryMenu->Items(1)->Click();
  Pump();
  EXPECT_EQ(a->WindowState(), wsNormal);
  EXPECT_EQ(b->WindowState(), wsNormal);
  EXPECT_EQ(c->WindowState(), wsNormal);
  b->Close();
  Pump();
  ASSERT_EQ(MainForm->HistoryMenu->Count(), 2);
  EXPECT_EQ(MainForm->HistoryMenu->Items(0)->Caption(), "seite.htm");
  EXPECT_EQ(MainForm->DocumentCount(), 2);
}

TEST_F(MainWindow, HintsGoToTheStatusBar) {
  SendMessageA(MainForm->Handle(), WM_MENUSELECT, MAKEWPARAM(cmFileOpen, MF_STRING),
               LPARAM(MainForm->FileMenu->Handle()));
  EXPECT_EQ(MainForm->StatusBar->SimpleText(), "Existierende Datei \xF6" "ffnen");
  SendMessageA(MainForm->Handle(), WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP),
               LPARAM(GetMenu(MainForm->Handle())));
  EXPECT_EQ(MainForm->StatusBar->SimpleText(), "Dateibefehle");
  SendMessageA(MainForm->Handle(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ(MainForm->StatusBar->SimpleText(), "");
}

TEST_F(MainWindow, AnMDIChildWithoutAnEditorEnablesNoEditorCommand) {
  auto* other = new TForm(&App);
  other->SetFormStyle(fsMDIChild);
  other->SetCaption(" Bilder Browser");
  other->Show();
  Pump();
  EXPECT_EQ(MainForm->MDIChildCount(), 1);
  EXPECT_EQ(MainForm->DocumentCount(), 0);
  for (unsigned id : {cmFileSaveAs, cmEditSelectAll, cmBreak, cmDateScript, cmPreview, cmMailLink})
    EXPECT_FALSE(MainForm->CommandEnabled(id)) << id;
  EXPECT_TRUE(MainForm->HistoryMenu->Enabled());
  // Commands that still arrive act on no window.
  SendMessageA(MainForm->Handle(), WM_COMMAND, cmBreak, 0);
  SendMessageA(MainForm->Handle(), WM_COMMAND, cmEditSelectAll, 0);
  TMDIChild* doc = MainForm->CreateDocumentWindow("seite.htm");
  Pump();
  EXPECT_TRUE(MainForm->CommandEnabled(cmBreak));
  SendMessageA(MainForm->Handle(), WM_COMMAND, cmBreak, 0);
  EXPECT_EQ(doc->edi->Lines()->Text(), "<BR>\r\n");
  // A change enables Undo; undo takes it back.
  EXPECT_TRUE(MainForm->EditUndo->Enabled());
  EXPECT_TRUE(doc->Changed());
  EXPECT_EQ(doc->Tag(), 2);
  SendMessageA(MainForm->Handle(), WM_COMMAND, cmEditUndo, 0);
  EXPECT_EQ(doc->edi->Lines()->Text().find("<BR>"), String::npos);
  EXPECT_FALSE(MainForm->EditUndo->Enabled());
}

}  // namespace
