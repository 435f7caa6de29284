// The HTTP downloads, the server messages, the banner and the tariff update under Wine, against a
// small HTTP server of the test's own on 127.0.0.1. Message boxes and the browser are recorded
// instead of shown; the clock stands still.
#include "http_server.h"  // winsock2.h before windows.h

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ConnectionController.h"
#include "DataBudget.h"
#include "TarifClock.h"
#include "TarifManager.h"
#include "TarifUi.h"
#include "DataBudget.h"
#include "Updates.h"
#include "program_folder.h"
#include "save_faults.h"
#include "window_driver.h"

namespace {

struct Holder : CTarifConnection {
  CProvider* p = nullptr;
  CProvider* GetConnectedProvider() const override { return p; }
  void SetConnectedProvider(CProvider* n) override { p = n; }
};

// A whole GIF picture of 2 x 1 pixels.
const std::string kSmallGif(
    "GIF89a\x02\x00\x01\x00\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF"
    "\x2C\x00\x00\x00\x00\x02\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
    35);

struct Box {
  std::string text, title;
};

class UpdatesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = UseProgramFolder(std::string("corvupd-") + info->name());
    for (const char* f : {"ServerInfo.dat", "ServerInfo.sic", "tarif.dat", "tarif.sic", "banner.gif", "rechnung.gif"})
      ::DeleteFileA(Path(f).c_str());
    SetFixedNow(COleDateTime(2026, 3, 4, 13, 30, 0));
    SetUpdateServer(server_.Base().c_str());
    SetUpdateMessageBox([this](HWND, const CString& text, const CString& title, UINT) {
      boxes_.push_back({std::string(text), std::string(title)});
      return answer_;
    });
    SetUpdateBrowser([this](const CString& url) { opened_.push_back(std::string(url)); });
    CDlg_Download::SetDefaultStartDelay(1);
    WriteWholeFile(Path("Feiertags.dat").c_str(), "<Feiertage/>");
    settings_ = std::make_unique<CSettings>();
    controller_ = std::make_unique<CConnectionController>(settings_.get(), settings_->GetProvider(), &status_,
                                                          nullptr, nullptr);
  }
  void TearDown() override {
    SetUpdateMessageBox(nullptr);
    SetUpdateBrowser(nullptr);
    SetUpdateServer("");
    SetTarifClock(nullptr);
  }
  std::string Path(const char* name) const { return dir_ + "\\" + name; }
  bool Exists(const char* name) const { return ::GetFileAttributesA(Path(name).c_str()) != INVALID_FILE_ATTRIBUTES; }
  std::string Url(const char* path) const { return server_.Base() + path; }

  // Messages naming the server's tariff file and banner.
  std::string Messages(const char* tarifDate, const char* bannerDate) const {
    return std::string("<?xml version=\"1.0\"?><server>") + "<tip typ=\"tarif\"><url>" + Url("/tarif.dat") +
           "</url><date>" + tarifDate + "</date></tip><tip typ=\"banner\"><url>" + Url("/banner.gif") +
           "</url><date>" + bannerDate + "</date></tip><tip typ=\"dialer\"><url>" + Url("/setup.html") +
           "</url><date>2026-02-01 08:00:00</date></tip><tip typ=\"tarifupdate\">Neue Tarife!</tip></server>";
  }
  // Installs a tariff file and a manager over it with "p1" connected.
  void InstallTarif() {
    WriteWholeFile(Path("tarif.dat").c_str(), Scrambled("<Providerliste><Provider id=\"p1\"/></Providerliste>"));
    manager_.Init(settings_.get(), &conn_);
    conn_.p = manager_.FindProvider("p1");
    ASSERT_NE(conn_.p, nullptr);
    controller_->SetTariffManager(&manager_);
  }

  TestHttpServer server_;
  std::string dir_;
  std::vector<Box> boxes_;
  std::vector<std::string> opened_;
  int answer_ = IDYES;
  CStatusHelper status_;
  std::unique_ptr<CSettings> settings_;
  std::unique_ptr<CConnectionController> controller_;
  Holder conn_;
  CTarifManager manager_;
};

TEST_F(UpdatesTest, DownloadFileWritesTheWholeBody) {
  struct Case {
    const char* path;
    size_t size;
  } cases[] = {{"/empty", 0}, {"/hundred", 100}, {"/short", 37}, {"/large", 70000}};
  for (const Case& c : cases) {
    std::string body;
    for (size_t i = 0; i < c.size; ++i) body += static_cast<char>('a' + i * 7 % 26);
    server_.Set(c.path, body);
    EXPECT_TRUE(DownloadFile(Url(c.path).c_str(), Path("out.bin").c_str())) << c.path;
    EXPECT_EQ(ReadAll(Path("out.bin")), body) << c.path;
  }
  std::vector<std::string> agents = server_.UserAgents();
  ASSERT_FALSE(agents.empty());
  EXPECT_EQ(agents[0], "Microsoft Internet Browser");
}

TEST_F(UpdatesTest, DownloadFileFailures) {
  server_.Set("/gone", "<html>Fehlerseite</html>", 404);
  EXPECT_FALSE(DownloadFile(Url("/gone").c_str(), Path("out.bin").c_str()));
  EXPECT_FALSE(DownloadFile("http://127.0.0.1:1/nobody", Path("out.bin").c_str()));
  server_.Set("/ok", "data");
  // The folder to write into does not exist.
  EXPECT_FALSE(DownloadFile(Url("/ok").c_str(), (dir_ + "\\missing\\out.bin").c_str()));
  // A body beyond the data-file limit is refused and leaves the file it would replace as it was.
  EXPECT_TRUE(DownloadFile(Url("/ok").c_str(), Path("out.bin").c_str()));
  server_.Set("/huge", std::string(kDataFileLimit + 1, 'x'));
  EXPECT_FALSE(DownloadFile(Url("/huge").c_str(), Path("out.bin").c_str()));
  EXPECT_EQ(ReadAll(Path("out.bin")), "data");
  server_.Set("/limit", std::string(kDataFileLimit, 'x'));
  EXPECT_TRUE(DownloadFile(Url("/limit").c_str(), Path("out.bin").c_str()));
}

// Measures, from another thread, how long a window of the test's thread takes to answer a
// message, again and again until stopped: the thread that downloads must keep answering.
class AnswerWatch {
 public:
  AnswerWatch() {
    window_ = CreateWindowExA(0, "STATIC", "watch", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    thread_ = std::thread([this] {
      while (!stop_) {
        DWORD start = GetTickCount();
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) ++unanswered_;
        DWORD took = GetTickCount() - start;
        if (took > longest_) longest_ = took;
        Sleep(50);
      }
      done_ = true;
    });
  }
  ~AnswerWatch() {
    Stop();
    DestroyWindow(window_);
  }
  void Stop() {
    stop_ = true;
    // The last message may wait for this thread's next look at its queue.
    while (!done_) {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      Sleep(10);
    }
    if (thread_.joinable()) thread_.join();
  }
  DWORD Longest() const { return longest_; }
  int Unanswered() const { return unanswered_; }

 private:
  HWND window_;
  std::thread thread_;
  std::atomic<bool> stop_{false}, done_{false};
  std::atomic<DWORD> longest_{0};
  std::atomic<int> unanswered_{0};
};

// Whatever the server does, a download ends within its time limits, the thread that asked keeps
// answering its window's messages meanwhile, the file it would replace stays as it was, and a
// download that ran out of time is told once.
TEST_F(UpdatesTest, ADownloadEndsInTimeWhateverTheServerDoes) {
  using Manner = TestHttpServer::Manner;
  // The thread must answer within a second at the machine's pace; the limits a download waits
  // for stand above that, so that a download that held the thread would be seen.
  const DWORD answerMs = 1000 * testsupport::TimeScale();
  CDownloadLimits limits;
  limits.connectMs = 2 * answerMs;
  limits.idleMs = 2 * answerMs;
  limits.totalMs = 8000;
  SetDownloadLimits(limits);
  const std::string body(400, 'b');
  struct Case {
    const char* what;
    Manner manner;
    bool timesOut;  // else it fails at once
  } cases[] = {
      {"trickle", Manner::trickle, true},   {"stall after the headers", Manner::stall, true},
      {"no answer", Manner::silent, true},  {"reset in the body", Manner::reset, false},
      {"cut short", Manner::truncate, false}, {"redirect loop", Manner::redirectLoop, false},
      {"endless body", Manner::endless, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    server_.SetManner("/file", body, c.manner);
    WriteWholeFile(Path("out.bin").c_str(), "alt");
    boxes_.clear();
    AnswerWatch watch;
    const DWORD start = GetTickCount();
    const DownloadResult result = Download(Url("/file").c_str(), Path("out.bin").c_str());
    const DWORD took = GetTickCount() - start;
    watch.Stop();
    EXPECT_NE(result, DownloadResult::ok);
    // The endless body ends at the time limit or at the limit of data files, whichever comes first.
    if (c.manner != Manner::endless) {
      EXPECT_EQ(result == DownloadResult::timedOut, c.timesOut);
    }
    EXPECT_LT(took, limits.totalMs + limits.idleMs + 3000);
    EXPECT_LT(watch.Longest(), answerMs);
    EXPECT_EQ(watch.Unanswered(), 0);
    EXPECT_EQ(ReadAll(Path("out.bin")), "alt");
    if (result == DownloadResult::timedOut) {
      ASSERT_EQ(boxes_.size(), 1u);
      EXPECT_NE(boxes_[0].text.find("Der Server hat nicht rechtzeitig geantwortet"), std::string::npos);
      EXPECT_NE(boxes_[0].text.find(Url("/file")), std::string::npos);
      EXPECT_NE(boxes_[0].text.find("Die vorhandenen Daten bleiben erhalten."), std::string::npos);
    } else {
      EXPECT_TRUE(boxes_.empty());
    }
  }
  SetDownloadLimits(CDownloadLimits());
}

// A download given up from outside (the line is hung up, the user cancels) ends at once, untold,
// whatever the server does: also while the transfer waits for a server that stalls or never
// answers (the worker is left to end by itself within its limits and writes nothing).
TEST_F(UpdatesTest, ACancelledDownloadEndsUntold) {
  using Manner = TestHttpServer::Manner;
  for (Manner manner : {Manner::trickle, Manner::stall, Manner::silent}) {
    SCOPED_TRACE(static_cast<int>(manner));
    server_.SetManner("/file", std::string(400, 'b'), manner);
    WriteWholeFile(Path("out.bin").c_str(), "alt");
    boxes_.clear();
    std::atomic<DWORD> cancelled{0};
    std::thread cancel([&] {
      Sleep(1500);
      cancelled = GetTickCount();
      CancelDownloads();
    });
    const DWORD start = GetTickCount();
    EXPECT_EQ(Download(Url("/file").c_str(), Path("out.bin").c_str()), DownloadResult::cancelled);
    const DWORD end = GetTickCount();
    cancel.join();
    EXPECT_LT(end - start, 6000u);
    EXPECT_LT(end - cancelled, 1000u * testsupport::TimeScale());
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(ReadAll(Path("out.bin")), "alt");
  }
  // Nothing of the given-up transfers lands later either.
  Sleep(500);
  EXPECT_EQ(ReadAll(Path("out.bin")), "alt");
}

// A server that stalls after its headers is waited for once for the limit between two pieces of
// the answer, not twice.
TEST_F(UpdatesTest, AStalledServerIsWaitedForOneLimit) {
  CDownloadLimits limits;
  limits.connectMs = 3000 * testsupport::TimeScale();
  limits.idleMs = 3000 * testsupport::TimeScale();
  limits.totalMs = 60000;
  SetDownloadLimits(limits);
  server_.SetManner("/file", std::string(400, 'b'), TestHttpServer::Manner::stall);
  const DWORD start = GetTickCount();
  EXPECT_EQ(Download(Url("/file").c_str(), Path("out.bin").c_str()), DownloadResult::timedOut);
  const DWORD took = GetTickCount() - start;
  SetDownloadLimits(CDownloadLimits());
  EXPECT_GE(took + 100, limits.idleMs);
  EXPECT_LT(took, limits.idleMs * 3 / 2);
  ASSERT_EQ(boxes_.size(), 1u);
}

// Only a whole GIF picture takes the place of the bill's banner.
TEST_F(UpdatesTest, OnlyAWholeGifReplacesTheBanner) {
  WriteWholeFile(Path("rechnung.gif").c_str(), "GIF89a-alt");
  server_.Set("/msg/corva.xml", Scrambled(Messages("2026-03-01 10:00:00", "2026-01-05 00:00:00")));
  struct Case {
    const char* what;
    std::string body;
    bool truncate;
  } cases[] = {
      {"error text", "<html>Kein Bild</html>", false},
      {"cut picture", kSmallGif.substr(0, kSmallGif.size() - 3), false},
      {"cut by the connection", kSmallGif, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    settings_->SetBannerTime("");
    server_.Set("/banner.gif", c.body, 200, c.truncate);
    EXPECT_TRUE(CServerInfo().Update(controller_.get(), TRUE));
    EXPECT_EQ(ReadAll(Path("rechnung.gif")), "GIF89a-alt");
    EXPECT_FALSE(Exists("banner.gif"));
    EXPECT_EQ(std::string(settings_->GetBannerTime()), "");  // tried again with the next messages
  }
}

TEST_F(UpdatesTest, ServerMessagesAreFetchedPutInPlaceAndBringTheBanner) {
  server_.Set("/msg/corva.xml", Scrambled(Messages("2026-03-01 10:00:00", "2026-01-05 00:00:00")));
  server_.Set("/banner.gif", kSmallGif);
  CServerInfo info;
  EXPECT_TRUE(info.Update(controller_.get(), TRUE));
  EXPECT_FALSE(Exists("ServerInfo.sic"));
  EXPECT_TRUE(Exists("ServerInfo.dat"));
  EXPECT_EQ(std::string(settings_->GetTarifUrl()), Url("/tarif.dat"));
  EXPECT_EQ(ReadAll(Path("rechnung.gif")), kSmallGif);
  EXPECT_FALSE(Exists("banner.gif"));
  EXPECT_EQ(std::string(settings_->GetBannerTime()), "2026-01-05 00:00:00");

  // The same banner date again: the picture is not fetched a second time.
  EXPECT_TRUE(info.Update(controller_.get(), TRUE));
  int bannerRequests = 0;
  for (const std::string& p : server_.Paths()) bannerRequests += p == "/banner.gif";
  EXPECT_EQ(bannerRequests, 1);

  // At the next start the stored file is read without the network, and what a download that the
  // program was ended in left behind is taken away.
  for (const char* stale : {"ServerInfo.sic.sic", "tarif.sic.sic"}) {
    HANDLE f = ::CreateFileA(Path(stale).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(f);
  }
  CSettings fresh;
  CConnectionController other(&fresh, fresh.GetProvider(), &status_, nullptr, nullptr);
  EXPECT_TRUE(CServerInfo().Update(&other, FALSE));
  EXPECT_EQ(std::string(fresh.GetTarifDate()), "2026-03-01 10:00:00");
  EXPECT_FALSE(Exists("ServerInfo.sic.sic"));
  EXPECT_FALSE(Exists("tarif.sic.sic"));
}

TEST_F(UpdatesTest, BadOrMissingServerMessagesKeepTheStoredOnes) {
  server_.Set("/msg/corva.xml", Scrambled(Messages("2026-03-01 10:00:00", "")));
  CServerInfo info;
  ASSERT_TRUE(info.Update(controller_.get(), TRUE));
  std::string stored = ReadAll(Path("ServerInfo.dat"));

  // Cut short: left as ServerInfo.sic, not used.
  std::string broken = Messages("2027-01-01 00:00:00", "");
  server_.Set("/msg/corva.xml", Scrambled(broken.substr(0, broken.size() - 20)));
  EXPECT_FALSE(info.Update(controller_.get(), TRUE));
  EXPECT_TRUE(Exists("ServerInfo.sic"));
  EXPECT_EQ(ReadAll(Path("ServerInfo.dat")), stored);
  EXPECT_EQ(std::string(settings_->GetTarifDate()), "2026-03-01 10:00:00");

  // The server has nothing (404) or is not there at all.
  server_.Set("/msg/corva.xml", "", 404);
  EXPECT_FALSE(info.Update(controller_.get(), TRUE));
  SetUpdateServer("http://127.0.0.1:1");
  EXPECT_FALSE(info.Update(controller_.get(), TRUE));
  EXPECT_EQ(ReadAll(Path("ServerInfo.dat")), stored);
  EXPECT_EQ(std::string(settings_->GetTarifDate()), "2026-03-01 10:00:00");
}

// The tariff download of the options page and of the daily check.
TEST_F(UpdatesTest, TariffDownloadInstallsAGoodFileAndReloads) {
  InstallTarif();
  std::string next = Scrambled("<Providerliste><Provider id=\"p1\"/><Provider id=\"p2\"/></Providerliste>");
  server_.Set("/tarif.dat", next);
  settings_->SetTarifUrl(Url("/tarif.dat").c_str());
  CTarifUpdateCheck check(controller_.get());
  EXPECT_TRUE(check.RunDownload());
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(ReadAll(Path("tarif.dat")), next);
  EXPECT_FALSE(Exists("tarif.sic"));
  EXPECT_NE(manager_.FindProvider("p2"), nullptr);  // loaded at once
}

TEST_F(UpdatesTest, TariffFileWithoutTheCurrentProviderIsInstalledWithItsNote) {
  InstallTarif();
  std::string next = Scrambled("<Providerliste><Provider id=\"p9\"/></Providerliste>");
  server_.Set("/tarif.dat", next);
  settings_->SetTarifUrl(Url("/tarif.dat").c_str());
  EXPECT_TRUE(CTarifUpdateCheck(controller_.get()).RunDownload());
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].title, "Hinweis");
  EXPECT_EQ(boxes_[0].text,
            "Tarifdatei wurde erfolgreich geladen!\nDie neuen Tarife stehen beim n\xE4" "chsten Programmstart zur "
            "Verf\xFC" "gung");
  EXPECT_EQ(ReadAll(Path("tarif.dat")), next);
  EXPECT_EQ(manager_.FindProvider("p9"), nullptr);  // only from the next start
}

TEST_F(UpdatesTest, BrokenTariffDownloadsAreRefused) {
  InstallTarif();
  std::string old = ReadAll(Path("tarif.dat"));
  std::string whole = "<Providerliste><Provider id=\"p1\"/><Provider id=\"p2\"/></Providerliste>";
  struct Case {
    const char* what;
    std::string body;
    int status;
  } cases[] = {
      {"not xml", Scrambled("<<<kein xml"), 200},
      {"cut short", Scrambled(whole.substr(0, 40)), 200},
      {"empty", "", 200},
      {"error page", Scrambled(whole), 404},
  };
  settings_->SetTarifUrl(Url("/tarif.dat").c_str());
  for (const Case& c : cases) {
    boxes_.clear();
    server_.Set("/tarif.dat", c.body, c.status);
    EXPECT_FALSE(CTarifUpdateCheck(controller_.get()).RunDownload()) << c.what;
    ASSERT_EQ(boxes_.size(), 1u) << c.what;
    EXPECT_EQ(boxes_[0].title, "Fehler");
    EXPECT_EQ(boxes_[0].text, "Tarifdaten konnten nicht erfolgreich\naktualisiert werden !");
    EXPECT_EQ(ReadAll(Path("tarif.dat")), old) << c.what;
  }
  // No address at all (no server messages yet).
  settings_->SetTarifUrl("");
  EXPECT_FALSE(CTarifUpdateCheck(controller_.get()).RunDownload());
}

// A good download that cannot take the place of tarif.dat (read-only, held open by another
// program): tarif.dat stays as it was and the message names it.
TEST_F(UpdatesTest, ATariffFileThatCannotBeReplacedStaysAndIsNamed) {
  InstallTarif();
  const std::string old = ReadAll(Path("tarif.dat"));
  server_.Set("/tarif.dat", Scrambled("<Providerliste><Provider id=\"p1\"/><Provider id=\"p2\"/></Providerliste>"));
  settings_->SetTarifUrl(Url("/tarif.dat").c_str());
  for (const testsupport::SaveFault& fault : testsupport::SaveFaults()) {
    SCOPED_TRACE(fault.name);
    boxes_.clear();
    fault.apply(Path("tarif.dat"));
    const BOOL installed = CTarifUpdateCheck(controller_.get()).RunDownload();
    fault.release(Path("tarif.dat"));
    EXPECT_FALSE(installed);
    EXPECT_EQ(ReadAll(Path("tarif.dat")), old);
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[0].text, testsupport::SaveFailedText(Path("tarif.dat")));
    EXPECT_EQ(boxes_[0].title, "Fehler");
    EXPECT_EQ(boxes_[1].text, "Tarifdaten konnten nicht erfolgreich\naktualisiert werden !");
    EXPECT_EQ(manager_.FindProvider("p2"), nullptr);
  }
}

TEST_F(UpdatesTest, DailyChecksAskOnlyForNewStampsAndRememberTheAnswer) {
  InstallTarif();
  server_.Set("/tarif.dat", Scrambled("<Providerliste><Provider id=\"p1\"/></Providerliste>"));
  settings_->SetTarifUrl(Url("/tarif.dat").c_str());
  settings_->SetTarifDate("2026-03-01 10:00:00");
  settings_->SetDialerUrl(Url("/setup.html").c_str());
  settings_->SetDialerDate("2026-02-01 08:00:00");

  CTarifUpdateCheck tarif(controller_.get());
  answer_ = IDNO;
  EXPECT_FALSE(tarif.Run(nullptr));
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].title, "Astrel Corvalen 2.0");
  EXPECT_NE(boxes_[0].text.find("Es sind neue Tarifdaten vorhanden!"), std::string::npos);
  EXPECT_EQ(std::string(settings_->GetCurrentTarif()), "");
  answer_ = IDYES;
  EXPECT_TRUE(tarif.Run(nullptr));
  EXPECT_EQ(std::string(settings_->GetCurrentTarif()), "2026-03-01 10:00:00");
  boxes_.clear();
  EXPECT_FALSE(tarif.Run(nullptr));  // nothing new now: no question
  EXPECT_TRUE(boxes_.empty());

  CDialerUpdateCheck dialer(controller_.get());
  EXPECT_TRUE(dialer.Run(nullptr));
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], Url("/setup.html"));
  EXPECT_EQ(std::string(settings_->GetCurrentDialer()), "2026-02-01 08:00:00");

  // Two connects on one day: the checks are due once; "Nur manuell" turns them off.
  EXPECT_TRUE(tarif.IsDue());
  EXPECT_FALSE(tarif.IsDue());
  EXPECT_TRUE(dialer.IsDue());
  SetFixedNow(COleDateTime(2026, 3, 5, 8, 0, 0));
  settings_->SetUpdateFrequence("1");
  EXPECT_FALSE(tarif.IsDue());
  EXPECT_FALSE(dialer.IsDue());
}

}  // namespace

// A program page that is no web address (the messages come over plain HTTP) is not offered, and
// nothing goes to the shell.
TEST_F(UpdatesTest, AProgramPageThatIsNoWebAddressIsNotOffered) {
  settings_->SetDialerDate("2026-02-01 08:00:00");
  for (const char* address : {"Z:\\tmp\\marker.exe", "file:///C:/marker.bat", ""}) {
    settings_->SetDialerUrl(address);
    settings_->SetCurrentDialer("");
    boxes_.clear();
    EXPECT_TRUE(CDialerUpdateCheck(controller_.get()).Run(nullptr));
    EXPECT_TRUE(boxes_.empty()) << address;
    EXPECT_TRUE(opened_.empty()) << address;
    EXPECT_EQ(std::string(settings_->GetCurrentDialer()), "") << address;
  }
}

TEST_F(UpdatesTest, StampsOfAnotherLengthAreOfferedOnce) {
  InstallTarif();
  server_.Set("/tarif.dat", Scrambled("<Providerliste><Provider id=\"p1\"/></Providerliste>"));
  for (const char* stamp : {"2026-03-01 10:00:00 MEZ", "2026-03-01"}) {
    settings_->SetCurrentTarif("");
    settings_->SetCurrentDialer("");
    server_.Set("/msg/corva.xml", Scrambled(std::string("<server><tip typ=\"tarif\"><url>") + Url("/tarif.dat") +
                                            "</url><date>" + stamp + "</date></tip><tip typ=\"dialer\"><url>" +
                                            Url("/setup.html") + "</url><date>" + stamp + "</date></tip></server>"));
    // The first day: both are offered and taken.
    ASSERT_TRUE(CServerInfo().Update(controller_.get(), TRUE)) << stamp;
    CTarifUpdateCheck tarif(controller_.get());
    CDialerUpdateCheck dialer(controller_.get());
    boxes_.clear();
    EXPECT_TRUE(tarif.Run(nullptr)) << stamp;
    EXPECT_TRUE(dialer.Run(nullptr));
    EXPECT_EQ(boxes_.size(), 2u) << stamp;
    // The next day the same messages offer nothing.
    ASSERT_TRUE(CServerInfo().Update(controller_.get(), TRUE));
    boxes_.clear();
    EXPECT_FALSE(tarif.Run(nullptr));
    EXPECT_TRUE(dialer.Run(nullptr));
    EXPECT_TRUE(boxes_.empty()) << stamp;
  }
}
