// The options sheet in the real Corvalen.exe under Wine: every button of "Erweitert" and "Kosten"
// opens its dialog, and the manual tariff update dials, downloads the tariff file from an HTTP
// server on 127.0.0.1, hangs up and leaves the sheet's lists on the new tariffs; a new entry made
// in the advanced dial-up settings keeps its password only when the user saves it.
#include "http_server.h"  // winsock2.h before windows.h

#include <gtest/gtest.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "Settings.h"
#include "TarifProtocol.h"
#include "TarifScramble.h"
#include "program_driver.h"

namespace {

enum { kProvider = 1015, kOptionen = 1042, kVerbinden = 1050, kTrennen = 1052, kTab = 0x3020, kApply = 0x3021 };
const char kTitle[] = "Astrel Corvalen 2.0";

using testsupport::ClassOf;

// The options sheet: the program's dialog owned by the main dialog that holds the tab control.
HWND FindSheet(HWND main) {
  return testsupport::FindTopWindow([main](HWND w, DWORD) {
    return IsWindowVisible(w) && GetWindow(w, GW_OWNER) == main && ClassOf(w) == "#32770" && GetDlgItem(w, kTab);
  });
}

// The page of the sheet that has control `id`.
struct PageSearch {
  int id;
  HWND found;
};
BOOL CALLBACK PageProc(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<PageSearch*>(lp);
  if (ClassOf(w) == "#32770" && GetDlgItem(w, s->id) && IsWindowVisible(w)) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}
HWND FindPage(HWND sheet, int id) {
  PageSearch s{id, nullptr};
  EnumChildWindows(sheet, PageProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

class OptionsProgramTest : public ::testing::Test {
 protected:
  HWND OpenSheet(int page) {
    main_ = run_.WaitMain();
    if (!main_) return nullptr;
    testsupport::Click(main_, kOptionen);
    HWND sheet = nullptr;
    CorvalenRun::WaitFor([&] { return (sheet = FindSheet(main_)) != nullptr; });
    if (sheet && page > 0) PostMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(page), 0);
    return sheet;
  }
  // Clicks `id` of the page and waits for the window `title`; closes it with `close`.
  bool Opens(HWND page, int id, const char* title, int close) {
    testsupport::Click(page, id);
    HWND dlg = nullptr;
    if (!CorvalenRun::WaitFor([&] { return (dlg = run_.FindTop(title, true)) != nullptr; })) return false;
    PostMessageA(dlg, WM_COMMAND, static_cast<WPARAM>(close), 0);
    return CorvalenRun::WaitFor([&] { return run_.FindTop(title, true) == nullptr; });
  }
  // Starts the program and opens the sheet at `page`; the page window that has control `id`.
  HWND StartOnPage(int page, int id) {
    p_ = run_.Start();
    if (p_ < 0 || !(sheet_ = OpenSheet(page))) return nullptr;
    return WaitPage(id);
  }
  void Quit() {
    run_.Quit(run_.Process(p_));
    EXPECT_TRUE(run_.Exited(p_, 10000));
  }
  HWND WaitPage(int id) {
    HWND page = nullptr;
    CorvalenRun::WaitFor([&] { return (page = FindPage(sheet_, id)) != nullptr; });
    return page;
  }

  CorvalenRun run_;
  HWND main_ = nullptr;
  HWND sheet_ = nullptr;
  int p_ = -1;
};

TEST_F(OptionsProgramTest, EveryButtonOfErweitertAndKostenOpensItsDialog) {
  HWND page = StartOnPage(1, 1083);
  ASSERT_NE(nullptr, page);
  EXPECT_EQ("Astrel Corvalen Optionen", testsupport::WindowText(sheet_));
  EXPECT_EQ("Abbrechen", CorvalenRun::Text(sheet_, IDCANCEL));
  EXPECT_EQ("&Hilfe", CorvalenRun::Text(sheet_, 9));
  EXPECT_TRUE(CorvalenRun::Visible(sheet_, 9));
  EXPECT_FALSE(CorvalenRun::Visible(sheet_, kApply));  // no "Übernehmen": nothing to apply before OK

  EXPECT_TRUE(Opens(page, 1000, "Anbieterauswahl", IDCANCEL));
  EXPECT_TRUE(Opens(page, 1002, "Postfach-Abfrage", IDCANCEL));
  EXPECT_TRUE(Opens(page, 1005, "Administration der Protokolldateien", IDOK));
  // The expert mode, after its question, opens the dial-up dialogs.
  SendDlgItemMessageA(page, 1083, BM_SETCHECK, BST_CHECKED, 0);
  testsupport::Click(page, 1083);
  std::string question;
  HWND box = run_.WaitBox(kTitle, &question);
  ASSERT_NE(nullptr, box);
  CorvalenRun::Press(box, IDYES);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Visible(page, 1001); }));
  EXPECT_TRUE(Opens(page, 1001, "Erweiterte DFÜ-Netzwerkeinstellungen", IDOK));
  EXPECT_TRUE(Opens(page, 1004, "ASTREL Corvalen - Übernahme bestehender DFÜ-Einträge", IDCANCEL));

  PostMessageA(sheet_, PSM_SETCURSEL, 2, 0);
  HWND costs = WaitPage(1016);
  ASSERT_NE(nullptr, costs);
  EXPECT_TRUE(Opens(costs, 1000, "Benutzerdefinierte Rechnung", IDCANCEL));
  EXPECT_TRUE(Opens(costs, 1016, "Freiminutenverwaltung", IDCANCEL) || !CorvalenRun::Enabled(costs, 1016));
  // Help explains the page shown.
  testsupport::Click(sheet_, 9);
  HWND help = nullptr;
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return (help = run_.FindTop("Hilfesystem Corvalen", true)) != nullptr; }));
  EXPECT_EQ(0u, CorvalenRun::Text(help, 1061).find("Kosten\r\n"));
  CorvalenRun::Press(help, IDOK);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run_.FindTop("Hilfesystem Corvalen", true) == nullptr; }));

  PostMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return FindSheet(main_) == nullptr; }));
  Quit();
}

// The sheet's help is modal to the sheet, and the sheet is in front again when it closes (not the
// main dialog, which stays disabled under the sheet).
TEST_F(OptionsProgramTest, TheHelpIsModalToTheSheetAndLeavesItInFront) {
  HWND page = StartOnPage(0, 1049);
  ASSERT_NE(nullptr, page);
  testsupport::Click(sheet_, 9);
  HWND help = nullptr;
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return (help = run_.FindTop("Hilfesystem Corvalen", true)) != nullptr; }));
  EXPECT_EQ(sheet_, GetWindow(help, GW_OWNER));
  EXPECT_FALSE(IsWindowEnabled(sheet_));
  EXPECT_FALSE(IsWindowEnabled(main_));
  CorvalenRun::Press(help, IDOK);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run_.FindTop("Hilfesystem Corvalen", true) == nullptr; }));
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return IsWindowEnabled(sheet_) && GetForegroundWindow() == sheet_; }, 5000))
      << "foreground: " << testsupport::WindowText(GetForegroundWindow());
  EXPECT_FALSE(IsWindowEnabled(main_));
  PostMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return FindSheet(main_) == nullptr; }));
  Quit();
}

// "Tarife aktualisieren" offline: the program asks, dials, downloads the tariff file, shows the
// tariff tip, hangs up; the sheet's provider list then holds the new tariffs' providers, and the
// one chosen there is stored.
TEST_F(OptionsProgramTest, ManualTariffUpdateDialsDownloadsAndHangsUp) {
  TestHttpServer server;
  std::string tarif = CorvalenRun::Slurp(run_.Dir() + "tarif.dat");
  UnscrambleTarif(reinterpret_cast<unsigned char*>(&tarif[0]), tarif.size());
  size_t end = tarif.rfind("</Providerliste>");
  ASSERT_NE(end, std::string::npos);
  tarif.insert(end, "<Provider id=\"neu-1\"><name>Neuling</name><set a=\"preis\" b=\"0.1\" c=\"takt\" d=\"1\"/></Provider>\n");
  ScrambleTarif(reinterpret_cast<unsigned char*>(&tarif[0]), tarif.size());
  server.Set("/tarif.dat", tarif);
  std::string messages = "<?xml version=\"1.0\"?><server><tip typ=\"tarif\"><url>" + server.Base() +
                         "/tarif.dat</url><date>2026-12-01 08:00:00</date></tip>"
                         "<tip typ=\"tarifupdate\">Die neuen Tarife sind da.</tip></server>";
  ScrambleTarif(reinterpret_cast<unsigned char*>(&messages[0]), messages.size());
  ASSERT_TRUE(testsupport::WriteFileBytes(run_.Dir() + "ServerInfo.dat", messages));
  CorvalenRun::User("UpdateFrequence", "1");

  HWND page = StartOnPage(0, 1049);
  ASSERT_NE(nullptr, page);
  std::vector<std::string> before = CorvalenRun::ComboItems(page, 1079);
  ASSERT_TRUE(CorvalenRun::Enabled(page, 1049));
  testsupport::Click(page, 1049);
  std::string question;
  HWND box = run_.WaitBox(kTitle, &question);
  ASSERT_NE(nullptr, box);
  EXPECT_EQ("Sie sind aktuell nicht mit dem Internet verbunden!\nSoll der Corvalen sie für den Zeitraum der\n"
            "Tarifaktualisierung automatisch verbinden ?",
            question);
  CorvalenRun::Press(box, IDYES);
  // A provider with free minutes asks for them before dialling.
  HWND tip = nullptr;
  ASSERT_TRUE(CorvalenRun::WaitFor([&] {
    if (HWND free = run_.FindTop("Freiminutenverwaltung", true)) PostMessageA(free, WM_COMMAND, IDOK, 0);
    return (tip = run_.FindTop("Astrel Corvalen Tipp des Tages", true)) != nullptr;
  }, 30000));
  EXPECT_NE(std::string::npos, CorvalenRun::Text(tip, 1061).find("Die neuen Tarife sind da."));
  CorvalenRun::Press(tip, IDOK);
  // Hung up again: the main dialog offers to connect.
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run_.RasCount("RasHangUp") >= 1 && !CorvalenRun::Enabled(main_, kTrennen); }));
  EXPECT_EQ(1, run_.RasCount("RasDialA"));
  EXPECT_EQ(std::vector<std::string>{"/tarif.dat"}, server.Paths());
  EXPECT_EQ(tarif, CorvalenRun::Slurp(run_.Dir() + "tarif.dat"));
  // The page shows the new stamp once its handler has finished after the hang-up.
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Text(page, 1047) == "01.12.2026 08:00:00"; }))
      << CorvalenRun::Text(page, 1047);
  EXPECT_EQ("2026-12-01 08:00:00", CorvalenRun::GetUser("CurrentTarif"));

  std::vector<std::string> after = CorvalenRun::ComboItems(page, 1079);
  EXPECT_EQ(before.size() + 1, after.size());
  int neu = -1;
  for (size_t i = 0; i < after.size(); ++i)
    if (after[i] == "Neuling") neu = static_cast<int>(i);
  ASSERT_GE(neu, 0);
  SendDlgItemMessageA(page, 1079, CB_SETCURSEL, static_cast<WPARAM>(neu), 0);
  PostMessageA(page, WM_COMMAND, MAKEWPARAM(1079, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, 1079)));
  PostMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_OK, 0);
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return FindSheet(main_) == nullptr; }));
  // The settings are written after the sheet's window has gone.
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::GetUser("DefaultConnection") == "neu-1"; }))
      << CorvalenRun::GetUser("DefaultConnection");
  Quit();
}

// A provider hidden in "Anbieterauswahl" leaves the main dialog's list when the sheet closes.
TEST_F(OptionsProgramTest, AProviderHiddenInTheFilterLeavesTheList) {
  HWND page = StartOnPage(1, 1083);
  ASSERT_NE(nullptr, page);
  size_t listed = CorvalenRun::ComboItems(main_, kProvider).size();
  testsupport::Click(page, 1000);
  HWND filter = nullptr;
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return (filter = run_.FindTop("Anbieterauswahl", true)) != nullptr; }));
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return SendDlgItemMessageA(filter, 1033, LB_GETCOUNT, 0, 0) > 0; }));
  int shown = static_cast<int>(SendDlgItemMessageA(filter, 1033, LB_GETCOUNT, 0, 0));
  // The cheapest provider of the main list.
  std::string first = CorvalenRun::ComboItems(main_, kProvider)[0];
  std::string name = first.substr(first.find("Pfg     ") + 8);
  int at = static_cast<int>(SendDlgItemMessageA(filter, 1033, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>(name.c_str())));
  ASSERT_GE(at, 0) << name;
  SendDlgItemMessageA(filter, 1033, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
  testsupport::Click(filter, 1000);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return SendDlgItemMessageA(filter, 1034, LB_GETCOUNT, 0, 0) == 1; }))
      << shown << " " << SendDlgItemMessageA(filter, 1034, LB_GETCOUNT, 0, 0) << " "
      << SendDlgItemMessageA(filter, 1033, LB_GETCURSEL, 0, 0) << " " << CorvalenRun::GetUser("FilterProvider");
  EXPECT_EQ(shown - 1, static_cast<int>(SendDlgItemMessageA(filter, 1033, LB_GETCOUNT, 0, 0)));
  std::string hidden = CorvalenRun::GetUser("FilterProvider");
  EXPECT_NE(std::string::npos, std::string("fk-100 dw-200 tn-300 bw-400 nf-500 sn-600 kw-700 zg-800 lp-900 wr-1000 "
                                           "gf-1100 kn-1200 alt-1300").find(hidden + " "))
      << hidden;
  PostMessageA(filter, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run_.FindTop("Anbieterauswahl", true) == nullptr; }));
  PostMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return FindSheet(main_) == nullptr; }));
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::ComboItems(main_, kProvider).size() == listed - 1; }));
  for (const std::string& item : CorvalenRun::ComboItems(main_, kProvider))
    EXPECT_EQ(std::string::npos, item.find("Pfg     " + name)) << item;
  Quit();
}

// "Löschen" of the free minutes in the log-file administration holds: the next save of the
// free-minute protocol (every connect counts a call) does not bring the deleted records back.
TEST_F(OptionsProgramTest, DeletedFreeMinutesStayDeletedAfterTheNextConnection) {
  {
    CSettings settings;
    CTarifProtocolStore store;
    store.SetSettings(&settings);
    auto* record = new CTarifProtocol;
    record->SetOnlineMinutes(42);
    store.SetAt("fk-100", record);
    store.Save();
  }
  ASSERT_FALSE(CorvalenRun::Slurp(run_.Dir() + "free.log").empty());
  HWND page = StartOnPage(1, 1083);
  ASSERT_NE(nullptr, page);
  testsupport::Click(page, 1005);
  HWND logs = nullptr;
  const char* title = "Administration der Protokolldateien";
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return (logs = run_.FindTop(title, true)) != nullptr; }));
  testsupport::Click(logs, 1005);
  std::string question;
  HWND box = run_.WaitBox("Corvalen 2.0", &question);  // asked first
  ASSERT_NE(nullptr, box);
  EXPECT_EQ("Soll die Datei free.log wirklich gelöscht werden?\nAlle Angaben zu verbrauchten Freiminuten gehen verloren.",
            question);
  CorvalenRun::Press(box, IDYES);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return GetFileAttributesA((run_.Dir() + "free.log").c_str()) == INVALID_FILE_ATTRIBUTES; }));
  PostMessageA(logs, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run_.FindTop(title, true) == nullptr; }));
  PostMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return FindSheet(main_) == nullptr; }));

  CorvalenRun::Press(main_, kVerbinden);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Text(main_, kTrennen) == "&Trennen" && CorvalenRun::Enabled(main_, kTrennen); }));
  CorvalenRun::Press(main_, kTrennen);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run_.RasCount("RasHangUpA") == 1; }));
  Quit();
  CSettings settings;
  CTarifProtocolStore store;
  store.SetSettings(&settings);
  store.Load(nullptr);
  CTarifProtocol* found = nullptr;
  EXPECT_FALSE(store.Lookup("fk-100", found));
}

// The filter's id lists hold whole ids: with "hotel" and "tel" hidden, showing "tel" again leaves
// "hotel" hidden, and the main list shows Tel but not Hotel.
TEST_F(OptionsProgramTest, ShowingAnIdInsideAnotherLeavesTheOtherHidden) {
  std::string tarif = "<Providerliste>\n";
  for (const char* p : {"tel|Tel|1.0", "hotel|Hotel|1.1", "rest|Rest|1.2"}) {
    std::string v = p;
    size_t a = v.find('|'), b = v.rfind('|');
    tarif += "<Provider id=\"" + v.substr(0, a) + "\"><name>" + v.substr(a + 1, b - a - 1) +
             "</name><set a=\"preis\" b=\"" + v.substr(b + 1) + "\" c=\"takt\" d=\"1\"/></Provider>\n";
  }
  tarif += "</Providerliste>";
  ScrambleTarif(reinterpret_cast<unsigned char*>(&tarif[0]), tarif.size());
  ASSERT_TRUE(testsupport::WriteFileBytes(run_.Dir() + "tarif.dat", tarif));
  CorvalenRun::User("FilterProvider", "hotel<tel");
  HWND page = StartOnPage(1, 1083);
  ASSERT_NE(nullptr, page);
  auto listed = [&](const char* name) {
    for (const std::string& item : CorvalenRun::ComboItems(main_, kProvider))
      if (item.find(std::string("Pfg     ") + name) != std::string::npos) return true;
    return false;
  };
  EXPECT_FALSE(listed("Tel"));
  EXPECT_FALSE(listed("Hotel"));
  EXPECT_TRUE(listed("Rest"));
  testsupport::Click(page, 1000);
  HWND filter = nullptr;
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return (filter = run_.FindTop("Anbieterauswahl", true)) != nullptr; }));
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return SendDlgItemMessageA(filter, 1034, LB_GETCOUNT, 0, 0) == 2; }));
  int tel = static_cast<int>(SendDlgItemMessageA(filter, 1034, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                 reinterpret_cast<LPARAM>("Tel")));
  ASSERT_GE(tel, 0);
  SendDlgItemMessageA(filter, 1034, LB_SETCURSEL, static_cast<WPARAM>(tel), 0);
  testsupport::Click(filter, 1001);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return SendDlgItemMessageA(filter, 1034, LB_GETCOUNT, 0, 0) == 1; }));
  EXPECT_EQ("hotel", CorvalenRun::GetUser("FilterProvider"));
  PostMessageA(filter, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run_.FindTop("Anbieterauswahl", true) == nullptr; }));
  PostMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return FindSheet(main_) == nullptr; }));
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return listed("Tel"); }));
  EXPECT_FALSE(listed("Hotel"));
  Quit();
}

// A new entry of the user's own for Blitzwahl, a provider with login, made in the advanced dial-up
// settings: the entry keeps the typed password only when "Passwort speichern" is ticked; without
// it the next dial asks for the password in the user-data dialog, with it the dial asks nothing.
class NewEntryPasswordTest : public OptionsProgramTest, public ::testing::WithParamInterface<bool> {};

TEST_P(NewEntryPasswordTest, ThePasswordIsKeptOnlyWhenTheUserSavesIt) {
  const bool save = GetParam();
  run_.Ras("Password", "geheim");
  HWND page = StartOnPage(1, 1083);
  ASSERT_NE(nullptr, page);
  SendDlgItemMessageA(page, 1083, BM_SETCHECK, BST_CHECKED, 0);
  testsupport::Click(page, 1083);
  HWND box = run_.WaitBox(kTitle, nullptr);
  ASSERT_NE(nullptr, box);
  CorvalenRun::Press(box, IDYES);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Visible(page, 1001); }));
  testsupport::Click(page, 1001);
  HWND dfue = nullptr;
  ASSERT_TRUE(CorvalenRun::WaitFor(
      [&] { return (dfue = run_.FindTop("Erweiterte DFÜ-Netzwerkeinstellungen", true)) != nullptr; }));
  int at = static_cast<int>(SendDlgItemMessageA(dfue, 1039, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>("Blitzwahl")));
  ASSERT_GE(at, 0);
  SendDlgItemMessageA(dfue, 1039, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
  PostMessageA(dfue, WM_COMMAND, MAKEWPARAM(1039, LBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dfue, 1039)));
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Text(dfue, 1010) == "Blitzwahl"; }));
  testsupport::Click(dfue, 1044);
  std::string offer;
  box = run_.WaitBox(kTitle, &offer);
  ASSERT_NE(nullptr, box);
  ASSERT_EQ(0u, offer.find("Dieser Anbieter ist nur nach Anmeldung verfügbar !")) << offer;
  CorvalenRun::Press(box, IDYES);
  HWND entry = run_.WaitBox("Astrel Corvalen Neue DFÜ-Verbindung anlegen", nullptr);
  ASSERT_NE(nullptr, entry);
  EXPECT_EQ("Blitzwahl", CorvalenRun::Text(entry, 1059));
  SetDlgItemTextA(entry, 1057, "blitzkunde");
  SetDlgItemTextA(entry, 1058, "geheim");
  SendDlgItemMessageA(entry, 1060, BM_SETCHECK, save ? BST_CHECKED : BST_UNCHECKED, 0);
  CorvalenRun::Press(entry, IDOK);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run_.File("Corva.dat").find("bw-400=Blitzwahl|") == 0; }))
      << run_.File("Corva.dat");
  EXPECT_EQ("blitzkunde", run_.PhonebookValue("Blitzwahl", "User"));
  EXPECT_EQ(save ? "geheim" : "", run_.PhonebookValue("Blitzwahl", "Password"));
  EXPECT_EQ(save ? "1" : "0", run_.PhonebookValue("Blitzwahl", "PasswordSaved"));
  PostMessageA(dfue, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run_.FindTop("Erweiterte DFÜ-Netzwerkeinstellungen", true) == nullptr; }));
  PostMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return FindSheet(main_) == nullptr; }));

  // Registered now, Blitzwahl is listed; it is chosen and dialled.
  int item = -1;
  ASSERT_TRUE(CorvalenRun::WaitFor([&] {
    std::vector<std::string> items = CorvalenRun::ComboItems(main_, kProvider);
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i].find("Pfg     Blitzwahl") != std::string::npos) item = static_cast<int>(i);
    return item >= 0;
  }));
  SendDlgItemMessageA(main_, kProvider, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
  PostMessageA(main_, WM_COMMAND, MAKEWPARAM(kProvider, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(main_, kProvider)));
  testsupport::Click(main_, kVerbinden);
  if (!save) {
    HWND ask = run_.WaitBox("Anmeldungsdaten 'Blitzwahl'", nullptr);
    ASSERT_NE(nullptr, ask);
    EXPECT_EQ("blitzkunde", CorvalenRun::Text(ask, 1057));
    EXPECT_EQ("", CorvalenRun::Text(ask, 1069));
    SetDlgItemTextA(ask, 1069, "geheim");
    CorvalenRun::Press(ask, IDOK);
  }
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Text(main_, 1071) == "Aktuelle Verbindung : Blitzwahl"; }))
      << run_.RasLog();
  EXPECT_EQ(1, run_.RasCount("entry=\"Blitzwahl\" phone=\"0192400\" user=\"blitzkunde\" password=\"geheim\" domain=\"\" notifier"))
      << run_.RasLog();
  EXPECT_EQ(nullptr, run_.FindTop("Anmeldungsdaten 'Blitzwahl'", true));
  testsupport::Click(main_, kTrennen);
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Enabled(main_, kVerbinden); }));
  Quit();
}

INSTANTIATE_TEST_SUITE_P(SaveBox, NewEntryPasswordTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Ticked" : "Unticked"; });

}  // namespace
