// The real Corvalen.exe under Wine while it downloads after a connect: the update server is a
// small HTTP server of the test's own on 127.0.0.1, reached through the proxy setting. However
// the server behaves, the main dialog answers every message within a second, "Trennen" hangs up
// during a download, a download that runs out of time is told once and leaves the files in
// place; and a tariff update while online that switches the connected provider off leaves the
// connection metered and logged at its tariff, with the list and "Details..." on the new data.
#include "http_server.h"  // winsock2.h before windows.h

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "CostLog.h"
#include "TarifScramble.h"
#include "program_driver.h"

namespace {

enum { kProvider = 1015, kDetails = 1006, kVerbinden = 1050, kTrennen = 1052, kGroup = 1071, kOnlinePreis = 1130 };
const char kTitle[] = "Astrel Corvalen 2.0";
const char kTimedOut[] = "Der Server hat nicht rechtzeitig geantwortet";

// Asks the main dialog, from a thread of its own, to answer a message again and again, and keeps
// the longest wait.
class MainWatch {
 public:
  explicit MainWatch(HWND main) : main_(main) {
    thread_ = std::thread([this] {
      while (!stop_) {
        DWORD start = GetTickCount();
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) ++unanswered_;
        DWORD took = GetTickCount() - start;
        if (took > longest_) longest_ = took;
        ++asked_;
        Sleep(100);
      }
    });
  }
  ~MainWatch() { Stop(); }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  DWORD Longest() const { return longest_; }
  int Unanswered() const { return unanswered_; }
  int Asked() const { return asked_; }

 private:
  HWND main_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<DWORD> longest_{0};
  std::atomic<int> unanswered_{0}, asked_{0};
};

class DownloadProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Every address goes to the test's server, the built-in update server's among them.
    SetEnvironmentVariableA("http_proxy", server_.Base().c_str());
    SetEnvironmentVariableA("no_proxy", nullptr);
    CorvalenRun::Machine("MessageUrl", "corva.xml");
    // The program's clock stands (on a Friday morning without price changes) however long the
    // test takes; a test moves it on before it hangs up.
    run_.ClockAtLocal("20261211100000");
  }
  void TearDown() override { SetEnvironmentVariableA("http_proxy", nullptr); }
  bool Requested(const std::string& path) {
    for (const std::string& p : server_.Paths())
      if (p == path) return true;
    return false;
  }
  // Starts the program and connects to the provider chosen at start.
  HWND ConnectMain() {
    int p = run_.Start();
    if (p < 0) return nullptr;
    HWND main = run_.WaitMain();
    if (main) CorvalenRun::Press(main, kVerbinden);
    return main;
  }
  std::vector<CCostRecord> Records() {
    std::vector<CCostRecord> records;
    CCostLog::ParseRecords(run_.File("rechnung.log"), records);
    return records;
  }

  TestHttpServer server_;
  CorvalenRun run_;
};

// A server that stalls after the headers of the server messages: the download runs out of time,
// the user is told once, the stored messages stay, and the window answered throughout.
TEST_F(DownloadProgramTest, AStalledServerIsGivenUpAndToldOnce) {
  const std::string stored = Scrambled("<server><tip typ=\"daily\">gespeichert</tip></server>");
  ASSERT_TRUE(testsupport::WriteFileBytes(run_.Dir() + "ServerInfo.dat", stored));
  server_.SetManner("/msg/corva.xml", std::string(500, 'x'), TestHttpServer::Manner::stall);
  HWND main = ConnectMain();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return Requested("/msg/corva.xml"); }, 30000));
  MainWatch watch(main);
  std::string text;
  HWND box = run_.WaitBox(kTitle, &text, 30000);
  watch.Stop();
  ASSERT_NE(nullptr, box);
  EXPECT_NE(std::string::npos, text.find(kTimedOut)) << text;
  EXPECT_NE(std::string::npos, text.find("/msg/corva.xml")) << text;
  EXPECT_GT(watch.Asked(), 5);
  EXPECT_EQ(0, watch.Unanswered());
  EXPECT_LT(watch.Longest(), 1000u);
  CorvalenRun::Press(box, IDOK);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Text(main, kTrennen) == "&Trennen"; }));
  EXPECT_EQ(stored, CorvalenRun::Slurp(run_.Dir() + "ServerInfo.dat"));
  // Told once: no other box follows.
  Sleep(2000);
  EXPECT_EQ(nullptr, run_.FindTop(kTitle, true));
  run_.ClockAtLocal("20261211100100");
  CorvalenRun::Press(main, kTrennen);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Enabled(main, kVerbinden); }));
  EXPECT_EQ(1u, Records().size());
}

// "Trennen" while a server trickles the messages: the line is hung up at once, the connection's
// cost record is written, the download is given up untold, and nothing of the connect's later
// work (the mailbox, the tray) follows.
TEST_F(DownloadProgramTest, TrennenWorksDuringADownload) {
  server_.SetManner("/msg/corva.xml", std::string(5000, 'x'), TestHttpServer::Manner::trickle);
  HWND main = ConnectMain();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return Requested("/msg/corva.xml"); }, 30000));
  MainWatch watch(main);
  Sleep(1500);
  EXPECT_GE(run_.RasCount("RasDialA"), 1);
  EXPECT_EQ(0, run_.RasCount("RasHangUp"));
  run_.ClockAtLocal("20261211100100");
  PostMessageA(main, WM_COMMAND, MAKEWPARAM(kTrennen, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(main, kTrennen)));
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run_.RasCount("RasHangUp") >= 1; }, 5000));
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Enabled(main, kVerbinden); }, 10000));
  Sleep(1000);
  watch.Stop();
  EXPECT_EQ(0, watch.Unanswered());
  EXPECT_LT(watch.Longest(), 1000u);
  EXPECT_EQ(nullptr, run_.FindTop(kTitle, true));
  EXPECT_TRUE(IsWindowVisible(main));  // not minimised after the connect
  std::vector<CCostRecord> records = Records();
  ASSERT_EQ(1u, records.size());
  EXPECT_EQ("Funkelnetz", std::string(records[0].Name()));
}

// Each misbehaving server in turn: the main dialog keeps answering while the connect's download
// runs, and the download ends.
TEST_F(DownloadProgramTest, TheWindowAnswersWhateverTheServerDoes) {
  using Manner = TestHttpServer::Manner;
  for (Manner manner : {Manner::trickle, Manner::reset, Manner::endless, Manner::redirectLoop}) {
    SCOPED_TRACE(static_cast<int>(manner));
    CorvalenRun run;
    CorvalenRun::Machine("MessageUrl", "corva.xml");
    server_.SetManner("/msg/corva.xml", std::string(5000, 'x'), manner);
    const size_t before = server_.Paths().size();
    int p = run.Start();
    ASSERT_GE(p, 0);
    HWND main = run.WaitMain();
    ASSERT_NE(nullptr, main);
    CorvalenRun::Press(main, kVerbinden);
    ASSERT_TRUE(CorvalenRun::WaitFor([&] { return server_.Paths().size() > before; }, 30000));
    MainWatch watch(main);
    // The download is over when the window goes to the tray (or a timeout is told first).
    HWND box = nullptr;
    ASSERT_TRUE(CorvalenRun::WaitFor([&] {
      if ((box = run.FindTop(kTitle, true)) != nullptr) return true;
      return !IsWindowVisible(main);
    }, 40000));
    watch.Stop();
    if (box) {
      EXPECT_NE(std::string::npos, CorvalenRun::BoxText(box).find(kTimedOut));
      CorvalenRun::Press(box, IDOK);
      // The connect's work goes on to its end: the window goes to the tray.
      EXPECT_TRUE(CorvalenRun::WaitFor([&] { return run.FindTop(kTitle, true) == nullptr && !IsWindowVisible(main); }));
    }
    EXPECT_EQ(0, watch.Unanswered());
    EXPECT_LT(watch.Longest(), 1000u);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((run.Dir() + "ServerInfo.dat").c_str()));
    run.Quit(run.Process(p));
    if (HWND quit = run.WaitBox(kTitle, nullptr, 10000)) CorvalenRun::Press(quit, IDYES);
    EXPECT_TRUE(run.Exited(p, 15000));
  }
}

// A tariff update while online whose new data switch the connected provider off: the update
// is loaded at once (its id is still there), the list shows the new data, "Details..." shows the
// provider chosen in it, and the connection goes on being metered at its tariff until "Trennen",
// whose cost record names it.
TEST_F(DownloadProgramTest, ATariffUpdateThatDropsTheConnectedProviderKeepsItsConnectionWhole) {
  run_.ClockAtLocal("20261211100000");
  std::string tarif = CorvalenRun::Slurp(run_.Dir() + "tarif.dat");
  UnscrambleTarif(reinterpret_cast<unsigned char*>(&tarif[0]), tarif.size());
  const std::string on = "<Provider id=\"fk-100\" active=\"j\">";
  size_t at = tarif.find(on);
  ASSERT_NE(std::string::npos, at);
  tarif.replace(at, on.size(), "<Provider id=\"fk-100\" active=\"n\">");
  server_.Set("/tarif.dat", Scrambled(tarif));
  std::string messages = "<?xml version=\"1.0\"?><server><tip typ=\"tarif\"><url>" + server_.Base() +
                         "/tarif.dat</url><date>2026-12-01 08:00:00</date></tip>"
                         "<tip typ=\"tarifupdate\">Neue Tarife.</tip></server>";
  ASSERT_TRUE(testsupport::WriteFileBytes(run_.Dir() + "ServerInfo.dat", Scrambled(messages)));
  CorvalenRun::User("UpdateFrequence", "0");
  CorvalenRun::User("MessageOfDay", "11.12.2026");  // no server messages today

  int p = run_.Start();
  ASSERT_GE(p, 0);
  HWND main = run_.WaitMain();
  ASSERT_NE(nullptr, main);
  // The price of the provider chosen at start, Funkelnetz, as the list shows it.
  std::vector<std::string> before = CorvalenRun::ComboItems(main, kProvider);
  const int first = CorvalenRun::ComboSel(main, kProvider);
  ASSERT_GE(first, 0);
  const std::string price = std::string(before[static_cast<size_t>(first)].c_str() + 5, 4) + " Pfg";
  const std::string caption = "Aktuelle Verbindung : Funkelnetz";
  CorvalenRun::Press(main, kVerbinden);
  std::string question;
  HWND box = run_.WaitBox(kTitle, &question, 30000);
  ASSERT_NE(nullptr, box);
  EXPECT_NE(std::string::npos, question.find("Es sind neue Tarifdaten vorhanden!")) << question;
  CorvalenRun::Press(box, IDYES);
  HWND tip = nullptr;
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return (tip = run_.FindTop("Astrel Corvalen Tipp des Tages", true)) != nullptr; },
                                   30000));
  CorvalenRun::Press(tip, IDOK);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return !IsWindowVisible(main); }, 10000));
  PostMessageA(main, WM_COMMAND, 40002, 0);  // back from the tray
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000));
  // The list holds the new data: the switched-off provider is gone from it.
  std::vector<std::string> items = CorvalenRun::ComboItems(main, kProvider);
  ASSERT_FALSE(items.empty());
  for (const std::string& item : items) EXPECT_EQ(std::string::npos, item.find("Funkelnetz")) << item;
  const int sel = CorvalenRun::ComboSel(main, kProvider);
  ASSERT_GE(sel, 0);
  const std::string chosen = items[static_cast<size_t>(sel)].substr(items[static_cast<size_t>(sel)].find("Pfg     ") + 8);
  CorvalenRun::Press(main, kDetails);
  HWND details = nullptr;
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return (details = run_.FindTop(("Detailinfos \"" + chosen + "\"").c_str(), true)) != nullptr; }));
  PostMessageA(details, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run_.FindTop(("Detailinfos \"" + chosen + "\"").c_str(), true) == nullptr; }));
  // Still metered at its tariff: the online display keeps its price.
  EXPECT_EQ(caption, CorvalenRun::Text(main, kGroup));
  EXPECT_EQ(price, CorvalenRun::Text(main, kOnlinePreis));
  run_.ClockAtLocal("20261211100500");
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Text(main, 1128) == "0:05:00"; }));
  EXPECT_EQ(price, CorvalenRun::Text(main, kOnlinePreis));
  CorvalenRun::Press(main, kTrennen);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Enabled(main, kVerbinden); }));
  std::vector<CCostRecord> records = Records();
  ASSERT_EQ(1u, records.size()) << run_.File("rechnung.log");
  EXPECT_EQ("Funkelnetz", std::string(records[0].Name()));
  EXPECT_EQ("0192100", std::string(records[0].Number()));
  EXPECT_EQ("00:05:00", std::string(records[0].Duration()));
  EXPECT_EQ(price, std::string(records[0].Price()) + " Pfg");
}

// Server messages without a daily tip (an empty one, or markup alone): after the connect no tip
// window opens, where an empty one did.
TEST_F(DownloadProgramTest, NoTipWindowOpensWithoutATip) {
  server_.Set("/msg/corva.xml", Scrambled("<?xml version=\"1.0\"?><server><tip typ=\"daily\"> \\b\\b </tip></server>"));
  HWND main = ConnectMain();
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return Requested("/msg/corva.xml"); }, 30000));
  // The work after the connect ends with the window going to the tray; the tip would come then.
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return !IsWindowVisible(main); }, 30000));
  EXPECT_FALSE(CorvalenRun::WaitFor([&] { return run_.FindTop("Astrel Corvalen Tipp des Tages", false) != nullptr; }, 2000));
  PostMessageA(main, WM_COMMAND, 40002, 0);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000));
  run_.ClockAtLocal("20261211100100");
  CorvalenRun::Press(main, kTrennen);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Enabled(main, kVerbinden); }));
}

}  // namespace
