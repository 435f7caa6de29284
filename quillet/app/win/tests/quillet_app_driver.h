// Runs the real Quillet.exe for a test under Wine: each test starts the program in a folder of its
// own, runs menu commands through WM_COMMAND, fills dialogs through their windows, types into the
// editor with WM_CHAR and checks the files that result byte for byte.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "child_process.h"
#include "commands.h"
#include "insertids.h"
#include "pagelogic.h"
#include "tableids.h"
#include "test_files.h"
#include "window_driver.h"

inline const char* const kQuestion = "Die Datei wurde ge\xE4ndert , sollen die \xC4nderungen gespeichert werden ?";

using testsupport::ReadFileBytes;
using testsupport::RemoveTree;
using testsupport::WinPath;
using testsupport::WriteFileBytes;
using testsupport::WindowText;

// The page as "Speichern unter..." writes it: lines with CR LF.
inline String Crlf(const std::vector<String>& lines) {
  String s;
  for (const String& l : lines) s += l + "\r\n";
  return s;
}

inline String DefaultSkeleton(const String& emptyLine = "") {
  TNewPageSettings s;
  TStringList list, page;
  AppendNewPageList(s, list);
  AppendPageSkeleton(list, page);
  std::vector<String> v;
  for (int i = 0; i < page.Count(); ++i) v.push_back(page.Strings(i));
  v[v.size() - 3] = emptyLine;
  return Crlf(v);
}

// The window that has the keyboard focus in the program.
inline HWND FocusOf(DWORD thread) {
  GUITHREADINFO gi = {};
  gi.cbSize = sizeof gi;
  GetGUIThreadInfo(thread, &gi);
  return gi.hwndFocus;
}

class Quillet : public ::testing::Test {
protected:
  String Dir;
  PROCESS_INFORMATION Pi = {};
  HWND Main = nullptr;

  void Start(bool withBrowser = false) {
    Dir = WinPath(String(ASTREL_BINARY_DIR) + "\\quillet-app-test\\" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    RemoveTree(Dir);
    CreateDirectoryA(WinPath(String(ASTREL_BINARY_DIR) + "\\quillet-app-test").c_str(), nullptr);
    ASSERT_TRUE(CreateDirectoryA(Dir.c_str(), nullptr));
    const String build = WinPath(QUILLET_BUILD_DIR);
    // Under the runner's file-size limit the program is linked, not copied: a copy larger than the
    // limit could not be written.
    const String exe = build + "\\" QUILLET_EXE;
    ASSERT_TRUE((std::getenv("ASTREL_WINE_FILE_SIZE_LIMIT") &&
                 CreateHardLinkA((Dir + "\\Quillet.exe").c_str(), exe.c_str(), nullptr)) ||
                CopyFileA(exe.c_str(), (Dir + "\\Quillet.exe").c_str(), FALSE));
    CopyFileA((WinPath(QUILLET_DEPS_BIN) + "\\lpng.dll").c_str(), (Dir + "\\lpng.dll").c_str(), FALSE);
    if (withBrowser) {
      ASSERT_TRUE(CopyFileA((build + "\\" RECORDER_EXE).c_str(), (Dir + "\\recorder.exe").c_str(), FALSE));
      WriteFileBytes(Dir + "\\Browser.cfg", Dir + "\\recorder.exe\r\n");
    }
    ASSERT_TRUE(testsupport::StartProcess(Dir + "\\Quillet.exe", "", Dir, Pi));
    WaitForInputIdle(Pi.hProcess, 10000);
    for (int i = 0; i < 200 && !Main; ++i) {
      Main = FindWindowA(QUILLET_MAIN_CLASS, nullptr);
      if (!Main) Sleep(50);
    }
    ASSERT_NE(Main, nullptr);
  }

  void TearDown() override { testsupport::EndProcess(Pi, 1, 5000); }

  // A visible top-level window of the program with this caption.
  HWND FindTop(const String& caption) { return testsupport::FindCaption(Pi.dwProcessId, caption); }
  HWND WaitTop(const String& caption) {
    HWND w = nullptr;
    if (testsupport::WaitFor([&] { return (w = FindTop(caption)) != nullptr; }, 9000, 30)) return w;
    ADD_FAILURE() << "no window \"" << caption << "\"";
    return nullptr;
  }
  void WaitGone(HWND w) {
    testsupport::WaitFor([&] { return !IsWindow(w) || !IsWindowVisible(w); }, 9000, 30);
  }
  // A descendant control by id.
  static HWND Control(HWND parent, int id) {
    struct Ctx { int id; HWND found; } ctx = {id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM l) __attribute__((stdcall)) -> BOOL {
          auto* c = reinterpret_cast<Ctx*>(l);
          if (GetDlgCtrlID(w) == c->id) {
            c->found = w;
            return FALSE;
          }
          return TRUE;
        },
        LPARAM(&ctx));
    return ctx.found;
  }
  static String StaticTexts(HWND dlg) {
    String all;
    EnumChildWindows(
        dlg,
        [](HWND w, LPARAM l) __attribute__((stdcall)) -> BOOL {
          char cls[32] = {};
          GetClassNameA(w, cls, sizeof cls);
          if (lstrcmpiA(cls, "Static") == 0) *reinterpret_cast<String*>(l) += WindowText(w);
          return TRUE;
        },
        LPARAM(&all));
    return all;
  }

  void Cmd(unsigned id) { SendMessageA(Main, WM_COMMAND, id, 0); }
  void PostCmd(unsigned id) { PostMessageA(Main, WM_COMMAND, id, 0); }
  bool Enabled(unsigned id) { return SendMessageA(Main, QM_COMMANDENABLED, id, 0) == 1; }
  int Documents() { return int(SendMessageA(Main, QM_DOCUMENTCOUNT, 0, 0)); }
  HWND ActiveChild() {
    HWND client = FindWindowExA(Main, nullptr, "MDICLIENT", nullptr);
    return HWND(SendMessageA(client, WM_MDIGETACTIVE, 0, 0));
  }
  HWND Editor() { return FindWindowExA(ActiveChild(), nullptr, "TCodeHLEditor", nullptr); }
  void Type(const String& s) {
    HWND e = Editor();
    for (char c : s) SendMessageA(e, WM_CHAR, WPARAM(BYTE(c)), 1);
  }
  void Click(HWND w) {
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  }
  // Answers the message box with this caption; returns its text.
  String Answer(const String& caption, int button) {
    HWND box = WaitTop(caption);
    if (!box) return "";
    const String text = StaticTexts(box);
    testsupport::Click(box, button);
    WaitGone(box);
    return text;
  }
  // A file dialog: the name typed into its file name field, then OK.
  void ChooseFile(const String& caption, const String& name) {
    HWND dlg = WaitTop(caption);
    ASSERT_NE(dlg, nullptr);
    EnterFileName(dlg, name);
    WaitGone(dlg);
  }
  static void EnterFileName(HWND dlg, const String& name) {
    HWND field = GetDlgItem(dlg, 0x47c);  // the name combo box
    if (!field) field = GetDlgItem(dlg, 0x480);
    ASSERT_NE(field, nullptr);
    SendMessageA(field, WM_SETTEXT, 0, LPARAM(name.c_str()));
    testsupport::Click(dlg, IDOK);
  }
  // A file dialog on an existing file: the name, OK, and "Ja" to the question whether it is to be
  // replaced.
  void ChooseExistingFile(const String& caption, const String& name) {
    HWND dlg = WaitTop(caption);
    ASSERT_NE(dlg, nullptr);
    EnterFileName(dlg, name);
    HWND ask = nullptr;
    for (int i = 0; i < 300 && !ask; ++i) {
      ask = testsupport::FindTopWindow([&](HWND w, DWORD owner) {
        return owner == Pi.dwProcessId && IsWindowVisible(w) && GetWindow(w, GW_OWNER) == dlg;
      });
      if (!ask) Sleep(30);
    }
    ASSERT_NE(ask, nullptr);
    // The answer is posted; a box that was not yet ready for it (a busy machine) gets it again.
    testsupport::WaitFor([&] {
      if (!IsWindow(ask)) return true;
      testsupport::Click(ask, IDYES);
      return false;
    }, 10000, 500);
    WaitGone(dlg);
  }
  // A page that "Neu" or "Öffnen" brings is ready for keys once it is the active window with its
  // editor and the program waits for input again: the window is counted as soon as it exists,
  // while the window active before (a page just closed is freed a little later) may still be
  // the one keys would reach.
  void WaitForNewPage(HWND before) {
    EXPECT_TRUE(testsupport::WaitFor([&] { return ActiveChild() != before && Editor(); }, 10000));
    WaitForInputIdle(Pi.hProcess, 5000);
    Documents();
  }
  // Opens a page through "Öffnen".
  void OpenPage(const String& path) {
    const int before = Documents();
    HWND active = ActiveChild();
    PostCmd(cmFileOpen);
    ChooseFile("Html Seiten laden ...", path);
    for (int i = 0; i < 400 && Documents() == before; ++i) Sleep(30);
    ASSERT_EQ(Documents(), before + 1);
    WaitForNewPage(active);
  }
  // Closes the changed page, answers the question with Ja and cancels the "Speichern unter" that
  // follows: the page stays open.
  void CloseThenCancelTheSave() {
    PostCmd(cmFileClose);
    EXPECT_EQ(Answer("Warnung", IDYES), kQuestion);
    HWND save = WaitTop("Datei speichern als ...");
    ASSERT_NE(save, nullptr);
    testsupport::Click(save, IDCANCEL);
    WaitGone(save);
    EXPECT_EQ(Documents(), 1);
  }
  // A "Speichern unter" onto an existing page that cannot be replaced: the message names the
  // page and the cause, the page and the folder stay as they were, the window stays.
  void ExpectSaveOntoFails(const String& target, const String& cause) {
    const String before = ReadFileBytes(target);
    const int files = FilesIn(Dir);
    PostCmd(cmFileSaveAs);
    ChooseExistingFile("Datei speichern als ...", target);
    EXPECT_EQ(Answer("Quillet", IDOK), "Die Datei " + target + " kann nicht gespeichert werden.\n" + cause);
    EXPECT_EQ(ReadFileBytes(target), before);
    EXPECT_EQ(FilesIn(Dir), files);  // no temporary left beside it
    EXPECT_EQ(Documents(), 1);
  }
  static int FilesIn(const String& dir) {
    WIN32_FIND_DATAA d;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &d);
    int n = 0;
    if (h == INVALID_HANDLE_VALUE) return 0;
    do n += (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
    while (FindNextFileA(h, &d));
    FindClose(h);
    return n;
  }
  // "Neu" with the dialog left as it is, then "Document Erstellen".
  void NewPage() {
    const int before = Documents();
    HWND active = ActiveChild();
    PostCmd(cmFileNew);
    HWND dlg = WaitTop(" Quillet - Formulardesigner");
    ASSERT_NE(dlg, nullptr);
    Click(Control(dlg, NP_BUTTON + 1));
    for (int i = 0; i < 300 && Documents() == before; ++i) Sleep(30);
    ASSERT_EQ(Documents(), before + 1);
    WaitForNewPage(active);
  }
  String SaveAs(const String& name) {
    PostCmd(cmFileSaveAs);
    ChooseFile("Datei speichern als ...", Dir + "\\" + name);
    const String path = Dir + "\\" + SaveAsFileName(name);
    for (int i = 0; i < 200 && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(30);
    Documents();  // the save has finished once the program answers again
    return ReadFileBytes(path);
  }
  // A cell of the table designer's grid edited through the title dialog, which the press and
  // release on the cell open: the text, and the alignment item chosen unless it is -1. Returns
  // the alignment the dialog showed when it opened.
  String EditTableCell(HWND grid, int x, int y, const char* text, int align = -1) {
    PostMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    HWND title = WaitTop(" Titel");
    if (!title) return "";
    HWND combo = Control(title, TI_BLOCK + ID_COMBO + 1);
    const String shown = WindowText(combo);
    SendMessageA(Control(title, TI_BLOCK + ID_EDIT + 1), WM_SETTEXT, 0, LPARAM(text));
    if (align >= 0) SendMessageA(combo, CB_SETCURSEL, WPARAM(align), 0);
    Click(Control(title, TI_BLOCK + ID_BUTTON + 1));
    WaitGone(title);
    return shown;
  }
  void InputBox(const String& caption, const String& text) {
    HWND box = WaitTop(caption);
    ASSERT_NE(box, nullptr);
    HWND edit = FindWindowExA(box, nullptr, "TEdit", nullptr);
    ASSERT_NE(edit, nullptr);
    SendMessageA(edit, WM_SETTEXT, 0, LPARAM(text.c_str()));
    testsupport::Click(box, IDOK);
    WaitGone(box);
  }
};

