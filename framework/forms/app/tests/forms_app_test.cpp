// The forms library in real windows under Wine: menus and their commands, a modal form ended by
// its buttons, nested modal forms with the windows they set aside, the MDI frame with children,
// the active-form notification, the tool bar, and the active control with the enter and exit
// notifications.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <iterator>
#include <vector>

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
    Edit = new TMenuItem(this, "&Bearbeiten");
    Edit->SetAlwaysPopup(true);
    Menu->Items()->Add(Edit);
    Window = new TMenuItem(this, "&Fenster");
    Window->SetAlwaysPopup(true);
    Menu->Items()->Add(Window);
    SetMenu(Menu);
    Bar = new TToolBar(this);
    Bar->SetParent(this);
    Button = new TToolButton(Bar, 0);
    Button->OnClick = [this](TObject*) { ++ButtonClicks; };
    Status = new TStatusBar(this);
    Status->SetParent(this);
  }
  TMainMenu* Menu;
  TMenuItem *File, *Item, *Edit, *Window;
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

// Whether the frame's menu bar shows the entry of this submenu enabled; -1: not in the bar.
int BarEntryEnabled(HWND frame, HMENU sub) {
  HMENU bar = GetMenu(frame);
  for (int pos = 0; pos < GetMenuItemCount(bar); ++pos)
    if (GetSubMenu(bar, pos) == sub) return (GetMenuState(bar, UINT(pos), MF_BYPOSITION) & MF_GRAYED) ? 0 : 1;
  return -1;
}

// A maximised child's system menu comes first in the frame's bar: the bar's own entries are
// enabled and disabled where they stand, not at their index among the frame's menus.
TEST_F(FormsApp, BarEntriesChangeStateWhereTheyStandBesideAMaximisedChild) {
  auto* child = new TForm(&App);
  child->SetFormStyle(fsMDIChild);
  child->SetCaption("Seite");
  child->Show();
  child->SetWindowState(wsMaximized);
  App.ProcessMessages();
  ASSERT_EQ(child->WindowState(), wsMaximized);
  ASSERT_NE(GetSubMenu(GetMenu(Frame->Handle()), 0), Frame->File->Handle()) << "no system menu in front";
  TMenuItem* entries[] = {Frame->File, Frame->Edit, Frame->Window};
  for (TMenuItem* off : entries) {
    off->SetEnabled(false);
    for (TMenuItem* e : entries)
      EXPECT_EQ(BarEntryEnabled(Frame->Handle(), e->Handle()), e == off ? 0 : 1) << off->Caption() << ": " << e->Caption();
    off->SetEnabled(true);
  }
  // Restored, the system menu leaves the bar, and the entries are found at their index again.
  Frame->Edit->SetEnabled(false);
  child->SetWindowState(wsNormal);
  App.ProcessMessages();
  ASSERT_EQ(GetSubMenu(GetMenu(Frame->Handle()), 0), Frame->File->Handle());
  Frame->Window->SetEnabled(false);
  for (TMenuItem* e : entries)
    EXPECT_EQ(BarEntryEnabled(Frame->Handle(), e->Handle()), e == Frame->File ? 1 : 0) << e->Caption();
}

// The frame's menu bar as text: the captions of the library's entries, "S" for the system menu
// and "#" for a button that the MDI frame puts there for a maximised child; grayed entries in ().
String BarEntries(HWND frame) {
  HMENU bar = GetMenu(frame);
  String all;
  for (int pos = 0; pos < GetMenuItemCount(bar); ++pos) {
    HMENU sub = GetSubMenu(bar, pos);
    char caption[64] = {};
    GetMenuStringA(bar, UINT(pos), caption, sizeof caption, MF_BYPOSITION);
    String entry = sub ? (TMenuItem::FindSubMenu(sub) ? String(caption) : "S")
                       : TMenuItem::FindItem(GetMenuItemID(bar, pos)) ? String(caption) : "#";
    if (GetMenuState(bar, UINT(pos), MF_BYPOSITION) & MF_GRAYED) entry = "(" + entry + ")";
    all += (all.empty() ? "" : "|") + entry;
  }
  return all;
}

// A child's menus join the frame's bar behind the frame's own and before a maximised child's
// buttons, change their state there and leave again, whatever child is maximised.
TEST_F(FormsApp, AChildsMenusJoinAndLeaveTheBarBesideAMaximisedChild) {
  auto* plain = new TForm(&App);
  plain->SetFormStyle(fsMDIChild);
  plain->SetCaption("A");
  plain->Show();
  auto* browser = new TForm(&App);
  browser->SetFormStyle(fsMDIChild);
  browser->SetCaption("B");
  auto* menu = new TMainMenu(browser);
  auto* program = new TMenuItem(browser, "&Programm");
  program->SetAlwaysPopup(true);
  menu->Items()->Add(program);
  menu->Items()->Add(new TMenuItem(browser, "&Suchen"));
  browser->SetMenu(menu);
  browser->Show();
  browser->SetWindowState(wsMaximized);
  App.ProcessMessages();
  auto activate = [&](TForm* f) {
    SendMessageA(Frame->ClientHandle(), WM_MDIACTIVATE, WPARAM(f->Handle()), 0);
    App.ProcessMessages();
  };
  EXPECT_EQ(BarEntries(Frame->Handle()), "S|&Datei|&Bearbeiten|&Fenster|&Programm|&Suchen|#|#|#");
  program->SetEnabled(false);
  EXPECT_EQ(BarEntries(Frame->Handle()), "S|&Datei|&Bearbeiten|&Fenster|(&Programm)|&Suchen|#|#|#");
  activate(plain);
  EXPECT_EQ(BarEntries(Frame->Handle()), "S|&Datei|&Bearbeiten|&Fenster|#|#|#");
  activate(browser);
  EXPECT_EQ(BarEntries(Frame->Handle()), "S|&Datei|&Bearbeiten|&Fenster|(&Programm)|&Suchen|#|#|#");
  // A change of the frame's own bar keeps what the MDI frame put there.
  Frame->Edit->SetCaption("B&earbeiten");
  EXPECT_EQ(BarEntries(Frame->Handle()), "S|&Datei|B&earbeiten|&Fenster|(&Programm)|&Suchen|#|#|#");
  browser->SetWindowState(wsNormal);
  App.ProcessMessages();
  EXPECT_EQ(BarEntries(Frame->Handle()), "&Datei|B&earbeiten|&Fenster|(&Programm)|&Suchen");
  activate(plain);
  EXPECT_EQ(BarEntries(Frame->Handle()), "&Datei|B&earbeiten|&Fenster");
}

// Changes to the entries of a child's bar while its menus are merged show in the frame's bar at
// once.
TEST_F(FormsApp, ChangesToAMergedChildsEntriesReachTheFramesBar) {
  auto* child = new TForm(&App);
  child->SetFormStyle(fsMDIChild);
  child->SetCaption("B");
  auto* menu = new TMainMenu(child);
  auto* program = new TMenuItem(child, "&Programm");
  program->SetAlwaysPopup(true);
  menu->Items()->Add(program);
  child->SetMenu(menu);
  child->Show();
  App.ProcessMessages();
  ASSERT_EQ(BarEntries(Frame->Handle()), "&Datei|&Bearbeiten|&Fenster|&Programm");
  auto* search = new TMenuItem(child, "&Suchen");
  struct TCase {
    const char* Change;
    std::function<void()> Do;
    const char* Bar;
  };
  const TCase cases[] = {
      {"Add", [&] { menu->Items()->Add(search); }, "&Datei|&Bearbeiten|&Fenster|&Programm|&Suchen"},
      {"SetCaption", [&] { search->SetCaption("S&uchen"); }, "&Datei|&Bearbeiten|&Fenster|&Programm|S&uchen"},
      {"Remove", [&] { menu->Items()->Remove(program); }, "&Datei|&Bearbeiten|&Fenster|S&uchen"},
  };
  for (const TCase& c : cases) {
    c.Do();
    EXPECT_EQ(BarEntries(Frame->Handle()), c.Bar) << c.Change;
  }
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

// A modal form sets aside every other window of the program, not just the main form, and gives
// back exactly the state it found: a form shown modally from a modal form leaves the outer one
// disabled while it runs and the main form disabled after it ends, and a window that was disabled
// before stays so.
TEST_F(FormsApp, NestedModalFormsDisableEveryOtherWindowAndGiveBackTheStateTheyFound) {
  TForm tool(nullptr), locked(nullptr), outer(nullptr), inner(nullptr);
  tool.SetCaption("Werkzeug");
  tool.Show();
  locked.SetCaption("Gesperrt");
  locked.Show();
  EnableWindow(locked.Handle(), FALSE);
  outer.SetCaption("Aussen");
  inner.SetCaption("Innen");
  // The drop-down list of a combo box on the modal form is a window of its own beside the
  // top-level windows: it stays usable, also on a form that existed before the outer form began.
  auto* combo = new TComboBox(&inner);
  combo->SetBounds(10, 10, 120, 100);
  combo->SetParent(&inner);
  inner.Handle();
  combo->Handle();
  struct TState {
    bool Frame, Tool, Locked, Outer;
  };
  auto state = [&] {
    return TState{bool(IsWindowEnabled(Frame->Handle())), bool(IsWindowEnabled(tool.Handle())),
                  bool(IsWindowEnabled(locked.Handle())), bool(IsWindowEnabled(outer.Handle()))};
  };
  std::vector<std::pair<const char*, TState>> seen;
  inner.OnShow = [&](TObject*) {
    seen.push_back({"inner runs", state()});
    EXPECT_TRUE(IsWindowEnabled(inner.Handle()));
    COMBOBOXINFO ci = {};
    ci.cbSize = sizeof ci;
    ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &ci));
    ASSERT_NE(ci.hwndList, nullptr);
    EXPECT_TRUE(IsWindowEnabled(ci.hwndList));
    inner.SetModalResult(mrOk);
  };
  outer.OnShow = [&](TObject*) {
    seen.push_back({"outer runs", state()});
    EXPECT_EQ(inner.ShowModal(), mrOk);
    seen.push_back({"inner ended", state()});
    EXPECT_FALSE(IsWindowEnabled(inner.Handle()));  // set aside by the outer form again
    EXPECT_EQ(inner.ShowModal(), mrOk);  // a second time from the same state
    seen.push_back({"inner ended again", state()});
    outer.SetModalResult(mrCancel);
  };
  EXPECT_EQ(outer.ShowModal(), mrCancel);
  seen.push_back({"outer ended", state()});
  EXPECT_TRUE(IsWindowEnabled(inner.Handle()));
  const std::pair<const char*, TState> want[] = {
      {"outer runs", {false, false, false, true}},
      {"inner runs", {false, false, false, false}},
      {"inner ended", {false, false, false, true}},
      {"inner runs", {false, false, false, false}},
      {"inner ended again", {false, false, false, true}},
      {"outer ended", {true, true, false, true}},
  };
  ASSERT_EQ(seen.size(), std::size(want));
  for (size_t i = 0; i < seen.size(); ++i) {
    EXPECT_STREQ(seen[i].first, want[i].first);
    EXPECT_EQ(seen[i].second.Frame, want[i].second.Frame) << want[i].first << ": main form";
    EXPECT_EQ(seen[i].second.Tool, want[i].second.Tool) << want[i].first << ": other window";
    EXPECT_EQ(seen[i].second.Locked, want[i].second.Locked) << want[i].first << ": window disabled before";
    EXPECT_EQ(seen[i].second.Outer, want[i].second.Outer) << want[i].first << ": outer modal form";
  }
}

// The form records the control that takes the focus; the enter and exit notifications are those
// of the two controls, except around a control marked as being in a focus change (M).
TEST_F(FormsApp, FocusRecordsTheActiveControlAndSkipsNotificationsAroundAMarkedControl) {
  struct TCase {
    const char* Moves;   // the controls given the focus in turn: the first one before the log starts
    const char* Heard;   // "+X": X's enter notification, "-X": its exit notification
    char Active;
  };
  const TCase cases[] = {
      {"AB", "-A+B", 'B'},
      {"AM", "", 'M'},
      {"AMB", "+B", 'B'},
      {"MAB", "+A-A+B", 'B'},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Moves);
    TForm form(nullptr);
    form.SetCaption("Fokus");
    String heard;
    TEdit* edits[3];
    const char names[] = "ABM";
    for (int i = 0; i < 3; ++i) {
      edits[i] = new TEdit(&form);
      edits[i]->SetBounds(10, 10 + 30 * i, 100, 22);
      edits[i]->SetParent(&form);
      const char n = names[i];
      edits[i]->OnEnter = [&heard, n](TObject*) { heard += String("+") + n; };
      edits[i]->OnExit = [&heard, n](TObject*) { heard += String("-") + n; };
    }
    edits[2]->SetInFocusChange(true);
    form.Show();
    App.ProcessMessages();
    for (const char* m = c.Moves; *m; ++m) {
      edits[std::strchr(names, *m) - names]->SetFocus();
      App.ProcessMessages();
      if (m == c.Moves) heard.clear();
    }
    EXPECT_EQ(heard, c.Heard);
    EXPECT_EQ(form.ActiveControl(), edits[std::strchr(names, c.Active) - names]);
    // A control that goes is no longer the active one.
    delete form.ActiveControl();
    EXPECT_EQ(form.ActiveControl(), nullptr);
  }
}

// A panel that moves to another form takes its controls along: when one of them is the active
// control of the form it leaves, also while another form has the focus, that form no longer
// records it; a panel without the active control leaves the record.
TEST_F(FormsApp, APanelMovedAwayTakesTheActiveControlsRecordAlong) {
  for (bool holdsFocus : {true, false}) {
    SCOPED_TRACE(holdsFocus ? "the panel holds the focused edit" : "the focused edit stays");
    TForm form(nullptr), other(nullptr);
    form.SetCaption("Fokus");
    auto* outer = new TPanel(&form);
    outer->SetBounds(0, 0, 200, 100);
    outer->SetParent(&form);
    auto* inner = new TPanel(&form);
    inner->SetBounds(10, 10, 150, 60);
    inner->SetParent(outer);
    auto* held = new TEdit(&form);
    held->SetBounds(5, 5, 100, 22);
    held->SetParent(inner);
    auto* beside = new TEdit(&form);
    beside->SetBounds(10, 120, 100, 22);
    beside->SetParent(&form);
    form.Show();
    App.ProcessMessages();
    TEdit* focused = holdsFocus ? held : beside;
    focused->SetFocus();
    App.ProcessMessages();
    // The other form takes the focus; the first keeps its record.
    other.Show();
    SetFocus(other.Handle());
    App.ProcessMessages();
    ASSERT_NE(GetFocus(), focused->Handle());
    ASSERT_EQ(form.ActiveControl(), focused);
    outer->SetParent(&other);
    EXPECT_EQ(form.ActiveControl(), holdsFocus ? nullptr : beside);
  }
}

}  // namespace
