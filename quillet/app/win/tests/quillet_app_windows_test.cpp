// Quillet.exe under Wine: which window takes the mouse and the keys while dialogs are open (the
// table designer's title dialog over the designer, a key's release landing on the button that
// opened a dialog), the table designer's grid scrolled by its bar, and the "Undo" entry.
#include "quillet_app_driver.h"

namespace {
// A press and release of Return as the keyboard delivers them to the focused window (posted, so
// that they pass through the program's message loop and its dialog key handling).
void PressReturn(HWND w) { PostMessageA(w, WM_KEYDOWN, VK_RETURN, 1); }
void ReleaseReturn(HWND w) { PostMessageA(w, WM_KEYUP, VK_RETURN, LPARAM(1) | (LPARAM(3) << 30)); }

// A left click of the real mouse at a point of the screen, or of a window's client area (through
// the system's input queue, so that a disabled window does not get it).
void MouseClickOnScreen(POINT p) {
  SetCursorPos(p.x, p.y);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof(INPUT));
}
void MouseClickAt(HWND w, int x, int y) {
  POINT p = {x, y};
  ClientToScreen(w, &p);
  MouseClickOnScreen(p);
}
}  // namespace

// While the title dialog is open the table designer behind it takes no clicks (a click on
// another header cell opens no second title dialog), and the page behind the designer takes no
// keys before or after it: each modal dialog gives back the state it found.
TEST_F(Quillet, TheTitleDialogHoldsTheDesignerAndTheDesignerThePage) {
  Start();
  NewPage();
  PostCmd(cmTable);
  HWND dlg = WaitTop(" Tabellen Designer");
  ASSERT_NE(dlg, nullptr);
  EXPECT_FALSE(IsWindowEnabled(Main));
  HWND grid = Control(dlg, TA_BLOCK + ID_GRID);
  ASSERT_NE(grid, nullptr);
  PostMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
  PostMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
  HWND title = WaitTop(" Titel");
  ASSERT_NE(title, nullptr);
  EXPECT_FALSE(IsWindowEnabled(dlg));
  EXPECT_FALSE(IsWindowEnabled(Main));
  // A click of the mouse on another header cell of the designer: no second title dialog.
  MouseClickAt(grid, 65 + 20, 10);
  Sleep(500 * testsupport::TimeScale());
  int titles = 0;
  testsupport::ForEachTopWindow([&](HWND w, DWORD pid) {
    titles += pid == Pi.dwProcessId && IsWindowVisible(w) && WindowText(w) == " Titel";
  });
  EXPECT_EQ(titles, 1);
  SendMessageA(Control(title, TI_BLOCK + ID_EDIT + 1), WM_SETTEXT, 0, LPARAM("Name"));
  // The title dialog's own drop-down list takes the mouse: "Right", its third line.
  HWND combo = Control(title, TI_BLOCK + ID_COMBO + 1);
  PostMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
  HWND list = nullptr;
  ASSERT_TRUE(testsupport::WaitFor([&] {
    list = testsupport::FindTopWindow([&](HWND w, DWORD pid) {
      char cls[32] = {};
      GetClassNameA(w, cls, sizeof cls);
      return pid == Pi.dwProcessId && IsWindowVisible(w) && lstrcmpiA(cls, "ComboLBox") == 0;
    });
    return list != nullptr;
  }, 3000));
  const int line = int(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  MouseClickAt(list, 10, 2 * line + line / 2);
  EXPECT_TRUE(testsupport::WaitFor([&] { return WindowText(combo) == "Right"; }, 3000)) << WindowText(combo);
  Click(Control(title, TI_BLOCK + ID_BUTTON + 1));
  WaitGone(title);
  // Back in the designer: it takes input again, the page still does not.
  EXPECT_TRUE(testsupport::WaitFor([&] { return IsWindowEnabled(dlg) != FALSE; }, 3000));
  EXPECT_FALSE(IsWindowEnabled(Main));
  Click(Control(dlg, TA_BLOCK + ID_BUTTON + 1));
  WaitGone(dlg);
  EXPECT_TRUE(testsupport::WaitFor([&] { return IsWindowEnabled(Main) != FALSE; }, 3000));
  const String page = SaveAs("titel");
  EXPECT_NE(page.find("<Th Align=\"Right\" Valign=\"Bottom\">Name</Th>"), String::npos) << page;
}

// Return on a "..." button opens its file dialog once: the release of the Return that closed the
// dialog lands on the button and does not open it again. The same for a button whose message a
// Return on "OK" closed.
TEST_F(Quillet, AReturnReleasedOnTheButtonThatOpenedADialogDoesNotOpenItAgain) {
  Start();
  WriteFileBytes(Dir + "\\lied.mid", "MThd");
  WriteFileBytes(Dir + "\\seite.htm", "<p>Seite</p>\r\n");
  CreateDirectoryA((Dir + "\\ordner").c_str(), nullptr);
  // Nothing of that caption within the time a click takes to bring it.
  auto staysAway = [&](const String& caption) {
    return !testsupport::WaitFor([&] { return FindTop(caption) != nullptr; }, 1500);
  };

  NewPage();
  PostCmd(cmSoundTable);
  HWND sound = WaitTop(" Sound Steuerung mit Playliste");
  ASSERT_NE(sound, nullptr);
  HWND pick = Control(sound, SO_BLOCK + ID_BUTTON + 1);
  PressReturn(pick);
  ReleaseReturn(pick);
  ChooseFile(" Midi Sounds einladen ...", Dir + "\\lied.mid");
  ReleaseReturn(pick);
  EXPECT_TRUE(staysAway(" Midi Sounds einladen ..."));
  EXPECT_EQ(WindowText(Control(sound, SO_BLOCK + ID_EDIT + 1)), "lied.mid");
  // "Übernehmen" without a first sound: the message, once.
  SendMessageA(Control(sound, SO_BLOCK + ID_EDIT + 1), WM_SETTEXT, 0, LPARAM(""));
  HWND accept = Control(sound, SO_BLOCK + ID_BUTTON + 6);
  PressReturn(accept);
  ReleaseReturn(accept);
  EXPECT_EQ(Answer("Quillet", IDOK), "Bitte mindestens den Sound > eins < laden !");
  ReleaseReturn(accept);
  EXPECT_TRUE(staysAway("Quillet"));
  Click(Control(sound, SO_BLOCK + ID_BUTTON + 5));
  WaitGone(sound);

  PostCmd(cmCompressor);
  HWND packer = WaitTop(" Quillet - Compressor");
  ASSERT_NE(packer, nullptr);
  HWND open = Control(packer, PA_BLOCK + ID_BUTTON + 1);
  PressReturn(open);
  ReleaseReturn(open);
  ChooseFile("Html Seiten laden ...", Dir + "\\seite.htm");
  ReleaseReturn(open);
  EXPECT_TRUE(staysAway("Html Seiten laden ..."));
  HWND pack = Control(packer, PA_BLOCK + ID_BUTTON + 2), save = Control(packer, PA_BLOCK + ID_BUTTON + 3);
  ASSERT_TRUE(testsupport::WaitFor([&] { return IsWindowEnabled(pack) != FALSE; }, 3000));
  Click(pack);
  ASSERT_TRUE(testsupport::WaitFor([&] { return IsWindowEnabled(save) != FALSE; }, 3000));
  // "Speichern" onto a folder: the message, once.
  SendMessageA(Control(packer, PA_BLOCK + ID_EDIT + 2), WM_SETTEXT, 0, LPARAM((Dir + "\\ordner").c_str()));
  PressReturn(save);
  ReleaseReturn(save);
  EXPECT_EQ(Answer("Quillet", IDOK), "Die Datei " + Dir + "\\ordner kann nicht gespeichert werden.");
  ReleaseReturn(save);
  EXPECT_TRUE(staysAway("Quillet"));
  Click(Control(packer, PA_BLOCK + ID_BUTTON + 4));
  WaitGone(packer);
}

// A grid of more rows than it shows has a vertical scroll bar; scrolled by it to the end, the
// last row takes a title like the others.
TEST_F(Quillet, TheDesignersGridScrollsToRowsBelowItsWindow) {
  Start();
  NewPage();
  PostCmd(cmTable);
  HWND dlg = WaitTop(" Tabellen Designer");
  ASSERT_NE(dlg, nullptr);
  HWND grid = Control(dlg, TA_BLOCK + ID_GRID);
  ASSERT_NE(grid, nullptr);
  // "Zeilen" raised from 5 to 20 with its up arrow, click by click.
  HWND rows = Control(dlg, TA_BLOCK + ID_SPIN + 1), updown = Control(dlg, TA_BLOCK + ID_UPDOWN + 1);
  RECT r;
  GetClientRect(updown, &r);
  const LPARAM up = MAKELPARAM(r.right / 2, r.bottom / 4);
  for (int i = 0; i < 15; ++i) {
    PostMessageA(updown, WM_LBUTTONDOWN, MK_LBUTTON, up);
    PostMessageA(updown, WM_LBUTTONUP, 0, up);
    Sleep(100);
  }
  EXPECT_TRUE(testsupport::WaitFor([&] { return WindowText(rows) == "20"; }, 3000)) << WindowText(rows);
  EXPECT_TRUE(GetWindowLongA(grid, GWL_STYLE) & WS_VSCROLL);  // the bar is shown
  // The bar's lower arrow (right of the client area, at its bottom), clicked with the mouse until
  // the view stops: the last row at the bottom, and no title dialog on the way.
  GetClientRect(grid, &r);
  POINT arrow = {r.right + GetSystemMetrics(SM_CXVSCROLL) / 2, r.bottom - GetSystemMetrics(SM_CYVSCROLL) / 2};
  ClientToScreen(grid, &arrow);
  for (int i = 0; i < 15; ++i) {
    MouseClickOnScreen(arrow);
    Sleep(50);
  }
  Sleep(1000);
  EXPECT_EQ(FindTop(" Titel"), nullptr);
  RECT client;
  GetClientRect(grid, &client);
  const int rowsShown = (client.bottom + 1) / 21;  // rows of 20 pixels and a line
  EditTableCell(grid, 65 + 20, (rowsShown - 1) * 21 + 10, "Letzte");
  Click(Control(dlg, TA_BLOCK + ID_BUTTON + 1));
  WaitGone(dlg);
  const String page = SaveAs("lang");
  const size_t last = page.rfind("<Tr>");
  ASSERT_NE(last, String::npos) << page;
  EXPECT_NE(page.find(">Letzte</Td>", last), String::npos) << page;
}

// "Undo" is offered exactly while the active page has a change to take back: not on a page
// nobody typed in, still after one of two undo steps, no more after the last, and it follows the
// page that comes to the front.
TEST_F(Quillet, UndoIsOfferedWhileTheActivePageHasAChangeToTakeBack) {
  Start();
  NewPage();
  HWND first = ActiveChild();
  EXPECT_FALSE(Enabled(cmEditUndo));
  Type("abc");
  SendMessageA(Editor(), WM_KEYDOWN, VK_HOME, 1);
  Type("def");
  EXPECT_TRUE(Enabled(cmEditUndo));
  Cmd(cmEditUndo);  // "def"
  EXPECT_TRUE(Enabled(cmEditUndo));  // "abc" is still there
  for (int i = 0; i < 3 && Enabled(cmEditUndo); ++i) Cmd(cmEditUndo);
  EXPECT_FALSE(Enabled(cmEditUndo));
  EXPECT_EQ(SaveAs("leer"), DefaultSkeleton());
  Type("x");
  EXPECT_TRUE(Enabled(cmEditUndo));
  NewPage();
  EXPECT_FALSE(Enabled(cmEditUndo));
  HWND client = FindWindowExA(Main, nullptr, "MDICLIENT", nullptr);
  SendMessageA(client, WM_MDIACTIVATE, WPARAM(first), 0);
  EXPECT_TRUE(testsupport::WaitFor([&] { return Enabled(cmEditUndo); }, 3000));
}
