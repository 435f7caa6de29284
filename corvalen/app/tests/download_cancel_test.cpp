// Giving up a download in the real Corvalen.exe under Wine, against a small HTTP server of the
// test's own (named as the proxy) that sends a byte now and then or stalls after its headers:
// the tariff download's dialog installs only what its download delivered (Return reports
// nothing), its "Abbrechen" and the main dialog's "Trennen" end the download at once and untold,
// the line is hung up and billed, "Beenden" ends the program at once, and no second dial starts
// while a connect is still being given up.
#include "http_server.h"  // winsock2.h before windows.h

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CostLog.h"
#include "program_driver.h"

namespace {

enum { kVerbinden = 1050, kTrennen = 1052, kTrayRestore = 40002 };
const char kTitle[] = "Astrel Corvalen 2.0";
const char kDownloadTitle[] = "Astrel Corvalen Download";
const char kTipTitle[] = "Astrel Corvalen Tipp des Tages";

class DownloadCancelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetEnvironmentVariableA("http_proxy", server_.Base().c_str());
    SetEnvironmentVariableA("no_proxy", nullptr);
    CorvalenRun::Machine("MessageUrl", "corva.xml");
    run_.ClockAtLocal("20261211100000");
  }
  void TearDown() override { SetEnvironmentVariableA("http_proxy", nullptr); }

  // Stored messages that offer new tariff data from the test's server; no messages are fetched
  // today, and the daily tariff check is due.
  void OfferTariffUpdate(CorvalenRun& run) {
    const std::string messages = "<?xml version=\"1.0\"?><server><tip typ=\"tarif\"><url>" + server_.Base() +
                                 "/tarif.dat</url><date>2026-12-01 08:00:00</date></tip>"
                                 "<tip typ=\"tarifupdate\">Neue Tarife sind da.</tip></server>";
    ASSERT_TRUE(testsupport::WriteFileBytes(run.Dir() + "ServerInfo.dat", Scrambled(messages)));
    CorvalenRun::User("UpdateFrequence", "0");
    CorvalenRun::User("MessageOfDay", "11.12.2026");
  }
  // Starts the program, connects and takes the offered tariff data: the download dialog.
  static HWND ConnectToDownload(CorvalenRun& run, HWND* main) {
    if (run.Start() < 0) return nullptr;
    *main = run.WaitMain();
    if (!*main) return nullptr;
    CorvalenRun::Press(*main, kVerbinden);
    std::string question;
    HWND box = run.WaitBox(kTitle, &question, 30000);
    if (!box || question.find("Es sind neue Tarifdaten vorhanden!") == std::string::npos) return nullptr;
    CorvalenRun::Press(box, IDYES);
    HWND dialog = nullptr;
    CorvalenRun::WaitFor([&] { return (dialog = run.FindTop(kDownloadTitle, true)) != nullptr; }, 10000);
    return dialog;
  }
  static void PressReturn(HWND window) {
    PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(window, WM_KEYUP, VK_RETURN, 0xC01C0001);
  }
  static void PostClick(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  }
  // No message box of the program shows up within `ms` (no time-out box, no failure box).
  static bool NoBoxFor(const CorvalenRun& run, DWORD ms) {
    return !CorvalenRun::WaitFor([&] { return run.FindTop(kTitle, true) || run.FindTop("Fehler", true); }, ms);
  }
  static std::vector<CCostRecord> Records(const CorvalenRun& run) {
    std::vector<CCostRecord> records;
    CCostLog::ParseRecords(run.File("rechnung.log"), records);
    return records;
  }
  // From the tray back to the window, "Trennen", offline.
  bool HangUpFromTray(HWND main) {
    if (!CorvalenRun::WaitFor([&] { return !IsWindowVisible(main); }, 15000)) return false;
    PostMessageA(main, WM_COMMAND, kTrayRestore, 0);
    if (!CorvalenRun::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000)) return false;
    CorvalenRun::Press(main, kTrennen);
    return CorvalenRun::WaitFor([&] { return CorvalenRun::Enabled(main, kVerbinden); }, 10000);
  }

  TestHttpServer server_;
  CorvalenRun run_;
};

// Return pressed as soon as "Astrel Corvalen Download" opens installs nothing by itself: against
// a server that never sends the file the dialog stays until "Abbrechen" gives the download up
// (at once, untold), and nothing is stored or announced; when the server delivers, the update is
// installed and announced as before.
TEST_F(DownloadCancelTest, ReturnInTheDownloadDialogReportsOnlyWhatTheDownloadDid) {
  const std::string tarif = CorvalenRun::Slurp(run_.Dir() + "tarif.dat");
  for (bool delivers : {false, true}) {
    SCOPED_TRACE(delivers ? "the server delivers" : "the server stalls");
    CorvalenRun run;
    run.ClockAtLocal("20261211100000");
    if (delivers)
      server_.Set("/tarif.dat", tarif);
    else
      server_.SetManner("/tarif.dat", tarif, TestHttpServer::Manner::stall);
    OfferTariffUpdate(run);
    HWND main = nullptr;
    HWND dialog = ConnectToDownload(run, &main);
    ASSERT_NE(nullptr, dialog);
    PressReturn(dialog);
    if (!delivers) {
      // The download starts a second after the dialog opens; the dialog is still there after it.
      Sleep(2500);
      EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog));
      EXPECT_EQ(nullptr, run.FindTop(kTipTitle, true));
      EXPECT_EQ("<missing>", CorvalenRun::GetUser("CurrentTarif"));
      const DWORD start = GetTickCount();
      PostClick(dialog, IDCANCEL);
      ASSERT_TRUE(CorvalenRun::WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 5000));
      EXPECT_LT(GetTickCount() - start, 1000u * testsupport::TimeScale());
      EXPECT_TRUE(NoBoxFor(run, 3000));
      EXPECT_EQ(nullptr, run.FindTop(kTipTitle, true));
      EXPECT_EQ("<missing>", CorvalenRun::GetUser("CurrentTarif"));
    } else {
      HWND tip = nullptr;
      ASSERT_TRUE(CorvalenRun::WaitFor([&] { return (tip = run.FindTop(kTipTitle, true)) != nullptr; }, 30000));
      EXPECT_NE(std::string::npos, CorvalenRun::Text(tip, 1061).find("Neue Tarife sind da."));
      CorvalenRun::Press(tip, IDOK);
      EXPECT_EQ("2026-12-01 08:00:00", CorvalenRun::GetUser("CurrentTarif"));
    }
    run.ClockAtLocal("20261211100100");
    ASSERT_TRUE(HangUpFromTray(main));
    EXPECT_EQ(1u, Records(run).size());
  }
}

// While the tariff file trickles in, the main dialog stays within reach: its "Trennen" hangs up
// at once, the download ends with it untold, and the connection is billed.
TEST_F(DownloadCancelTest, TrennenHangsUpDuringTheTariffDownload) {
  server_.SetManner("/tarif.dat", std::string(100000, 'x'), TestHttpServer::Manner::trickle);
  OfferTariffUpdate(run_);
  HWND main = nullptr;
  HWND dialog = ConnectToDownload(run_, &main);
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Text(dialog, 1053).find("Bitte warten") != std::string::npos; }));
  Sleep(1000);
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(CorvalenRun::Enabled(main, kTrennen));
  run_.ClockAtLocal("20261211100100");
  const DWORD start = GetTickCount();
  PostClick(main, kTrennen);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 5000));
  EXPECT_LT(GetTickCount() - start, 1000u * testsupport::TimeScale());
  EXPECT_GE(run_.RasCount("RasHangUp"), 1);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Enabled(main, kVerbinden); }, 5000));
  EXPECT_TRUE(NoBoxFor(run_, 3000));
  EXPECT_EQ("<missing>", CorvalenRun::GetUser("CurrentTarif"));
  std::vector<CCostRecord> records = Records(run_);
  ASSERT_EQ(1u, records.size());
  EXPECT_EQ("00:01:00", std::string(records[0].Duration()));
}

// The server messages stall after their headers, with the program's own time limits (30 s
// between two pieces): "Trennen" ends the download at once and untold, and a "Verbinden" that
// comes right after it, while the connect is still being given up, starts no dial; the next one
// does. "Beenden" during such a download ends the program at once, with the connection billed.
TEST_F(DownloadCancelTest, AStalledDownloadIsGivenUpAtOnce) {
  SetEnvironmentVariableA("CORVALEN_TIMESCALE", "1");
  server_.SetManner("/msg/corva.xml", std::string(500, 'x'), TestHttpServer::Manner::stall);
  int p = run_.Start();
  ASSERT_GE(p, 0);
  HWND main = run_.WaitMain();
  ASSERT_NE(nullptr, main);
  CorvalenRun::Press(main, kVerbinden);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] {
    for (const std::string& path : server_.Paths())
      if (path == "/msg/corva.xml") return true;
    return false;
  }, 30000));
  Sleep(1000);
  EXPECT_EQ(1, run_.RasCount("RasDialA"));
  run_.ClockAtLocal("20261211100100");
  PostClick(main, kTrennen);
  PostClick(main, kVerbinden);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run_.RasCount("RasHangUp") >= 1; }, 2000));
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Enabled(main, kVerbinden); }, 2000));
  EXPECT_TRUE(NoBoxFor(run_, 5000));
  EXPECT_EQ(1, run_.RasCount("RasDialA"));
  EXPECT_EQ(1u, Records(run_).size());

  // The next "Verbinden" dials; "Beenden" while its messages stall again ends the program.
  CorvalenRun::User("MessageOfDay", "");
  server_.SetManner("/msg/corva.xml", std::string(500, 'x'), TestHttpServer::Manner::stall);
  const size_t asked = server_.Paths().size();
  CorvalenRun::Press(main, kVerbinden);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run_.RasCount("RasDialA") == 2; }, 10000));
  // The first stalled connection may hold the test's server until the program's limit runs out.
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return server_.Paths().size() > asked; }, 45000));
  run_.ClockAtLocal("20261211100300");
  PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
  std::string question;
  HWND box = run_.WaitBox(kTitle, &question, 5000);
  ASSERT_NE(nullptr, box);
  EXPECT_NE(std::string::npos, question.find("Es ist noch eine Verbindung aktiv")) << question;
  CorvalenRun::Press(box, IDYES);
  EXPECT_TRUE(run_.Exited(p, 2000));
  EXPECT_EQ(2u, Records(run_).size());
}

}  // namespace
