// The real Corvalen.exe under Wine at the edges of a connection's end: a cost record that cannot
// be written, a router killed while online (its note, its line still up at the next start), and
// the end of the Windows session while online.
#include <gtest/gtest.h>

#include "program_driver.h"

namespace {

enum { kVerbinden = 1050, kTrennen = 1052, kGroup = 1071, kStatus = 1051 };

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

// The connections the RAS stand-in holds for every process (a killed program's stay).
std::string RasConnections(const CorvalenRun& run) {
  char buf[4096] = {};
  DWORD n = GetPrivateProfileSectionA("connections", buf, sizeof buf, (run.Dir() + "rassim.state").c_str());
  std::string out;
  for (DWORD i = 0; i < n && buf[i]; i += static_cast<DWORD>(strlen(buf + i)) + 1) out += std::string(buf + i) + "\n";
  return out;
}

// The message boxes of the program with that title.
int CountBoxes(const CorvalenRun& run, const char* title) {
  int n = 0;
  testsupport::ForEachTopWindow([&](HWND w, DWORD pid) {
    char text[64] = {};
    GetWindowTextA(w, text, sizeof text);
    if (run.IsOurs(pid) && IsWindowVisible(w) && std::string(text) == title) ++n;
  });
  return n;
}

// Thursday morning: Funkelnetz costs 1.49 Pf a minute in 60-second units, without a dial-in fee.
// Connected at 10:00:05; the clock then stands at 10:01:40 long enough for the minute's note.
HWND ConnectAndRun95Seconds(CorvalenRun& run, int* index) {
  run.ClockAtLocal("20261210100005");
  HWND main = run.StartMain(index);
  if (!main) return nullptr;
  CorvalenRun::Press(main, kVerbinden);
  if (!CorvalenRun::WaitFor([&] { return CorvalenRun::Online(main); })) return nullptr;
  run.ClockAtLocal("20261210100140");
  // The note is written once a minute of the program's timers (one second here).
  Sleep(1500 * testsupport::TimeScale());
  return main;
}

// The same, and then the program is killed: true when it is gone.
bool KilledWhileOnline(CorvalenRun& run) {
  int p = 0;
  return ConnectAndRun95Seconds(run, &p) && TerminateProcess(run.Process(p).hProcess, 1) && run.Exited(p, 5000);
}

const char kRecord95s[] = "default;12/10/2026 10:0:5;00:01:35;Funkelnetz;60;1.49;0.00;0.030;";

}  // namespace

// A cost record that cannot be written ("rechnung.log" is a folder): one message, the line hung
// up once; the box's message loop runs no timer that hangs up again. The note of the connection
// stays, and the next start writes the record it holds once the log can take it.
TEST(CorvalenConnectionEnd, AFailedCostRecordIsOneMessageAndOneHangUp) {
  CorvalenRun run;
  const std::string log = run.Dir() + "rechnung.log";
  ASSERT_TRUE(CreateDirectoryA(log.c_str(), nullptr));
  int p = 0;
  HWND main = ConnectAndRun95Seconds(run, &p);
  ASSERT_NE(nullptr, main);
  CorvalenRun::Press(main, kTrennen);
  std::string text;
  HWND box = run.WaitBox("Fehler", &text);
  ASSERT_NE(nullptr, box);
  EXPECT_NE(std::string::npos, text.find("rechnung.log")) << text;
  // Timer 4 ticks every 17 ms here: a minute of the program's time passes while the box waits.
  Sleep(1000 * testsupport::TimeScale());
  EXPECT_EQ(1, CountBoxes(run, "Fehler"));
  EXPECT_EQ(1, run.RasCount("RasHangUpA")) << run.RasLog();
  CorvalenRun::Press(box, IDOK);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Offline(main); }));
  Sleep(300 * testsupport::TimeScale());
  EXPECT_EQ(0, CountBoxes(run, "Fehler"));
  EXPECT_NE("", CorvalenRun::Slurp(run.Dir() + "verbindung.dat"));
  run.Quit(run.Process(p));
  ASSERT_TRUE(run.Exited(p, 10000));
  // The log can be written again: the next start writes the record the note kept.
  ASSERT_TRUE(RemoveDirectoryA(log.c_str()));
  main = run.StartMain(&p);
  ASSERT_NE(nullptr, main);
  EXPECT_EQ(std::string(kRecord95s) + "wiederhergestellt;;0192100;", run.File("rechnung.log"));
  EXPECT_EQ("", CorvalenRun::Slurp(run.Dir() + "verbindung.dat"));
  EXPECT_TRUE(CorvalenRun::Offline(main));
}

// A router killed while online: no record, and the line stays up. The next start sees the line
// of its own entry: "Trennen" is enabled and hangs it up, and the record the note left is written
// for the time up to then, marked as recovered. Then a new connect works.
TEST(CorvalenConnectionEnd, AKilledRoutersLineIsHungUpAndBilledAtTheNextStart) {
  CorvalenRun run;
  ASSERT_TRUE(KilledWhileOnline(run));
  EXPECT_EQ("", run.File("rechnung.log"));
  EXPECT_NE(std::string::npos, RasConnections(run).find("=Corvalen2000|")) << RasConnections(run);

  run.ClockAtLocal("20261210100500");
  int p = 0;
  HWND main = run.StartMain(&p);
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Enabled(main, kTrennen); }, 5000));
  EXPECT_EQ("Die Verbindung 'Corvalen2000' ist noch aktiv.", CorvalenRun::Text(main, kStatus));
  EXPECT_EQ("", run.File("rechnung.log"));  // the line runs on: billed when it is hung up
  CorvalenRun::Press(main, kTrennen);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return !CorvalenRun::Enabled(main, kTrennen); }));
  EXPECT_EQ("", RasConnections(run));
  // 95 seconds noted, then 200 more until the hang-up: five units of 1.49 Pf.
  std::string record = run.File("rechnung.log");
  EXPECT_TRUE(StartsWith(record, "default;12/10/2026 10:0:5;00:04:55;Funkelnetz;60;1.49;0.00;0.07")) << record;
  EXPECT_NE(std::string::npos, record.find(";wiederhergestellt;;0192100;")) << record;
  EXPECT_EQ("", CorvalenRun::Slurp(run.Dir() + "verbindung.dat"));
  EXPECT_EQ("", CorvalenRun::Text(main, kStatus));
  CorvalenRun::Press(main, kVerbinden);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Online(main); }));
  EXPECT_EQ(0, CountBoxes(run, "Corvalen 2.0"));
  CorvalenRun::Press(main, kTrennen);
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Offline(main); }));
}

// Killed while online, and the line went down meanwhile: the next start writes the record of the
// note at once (up to its last minute), marked as recovered, and offers nothing to hang up.
TEST(CorvalenConnectionEnd, AKilledRoutersNoteIsBilledAtTheNextStart) {
  CorvalenRun run;
  ASSERT_TRUE(KilledWhileOnline(run));
  WritePrivateProfileStringA("connections", nullptr, nullptr, (run.Dir() + "rassim.state").c_str());
  HWND main = run.StartMain();
  ASSERT_NE(nullptr, main);
  EXPECT_EQ(std::string(kRecord95s) + "wiederhergestellt;;0192100;", run.File("rechnung.log"));
  EXPECT_EQ("", CorvalenRun::Slurp(run.Dir() + "verbindung.dat"));
  EXPECT_TRUE(CorvalenRun::Offline(main));
  EXPECT_EQ("", CorvalenRun::Text(main, kStatus));
}

// The end of the Windows session while online (the main window hidden in the tray): the line is
// hung up and the record written, through Wine's own session end and through the messages sent
// to the tray icon's window alone.
TEST(CorvalenConnectionEnd, TheEndOfTheSessionHangsUpAndBills) {
  for (bool wineboot : {true, false}) {
    SCOPED_TRACE(wineboot ? "wineboot --end-session" : "messages to the tray's window");
    CorvalenRun run;
    int p = 0;
    HWND main = ConnectAndRun95Seconds(run, &p);
    ASSERT_NE(nullptr, main);
    ASSERT_FALSE(IsWindowVisible(main));
    if (wineboot) {
      EXPECT_EQ(0u, testsupport::RunProcess("C:\\windows\\system32\\wineboot.exe", "--end-session", run.Dir(),
                                            20000 * testsupport::TimeScale(), 9999, 9998));
    } else {
      HWND tray = run.FindHiddenTrayWindow();
      ASSERT_NE(nullptr, tray);
      EXPECT_EQ(TRUE, SendMessageA(tray, WM_QUERYENDSESSION, 0, 0));
      SendMessageA(tray, WM_ENDSESSION, TRUE, 0);
    }
    ASSERT_TRUE(CorvalenRun::WaitFor([&] { return !run.File("rechnung.log").empty(); }, 5000));
    EXPECT_EQ(std::string(kRecord95s) + ";;0192100;", run.File("rechnung.log"));
    EXPECT_EQ("", RasConnections(run));
    EXPECT_EQ(1, run.RasCount("RasHangUpA"));
    EXPECT_FALSE(CorvalenRun::ConnectedMutexOwned());
    EXPECT_EQ("", CorvalenRun::Slurp(run.Dir() + "verbindung.dat"));
  }
}
