// The real Corvalen.exe under Wine against the RAS stand-in: start, first start, connecting,
// hanging up, retries, cancelling, the tray, a second instance, the AutoDial hook's road.
#include <gtest/gtest.h>

#include "program_driver.h"

#include <commctrl.h>

#include "CFile.h"
#include "MainWindowMessages.h"
#include "TarifScramble.h"

namespace {

// Control ids of the main dialog.
enum {
  kProvider = 1015, kAendern = 1065, kVerbinden = 1050, kTrennen = 1052, kOptionen = 1042, kKosten = 1120,
  kGroup = 1071, kPreis = 1062, kTakt = 1063, kEinwahl = 1064, kBenutzer = 5539, kPasswort = 1041,
  kStatus = 1051, kInfo = 1053, kOnlineKosten = 1126, kOnlineZeit = 1128, kOnlinePreis = 1130,
};

const char kTitle[] = "Astrel Corvalen 2.0";
const char kTitleShort[] = "Corvalen 2.0";

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

TEST(CorvalenStart, ShowsTheRankedProviderList) {
  CorvalenRun run;
  int p = run.Start();
  ASSERT_GE(p, 0);
  HWND main = run.WaitMain();
  ASSERT_NE(nullptr, main);
  std::vector<std::string> items = CorvalenRun::ComboItems(main, kProvider);
  ASSERT_GT(items.size(), 2u);
  for (const std::string& item : items) {
    // " __  1.23 Pfg     Name"
    ASSERT_GE(item.size(), 18u) << item;
    EXPECT_EQ(' ', item[0]) << item;
    EXPECT_NE(std::string::npos, item.find(" Pfg     ")) << item;
  }
  // Cheapest first.
  double last = -1;
  for (const std::string& item : items) {
    double price = atof(item.c_str() + 5);
    EXPECT_LE(last, price + 1e-9) << item;
    last = price;
  }
  int sel = CorvalenRun::ComboSel(main, kProvider);
  ASSERT_GE(sel, 0);
  EXPECT_NE(std::string::npos, items[static_cast<size_t>(sel)].find("Funkelnetz")) << items[static_cast<size_t>(sel)];
  EXPECT_EQ("", CorvalenRun::Text(main, kStatus));
  EXPECT_EQ("", CorvalenRun::Text(main, kInfo));
  EXPECT_TRUE(CorvalenRun::Enabled(main, kVerbinden));
  EXPECT_FALSE(CorvalenRun::Enabled(main, kTrennen));
  EXPECT_FALSE(CorvalenRun::Visible(main, kOnlineZeit));
  EXPECT_EQ(std::string(items[static_cast<size_t>(sel)].c_str() + 5, 4) + " Pfg", CorvalenRun::Text(main, kPreis));
  // The router's own entry exists and names the hook.
  EXPECT_NE(std::string::npos, run.PhonebookValue("Corvalen2000", "AutodialDll").find("corvai.dll"));
  EXPECT_EQ("AutoDialFunc", run.PhonebookValue("Corvalen2000", "AutodialFunc"));
  run.Quit(run.Process(p));
  EXPECT_TRUE(run.Exited(p, 10000));
}

TEST(CorvalenConnection, ConnectMeterHangUpAndCostRecord) {
  CorvalenRun run;
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  // Pick the second provider (one that bills something).
  SendDlgItemMessageA(main, kProvider, CB_SETCURSEL, 1, 0);
  SendMessageA(main, WM_COMMAND, MAKEWPARAM(kProvider, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(main, kProvider)));
  std::vector<std::string> items = CorvalenRun::ComboItems(main, kProvider);
  std::string name = items[1].substr(items[1].find("Pfg     ") + 8);
  EXPECT_FALSE(CorvalenRun::ConnectedMutexOwned());

  CorvalenRun::Press(main, kVerbinden);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Online(main); }));
  EXPECT_TRUE(CorvalenRun::ConnectedMutexOwned());
  EXPECT_EQ("Aktuelle Verbindung : " + name, CorvalenRun::Text(main, kGroup));
  EXPECT_EQ(1, run.RasCount("RasDialA"));
  // After connecting the window goes to the tray.
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return !IsWindowVisible(main); }, 5000));
  // The online display counts (the clock runs 60 times faster here).
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Text(main, kOnlineZeit) >= "0:00:05"; }, 5000))
      << CorvalenRun::Text(main, kOnlineZeit);
  EXPECT_NE(std::string::npos, CorvalenRun::Text(main, kOnlinePreis).find(" Pfg"));
  std::string cost = CorvalenRun::Text(main, kOnlineKosten);
  EXPECT_EQ(5u, cost.size()) << cost;  // "%3.3f" of DM
  // The tray menu's "Wiederherstellen" brings it back.
  PostMessageA(main, WM_COMMAND, 40002, 0);
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000));

  CorvalenRun::Press(main, kTrennen);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Offline(main); }));
  EXPECT_FALSE(CorvalenRun::Visible(main, kOnlineZeit));
  EXPECT_FALSE(CorvalenRun::ConnectedMutexOwned());
  EXPECT_EQ(1, run.RasCount("RasHangUpA"));
  std::string log = run.File("rechnung.log");
  EXPECT_NE(std::string::npos, log.find(name)) << log;
}

TEST(CorvalenConnection, FailedAttemptsAreRetriedAndReported) {
  CorvalenRun run;
  run.Ras("Outcome", "busy");
  CorvalenRun::User("MaxDialAttempts", "3");
  CorvalenRun::User("WaitingTimeForDialAttempts", "2");
  CorvalenRun::User("DefaultDialString", "0i");
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  CorvalenRun::Press(main, kVerbinden);
  std::string text;
  HWND box = run.WaitBox(kTitleShort, &text);
  ASSERT_NE(nullptr, box);
  EXPECT_TRUE(StartsWith(text, "Der Verbindungsaufbau zum gewählten Provider ist fehlgeschlagen.\r\nFehler - ")) << text;
  EXPECT_EQ(3, run.RasCount("RasDialA"));
  // The line-type letter is not dialled.
  EXPECT_EQ(std::string::npos, run.RasLog().find("0i")) << run.RasLog();
  CorvalenRun::Press(box, IDOK);
  // The failed connect restores the buttons and clears the progress lines, in that order.
  EXPECT_TRUE(CorvalenRun::WaitFor([&] {
    return CorvalenRun::Text(main, kInfo).empty() && CorvalenRun::Text(main, kStatus).empty() &&
           CorvalenRun::Enabled(main, kVerbinden) && !CorvalenRun::Enabled(main, kTrennen) &&
           CorvalenRun::Text(main, kTrennen) == "&Trennen";
  }));
  EXPECT_FALSE(CorvalenRun::ConnectedMutexOwned());
}

TEST(CorvalenConnection, CancelDuringThePauseBetweenAttempts) {
  CorvalenRun run;
  run.Ras("Outcome", "busy");
  CorvalenRun::User("MaxDialAttempts", "3");
  CorvalenRun::User("WaitingTimeForDialAttempts", "1200");  // 20 s at the test's clock
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  CorvalenRun::Press(main, kVerbinden);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run.RasCount("RasDialA") == 1 && CorvalenRun::Text(main, kTrennen) == "&Abbrechen"; }));
  Sleep(200);
  EXPECT_EQ(std::string::npos, CorvalenRun::Text(main, kInfo).find("Versuch-Nr.  2"));
  EXPECT_NE(std::string::npos, CorvalenRun::Text(main, kInfo).find("Verbindungsaufbau Versuch-Nr.  1 mit '"));
  DWORD start = GetTickCount();
  CorvalenRun::Press(main, kTrennen);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Enabled(main, kVerbinden); }, 5000));
  EXPECT_LT(GetTickCount() - start, 5000u);
  EXPECT_EQ(1, run.RasCount("RasDialA"));
  EXPECT_EQ(nullptr, run.FindTop(kTitleShort, true));  // a cancel is no error
}

TEST(CorvalenConnection, ADroppedLineIsNoticedAndBilled) {
  CorvalenRun run;
  // The line drops half a second after it is up (longer where the program runs slower), so that
  // the program is seen online first.
  const DWORD scale = testsupport::TimeScale();
  run.Ras("DropAfterMs", std::to_string(500 * scale).c_str());
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  CorvalenRun::Press(main, kVerbinden);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Online(main); }));
  DWORD online = GetTickCount();
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Offline(main); }, 5000));
  EXPECT_LT(GetTickCount() - online, 2500u * scale);
  EXPECT_FALSE(CorvalenRun::ConnectedMutexOwned());
  EXPECT_FALSE(run.File("rechnung.log").empty());
}

TEST(CorvalenConnection, ASecondConnectWhileALineIsUpIsRefused) {
  CorvalenRun run;
  run.Ras("Connected", "Fremdeintrag");
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  CorvalenRun::Press(main, kVerbinden);
  std::string text;
  HWND box = run.WaitBox(kTitleShort, &text);
  ASSERT_NE(nullptr, box);
  EXPECT_EQ("Es ist noch eine Verbindung aktiv!", text);
  EXPECT_EQ(0, run.RasCount("RasDialA"));
  CorvalenRun::Press(box, IDOK);
}

TEST(CorvalenConnection, AutomaticConnectAtStart) {
  CorvalenRun run;
  CorvalenRun::User("Automatic", "1");
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Online(main); }));
  EXPECT_EQ(1, run.RasCount("RasDialA"));
  EXPECT_TRUE(CorvalenRun::ConnectedMutexOwned());
  EXPECT_NE(std::string::npos, CorvalenRun::Text(main, kGroup).find("Funkelnetz"));
}

TEST(CorvalenConnection, AProviderWithFreeMinutesAsksFirst) {
  CorvalenRun run;
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  std::vector<std::string> items = CorvalenRun::ComboItems(main, kProvider);
  ASSERT_TRUE(StartsWith(items[0], " F_ ")) << items[0];
  SendDlgItemMessageA(main, kProvider, CB_SETCURSEL, 0, 0);
  SendMessageA(main, WM_COMMAND, MAKEWPARAM(kProvider, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(main, kProvider)));
  CorvalenRun::Press(main, kVerbinden);
  // The free-minutes dialog: cancelled, nothing is dialled.
  HWND dlg = run.WaitBox("Freiminutenverwaltung", nullptr);
  ASSERT_NE(nullptr, dlg);
  CorvalenRun::Press(dlg, IDCANCEL);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Enabled(main, kVerbinden); }));
  EXPECT_EQ(0, run.RasCount("RasDialA"));
  EXPECT_EQ(nullptr, run.FindTop(kTitleShort, true));
  // With OK the record is kept in free.log and the provider is dialled.
  CorvalenRun::Press(main, kVerbinden);
  dlg = run.WaitBox("Freiminutenverwaltung", nullptr);
  ASSERT_NE(nullptr, dlg);
  SetDlgItemTextA(dlg, 1010, "30");
  CorvalenRun::Press(dlg, IDOK);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Online(main); }));
  EXPECT_NE(std::string::npos, CorvalenRun::Text(main, kGroup).find("Nachtfalke Net"));
}

TEST(CorvalenStart, FirstStartAsksTermsAndDeviceThenCreatesTheEntry) {
  CorvalenRun run;
  CorvalenRun::DeleteUser("AGB");
  CorvalenRun::DeleteUser("DefaultDFUDeviceName");
  CorvalenRun::DeleteUser("DefaultConnection");
  const char kTerms[] = "Astrel Corvalen: Allgemeine Gesch\xE4" "ftsbedingungen";
  // Refusing the terms ends the program before its window is seen.
  int first = run.Start();
  HWND terms = run.WaitBox(kTerms, nullptr);
  ASSERT_NE(nullptr, terms);
  EXPECT_FALSE(CorvalenRun::Enabled(terms, IDOK));
  SendMessageA(GetDlgItem(terms, 5535), BM_CLICK, 0, 0);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Enabled(terms, IDOK); }));
  CorvalenRun::Press(terms, IDOK);
  EXPECT_TRUE(run.Exited(first, 10000));
  EXPECT_EQ("<missing>", CorvalenRun::GetUser("AGB"));

  // Accepted: the set-up wizard follows with the system's devices.
  int second = run.Start();
  terms = run.WaitBox(kTerms, nullptr);
  ASSERT_NE(nullptr, terms);
  SendMessageA(GetDlgItem(terms, 5534), BM_CLICK, 0, 0);
  CorvalenRun::Press(terms, IDOK);
  HWND wizard = run.WaitBox("Astrel Corvalen Einstellungen - Modem", nullptr);
  ASSERT_NE(nullptr, wizard);
  EXPECT_EQ("1", CorvalenRun::GetUser("AGB"));
  PostMessageA(wizard, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run.FindTop("Astrel Corvalen Einstellungen - Amtsholung", true) != nullptr; }));
  PostMessageA(wizard, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] {
    return run.FindTop("Astrel Corvalen Einstellungen - \xDC" "bernahme von DF\xDC-Eintr\xE4gen", true) != nullptr;
  }));
  PostMessageA(wizard, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  HWND main = run.WaitMain();
  ASSERT_NE(nullptr, main);
  EXPECT_EQ("Standardmodem", CorvalenRun::GetUser("DefaultDFUDeviceName"));
  EXPECT_EQ("modem", CorvalenRun::GetUser("DefaultDFUDeviceTyp"));
  EXPECT_EQ("0", CorvalenRun::GetUser("UpdateFrequence"));
  EXPECT_EQ("Standardmodem", run.PhonebookValue("Corvalen2000", "DeviceName"));
  EXPECT_NE(std::string::npos, run.PhonebookValue("Corvalen2000", "AutodialDll").find("corvai.dll"));
  // Without a chosen provider the cheapest is selected.
  EXPECT_EQ(0, CorvalenRun::ComboSel(main, kProvider));
  run.Quit(run.Process(second));
  EXPECT_TRUE(run.Exited(second, 10000));
}

TEST(CorvalenStart, ABrokenInstallationIsReportedAndEndsTheProgram) {
  CorvalenRun run;
  CorvalenRun::Machine("PATH", " ");
  int p = run.Start();
  std::string text;
  HWND box = run.WaitBox(kTitleShort, &text);
  ASSERT_NE(nullptr, box);
  EXPECT_TRUE(StartsWith(text, "Die Corvalen Installation ist defekt . Der Applikationspfad kann nicht gesetzt werden.")) << text;
  CorvalenRun::Press(box, IDOK);
  EXPECT_TRUE(run.Exited(p, 10000));
}

// A takt that no tariff can have (a negative one showed a negative running cost; a number beyond
// an int billed 412,728 DM for 2.5 minutes) makes the file unreadable in the program as in the
// native build: the tariff file's message, then the fallback provider alone.
TEST(CorvalenStart, ATariffFileWithAnImpossibleTaktIsReported) {
  for (const char* takt : {"-1", "99999999999999999999"}) {
    SCOPED_TRACE(takt);
    CorvalenRun run;
    std::string xml = std::string("<Providerliste><Provider id=\"fk-100\"><name>Funkelnetz</name>"
                                  "<telefonnummer>0192100</telefonnummer><set a=\"takt\" b=\"") +
                      takt + "\" c=\"preis\" d=\"1.49\"/></Provider></Providerliste>";
    ScrambleTarif(reinterpret_cast<unsigned char*>(&xml[0]), xml.size());
    ASSERT_TRUE(WriteWholeFile((run.Dir() + "tarif.dat").c_str(), xml));
    int p = run.Start();
    std::string text;
    HWND box = run.WaitBox(kTitle, &text);
    ASSERT_NE(nullptr, box);
    EXPECT_TRUE(StartsWith(text, "Die Tarifinformationen konnten nicht korrekt gelesen werden.")) << text;
    CorvalenRun::Press(box, IDOK);
    HWND main = run.WaitMain();
    ASSERT_NE(nullptr, main);
    std::vector<std::string> items = CorvalenRun::ComboItems(main, kProvider);
    ASSERT_EQ(1u, items.size());
    EXPECT_NE(std::string::npos, items[0].find("Corvalen Standard")) << items[0];
    run.Quit(run.Process(p));
    EXPECT_TRUE(run.Exited(p, 10000));
  }
}

TEST(CorvalenStart, WithoutWinInetItSaysSoAndEnds) {
  CorvalenRun run;
  // Wine loads no WININET.DLL into a program whose per-program override names it with no load
  // order (the test's prefix is its own, so the setting goes with it).
  const char kOverrides[] = "Software\\Wine\\AppDefaults\\Corvalen.exe\\DllOverrides";
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kOverrides, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
  RegSetValueExA(key, "wininet", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
  RegCloseKey(key);
  int p = run.Start();
  std::string text;
  HWND box = run.WaitBox(kTitle, &text);
  ASSERT_NE(nullptr, box);
  // Wine reports itself as Windows NT: the text for NT.
  EXPECT_TRUE(StartsWith(text, "Die Datei WININET.DLL fehlt!")) << text;
  CorvalenRun::Press(box, IDOK);
  EXPECT_TRUE(run.Exited(p, 10000));
  EXPECT_EQ(nullptr, run.FindTop(kTitleShort, true));
  RegDeleteKeyA(HKEY_CURRENT_USER, kOverrides);
}

TEST(CorvalenStart, SecondStartRestoresTheFirstAndSplashOnlyWithoutTheHook) {
  CorvalenRun run;
  SetEnvironmentVariableA("CORVALEN_TIMESCALE", "1");
  int first = run.Start();
  // The splash (the 360 x 200 picture) comes before the main dialog.
  bool splash = CorvalenRun::WaitFor([&] { return run.FindSized(360, 200) != nullptr; }, 10000);
  EXPECT_TRUE(splash);
  HWND main = run.WaitMain();
  ASSERT_NE(nullptr, main);
  EXPECT_EQ(nullptr, run.FindSized(360, 200));
  // Minimised through the system menu it goes to the tray; a second start brings it back.
  PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return !IsWindowVisible(main); }, 5000));
  PostMessageA(main, WM_COMMAND, 40002, 0);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000));
  PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return !IsWindowVisible(main); }, 5000));
  // The icon of the first minimise is gone: one icon window.
  int icons = 0;
  run.FindHiddenTrayWindow(&icons);
  EXPECT_EQ(1, icons);
  int second = run.Start();
  EXPECT_TRUE(run.Exited(second, 10000));
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000));
  run.Quit(run.Process(first));
  ASSERT_TRUE(run.Exited(first, 10000));

  // Started by the AutoDial hook: no splash.
  int hooked = run.Start("AfterDll0;0");
  bool hookSplash = false;
  HWND hookedMain = nullptr;
  CorvalenRun::WaitFor([&] {
    if (run.FindSized(360, 200)) hookSplash = true;
    return (hookedMain = run.FindTop("Astrel Corvalen", true, run.Process(hooked).dwProcessId)) != nullptr;
  });
  EXPECT_NE(nullptr, hookedMain);
  EXPECT_FALSE(hookSplash);
  SetEnvironmentVariableA("CORVALEN_TIMESCALE", "60");
}

TEST(CorvalenConnection, QuittingWhileOnlineAsksFirst) {
  CorvalenRun run;
  // Thursday morning: Funkelnetz costs 1.49 Pf a minute in 60-second units.
  run.ClockAtLocal("20261210100005");
  int p = 0;
  HWND main = run.StartMain(&p);
  ASSERT_NE(nullptr, main);
  CorvalenRun::Press(main, kVerbinden);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Online(main); }));
  run.ClockAtLocal("20261210100140");
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return !IsWindowVisible(main); }, 5000));
  // "Beenden" of the tray menu.
  PostMessageA(main, WM_COMMAND, 40004, 0);
  std::string text;
  HWND box = run.WaitBox(kTitle, &text);
  ASSERT_NE(nullptr, box);
  EXPECT_TRUE(StartsWith(text, "Es ist noch eine Verbindung aktiv !\nWenn Sie das Programm beenden")) << text;
  CorvalenRun::Press(box, IDNO);
  Sleep(300);
  EXPECT_TRUE(CorvalenRun::Online(main));
  EXPECT_TRUE(CorvalenRun::ConnectedMutexOwned());
  EXPECT_FALSE(run.Exited(p, 0));
  CorvalenRun::Press(main, IDCANCEL);
  box = run.WaitBox(kTitle, &text);
  ASSERT_NE(nullptr, box);
  CorvalenRun::Press(box, IDYES);
  EXPECT_TRUE(run.Exited(p, 10000));
  EXPECT_FALSE(CorvalenRun::ConnectedMutexOwned());
  EXPECT_EQ(1, run.RasCount("RasHangUpA"));
  // 95 seconds: two units.
  EXPECT_EQ("default;12/10/2026 10:0:5;00:01:35;Funkelnetz;60;1.49;0.00;0.030;;;0192100;", run.File("rechnung.log"));
}

TEST(CorvalenAutoDial, TheRouterTakesTheConnectedMutexWhenItsFirstTryFails) {
  CorvalenRun run;
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  // The hook's watching loop holds the mutex for a moment again and again; here it holds it at
  // the moment the connection comes up.
  HANDLE m = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, "CORVALENCONNECTED");
  ASSERT_NE(nullptr, m);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(m, 1000));
  CorvalenRun::Press(main, kVerbinden);
  bool online = CorvalenRun::WaitFor([&] { return CorvalenRun::Online(main); });
  Sleep(100);
  ReleaseMutex(m);
  CloseHandle(m);
  ASSERT_TRUE(online);
  // Online, the router owns it: the hook sees the connection.
  EXPECT_TRUE(CorvalenRun::WaitFor([] { return CorvalenRun::ConnectedMutexOwned(); }, 5000));
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Online(main); }, 5000));  // the display follows the mutex
  CorvalenRun::Press(main, kTrennen);
  EXPECT_TRUE(CorvalenRun::WaitFor([] { return !CorvalenRun::ConnectedMutexOwned(); }, 5000));
}

TEST(CorvalenAutoDial, TheHookStartsTheRouterAndWaitsForItsConnection) {
  CorvalenRun run;
  // The installation's folder as the hook reads it (it appends the program's name).
  CorvalenRun::Machine("PATH", run.Dir());
  CorvalenRun::SetRemoteAccess("InternetProfile", "Corvalen2000");
  // One start creates the router's own entry, which names the hook (without connecting, so that
  // it ends without the question about the open connection).
  int setup = run.Start();
  ASSERT_NE(nullptr, run.WaitMain());
  run.Quit(run.Process(setup));
  ASSERT_TRUE(run.Exited(setup, 10000));
  ASSERT_NE(std::string::npos, run.PhonebookValue("Corvalen2000", "AutodialDll").find("corvai.dll"));
  // The router that the hook starts connects by itself.
  CorvalenRun::User("Automatic", "1");

  DWORD code = run.RunAutoDial("AutoDialFuncA", 30000);
  EXPECT_EQ(0u, code);
  EXPECT_TRUE(CorvalenRun::ConnectedMutexOwned());
  HWND main = run.FindTop("Astrel Corvalen", false);
  ASSERT_NE(nullptr, main);
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Online(main); }, 5000));  // the display follows the mutex
  CorvalenRun::Press(main, kTrennen);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return !CorvalenRun::ConnectedMutexOwned(); }, 5000));
}

TEST(CorvalenConnection, APriceChangeWhileOnlineSplitsTheCostRecord) {
  CorvalenRun run;
  // Thursday 17:58:30. Funkelnetz costs 1.49 Pf until 17:59 and 2.79 Pf from 18:00.
  run.ClockAtLocal("20261210175830");
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  CorvalenRun::Press(main, kVerbinden);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Online(main); }));
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return !CorvalenRun::Text(main, kOnlinePreis).empty(); }, 5000));
  ASSERT_EQ("1.49 Pfg", CorvalenRun::Text(main, kOnlinePreis));
  // Past 18:00 the ranking is refreshed (timer 4 does so at second 0 as well); Funkelnetz falls
  // back and the cheaper provider is offered.
  run.ClockAtLocal("20261210180010");
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Text(main, kOnlineZeit) == "0:01:40"; }, 5000));
  PostMessageA(main, kMsgRefreshProviders, 0, 0);
  std::string text;
  HWND box = run.WaitBox(kTitle, &text, 5000);
  ASSERT_NE(nullptr, box);
  EXPECT_TRUE(StartsWith(text, "Der Corvalen informiert !")) << text;
  CorvalenRun::Press(box, IDNO);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Text(main, kOnlinePreis) == "2.79 Pfg"; }, 5000));
  // The next billing interval closes the 1.49 segment.
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run.File("rechnung.log").find(";1.49;") != std::string::npos; }, 5000))
      << run.File("rechnung.log");
  run.ClockAtLocal("20261210180040");
  PostMessageA(main, WM_COMMAND, 40006, 0);  // "Verbindung trennen" of the tray menu
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run.File("rechnung.log").find(";2.79;") != std::string::npos; }, 5000))
      << run.File("rechnung.log");
  // 100 seconds at 1.49 Pf (two units), then 30 seconds at 2.79 Pf (one unit).
  EXPECT_EQ("default;12/10/2026 17:58:30;00:01:40;Funkelnetz;60;1.49;0.00;0.030;;;0192100;"
            "default;12/10/2026 18:0:10;00:00:30;Funkelnetz;60;2.79;0.00;0.028;;;0192100;",
            run.File("rechnung.log"));
  EXPECT_FALSE(CorvalenRun::ConnectedMutexOwned());
}

TEST(CorvalenStart, TheListIsRerankedEveryMinute) {
  CorvalenRun run;
  // The clock stands at Thursday 17:59:30 while the program starts (however long that takes),
  // then moves to the next minute, when Funkelnetz's price changes.
  run.ClockAtLocal("20261210175930");
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  auto funkel = [&] {
    for (const std::string& item : CorvalenRun::ComboItems(main, kProvider))
      if (item.find("Funkelnetz") != std::string::npos) return item;
    return std::string();
  };
  EXPECT_EQ(" __  1.49 Pfg     Funkelnetz", funkel());
  run.ClockAtLocal("20261210180000");
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return funkel() == " __  2.79 Pfg     Funkelnetz"; }, 8000)) << funkel();
  // The chosen provider stays chosen.
  EXPECT_EQ("2.79 Pfg", CorvalenRun::Text(main, kPreis));
}

TEST(CorvalenConnection, NoAttemptsAllowedShowsTheOutOfRangeText) {
  CorvalenRun run;
  CorvalenRun::User("MaxDialAttempts", "0");
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  CorvalenRun::Press(main, kVerbinden);
  std::string text;
  HWND box = run.WaitBox(kTitleShort, &text);
  ASSERT_NE(nullptr, box);
  EXPECT_EQ("Der Verbindungsaufbau zum gewählten Provider ist fehlgeschlagen.\r\nFehler - "
            "CErrTable::GetErrorString: Array out of bounds!", text);
  EXPECT_EQ(0, run.RasCount("RasDialA"));
  CorvalenRun::Press(box, IDOK);
}

TEST(CorvalenStart, AnEntryThatCannotBeCreatedIsReportedWithItsOwnError) {
  CorvalenRun run;
  run.Ras("Devices", "none");
  int p = run.Start();
  std::string text;
  HWND box = run.WaitBox(kTitleShort, &text);
  ASSERT_NE(nullptr, box);
  EXPECT_TRUE(StartsWith(text, "Fehler ")) << text;
  EXPECT_NE(std::string::npos, text.find(", 600 :  ")) << text;
  CorvalenRun::Press(box, IDOK);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] {
    HWND b = run.FindTop(kTitleShort, true);
    return b && b != box && CorvalenRun::BoxText(b) != text;
  }));
  box = run.FindTop(kTitleShort, true);
  EXPECT_EQ("DFÜ-Netzwerkeintrag \"Corvalen2000\" konnte nicht erzeugt werden. Programm wird beendet!",
            CorvalenRun::BoxText(box));
  CorvalenRun::Press(box, IDOK);
  EXPECT_TRUE(run.Exited(p, 10000));
}

TEST(CorvalenStart, EveryButtonHasItsToolTip) {
  CorvalenRun run;
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  HWND tip = nullptr;
  CorvalenRun::WaitFor([&] {
    tip = FindWindowExA(nullptr, nullptr, "tooltips_class32", nullptr);
    while (tip && GetWindow(tip, GW_OWNER) != main) tip = FindWindowExA(nullptr, tip, "tooltips_class32", nullptr);
    return tip != nullptr;
  }, 5000);
  ASSERT_NE(nullptr, tip);
  // The eight buttons and the provider list have texts in the string table.
  EXPECT_EQ(9, static_cast<int>(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0)));
}

TEST(CorvalenConnection, TakingTheCheaperOfferRedialsWithTheCheapest) {
  CorvalenRun run;
  run.ClockAtLocal("20261210175900");
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  CorvalenRun::Press(main, kVerbinden);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Online(main); }));
  run.ClockAtLocal("20261210180010");
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Text(main, kOnlineZeit) == "0:01:10"; }, 5000));
  PostMessageA(main, kMsgRefreshProviders, 0, 0);
  std::string text;
  HWND box = run.WaitBox(kTitle, &text, 5000);
  ASSERT_NE(nullptr, box);
  ASSERT_TRUE(StartsWith(text, "Der Corvalen informiert !")) << text;
  EXPECT_NE(std::string::npos, text.find("Pfg/min  Nachtfalke Net)")) << text;
  CorvalenRun::Press(box, IDYES);
  // Hung up (the Funkelnetz record is written), then the cheapest is dialled: it has free
  // minutes, so its free-minutes dialog comes first.
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return !run.File("rechnung.log").empty(); }, 5000));
  EXPECT_EQ("default;12/10/2026 17:59:0;00:01:10;Funkelnetz;60;1.49;0.00;0.030;;;0192100;", run.File("rechnung.log"));
  HWND freeDlg = run.WaitBox("Freiminutenverwaltung", nullptr);
  ASSERT_NE(nullptr, freeDlg);
  CorvalenRun::Press(freeDlg, IDOK);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Online(main) && CorvalenRun::Text(main, kGroup).find("Nachtfalke") != std::string::npos; }));
  EXPECT_EQ(2, run.RasCount("RasDialA"));
  EXPECT_TRUE(CorvalenRun::ConnectedMutexOwned());
}

TEST(CorvalenUserData, AChangedActivationDayIsStoredAndRanked) {
  CorvalenRun run;
  // Blitzwahl needs a login; its introductory price of 0.89 Pf holds for 61 days after the
  // activation. Registered through the user's own entry since 2020, it costs 1.70 Pf.
  run.ClockAtLocal("20260120100005");
  CorvalenRun::User("DefaultConnection", "bw-400");
  WritePrivateProfileStringA("Mein Blitz", "LocalPhoneNumber", "0192400", (run.Dir() + "rassim.pbk").c_str());
  WritePrivateProfileStringA("Mein Blitz", "User", "blitzkunde", (run.Dir() + "rassim.pbk").c_str());
  {
    HANDLE f = CreateFileA((run.Dir() + "Corva.dat").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const char record[] = "bw-400=Mein Blitz|1/1/2020 0:0:0;";
    DWORD written = 0;
    WriteFile(f, record, sizeof record - 1, &written, nullptr);
    CloseHandle(f);
  }
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  ASSERT_EQ("1.70 Pfg", CorvalenRun::Text(main, kPreis));
  CorvalenRun::Press(main, kAendern);
  HWND dlg = run.WaitBox("Anmeldungsdaten 'Blitzwahl'", nullptr);
  ASSERT_NE(nullptr, dlg);
  EXPECT_EQ("blitzkunde", CorvalenRun::Text(dlg, 1057));
  // The date picker shows 01.01.2020: on to the year and six years up.
  HWND date = GetDlgItem(dlg, 1103);
  ASSERT_TRUE(IsWindowVisible(date));
  SendMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(date), TRUE);
  for (int i = 0; i < 3; ++i) SendMessageA(date, WM_KEYDOWN, VK_RIGHT, 0);
  for (int i = 0; i < 6; ++i) SendMessageA(date, WM_KEYDOWN, VK_UP, 0);
  CorvalenRun::Press(dlg, IDOK);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return !IsWindow(dlg); }, 5000));
  EXPECT_EQ("bw-400=Mein Blitz|1/1/2026 0:0:0;", run.File("Corva.dat"));
  // The next ranking reads the new day: 19 days after the activation.
  PostMessageA(main, kMsgRefreshProviders, 0, 0);
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Text(main, kPreis) == "0.89 Pfg"; }, 5000))
      << CorvalenRun::Text(main, kPreis);
  Sleep(200);
  EXPECT_EQ("0.89 Pfg", CorvalenRun::Text(main, kPreis));
}

TEST(CorvalenTray, ADoubleClickOnTheIconRestoresTheWindow) {
  CorvalenRun run;
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return !IsWindowVisible(main); }, 5000));
  // The icon's own hidden window receives the shell's notifications (WM_USER + 10).
  HWND tray = nullptr;
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return (tray = run.FindHiddenTrayWindow()) != nullptr; }, 5000));
  PostMessageA(tray, WM_USER + 10, 172, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000));
  // "Verbindung trennen" while offline restores the offline state and dials or hangs up nothing.
  PostMessageA(main, WM_COMMAND, 40006, 0);
  Sleep(300);
  EXPECT_TRUE(CorvalenRun::Offline(main));
  EXPECT_EQ("&Trennen", CorvalenRun::Text(main, kTrennen));
  EXPECT_EQ(0, run.RasCount("RasDialA"));
  EXPECT_EQ(nullptr, run.FindTop(kTitleShort, true));
}

}  // namespace
