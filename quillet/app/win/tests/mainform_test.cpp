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
  TMainForm* Main = nullptr;
  void SetUp() override {
    App.Initialize();
    Main = App.CreateForm<TMainForm>();
    Main->Show();
    App.ProcessMessages();
  }
  void Pump() { App.ProcessMessages(); }
};

TEST_F(MainWindow, HistoryEntriesRestoreTheirWindowsAndGoWithThem) {
  TMDIChild* a = Main->CreateDocumentWindow("seite.htm");
  TMDIChild* b = Main->CreateDocumentWindow("seite.htm");
  TMDIChild* c = Main->CreateDocumentWindow("C:\\web\\andere.htm");
  Pump();
  ASSERT_EQ(Main->HistoryMenu->Count(), 3);
  EXPECT_EQ(Main->HistoryMenu->Items(2)->Caption(), "andere.htm");
  EXPECT_EQ(Main->LastHistory, Main->HistoryMenu->Items(2));
  a->SetWindowState(wsMinimized);
  b->SetWindowState(wsMinimized);
  Pump();
  // Either entry of the two same captions restores both windows.
  Main->HistoryMenu->Items(1)->Click();
  Pump();
  EXPECT_EQ(a->WindowState(), wsNormal);
  EXPECT_EQ(b->WindowState(), wsNormal);
  EXPECT_EQ(c->WindowState(), wsNormal);
  b->Close();
  Pump();
  ASSERT_EQ(Main->HistoryMenu->Count(), 2);
  EXPECT_EQ(Main->HistoryMenu->Items(0)->Caption(), "seite.htm");
  EXPECT_EQ(Main->DocumentCount(), 2);
}

TEST_F(MainWindow, HintsGoToTheStatusBar) {
  SendMessageA(Main->Handle(), WM_MENUSELECT, MAKEWPARAM(cmFileOpen, MF_STRING),
               LPARAM(Main->FileMenu->Handle()));
  EXPECT_EQ(Main->StatusBar->SimpleText(), "Existierende Datei \xF6" "ffnen");
  SendMessageA(Main->Handle(), WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP),
               LPARAM(GetMenu(Main->Handle())));
  EXPECT_EQ(Main->StatusBar->SimpleText(), "Dateibefehle");
  SendMessageA(Main->Handle(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ(Main->StatusBar->SimpleText(), "");
}

TEST_F(MainWindow, AnMDIChildWithoutAnEditorEnablesNoEditorCommand) {
  auto* other = new TForm(&App);
  other->SetFormStyle(fsMDIChild);
  other->SetCaption(" Bilder Browser");
  other->Show();
  Pump();
  EXPECT_EQ(Main->MDIChildCount(), 1);
  EXPECT_EQ(Main->DocumentCount(), 0);
  for (unsigned id : {cmFileSaveAs, cmEditSelectAll, cmBreak, cmDateScript, cmPreview, cmMailLink})
    EXPECT_FALSE(Main->CommandEnabled(id)) << id;
  EXPECT_TRUE(Main->HistoryMenu->Enabled());
  // Commands that still arrive act on no window.
  SendMessageA(Main->Handle(), WM_COMMAND, cmBreak, 0);
  SendMessageA(Main->Handle(), WM_COMMAND, cmEditSelectAll, 0);
  TMDIChild* doc = Main->CreateDocumentWindow("seite.htm");
  Pump();
  EXPECT_TRUE(Main->CommandEnabled(cmBreak));
  SendMessageA(Main->Handle(), WM_COMMAND, cmBreak, 0);
  EXPECT_EQ(doc->edi->Lines()->Text(), "<BR>\r\n");
  // A change enables Undo; undo takes it back.
  EXPECT_TRUE(Main->EditUndo->Enabled());
  EXPECT_TRUE(doc->Changed());
  EXPECT_EQ(doc->Tag(), 2);
  SendMessageA(Main->Handle(), WM_COMMAND, cmEditUndo, 0);
  EXPECT_EQ(doc->edi->Lines()->Text().find("<BR>"), String::npos);
  EXPECT_FALSE(Main->EditUndo->Enabled());
}

// Each tool button is enabled as its row of the tool-bar table says: a command on the page needs
// a document, a dialog's command its dialog registered, and while the window beside the
// documents is the active one, every command on the page and the window's own are off.
TEST_F(MainWindow, ToolButtonsFollowTheDocumentsTheRegistryAndTheWindowBesideThem) {
  // A dialog that inserts and a window beside the documents stand in for the registered ones.
  TInsertDialog page{[](TComponent* Owner, TDialogContext&) -> TForm* { return new TForm(Owner); },
                     [](const TStrings&, TPageAccess&) {}};
  TInsertDialog window{[](TComponent* Owner, TDialogContext& Context) -> TForm* {
                         auto* f = new TForm(Owner);
                         f->SetFormStyle(fsMDIChild);
                         f->SetCaption(" Fenster");
                         f->OnClose = [f, &Context](TObject*, TCloseAction& Action) {
                           Context.WindowClosed(f);
                           Action = caFree;
                         };
                         return f;
                       },
                       nullptr};
  window.Window = true;
  RegisterInsertDialog(idSoundTable, page);
  RegisterInsertDialog(idImageBrowser, window);
  Main->UpdateMenuItems();
  const unsigned commands[] = {cmSoundTable, cmPreview, cmMailLink, cmImageBrowser, cmTable, cmCompressor};
  auto enabled = [this](const unsigned (&Commands)[6]) {
    std::vector<bool> v;
    for (unsigned c : Commands) v.push_back(Main->CommandEnabled(c));
    return v;
  };
  // No document: only the window's command (the table and the compressor are not registered).
  EXPECT_EQ(enabled(commands), (std::vector<bool>{false, false, false, true, false, false}));
  Main->CreateDocumentWindow("seite.htm");
  Pump();
  EXPECT_EQ(enabled(commands), (std::vector<bool>{true, true, true, true, false, false}));
  Main->RunInsertDialog(idImageBrowser);
  Pump();
  EXPECT_EQ(enabled(commands), (std::vector<bool>{false, false, false, false, false, false}));
  EXPECT_TRUE(Main->CommandEnabled(cmFileNew));
  // Closed, it gives its command back.
  ASSERT_TRUE(Main->ActiveMDIChild());
  Main->ActiveMDIChild()->Close();
  Pump();
  EXPECT_TRUE(Main->CommandEnabled(cmImageBrowser));
  UnregisterInsertDialog(idSoundTable);
  UnregisterInsertDialog(idImageBrowser);
}

}  // namespace
