// The forms library in real windows under Wine: menus and their commands, a modal form ended by
// its buttons, the MDI frame with children, the active-form notification and the tool bar.
#include <gtest/gtest.h>

#include "forms.h"
#include "menus.h"
#include "stdctrls.h"

namespace {

class TFrame : public TForm {
public:
  explicit TFrame(TComponent* o) : TForm(o) {
    SetFormStyle(fsMDIForm);
    SetCaption("Rahmen");
    Menu = new TMainMenu(this);
    File = new TMenuItem(this, "&Datei");
    File->SetAlwaysPopup(true);
    Menu->Items()->Add(File);
    Item = new TMenuItem(this, "Neu", 4711);
    Item->SetHint("Neue Datei anlegen");
    Item->OnClick = [this](TObject*) { ++Clicks; };
    File->Add(Item);
    SetMenu(Menu);
    Bar = new TToolBar(this);
    Bar->SetParent(this);
    Button = new TToolButton(Bar, 0);
    Button->OnClick = [this](TObject*) { ++ButtonClicks; };
    Status = new TStatusBar(this);
    Status->SetParent(this);
  }
  TMainMenu* Menu;
  TMenuItem *File, *Item;
  TToolBar* Bar;
  TToolButton* Button;
  TStatusBar* Status;
  int Clicks = 0, ButtonClicks = 0;
};

class FormsApp : public ::testing::Test {
protected:
  TApplication App;
  TFrame* Frame = nullptr;
  int Changes = 0;
  void SetUp() override {
    App.Initialize();
    Frame = App.CreateForm<TFrame>();
    Frame->Show();
    Screen->OnActiveFormChange = [this](TObject*) { ++Changes; };
    App.ProcessMessages();
  }
  void TearDown() override { Screen->OnActiveFormChange = nullptr; }
};

TEST_F(FormsApp, MenuCommandsReachTheirItemsOnlyWhileEnabled) {
  SendMessageA(Frame->Handle(), WM_COMMAND, 4711, 0);
  EXPECT_EQ(Frame->Clicks, 1);
  Frame->Item->SetEnabled(false);
  EXPECT_EQ(GetMenuState(Frame->File->Handle(), 0, MF_BYPOSITION) & MF_GRAYED, UINT(MF_GRAYED));
  SendMessageA(Frame->Handle(), WM_COMMAND, 4711, 0);
  EXPECT_EQ(Frame->Clicks, 1);
  // The menu bar holds the submenu; removing an item rebuilds it.
  EXPECT_EQ(GetSubMenu(GetMenu(Frame->Handle()), 0), Frame->File->Handle());
  auto* extra = new TMenuItem(Frame, "Mehr");
  Frame->File->Add(extra);
  EXPECT_EQ(GetMenuItemCount(Frame->File->Handle()), 2);
  Frame->File->Remove(extra);
  delete extra;
  EXPECT_EQ(GetMenuItemCount(Frame->File->Handle()), 1);
  // Hints of menu entries go to the application.
  String hint;
  App.OnHint = [&](TObject*) { hint = App.Hint(); };
  Frame->Item->SetEnabled(true);
  SendMessageA(Frame->Handle(), WM_MENUSELECT, MAKEWPARAM(4711, MF_STRING), LPARAM(Frame->File->Handle()));
  EXPECT_EQ(hint, "Neue Datei anlegen");
}

TEST_F(FormsApp, ToolButtonsClickWhileEnabled) {
  HWND bar = Frame->Bar->Handle();
  SendMessageA(Frame->Handle(), WM_COMMAND, MAKEWPARAM(Frame->Button->Command(), BN_CLICKED), LPARAM(bar));
  EXPECT_EQ(Frame->ButtonClicks, 1);
  Frame->Button->SetEnabled(false);
  EXPECT_FALSE(SendMessageA(bar, TB_ISBUTTONENABLED, Frame->Button->Command(), 0));
  SendMessageA(Frame->Handle(), WM_COMMAND, MAKEWPARAM(Frame->Button->Command(), BN_CLICKED), LPARAM(bar));
  EXPECT_EQ(Frame->ButtonClicks, 1);
}

TEST_F(FormsApp, MDIChildrenComeAndGo) {
  EXPECT_EQ(Frame->MDIChildCount(), 0);
  auto* a = new TForm(&App);
  a->SetFormStyle(fsMDIChild);
  a->SetCaption("A");
  a->Show();
  auto* b = new TForm(&App);
  b->SetFormStyle(fsMDIChild);
  b->SetCaption("B");
  b->Show();
  App.ProcessMessages();
  EXPECT_EQ(Frame->MDIChildCount(), 2);
  EXPECT_EQ(Frame->ActiveMDIChild(), b);
  EXPECT_EQ(Screen->ActiveForm(), b);
  EXPECT_GT(Changes, 0);
  b->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
  b->Close();
  EXPECT_EQ(Frame->MDIChildCount(), 1);  // released: gone at once from the count
  const int before = Changes;
  App.ProcessMessages();
  EXPECT_GT(Changes, before);  // told after the window went
  EXPECT_EQ(Frame->ActiveMDIChild(), a);
  // A child's default close minimises it.
  a->Close();
  EXPECT_EQ(a->WindowState(), wsMinimized);
}

TEST_F(FormsApp, ModalFormEndsThroughItsButtons) {
  TForm dialog(nullptr);
  dialog.SetBorderStyle(fbDialog);
  dialog.SetCaption("Frage");
  auto* ok = new TButton(&dialog);
  ok->SetCaption("OK");
  ok->Default = true;
  ok->ModalResult = mrOk;
  ok->SetParent(&dialog);
  auto* edit = new TEdit(&dialog);
  edit->SetBounds(10, 40, 100, 22);
  edit->SetParent(&dialog);
  int seen = 0;
  dialog.OnShow = [&](TObject*) {
    EXPECT_FALSE(IsWindowEnabled(Frame->Handle()));  // the main form waits
    edit->SetText("Wert");
    PostMessageA(dialog.Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(ok->Handle()));
    ++seen;
  };
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(edit->Text(), "Wert");
  EXPECT_TRUE(IsWindowEnabled(Frame->Handle()));
  // Closing through the system menu is a cancel.
  dialog.OnShow = [&](TObject*) { PostMessageA(dialog.Handle(), WM_CLOSE, 0, 0); };
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

}  // namespace
