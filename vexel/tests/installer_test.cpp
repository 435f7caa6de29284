// The installer program under Wine: installers are put together from the built Vexel.exe, a
// configuration block and archives made by Info-ZIP's zip; the test starts each one as a child
// process and drives its dialogs as a user would (folder edit, buttons, the overwrite, password and
// folder dialogs), then compares what it extracted with what unzip extracted from the same archive.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "child_process.h"
#include "config_block.h"
#include "crc32.h"
#include "test_files.h"
#include "window_driver.h"
#include "zip_walker.h"
#include "zip_writer.h"

using namespace vexel;
using testsupport::ReadFileBytes;
using testsupport::WindowText;
using testsupport::WriteFileBytes;

namespace {

const std::string kBinary = ASTREL_BINARY_DIR;
const std::string kSource = ASTREL_SOURCE_DIR;
const std::string kFixtures = kBinary + "/vexel/installer-fixtures";
const DWORD kWait = 15000;  // ms to wait for a window or the end of the program

bool IsFolder(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void ListTree(const std::string& root, const std::string& rel, std::map<std::string, std::string>& out) {
  WIN32_FIND_DATAA f;
  HANDLE h = FindFirstFileA((root + rel + "\\*").c_str(), &f);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::string n = f.cFileName;
    if (n == "." || n == "..") continue;
    const std::string r = rel + "\\" + n;
    if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      out[r] = "<dir>";
      ListTree(root, r, out);
    } else {
      out[r] = ReadFileBytes(root + r);
    }
  } while (FindNextFileA(h, &f));
  FindClose(h);
}

std::map<std::string, std::string> Tree(const std::string& root) {
  std::map<std::string, std::string> t;
  ListTree(root, "", t);
  return t;
}

// Both trees hold the same folders and files with the same bytes; names the differences.
::testing::AssertionResult SameTree(const std::string& got, const std::string& expected) {
  const std::map<std::string, std::string> a = Tree(got), b = Tree(expected);
  std::string diff;
  for (const auto& e : b) {
    auto it = a.find(e.first);
    if (it == a.end()) diff += " fehlt:" + e.first;
    else if (it->second != e.second) diff += " anders:" + e.first;
  }
  for (const auto& e : a)
    if (!b.count(e.first)) diff += " zuviel:" + e.first;
  if (b.empty()) diff += " (Vergleichsbaum leer)";
  if (diff.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << got << " gegen " << expected << ":" << diff;
}

std::string NewTempFolder(const char* name) { return testsupport::NewTempFolder(std::string("vexeltest") + name); }

// An installer made as the packer makes it: the program padded to the image length, the block
// (unless block is empty) and the archive.
std::string MakeInstaller(const std::string& zip, const std::string& block) {
  std::string image = ReadFileBytes(kBinary + "/vexel/Vexel.exe");
  EXPECT_GT(image.size(), 1000u);
  EXPECT_LE(image.size(), kImageLength);
  image.resize(kImageLength, '\0');
  const std::string path = NewTempFolder("") + "\\Setup.exe";
  EXPECT_TRUE(WriteFileBytes(path, image + block + zip));
  return path;
}

std::string Block(uint8_t flags, const char* title = "", const char* folder = "", const char* run = "") {
  unsigned char b[kBlockLength];
  EXPECT_TRUE(WriteConfigBlock(flags, title, folder, run, b));
  return std::string((const char*)b, kBlockLength);
}

// One run of an installer, seen from outside.
class Installer {
 public:
  explicit Installer(const std::string& exe, const std::string& cwd = "") {
    EXPECT_TRUE(testsupport::StartProcess(exe, "", cwd, pi_)) << exe;
  }
  ~Installer() { testsupport::EndProcess(pi_, 99, 0); }

  // A visible top-level window of the installer with this caption.
  HWND Window(const std::string& caption, DWORD wait = kWait) {
    const DWORD end = GetTickCount() + wait * testsupport::TimeScale();
    do {
      if (HWND found = testsupport::FindCaption(pi_.dwProcessId, caption)) return found;
      if (WaitForSingleObject(pi_.hProcess, 20) != WAIT_TIMEOUT) break;
    } while (GetTickCount() < end);
    ADD_FAILURE() << "kein Fenster \"" << caption << "\"";
    return 0;
  }

  // The main dialog: the window with the caption of the block (or "VEXEL32").
  HWND Main(const std::string& caption = "VEXEL32") { return main_ = Window(caption); }

  // Waits for a message box with this caption, returns its text and closes it with OK.
  std::string Box(const std::string& caption) {
    HWND box = Window(caption);
    if (!box) return "<kein Fenster>";
    std::string text;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      char cls[32];
      GetClassNameA(c, cls, sizeof cls);
      if (lstrcmpiA(cls, "Static") == 0 && !WindowText(c).empty()) text = WindowText(c);
    }
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    WaitGone(box);
    return text;
  }

  void SetText(HWND dialog, int id, const std::string& text) {
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, (LPARAM)text.c_str());
  }
  void Click(HWND dialog, int id) { testsupport::Click(dialog, id); }
  // Enters the target folder in the main dialog and starts the extraction ("OK").
  void Extract(HWND main, const std::string& folder) {
    SetText(main, 101, folder);
    Click(main, IDOK);
  }
  // Answers the password question with `password`; false when no question came.
  bool AnswerPassword(const std::string& password) {
    HWND pw = Window("Passwort eingeben ...");
    if (!pw) return false;
    SetText(pw, 101, password);
    Click(pw, IDOK);
    WaitGone(pw);
    return true;
  }
  void WaitGone(HWND w) {
    const DWORD end = GetTickCount() + kWait;
    while (IsWindow(w) && IsWindowVisible(w) && GetTickCount() < end) Sleep(10);
  }
  // The program's exit code once it has ended (259 while it still runs).
  DWORD Exit() {
    WaitForSingleObject(pi_.hProcess, kWait);
    DWORD code = 259;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
  }
  bool Running() { return testsupport::Running(pi_); }

  std::vector<std::string> Items(int id, HWND dialog = 0) {
    std::vector<std::string> items;
    HWND list = GetDlgItem(dialog ? dialog : main_, id);
    const LRESULT n = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) items.push_back(ItemText(list, (int)i));
    return items;
  }

  // A list item of another process: asked for as UTF-16 (which Wine carries across processes
  // whole) and turned into code page 1252.
  static std::string ItemText(HWND list, int index) {
    wchar_t wide[300] = L"";
    SendMessageW(list, LB_GETTEXT, index, (LPARAM)wide);
    char text[600] = "";
    WideCharToMultiByte(1252, 0, wide, -1, text, sizeof text, 0, 0);
    return text;
  }

  HWND main_ = 0;

 private:
  PROCESS_INFORMATION pi_ = {};
};

const std::string kAllExtracted = kTextAllExtracted;

TEST(Installer, ExtractsWhatUnzipExtracts) {
  for (const char* variant : {"stored", "fast", "normal", "best", "noextra", "folders"}) {
    SCOPED_TRACE(variant);
    const std::string exe = MakeInstaller(ReadFileBytes(kFixtures + "/" + variant + ".zip"), Block(0x0A));
    const std::string target = NewTempFolder("ziel") + "\\neu\\tiefer";  // created by the walk
    Installer run(exe);
    HWND main = run.Main();
    ASSERT_TRUE(main);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(main, 301)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, 302)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, 1007)));  // no run command
    EXPECT_EQ(SendDlgItemMessageA(main, 501, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendDlgItemMessageA(main, 301, LB_GETSELCOUNT, 0, 0), SendDlgItemMessageA(main, 301, LB_GETCOUNT, 0, 0));
    run.Extract(main, target + "\\");  // one trailing "\" is dropped
    EXPECT_EQ(run.Box("Ready"), kAllExtracted);
    EXPECT_EQ(run.Exit(), 1u);
    EXPECT_TRUE(SameTree(target, kFixtures + "/ref/" + variant));
  }
}

TEST(Installer, DeliveredInstaller) {
  const std::string exe = kSource + "/dist/Vexel.exe";
  ASSERT_EQ(GetFileAttributesA(exe.c_str()) != INVALID_FILE_ATTRIBUTES, true) << "dist/Vexel.exe fehlt";
  Installer run(exe);
  HWND main = run.Main("Programm Name :   Quillet   Version 1.6");
  ASSERT_TRUE(main);
  EXPECT_EQ(WindowText(GetDlgItem(main, 101)), "C:\\DESIGNER");
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, 301)));  // the plain list
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(main, 302)));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(main, 1007)));
  EXPECT_EQ(SendDlgItemMessageA(main, 1007, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendDlgItemMessageA(main, 503, BM_GETCHECK, 0, 0), BST_CHECKED);
  const std::vector<std::string> items = run.Items(302);
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items[0], "LPng.dll");
  run.Click(main, IDCANCEL);
  EXPECT_EQ(run.Exit(), 2u);
}

TEST(Installer, PasswordIsAskedOnceAndRemembered) {
  for (const char* variant : {"secret", "secretstored"}) {
    SCOPED_TRACE(variant);
    const std::string exe = MakeInstaller(ReadFileBytes(kFixtures + "/" + variant + ".zip"), Block(0x0A));
    const std::string target = NewTempFolder("ziel");
    Installer run(exe);
    HWND main = run.Main();
    ASSERT_TRUE(main);
    run.Extract(main, target);
    ASSERT_TRUE(run.AnswerPassword("geheim"));
    EXPECT_EQ(run.Box("Ready"), kAllExtracted);  // no second question came before this
    EXPECT_EQ(run.Exit(), 1u);
    EXPECT_TRUE(SameTree(target, kFixtures + "/ref/" + variant));
  }
}

TEST(Installer, CheckByteFromTheCrcAndThreeWrongPasswords) {
  BuildCrcTable();
  vexel_test::ZipWriter w;
  vexel_test::WriterEntry a = vexel_test::Named("DATEN/roh.txt", std::string(40000, 'r') + "Ende");
  a.method = 0;
  a.password = "Kennwort";
  w.Add(a);
  vexel_test::WriterEntry b = vexel_test::Named("gepackt.txt", std::string(50000, 'g') + "Ende");
  b.password = "Kennwort";
  w.Add(b);
  const std::string exe = MakeInstaller(w.Finish(), Block(0x0A));

  const std::string target = NewTempFolder("ziel");
  {
    Installer run(exe);
    HWND main = run.Main();
    ASSERT_TRUE(main);
    run.Extract(main, target);
    for (const char* answer : {"falsch", "Kennwort"}) ASSERT_TRUE(run.AnswerPassword(answer));
    EXPECT_EQ(run.Box("Ready"), kAllExtracted);
    EXPECT_EQ(run.Exit(), 1u);
    EXPECT_EQ(ReadFileBytes(target + "\\DATEN\\roh.txt"), a.data);
    EXPECT_EQ(ReadFileBytes(target + "\\gepackt.txt"), b.data);
  }
  {
    const std::string other = NewTempFolder("ziel");
    Installer run(exe);
    HWND main = run.Main();
    ASSERT_TRUE(main);
    run.Extract(main, other);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(run.AnswerPassword("falsch"));
    EXPECT_EQ(run.Box(kCaptionError), kTextWrongPassword);
    EXPECT_EQ(WindowText(GetDlgItem(main, 601)), kStatusNotExtracted);
    EXPECT_TRUE(run.Running());  // the dialog stays open
    EXPECT_EQ(Tree(other).size(), 0u);
    run.Click(main, IDCANCEL);
    EXPECT_EQ(run.Exit(), 2u);
  }
}

TEST(Installer, OverwriteQuestionWithoutRepeating) {
  const std::string exe = MakeInstaller(ReadFileBytes(kFixtures + "/normal.zip"), Block(0x02));
  const std::string target = NewTempFolder("ziel");
  WriteFileBytes(target + "\\Quillet.exe", "alt");
  WriteFileBytes(target + "\\LPng.dll", "alt");
  Installer run(exe);
  HWND main = run.Main();
  ASSERT_TRUE(main);
  EXPECT_EQ(SendDlgItemMessageA(main, 503, BM_GETCHECK, 0, 0), BST_CHECKED);
  run.Extract(main, target);
  HWND question = run.Window("File überschreiben ...");
  ASSERT_TRUE(question);
  EXPECT_EQ(WindowText(GetDlgItem(question, 101)), target + "\\Quillet.exe...existiert schon , überschreiben ?");
  SendDlgItemMessageA(question, 401, BM_SETCHECK, BST_CHECKED, 0);
  run.Click(question, IDCANCEL);  // "Nein", and don't ask again
  run.WaitGone(question);
  HWND ready = run.Window("Ready");  // LPng.dll was left alone without a question
  ASSERT_TRUE(ready);
  EXPECT_EQ(SendDlgItemMessageA(main, 502, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendDlgItemMessageA(main, 503, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(run.Box("Ready"), kAllExtracted);
  EXPECT_EQ(run.Exit(), 1u);
  EXPECT_EQ(ReadFileBytes(target + "\\Quillet.exe"), "alt");
  EXPECT_EQ(ReadFileBytes(target + "\\LPng.dll"), "alt");
  EXPECT_EQ(ReadFileBytes(target + "\\DATEN\\Hilfe\\QUILLET.HLP"), ReadFileBytes(kFixtures + "/ref/normal/DATEN/Hilfe/QUILLET.HLP"));
}

TEST(Installer, ReplacesExistingFilesOnlyWithGoodEntries) {
  BuildCrcTable();
  vexel_test::ZipWriter w;
  w.Add(vexel_test::Named("gut.txt", std::string(30000, 'n') + "neu"));
  vexel_test::WriterEntry bad = vexel_test::Named("kaputt.txt", std::string(30000, 'k') + "neu");
  bad.corruptCrc = true;
  w.Add(bad);
  const std::string exe = MakeInstaller(w.Finish(), Block(0x0A));  // rule: overwrite
  const std::string target = NewTempFolder("ziel");
  WriteFileBytes(target + "\\gut.txt", "alt");
  WriteFileBytes(target + "\\kaputt.txt", "die gute alte Fassung");
  Installer run(exe);
  HWND main = run.Main();
  ASSERT_TRUE(main);
  run.Extract(main, target);
  EXPECT_EQ(run.Box(kCaptionError), kTextNotExtracted);
  EXPECT_EQ(WindowText(GetDlgItem(main, 601)), kStatusNotExtracted);
  EXPECT_EQ(ReadFileBytes(target + "\\gut.txt"), std::string(30000, 'n') + "neu");
  EXPECT_EQ(ReadFileBytes(target + "\\kaputt.txt"), "die gute alte Fassung");
  EXPECT_EQ(Tree(target).size(), 2u);  // no temporary file left behind
  EXPECT_EQ(SendDlgItemMessageA(main, 301, LB_GETSEL, 0, 0), 0);  // done
  EXPECT_GT(SendDlgItemMessageA(main, 301, LB_GETSEL, 1, 0), 0);  // failed: still selected
  EXPECT_TRUE(run.Running());
  run.Click(main, IDCANCEL);
  EXPECT_EQ(run.Exit(), 2u);
}

TEST(Installer, TemporaryFolderAsDefault) {
  Installer run(MakeInstaller(ReadFileBytes(kFixtures + "/fast.zip"), Block(0x02, "", "><")));
  HWND main = run.Main();
  ASSERT_TRUE(main);
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  EXPECT_EQ(WindowText(GetDlgItem(main, 101)), temp);
  run.Click(main, IDCANCEL);
  EXPECT_EQ(run.Exit(), 2u);
}

TEST(Installer, RunsTheProgramAfterExtracting) {
  // Flag bit 0 clear: the check box is hidden but ticked, so the program starts without asking.
  const std::string exe = MakeInstaller(ReadFileBytes(kFixtures + "/best.zip"),
                                        Block(0x14, "Mit Start", "", "cmd.exe|/c mkdir ><\\gestartet"));
  const std::string target = NewTempFolder("ziel");
  Installer run(exe);
  HWND main = run.Main("Mit Start");
  ASSERT_TRUE(main);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, 1007)));
  EXPECT_EQ(SendDlgItemMessageA(main, 1007, BM_GETCHECK, 0, 0), BST_CHECKED);
  for (int id : {501, 502, 503, 509}) EXPECT_EQ(GetDlgItem(main, id), (HWND)0) << id;  // flag bit 2
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(main, 302)));  // flag bit 1 clear: the plain list
  run.Extract(main, target);
  EXPECT_EQ(run.Box("Ready"), kAllExtracted);
  EXPECT_EQ(run.Exit(), 1u);
  const DWORD end = GetTickCount() + kWait;
  while (!IsFolder(target + "\\gestartet") && GetTickCount() < end) Sleep(20);
  EXPECT_TRUE(IsFolder(target + "\\gestartet"));
}

TEST(Installer, ProgramThatCannotBeStarted) {
  Installer run(MakeInstaller(ReadFileBytes(kFixtures + "/fast.zip"), Block(0x03, "", "", "><\\fehlt.exe")));
  HWND main = run.Main();
  ASSERT_TRUE(main);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(main, 1007)));
  const std::string target = NewTempFolder("ziel");
  run.Extract(main, target);
  EXPECT_EQ(run.Box("Ready"), kAllExtracted);
  EXPECT_EQ(run.Box("Programm kann nicht gestartet werden ."), target + "\\fehlt.exe");
  EXPECT_EQ(run.Exit(), 1u);
}

TEST(Installer, BadBlocksAndArchivesGetAMessage) {
  {  // lengths that reach past the block: the defaults hold, the archive behind the block is read
    std::string block = Block(0x00, "Titel");
    block[5] = (char)250;
    Installer run(MakeInstaller(ReadFileBytes(kFixtures + "/fast.zip"), block));
    EXPECT_EQ(run.Box(kCaptionError), "Der Konfigurationsblock ist beschädigt . Es gelten die Voreinstellungen .");
    HWND main = run.Main();
    ASSERT_TRUE(main);
    EXPECT_EQ(run.Items(301).size(), 4u);
    run.Click(main, IDCANCEL);
    EXPECT_EQ(run.Exit(), 2u);
  }
  struct Case {
    const char* zip;
    const char* message;
    size_t listed;
    const char* report;  // of "Start"
  } cases[] = {
      // no zip where the archive starts: one state with one text, in listing and on "Start"
      {"garbage", kTextCannotRead, 0, kTextCannotRead},
      // the first entry without sizes is listed (the walk cannot go on behind it) and fails
      {"pipe", kTextNoSizes, 1, kTextNotExtracted},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zip);
    Installer run(MakeInstaller(ReadFileBytes(kFixtures + "/" + c.zip + ".zip"), Block(0x02)));
    EXPECT_EQ(run.Box(kCaptionError), c.message);
    HWND main = run.Main();
    ASSERT_TRUE(main);
    EXPECT_EQ(run.Items(301).size(), c.listed);
    run.Click(main, IDOK);
    EXPECT_EQ(run.Box(kCaptionError), c.report);
    EXPECT_TRUE(run.Running());
    run.Click(main, IDCANCEL);
    EXPECT_EQ(run.Exit(), 2u);
  }
  {  // neither block nor archive
    Installer run(MakeInstaller("", ""));
    EXPECT_EQ(run.Box(kCaptionError), kTextCannotRead);
    HWND main = run.Main();
    ASSERT_TRUE(main);
    run.Click(main, IDCANCEL);
    EXPECT_EQ(run.Exit(), 2u);
  }
}

// A damaged entry (one that declares more than its data can hold, or whose data the file cuts
// off) is reported once and stays in the list, selected: "Start" extracts the others, reports that
// the selected file cannot be extracted, keeps the dialog open and starts no program.
TEST(Installer, DamagedEntryIsNeverPassedOffAsInstalled) {
  BuildCrcTable();
  const std::string before = std::string(30000, 'v') + "Ende", after = std::string(20000, 'n') + "Ende";
  vexel_test::ZipWriter bomb;
  bomb.Add(vexel_test::Named("vorher.txt", before));
  vexel_test::WriterEntry b = vexel_test::Named("bombe.bin", std::string(100000, '\0'));
  b.declaredSize = 0xFFFFFFFFll;
  bomb.Add(b);
  bomb.Add(vexel_test::Named("nachher.txt", after));
  vexel_test::ZipWriter cut;
  cut.Add(vexel_test::Named("vorher.txt", before));
  cut.Add(vexel_test::Named("nachher.txt", after));
  vexel_test::WriterEntry last = vexel_test::Named("bombe.bin", std::string(40000, 'c') + "Ende");
  last.method = 0;  // stored: the file's end cuts its data
  cut.Add(last);
  const std::string whole = cut.Finish();
  struct Case {
    const char* what;
    std::string zip;
    uint8_t flags;  // run check box offered, overwrite; with the selectable or the plain list
    std::vector<std::string> items;
  } cases[] = {
      {"more than its data can hold", bomb.Finish(), 0x0B, {"vorher.txt", "bombe.bin", "nachher.txt"}},
      {"cut off by the end of the file", whole.substr(0, whole.find("bombe.bin") + 500), 0x09,
       {"vorher.txt", "nachher.txt", "bombe.bin"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string target = NewTempFolder("ziel");
    Installer run(MakeInstaller(c.zip, Block(c.flags, "", "", "cmd.exe|/c mkdir ><\\gestartet")));
    EXPECT_EQ(run.Box(kCaptionError), kTextDamaged);
    HWND main = run.Main();
    ASSERT_TRUE(main);
    EXPECT_EQ(run.Items(301), c.items);
    EXPECT_EQ(SendDlgItemMessageA(main, 301, LB_GETSELCOUNT, 0, 0), (LRESULT)c.items.size());
    EXPECT_EQ(SendDlgItemMessageA(main, 1007, BM_GETCHECK, 0, 0), BST_CHECKED);
    run.Extract(main, target);
    EXPECT_EQ(run.Box(kCaptionError), kTextNotExtracted);
    EXPECT_EQ(WindowText(GetDlgItem(main, 601)), kStatusNotExtracted);
    EXPECT_TRUE(run.Running());  // the dialog stays open
    const int damaged = (int)(std::find(c.items.begin(), c.items.end(), "bombe.bin") - c.items.begin());
    for (int i = 0; i < (int)c.items.size(); ++i)
      EXPECT_EQ(SendDlgItemMessageA(main, 301, LB_GETSEL, i, 0) > 0, i == damaged) << c.items[i];
    std::vector<std::string> files;
    for (const auto& f : Tree(target)) files.push_back(f.first);
    EXPECT_EQ(files, (std::vector<std::string>{"\\nachher.txt", "\\vorher.txt"}));
    EXPECT_EQ(ReadFileBytes(target + "\\vorher.txt"), before);
    EXPECT_EQ(ReadFileBytes(target + "\\nachher.txt"), after);
    run.Click(main, IDCANCEL);
    EXPECT_EQ(run.Exit(), 2u);
    EXPECT_FALSE(IsFolder(target + "\\gestartet"));  // no program was started
  }
}

// Names that open a device on Windows (in any letter case, with any extension, at any folder
// level) and names whose last dot or blank Windows drops are refused like names that leave the
// target folder: each is named in a message and left out of the list. The installation then
// lacks them: "Start" extracts the rest and reports that not everything could be extracted, the
// dialog stays open and the run command is not started.
TEST(Installer, DeviceNamesAreRefused) {
  BuildCrcTable();
  const char* refused[] = {"CON", "nul.txt", "Aux.log", "COM1", "lpt1.txt", "DATEN/prn/x.txt", "ende.", "ende "};
  vexel_test::ZipWriter w;
  for (const char* n : refused) w.Add(vexel_test::Named(n, "an ein Gerät"));
  w.Add(vexel_test::Named("DATEN/gut.txt", "gut"));
  Installer run(MakeInstaller(w.Finish(), Block(0x0A, "", "", "cmd.exe|/c mkdir ><\\gestartet")));
  for (const char* n : refused) EXPECT_EQ(run.Box(kCaptionError), std::string(n) + "\n" + kTextNameReserved);
  HWND main = run.Main();
  ASSERT_TRUE(main);
  EXPECT_EQ(run.Items(301), std::vector<std::string>{"DATEN/gut.txt"});
  const std::string target = NewTempFolder("ziel");
  run.Extract(main, target);
  EXPECT_EQ(run.Box(kCaptionError), kTextNotExtracted);
  EXPECT_EQ(WindowText(GetDlgItem(main, 601)), kStatusNotExtracted);
  EXPECT_TRUE(run.Running());  // the dialog stays open
  EXPECT_EQ(SendDlgItemMessageA(main, 301, LB_GETSEL, 0, 0), 0);  // the listed entry was extracted
  run.Click(main, IDCANCEL);
  EXPECT_EQ(run.Exit(), 2u);
  EXPECT_EQ(Tree(target), (std::map<std::string, std::string>{{"\\DATEN", "<dir>"}, {"\\DATEN\\gut.txt", "gut"}}));
  EXPECT_FALSE(IsFolder(target + "\\gestartet"));  // no program was started
}

// A folder where an entry's file belongs: "File kann nicht geöffnet werden ." with the path (no
// question whether to overwrite it), the entry stays selected, the others are extracted.
TEST(Installer, FolderInTheWayOfAFile) {
  const std::string exe = MakeInstaller(ReadFileBytes(kFixtures + "/normal.zip"), Block(0x02));  // rule: ask
  const std::string target = NewTempFolder("ziel");
  CreateDirectoryA((target + "\\Quillet.exe").c_str(), 0);
  WriteFileBytes(target + "\\Quillet.exe\\drin.txt", "bleibt");
  Installer run(exe);
  HWND main = run.Main();
  ASSERT_TRUE(main);
  run.Extract(main, target);
  EXPECT_EQ(run.Box(kCaptionCannotOpen), target + "\\Quillet.exe");
  EXPECT_EQ(run.Box(kCaptionError), kTextNotExtracted);
  EXPECT_TRUE(run.Running());
  const std::vector<std::string> items = run.Items(301);
  for (int i = 0; i < (int)items.size(); ++i)
    EXPECT_EQ(SendDlgItemMessageA(main, 301, LB_GETSEL, i, 0) > 0, items[i] == "Quillet.exe") << items[i];
  EXPECT_EQ(ReadFileBytes(target + "\\Quillet.exe\\drin.txt"), "bleibt");
  EXPECT_FALSE(GetFileAttributesA((target + "\\Quillet.exe.vx~").c_str()) != INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(ReadFileBytes(target + "\\LPng.dll"), ReadFileBytes(kFixtures + "/ref/normal/LPng.dll"));
  run.Click(main, IDCANCEL);
  EXPECT_EQ(run.Exit(), 2u);
}

TEST(Installer, FolderChooserAndNewFolder) {
  const std::string exe = MakeInstaller(ReadFileBytes(kFixtures + "/stored.zip"), Block(0x02, "", "C:\\gibt\\es\\nicht"));
  const std::string cwd = NewTempFolder("start");
  Installer run(exe, cwd);
  HWND main = run.Main();
  ASSERT_TRUE(main);
  EXPECT_EQ(WindowText(GetDlgItem(main, 101)), "C:\\gibt\\es\\nicht");
  run.Click(main, 775);
  HWND chooser = run.Window("Select extract directory");
  ASSERT_TRUE(chooser);
  // A folder that does not exist opens the chooser at the current directory.
  char longCwd[MAX_PATH];
  GetLongPathNameA(cwd.c_str(), longCwd, sizeof longCwd);
  EXPECT_EQ(lstrcmpiA(WindowText(GetDlgItem(chooser, 2001)).c_str(), (std::string(longCwd) + "\\").c_str()), 0)
      << WindowText(GetDlgItem(chooser, 2001));
  HWND list = GetDlgItem(chooser, 2003);
  EXPECT_EQ(Installer::ItemText(list, 0), "[..]");
  EXPECT_NE(SendMessageA(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM) "[-c-]"), LB_ERR);  // drives too

  run.Click(chooser, 2004);
  HWND create = run.Window("Unterverzeichnis erzeugen ...");
  ASSERT_TRUE(create);
  run.SetText(create, 3002, "x:y");
  run.Click(create, IDOK);
  EXPECT_EQ(run.Box(kCaptionError), "Verzeichnis kann nicht erstellt werden ");
  run.SetText(create, 3002, "Neu\\Unten");
  run.Click(create, IDOK);
  run.WaitGone(create);
  EXPECT_TRUE(IsFolder(cwd + "\\Neu\\Unten"));
  EXPECT_EQ(lstrcmpiA(WindowText(GetDlgItem(chooser, 2001)).c_str(), (std::string(longCwd) + "\\Neu\\Unten\\").c_str()), 0)
      << WindowText(GetDlgItem(chooser, 2001));
  // A double click on "[..]" goes one folder up, and back down into "[Unten]".
  EXPECT_EQ(Installer::ItemText(list, 0), "[..]");
  SendMessageA(list, LB_SETCURSEL, 0, 0);
  PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(2003, LBN_DBLCLK), (LPARAM)list);
  const DWORD end = GetTickCount() + kWait;
  while (SendMessageA(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM) "[Unten]") == LB_ERR && GetTickCount() < end)
    Sleep(20);
  EXPECT_EQ(lstrcmpiA(WindowText(GetDlgItem(chooser, 2001)).c_str(), (std::string(longCwd) + "\\Neu\\").c_str()), 0)
      << WindowText(GetDlgItem(chooser, 2001));
  SendMessageA(list, LB_SETCURSEL, SendMessageA(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM) "[Unten]"), 0);
  PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(2003, LBN_DBLCLK), (LPARAM)list);
  const DWORD end2 = GetTickCount() + kWait;
  while (SendMessageA(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM) "[Unten]") != LB_ERR && GetTickCount() < end2)
    Sleep(20);
  run.Click(chooser, IDOK);
  run.WaitGone(chooser);
  const std::string chosen = WindowText(GetDlgItem(main, 101));
  EXPECT_EQ(lstrcmpiA(chosen.c_str(), (std::string(longCwd) + "\\Neu\\Unten\\").c_str()), 0) << chosen;
  run.Click(main, IDOK);
  EXPECT_EQ(run.Box("Ready"), kAllExtracted);
  EXPECT_EQ(run.Exit(), 1u);
  EXPECT_TRUE(SameTree(cwd + "\\Neu\\Unten", kFixtures + "/ref/stored"));
}

}  // namespace
