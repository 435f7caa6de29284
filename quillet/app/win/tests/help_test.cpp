// Quillet's help road under Wine: "Hil&fe" opens the help file DATEN\HILFE\Quillet.hlp in the
// Windows Help viewer on its contents topic, a jump there leads to its topic, and without the file
// the program says so. The delivered installer dist/Vexel.exe unpacks the help file beside the
// program, and the installed Quillet opens it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "child_process.h"
#include "commands.h"
#include "test_files.h"
#include "window_driver.h"

namespace {

using testsupport::ReadFileBytes;
using testsupport::WinPath;

const DWORD kWait = 60000;

// The visible top-level windows, for a failure's message: class and caption of each.
std::string TopWindows() {
  std::string all;
  testsupport::ForEachTopWindow([&](HWND w, DWORD pid) {
    if (!IsWindowVisible(w)) return;
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    all += std::string(" [") + cls + " \"" + testsupport::WindowText(w) + "\" " + std::to_string(pid) + "]";
  });
  return all;
}  // ms for a window or a text to appear (Wine may run emulated)

const std::string kBuild = WinPath(QUILLET_BUILD_DIR);
const std::string kHelpFile = WinPath(QUILLET_HELP_FILE);
const char kContentsTitle[] = "Quillet - Inhalt";
const char kContentsText[] = "Quillet ist ein Editor f\xFCr HTML Seiten.";
const char kJump[] = "Das Men\xFC \"Datei\"";
// A topic in the middle of the file, several blocks of the topic data behind the contents.
const char kMiddleJump[] = "Der Tabellen Designer";
const char kMiddleText[] = "Das Gitter zeigt die Tabelle, wie sie entsteht";
const char kDateiText[] = "Aktuelle Datei Schlie\xDF" "en: schlie\xDF" "t das aktive Dokumentfenster.";

// The help viewer as the user sees it: its main window (whatever process shows it) and the
// rich edit control in which it shows the topic.
struct Viewer {
  HWND window = nullptr;
  HWND page = nullptr;

  static HWND FindPage(HWND top) { return testsupport::FindVisibleChild(top, "RichEdit"); }

  // Waits (at most `ms`) for the viewer's main window and the page in it.
  bool Open(DWORD ms = kWait) {
    return testsupport::WaitFor(
        [this] {
          window = testsupport::FindTopWindow([](HWND w, DWORD) {
            char cls[32] = {};
            GetClassNameA(w, cls, sizeof cls);
            return IsWindowVisible(w) && lstrcmpiA(cls, "MS_WINHELP") == 0;
          });
          page = window ? FindPage(window) : nullptr;
          return page != nullptr;
        },
        ms, 100);
  }

  std::string Text() const { return testsupport::WholeText(page); }

  // Waits until the shown topic holds `text`; the topic's text otherwise.
  ::testing::AssertionResult Shows(const std::string& text) const {
    std::string last;
    if (testsupport::WaitFor([&] { return (last = Text()).find(text) != std::string::npos; }, kWait, 100))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << text << "\" fehlt in: " << last;
  }

  // Clicks the second character of `text` in the topic, as the mouse would.
  bool ClickOn(const std::string& text) const {
    const std::string all = Text();
    const size_t at = all.find(text);
    if (at == std::string::npos) return false;
    // The control's text gives a paragraph end as CR LF, its character positions count it once.
    size_t index = at;
    for (size_t p = all.find("\r\n"); p < at; p = all.find("\r\n", p + 2)) --index;
    const LRESULT pos = SendMessageA(page, EM_POSFROMCHAR, WPARAM(index + 1), 0);
    const int x = short(LOWORD(pos)) + 2, y = short(HIWORD(pos)) + 4;
    const LPARAM point = MAKELPARAM(x, y);
    PostMessageA(page, WM_MOUSEMOVE, 0, point);
    PostMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(page, WM_LBUTTONUP, 0, point);
    return true;
  }

  // Closes the viewer and waits until its process has ended.
  void Close() {
    if (!window) return;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (process) {
      if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
      CloseHandle(process);
    }
    window = page = nullptr;
  }
};

class QuilletHelp : public ::testing::Test {
 protected:
  std::string Dir;
  PROCESS_INFORMATION Pi = {};
  HWND Main = nullptr;
  Viewer Help;

  void TearDown() override {
    Help.Close();
    testsupport::EndProcess(Pi, 1, 5000);
    if (!Dir.empty()) testsupport::RemoveTree(Dir);
  }

  // A copy of the built program with its PNG library; with `help`, the help file in
  // DATEN\HILFE\ beside it.
  void Install(bool help) {
    Dir = testsupport::NewTempFolder("quillethelp");
    ASSERT_TRUE(CopyFileA((kBuild + "\\" QUILLET_EXE).c_str(), (Dir + "\\Quillet.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((WinPath(QUILLET_DEPS_BIN) + "\\lpng.dll").c_str(), (Dir + "\\lpng.dll").c_str(), FALSE));
    if (!help) return;
    ASSERT_TRUE(CreateDirectoryA((Dir + "\\DATEN").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((Dir + "\\DATEN\\HILFE").c_str(), nullptr));
    ASSERT_TRUE(CopyFileA(kHelpFile.c_str(), (Dir + "\\DATEN\\HILFE\\Quillet.hlp").c_str(), FALSE)) << kHelpFile;
  }

  void Start(const std::string& folder) {
    ASSERT_TRUE(testsupport::StartProcess(folder + "\\Quillet.exe", "", folder, Pi));
    WaitForInputIdle(Pi.hProcess, kWait);
    ASSERT_TRUE(testsupport::WaitFor([this] { return (Main = FindWindowA(QUILLET_MAIN_CLASS, nullptr)) != nullptr; }, kWait));
  }

  // "Hilfe" > "Hil&fe", then the viewer on the contents topic, and one jump from there.
  void HelpOpensOnItsContents() {
    PostMessageA(Main, WM_COMMAND, cmHelp, 0);
    ASSERT_TRUE(Help.Open()) << "kein Hilfefenster, nur:" << TopWindows();
    EXPECT_TRUE(Help.Shows(kContentsTitle));
    EXPECT_TRUE(Help.Shows(kContentsText));
    ASSERT_TRUE(Help.Shows(kJump));
    ASSERT_TRUE(Help.ClickOn(kJump));
    EXPECT_TRUE(Help.Shows(kDateiText));
    EXPECT_EQ(Help.Text().find(kContentsText), std::string::npos);
    // Back to the contents, and on to a topic several blocks behind.
    ASSERT_TRUE(Help.ClickOn("Inhalt"));
    ASSERT_TRUE(Help.Shows(kContentsText));
    ASSERT_TRUE(Help.ClickOn(kMiddleJump));
    EXPECT_TRUE(Help.Shows(kMiddleText));
  }
};

TEST_F(QuilletHelp, HelpOpensTheViewerOnTheContentsAndFollowsAJump) {
  Install(true);
  Start(Dir);
  HelpOpensOnItsContents();
}

TEST_F(QuilletHelp, WithoutTheHelpFileTheProgramSaysSo) {
  Install(false);
  Start(Dir);
  PostMessageA(Main, WM_COMMAND, cmHelp, 0);
  HWND box = nullptr;
  ASSERT_TRUE(testsupport::WaitFor([&] { return (box = testsupport::FindCaption(Pi.dwProcessId, "Quillet")) != nullptr; }, kWait));
  std::string text;
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char cls[32] = {};
    GetClassNameA(c, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0) text += testsupport::WindowText(c);
  }
  EXPECT_EQ(text, "Die Hilfe Datei - Quillet.hlp - ist nicht vorhanden !");
  testsupport::Click(box, IDOK);
  EXPECT_FALSE(Help.Open(3000));
}

// The delivered installer unpacks the help file into DATEN\Hilfe\ beside the program, and the
// Quillet it installed opens it.
TEST_F(QuilletHelp, TheInstalledQuilletOpensTheInstalledHelp) {
  const std::string installer = WinPath(std::string(ASTREL_SOURCE_DIR) + "/dist/Vexel.exe");
  Dir = testsupport::NewTempFolder("quilletsetup");
  PROCESS_INFORMATION setup = {};
  ASSERT_TRUE(testsupport::StartProcess(installer, "", Dir, setup)) << installer;
  HWND main = nullptr;
  ASSERT_TRUE(testsupport::WaitFor(
      [&] { return (main = testsupport::FindCaption(setup.dwProcessId, "Programm Name :   Quillet   Version 1.6")) != nullptr; }, kWait));
  // Not the folder window afterwards: only the installed program is wanted here.
  SendDlgItemMessageA(main, 1007, BM_SETCHECK, BST_UNCHECKED, 0);
  const std::string target = Dir + "\\Quillet";
  SendDlgItemMessageA(main, 101, WM_SETTEXT, 0, LPARAM(target.c_str()));
  testsupport::Click(main, IDOK);
  HWND ready = nullptr;
  EXPECT_TRUE(testsupport::WaitFor([&] { return (ready = testsupport::FindCaption(setup.dwProcessId, "Ready")) != nullptr; }, kWait));
  if (ready) testsupport::Click(ready, IDOK);
  EXPECT_EQ(WaitForSingleObject(setup.hProcess, kWait), WAIT_OBJECT_0);
  testsupport::EndProcess(setup, 1, 1000);

  EXPECT_EQ(ReadFileBytes(target + "\\DATEN\\Hilfe\\QUILLET.HLP"), ReadFileBytes(kHelpFile));
  ASSERT_NE(GetFileAttributesA((target + "\\Quillet.exe").c_str()), INVALID_FILE_ATTRIBUTES);
  Start(target);
  HelpOpensOnItsContents();
}

}  // namespace
