// The dialogs of the options pages under Wine: the provider filter, the mailbox, the
// user-defined bill and the log files, each driven as a user would, with the settings and files
// that result read back.
#include "MailCheck.h"  // WinSock before <windows.h>
#include "pop3_server.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "CFile.h"
#include "OptionsDialogs.h"
#include "TarifClock.h"
#include "TarifScramble.h"
#include "TarifUi.h"
#include "dialog_script.h"
#include "save_faults.h"

namespace {

const char kUserKey[] = "Software\\ASTREL\\Corvalen";
// A cost log of two records, as an import brings it.
const char kImported[] =
    "default;3/5/2026 9:0:0;00:01:00;Tel;60;1.00;0.00;1.000;;;0191;default;3/5/2026 10:0:0;00:01:00;Tel;60;1.00;0.00;1.000;;;0191;";

// Selects the item with that text as a user's click would; a double click when asked.
void Pick(HWND dlg, int id, const char* text, bool doubleClick = false) {
  HWND list = ::GetDlgItem(dlg, id);
  int i = static_cast<int>(::SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text)));
  ::SendMessageA(list, LB_SETCURSEL, i, 0);
  ::SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  if (doubleClick) ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
}

void SetDate(HWND dlg, int id, int y, int m, int d) {
  SYSTEMTIME st = {};
  st.wYear = static_cast<WORD>(y);
  st.wMonth = static_cast<WORD>(m);
  st.wDay = static_cast<WORD>(d);
  ::SendDlgItemMessageA(dlg, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

struct RecordingUi : CTarifUi {
  std::vector<std::string> opened;
  void ShowError(const char*, const char*) override {}
  bool OpenDocument(const char* path) override {
    opened.push_back(path);
    return true;
  }
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
};

std::string Provider(const std::string& id, const std::string& name, const std::string& takt) {
  return "<Provider id=\"" + id + "\"><name>" + name + "</name><set a=\"preis\" b=\"1.0\" c=\"takt\" d=\"" + takt +
         "\"/></Provider>\n";
}

class OptionsDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::SHDeleteKeyA(HKEY_CURRENT_USER, kUserKey);
    static int n = 0;
    dir_ = MakeRouterFolder("corvoptdlg-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++n));
    for (const char* f : {"rechnung.log", "rechnung.html", "free.log", "export.log"}) ::DeleteFileA(Path(f).c_str());
    SetFixedNow(COleDateTime(2026, 3, 4, 13, 30, 0));
    SetTarifUi(&ui_);
    // "tel" stands inside "hotel": the filter's lists must keep them apart.
    std::string xml = "<Providerliste>\n" + Provider("tel", "Tel", "1") + Provider("hotel", "Hotel", "1") +
                      Provider("minute", "Minute", "60") + "</Providerliste>";
    ScrambleTarif(reinterpret_cast<unsigned char*>(&xml[0]), xml.size());
    WriteWholeFile(Path("tarif.dat").c_str(), xml);
    WriteWholeFile(Path("Feiertags.dat").c_str(), "<Feiertage/>");
    settings_ = std::make_unique<CSettings>();
    manager_.Init(settings_.get(), nullptr);
    int changes = 0;
    manager_.Recompute(&changes, nullptr);
  }
  void TearDown() override {
    SetTarifUi(nullptr);
    SetTarifClock(nullptr);
  }
  std::string Path(const char* name) const { return dir_ + "\\" + name; }
  bool Exists(const char* name) const { return ::GetFileAttributesA(Path(name).c_str()) != INVALID_FILE_ATTRIBUTES; }

  std::string dir_;
  RecordingUi ui_;
  std::unique_ptr<CSettings> settings_;
  CTarifManager manager_;
};

// ---------------------------------------------------------------------------------------------

TEST_F(OptionsDialogsTest, ProviderFilterMovesWholeIdsAndWritesAtOnce) {
  CDlg_Anbieterauswahl dlg(&manager_);
  HWND wnd = nullptr;
  std::vector<std::string> shown0, hidden0, shownAfterHide, hiddenAfterHide;
  std::string afterHide, afterShow;
  DialogScript script;
  script.Then([&] {
    wnd = FindThreadWindow("Anbieterauswahl");
    if (!wnd) return false;
    shown0 = ListItems(wnd, IDC_AW_SHOWN);
    hidden0 = ListItems(wnd, IDC_AW_HIDDEN);
    Pick(wnd, IDC_AW_SHOWN, "Hotel");
    PostClick(wnd, IDC_AW_HIDE);
    return true;
  }).Then([&] {
    Pick(wnd, IDC_AW_SHOWN, "Tel", true);  // a double click hides as well
    return true;
  }).Then([&] {
    afterHide = UserSetting("FilterProvider");
    shownAfterHide = ListItems(wnd, IDC_AW_SHOWN);
    hiddenAfterHide = ListItems(wnd, IDC_AW_HIDDEN);
    Pick(wnd, IDC_AW_HIDDEN, "Tel");
    PostClick(wnd, IDC_AW_SHOW);
    return true;
  }).Then([&] {
    afterShow = UserSetting("FilterProvider");
    PostClick(wnd, IDOK);
    return true;
  });
  script.Start();
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(shown0, (std::vector<std::string>{"Hotel", "Minute", "Tel"}));
  EXPECT_TRUE(hidden0.empty());
  EXPECT_EQ(afterHide, "hotel<tel");
  EXPECT_EQ(shownAfterHide, std::vector<std::string>{"Minute"});
  EXPECT_EQ(hiddenAfterHide, (std::vector<std::string>{"Hotel", "Tel"}));
  // Showing "tel" again takes out that id, not the "tel" inside "hotel".
  EXPECT_EQ(afterShow, "hotel");
  EXPECT_EQ(UserSetting("NotInFilterProvider"), " ");  // the settings store an empty text as one blank
}

TEST_F(OptionsDialogsTest, ProviderFilterRefusesAnEmptyListAndCancelRestoresTheStart) {
  SetUserSetting("Filter", "000000");
  SetUserSetting("FilterProvider", "minute");
  SetUserSetting("NotInFilterProvider", "tel");
  CDlg_Anbieterauswahl dlg(&manager_);
  HWND wnd = nullptr;
  std::string box, filterWritten, shownAfterHide;
  std::vector<std::string> shownBySwitch, shownAtEnd;
  DialogScript script;
  script.Then([&] {
    wnd = FindThreadWindow("Anbieterauswahl");
    if (!wnd) return false;
    // "mit 60 sec.Taktung": only Minute passes, but Minute is hidden by id and Tel is always shown.
    ::CheckDlgButton(wnd, IDC_AW_TAKT60, BST_CHECKED);
    PostClick(wnd, IDC_AW_TAKT60);
    return true;
  }).Then([&] {
    filterWritten = UserSetting("Filter");
    shownBySwitch = ListItems(wnd, IDC_AW_SHOWN);
    // Hiding Tel, shown only through the ids always shown, takes it out of those.
    Pick(wnd, IDC_AW_SHOWN, "Tel");
    PostClick(wnd, IDC_AW_HIDE);
    return true;
  }).Then([&] {
    shownAfterHide = UserSetting("NotInFilterProvider") + "|" + UserSetting("FilterProvider");
    shownAtEnd = ListItems(wnd, IDC_AW_SHOWN);
    PostClick(wnd, IDOK);
    return true;
  }).Then(AnswerBox("Fehler", &box)).Then([&] {
    if (FindMessageBox("Fehler")) return false;
    EXPECT_TRUE(::IsWindowVisible(wnd));
    ::PostMessageA(wnd, WM_COMMAND, IDCANCEL, 0);
    return true;
  });
  script.Start();
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(filterWritten, "000001");
  EXPECT_EQ(shownBySwitch, std::vector<std::string>{"Tel"});
  EXPECT_EQ(shownAfterHide, " |minute");
  EXPECT_TRUE(shownAtEnd.empty());
  EXPECT_EQ(box, "Achtung, Sie haben alle Anbieter ausgeblendet");
  EXPECT_EQ(UserSetting("Filter"), "000000");
  EXPECT_EQ(UserSetting("FilterProvider"), "minute");
  EXPECT_EQ(UserSetting("NotInFilterProvider"), "tel");
}

// ---------------------------------------------------------------------------------------------

TEST_F(OptionsDialogsTest, MailboxKeepsThePasswordOnlyWhenAskedOrForTheCheck) {
  struct Case {
    BOOL forMailCheck, save;
    const char* user;
    const char* storedUser;
    const char* storedPassword;
  } cases[] = {
      {FALSE, FALSE, "anna", "anna", ""},    // from the options: a password not kept is not written
      {TRUE, FALSE, "anna", "anna", "geheim"},  // for the check: written, the check clears it
      {FALSE, TRUE, "", "Benutzer", "geheim"},
  };
  for (const Case& c : cases) {
    ::SHDeleteKeyA(HKEY_CURRENT_USER, kUserKey);
    CSettings().SetPOP3Passwort("alt");
    CDlg_Postfach dlg(c.forMailCheck);
    std::string shownUser, shownPassword;
    ModalRun run = RunModal("Postfach-Abfrage", [&](HWND wnd) {
      shownUser = ItemText(wnd, IDC_PF_USER);
      shownPassword = ItemText(wnd, IDC_PF_PASSWORD);
      ::SetDlgItemTextA(wnd, IDC_PF_USER, c.user);
      ::SetDlgItemTextA(wnd, IDC_PF_PASSWORD, "geheim");
      ::CheckDlgButton(wnd, IDC_PF_CHECK, BST_CHECKED);
      ::CheckDlgButton(wnd, IDC_PF_SAVE, c.save ? BST_CHECKED : BST_UNCHECKED);
    }, [&] { return dlg.DoModal(); });
    EXPECT_EQ(run.result, IDOK);
    EXPECT_TRUE(run.finished);
    CSettings s;
    EXPECT_EQ(shownUser, "Benutzer") << c.user;
    EXPECT_EQ(shownPassword, "alt");
    EXPECT_EQ(std::string(s.GetPOP3()), "1");
    EXPECT_EQ(std::string(s.GetPOP3Postfach()), c.storedUser);
    EXPECT_EQ(std::string(s.GetPOPSpeichern()), c.save ? "1" : "0");
    EXPECT_EQ(std::string(s.GetPOP3Passwort()), c.storedPassword) << c.forMailCheck << c.save;
  }
}

// ---------------------------------------------------------------------------------------------

TEST(UserBillTimes, HoursColonMinutes) {
  struct Case {
    const char* text;
    bool ok;
    int h, m;
  } cases[] = {{"7:5", true, 7, 5},      {"07:05", true, 7, 5},   {"23:59", true, 23, 59},  {"0:0", true, 0, 0},
               {"24:00", false, 0, 0},  {"12:60", false, 0, 0},  {"123:4", false, 0, 0},   {"12-30", false, 0, 0},
               {"12:", false, 0, 0},    {":30", false, 0, 0},    {"1:2:3", false, 0, 0},   {"", false, 0, 0},
               {"a:30", false, 0, 0},   {"12:3x", false, 0, 0},  {"12:345", false, 0, 0}};
  for (const Case& c : cases) {
    int h = -1, m = -1;
    EXPECT_EQ(static_cast<bool>(CDlg_Benutzerrechnung::ParseTime(c.text, h, m)), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(h * 100 + m, c.h * 100 + c.m) << c.text;
    }
  }
}

TEST_F(OptionsDialogsTest, UserBillChecksItsFieldsAndWritesTheBillOfThePeriod) {
  WriteWholeFile(Path("rechnung.log").c_str(),
                 "default;3/2/2026 7:10:0;00:01:00;Tel;60;1.00;0.00;1.000;;;0191;\r\n"
                 "default;3/3/2026 9:0:0;00:02:00;Hotel;120;1.00;0.00;2.000;;;0192;\r\n"
                 "default;3/4/2026 9:0:0;00:04:00;Tel;240;1.00;0.00;4.000;;;0191;\r\n");
  CDlg_Benutzerrechnung dlg;
  dlg.SetSorted(TRUE);
  HWND wnd = nullptr;
  std::string fromTime, toTime;
  // Entries the bill is refused for, one after the other; each changes what it names (nullptr and
  // day 0: the field stays as the one before left it) and is answered by a box.
  struct Refused {
    const char *from, *to;
    int fromDay, toDay;  // of March 2026
    const char* box;
  } refused[] = {{"24:00", nullptr, 0, 0, "Fehler bei der Eingabe der Uhrzeit im Feld \"Von\""},
                 {"7:5", "12-30", 0, 0, "Fehler bei der Eingabe der Uhrzeit im Feld \"Bis\""},
                 {nullptr, "23:59", 3, 2, "Das Enddatum liegt vor dem Anfangsdatum"}};
  std::string boxes[std::size(refused)];
  DialogScript script;
  script.Then([&] {
    wnd = FindThreadWindow("Benutzerdefinierte Rechnung");
    if (!wnd) return false;
    fromTime = ItemText(wnd, IDC_BR_FROMTIME);
    toTime = ItemText(wnd, IDC_BR_TOTIME);
    return true;
  });
  for (size_t i = 0; i < std::size(refused); ++i) {
    script.Then([&, i] {
      if (FindMessageBox("Corvalen 2.0")) return false;
      const Refused& r = refused[i];
      if (r.fromDay) SetDate(wnd, IDC_BR_FROMDATE, 2026, 3, r.fromDay);
      if (r.toDay) SetDate(wnd, IDC_BR_TODATE, 2026, 3, r.toDay);
      if (r.from) ::SetDlgItemTextA(wnd, IDC_BR_FROMTIME, r.from);
      if (r.to) ::SetDlgItemTextA(wnd, IDC_BR_TOTIME, r.to);
      PostClick(wnd, IDC_BR_BILL);
      return true;
    }).Then(AnswerBox("Corvalen 2.0", &boxes[i]));
  }
  script.Then([&] {
    if (FindMessageBox("Corvalen 2.0")) return false;
    // From 2.3. 7:05 to 3.3. 23:59: the first two connections.
    SetDate(wnd, IDC_BR_FROMDATE, 2026, 3, 2);
    SetDate(wnd, IDC_BR_TODATE, 2026, 3, 3);
    PostClick(wnd, IDC_BR_BILL);
    return true;
  }).Then([&] {
    if (ui_.opened.empty()) return false;
    PostClick(wnd, IDCANCEL);
    return true;
  });
  script.Start();
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(fromTime, "13:30");
  EXPECT_EQ(toTime, "13:30");
  for (size_t i = 0; i < std::size(refused); ++i) EXPECT_EQ(boxes[i], refused[i].box) << i;
  ASSERT_EQ(ui_.opened.size(), 1u);
  std::string bill;
  ReadWholeFile(Path("rechnung.html").c_str(), bill);
  EXPECT_NE(bill.find("Kosten vom  02.03.2026 bis  03.03.2026"), std::string::npos);
  EXPECT_NE(bill.find("Hotel"), std::string::npos);
  EXPECT_EQ(bill.find("04.03.2026"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------

// The system's open or save dialog over `owner`: the file name typed and confirmed.
DialogScript::Step ChooseFile(HWND* owner, std::string path, std::string* title) {
  return [=] {
    HWND dlg = FindOtherDialog(*owner);
    if (!dlg) return false;
    *title = WindowText(dlg);
    HWND name = ::GetDlgItem(dlg, 0x47c);  // the file name field (a combo box in the explorer style)
    if (!name) name = ::GetDlgItem(dlg, 0x480);
    if (!name) return false;
    ::SetWindowTextA(name, path.c_str());
    ::PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    return true;
  };
}

TEST_F(OptionsDialogsTest, LogFilesAreExportedImportedAndDeleted) {
  WriteWholeFile(Path("rechnung.log").c_str(), "default;3/4/2026 9:0:0;00:04:00;Tel;240;1.00;0.00;4.000;;;0191;\r\n");
  std::string exportPath = Path("export.log"), importPath = Path("import.log");
  CDlg_Protokolldateien dlg(&manager_);
  HWND wnd = nullptr;
  std::string saveTitle, openTitle, question;
  std::string exported;
  DialogScript script;
  script.Then([&] {
    wnd = FindThreadWindow("Administration der Protokolldateien");
    if (!wnd) return false;
    PostClick(wnd, IDC_PD_EXPORT_BILL);
    return true;
  }).Then(ChooseFile(&wnd, exportPath, &saveTitle)).Then([&] {
    if (FindOtherDialog(wnd)) return false;
    ReadWholeFile(exportPath.c_str(), exported);
    WriteWholeFile(importPath.c_str(), kImported);
    PostClick(wnd, IDC_PD_IMPORT_BILL);
    return true;
  }).Then(ChooseFile(&wnd, importPath, &openTitle)).Then(AnswerBox("Corvalen 2.0", &question, IDYES))
    .Then(ClickWhenAlone(&wnd, IDOK));
  script.Start();
  dlg.DoModal();
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(exported, "default;3/4/2026 9:0:0;00:04:00;Tel;240;1.00;0.00;4.000;;;0191;\r\n");
  EXPECT_EQ(question, "Die bisherige Datei rechnung.log wird durch \"" + importPath + "\" ersetzt.\nFortfahren?");
  std::string now;
  ReadWholeFile(Path("rechnung.log").c_str(), now);
  EXPECT_EQ(now, kImported);
  EXPECT_FALSE(saveTitle.empty());
  EXPECT_FALSE(openTitle.empty());
}

// "Importieren" takes no file whose records do not read, and "Löschen" asks first: the history
// of every bill stays unless the user means it to go.
TEST_F(OptionsDialogsTest, TheCostLogIsReplacedOrDeletedOnlyWhenTheUserSaysSo) {
  const std::string old = "default;3/4/2026 9:0:0;00:04:00;Tel;240;1.00;0.00;4.000;;;0191;";
  WriteWholeFile(Path("rechnung.log").c_str(), old);
  const std::string importPath = Path("import.log");
  CDlg_Protokolldateien dlg(&manager_);
  HWND wnd = nullptr;
  std::string title, refused, keepQuestion, deleteQuestion;
  std::string afterNo;
  DialogScript script;
  script.Then([&] {
    wnd = FindThreadWindow("Administration der Protokolldateien");
    if (!wnd) return false;
    WriteWholeFile(importPath.c_str(), "kein Protokoll\r\n");
    PostClick(wnd, IDC_PD_IMPORT_BILL);
    return true;
  }).Then(ChooseFile(&wnd, importPath, &title)).Then(AnswerBox("Corvalen 2.0", &refused)).Then([&] {
    if (FindOtherDialog(wnd)) return false;
    WriteWholeFile(importPath.c_str(), kImported);
    PostClick(wnd, IDC_PD_IMPORT_BILL);
    return true;
  }).Then(ChooseFile(&wnd, importPath, &title)).Then(AnswerBox("Corvalen 2.0", &keepQuestion, IDNO)).Then([&] {
    if (FindOtherDialog(wnd)) return false;
    PostClick(wnd, IDC_PD_DELETE_BILL);
    return true;
  }).Then(AnswerBox("Corvalen 2.0", &deleteQuestion, IDNO)).Then([&] {
    if (FindOtherDialog(wnd)) return false;
    ReadWholeFile(Path("rechnung.log").c_str(), afterNo);
    PostClick(wnd, IDC_PD_DELETE_BILL);
    return true;
  }).Then(AnswerBox("Corvalen 2.0", nullptr, IDYES)).Then(ClickWhenAlone(&wnd, IDOK));
  script.Start();
  dlg.DoModal();
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(refused, "Die Datei \"" + importPath + "\" enthält keine lesbaren Verbindungskosten.\n"
                     "Die bisherige Datei rechnung.log bleibt erhalten.");
  EXPECT_NE(keepQuestion.find("ersetzt"), std::string::npos);
  EXPECT_EQ(deleteQuestion, "Soll die Datei rechnung.log wirklich gelöscht werden?\n"
                            "Alle aufgezeichneten Verbindungskosten gehen verloren.");
  EXPECT_EQ(afterNo, old);
  EXPECT_FALSE(Exists("rechnung.log"));
}

// A log imported from a write-protected file (a backup on a CD) is a copy of its own: the
// program's log stays writable, so the next connection's record goes in.
TEST_F(OptionsDialogsTest, AnImportFromAWriteProtectedFileLeavesTheLogWritable) {
  WriteWholeFile(Path("rechnung.log").c_str(), "alt");
  const std::string importPath = Path("import.log");
  WriteWholeFile(importPath.c_str(), "default;3/4/2026 9:0:0;00:04:00;Tel;240;1.00;0.00;4.000;;;0191;");
  ASSERT_TRUE(::SetFileAttributesA(importPath.c_str(), FILE_ATTRIBUTE_READONLY));
  CDlg_Protokolldateien dlg(&manager_);
  HWND wnd = nullptr;
  std::string title;
  DialogScript script;
  script.Then([&] {
    wnd = FindThreadWindow("Administration der Protokolldateien");
    if (!wnd) return false;
    PostClick(wnd, IDC_PD_IMPORT_BILL);
    return true;
  }).Then(ChooseFile(&wnd, importPath, &title)).Then(AnswerBox("Corvalen 2.0", nullptr, IDYES))
    .Then(ClickWhenAlone(&wnd, IDOK));
  script.Start();
  dlg.DoModal();
  EXPECT_TRUE(script.Finished());
  ::SetFileAttributesA(importPath.c_str(), FILE_ATTRIBUTE_NORMAL);
  std::string now;
  ReadWholeFile(Path("rechnung.log").c_str(), now);
  EXPECT_EQ(now, "default;3/4/2026 9:0:0;00:04:00;Tel;240;1.00;0.00;4.000;;;0191;");
  EXPECT_EQ(::GetFileAttributesA(Path("rechnung.log").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_FALSE(Exists("rechnung.log.sic"));
}

// A copy that cannot be made is reported, and nothing is left behind.
TEST_F(OptionsDialogsTest, AMissingLogFileIsReportedOnExport) {
  std::string exportPath = Path("export.log");
  CDlg_Protokolldateien dlg(&manager_);
  HWND wnd = nullptr;
  std::string title, box;
  DialogScript script;
  script.Then([&] {
    wnd = FindThreadWindow("Administration der Protokolldateien");
    if (!wnd) return false;
    PostClick(wnd, IDC_PD_EXPORT_BILL);
    return true;
  }).Then(ChooseFile(&wnd, exportPath, &title)).Then(AnswerBox("Corvalen 2.0", &box)).Then(ClickWhenAlone(&wnd, IDOK));
  script.Start();
  dlg.DoModal();
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(box, "Die Datei \"" + Path("rechnung.log") + "\" konnte nicht nach \"" + exportPath + "\" kopiert werden.");
  EXPECT_FALSE(Exists("export.log"));
  EXPECT_FALSE(Exists("export.log.sic"));
}

// Deleting "free.log" holds: the free-minute records in memory go with it, so the next
// ranking's save does not write them back.
TEST_F(OptionsDialogsTest, DeletedFreeMinutesStayDeletedAndAnImportIsLoaded) {
  CProvider* tel = manager_.FindProvider("tel");
  tel->SetHasFreeMinutes(TRUE);
  auto* record = new CTarifProtocol;
  record->SetOnlineMinutes(42);
  manager_.GetProtocolStore().SetAt("tel", record);
  manager_.SaveProtocols();
  int changes = 0;
  manager_.Recompute(&changes, nullptr);
  ASSERT_EQ(tel->GetOnlineMinutes(), 42);
  ASSERT_TRUE(Exists("free.log"));
  std::string saved;
  ReadWholeFile(Path("free.log").c_str(), saved);
  WriteWholeFile(Path("saved-free.log").c_str(), saved);

  auto run = [&](std::vector<DialogScript::Step> steps) {
    CDlg_Protokolldateien dlg(&manager_);
    DialogScript script;
    for (auto& s : steps) script.Then(s);
    script.Start();
    dlg.DoModal();
    EXPECT_TRUE(script.Finished());
  };
  HWND wnd = nullptr;
  auto find = [&] {
    wnd = FindThreadWindow("Administration der Protokolldateien");
    return wnd != nullptr;
  };
  // A file another program holds open (without FILE_SHARE_DELETE) stays: the failure is told and
  // the records in memory stay with it.
  HANDLE held = ::CreateFileA(Path("free.log").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::string box;
  run({find, [&] {
         PostClick(wnd, IDC_PD_DELETE_FREE);
         return true;
       },
       AnswerBox("Corvalen 2.0", nullptr, IDYES), AnswerBox("Fehler", &box), ClickWhenAlone(&wnd, IDOK)});
  ::CloseHandle(held);
  EXPECT_EQ(box, testsupport::SaveFailedText(Path("free.log")));
  EXPECT_TRUE(Exists("free.log"));
  EXPECT_EQ(tel->GetOnlineMinutes(), 42);
  CTarifProtocol* kept = nullptr;
  EXPECT_TRUE(manager_.GetProtocolStore().Lookup("tel", kept));

  run({find, [&] {
         PostClick(wnd, IDC_PD_DELETE_FREE);
         return true;
       },
       AnswerBox("Corvalen 2.0", nullptr, IDYES), [&] {
         if (FindOtherDialog(wnd)) return false;
         PostClick(wnd, IDC_PD_DELETE_BILL);  // no cost log there: nothing to ask
         PostClick(wnd, IDOK);
         return true;
       }});
  EXPECT_FALSE(Exists("free.log"));
  manager_.StartFreeMinutes(tel);
  manager_.Recompute(&changes, tel);  // books the connected provider's minutes and saves
  manager_.StopFreeMinutes(tel);
  EXPECT_FALSE(Exists("free.log"));
  CTarifProtocol* found = nullptr;
  EXPECT_FALSE(manager_.GetProtocolStore().Lookup("tel", found));
  EXPECT_EQ(tel->GetOnlineMinutes(), 0);

  std::string title;
  run({find, [&] {
         PostClick(wnd, IDC_PD_IMPORT_FREE);
         return true;
       },
       ChooseFile(&wnd, Path("saved-free.log"), &title), AnswerBox("Corvalen 2.0", nullptr, IDYES),
       ClickWhenAlone(&wnd, IDOK)});
  ASSERT_TRUE(manager_.GetProtocolStore().Lookup("tel", found));
  EXPECT_EQ(found->GetOnlineMinutes(), 42);
}

// The mailbox check of a mailbox whose password is not stored: the mailbox dialog asks for it,
// the check logs in with it, and afterwards it is not kept; cancelling the dialog checks nothing.
class RecordingMailCheck : public CMailCheck {
 public:
  using CMailCheck::CMailCheck;
  std::vector<std::string> boxes;

 protected:
  void ShowMessage(const CString& text, UINT) override { boxes.push_back(text.str()); }
};

TEST_F(OptionsDialogsTest, MailCheckAsksForAPasswordThatIsNotStored) {
  for (bool ok : {true, false}) {
    ::SHDeleteKeyA(HKEY_CURRENT_USER, kUserKey);
    {
      CSettings s;
      s.SetPOP3("1");
      s.SetPOP3Postfach("kunde");
      s.SetPOPSpeichern("0");
    }
    Pop3Server server({"+OK Postwell\r\n", "+OK\r\n", "+OK\r\n", "+OK 5 2048\r\n", "+OK 3\r\n", "+OK\r\n"});
    CSettings settings;
    RecordingMailCheck check(&settings, nullptr);
    check.SetServer("127.0.0.1", server.port);
    check.SetMailboxDialog([] {
      CDlg_Postfach dlg(TRUE);
      return dlg.DoModal() == IDOK;
    });
    std::string shownUser;
    DialogScript script;
    script.Then([&] {
      HWND wnd = FindThreadWindow("Postfach-Abfrage");
      if (!wnd) return false;
      shownUser = ItemText(wnd, IDC_PF_USER);
      ::SetDlgItemTextA(wnd, IDC_PF_PASSWORD, "einmal");
      ::PostMessageA(wnd, WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
      return true;
    });
    script.Start();
    check.Start();
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(shownUser, "kunde");
    if (!ok) {
      EXPECT_EQ(check.GetSocket(), nullptr);  // cancelled: no check
      continue;
    }
    ASSERT_NE(check.GetSocket(), nullptr);
    for (DWORD start = ::GetTickCount(); check.GetSocket() && ::GetTickCount() - start < 10000;) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      MSG msg;
      while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    }
    server.Join();
    EXPECT_EQ(server.commands, (std::vector<std::string>{"USER kunde", "PASS einmal", "STAT ", "LAST ", "QUIT "}));
    EXPECT_EQ(check.boxes, std::vector<std::string>{"Ihr Postfach bei  POSTWELL enthält zur Zeit  2  neue E-Mail(s)!"});
    EXPECT_EQ(std::string(CSettings().GetPOP3Passwort()), "");
  }
}

}  // namespace
