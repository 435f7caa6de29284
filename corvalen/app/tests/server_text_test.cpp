// What the update server writes, through the real Corvalen.exe under Wine: its messages come over
// plain HTTP (here from a small server of the test's own on 127.0.0.1, reached through the proxy
// setting), so anyone on the path can write them. An address that names a program of the machine
// is never started, at no connect; web addresses still reach the browser; and a daily tip of
// megabytes in one paragraph is shown cut, with the program answering throughout.
#include "http_server.h"  // winsock2.h before windows.h

#include <gtest/gtest.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "CostLog.h"
#include "program_driver.h"

namespace {

enum { kVerbinden = 1050, kTrennen = 1052, kViewer20 = 1061, kTrayRestore = 40002 };
const char kTitle[] = "Astrel Corvalen 2.0";
const char kTipTitle[] = "Astrel Corvalen Tipp des Tages";

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class ServerTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetEnvironmentVariableA("http_proxy", server_.Base().c_str());
    SetEnvironmentVariableA("no_proxy", nullptr);
    CorvalenRun::Machine("MessageUrl", "corva.xml");
    CorvalenRun::User("UpdateFrequence", "0");  // the daily checks run: the program page is offered
    run_.ClockAtLocal("20261211100000");
    // What the shell hands to the browser is written down: the commands of http and https
    // addresses (in this test's own prefix) append the address to a file, one for each scheme,
    // so that two pages opened at once do not meet in one file.
    for (const char* scheme : {"http", "https"}) {
      const std::string log = run_.Dir() + "browser-" + scheme + ".log";
      const std::string command = "C:\\windows\\system32\\cmd.exe /c echo %1>>\"" + log + "\"";
      const std::string cls = std::string("Software\\Classes\\") + scheme + "\\shell\\open\\command";
      HKEY key;
      ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, cls.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                               &key, nullptr));
      RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                     static_cast<DWORD>(command.size() + 1));
      RegCloseKey(key);
    }
    // A program of the machine that shows when it was started: a batch file writing a file.
    marker_ = run_.Dir() + "marker.bat";
    ran_ = run_.Dir() + "marker-ran.txt";
    ASSERT_TRUE(testsupport::WriteFileBytes(marker_, "@echo off\r\necho gestartet>>\"" + ran_ + "\"\r\n"));
  }
  void TearDown() override { SetEnvironmentVariableA("http_proxy", nullptr); }

  static std::string Messages(const std::string& urlOfDay, const std::string& dialerUrl, const std::string& tip) {
    return "<?xml version=\"1.0\"?><server><tip typ=\"urlofday\"><url>" + urlOfDay +
           "</url></tip><tip typ=\"dialer\"><url>" + dialerUrl +
           "</url><date>2026-12-01 08:00:00</date></tip><tip typ=\"daily\">" + tip + "</tip></server>";
  }
  int Requests(const std::string& path) {
    int n = 0;
    for (const std::string& p : server_.Paths()) n += p == path;
    return n;
  }
  // Everything the shell handed to the browser.
  std::string Browsed() const {
    return CorvalenRun::Slurp(run_.Dir() + "browser-http.log") + CorvalenRun::Slurp(run_.Dir() + "browser-https.log");
  }
  // Runs the work after a connect to its end (the window in the tray, and the tip of the day when
  // one is expected) as a user would: every question of the program answered with Yes (its text
  // kept), the tip closed.
  bool FinishConnect(HWND main, std::vector<std::string>* questions, int* tips, bool tipExpected) {
    return CorvalenRun::WaitFor([&] {
      if (HWND box = run_.FindTop(kTitle, true)) {
        questions->push_back(CorvalenRun::BoxText(box));
        CorvalenRun::Press(box, IDYES);
        CorvalenRun::WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
      }
      if (HWND tip = run_.FindTop(kTipTitle, true)) {
        ++*tips;
        CorvalenRun::Press(tip, IDOK);
        CorvalenRun::WaitFor([&] { return !IsWindow(tip) || !IsWindowVisible(tip); }, 5000);
      }
      return !IsWindowVisible(main) && (!tipExpected || *tips > 0);
    }, 60000);
  }
  // Back from the tray, "Trennen", and offline again.
  bool HangUp(HWND main) {
    PostMessageA(main, WM_COMMAND, kTrayRestore, 0);
    if (!CorvalenRun::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000)) return false;
    CorvalenRun::Press(main, kTrennen);
    return CorvalenRun::WaitFor([&] { return CorvalenRun::Enabled(main, kVerbinden); }, 10000);
  }

  TestHttpServer server_;
  CorvalenRun run_;
  std::string marker_, ran_;
};

// The address of the day, the program page and a link of the tip all name the batch file. Nothing
// starts it: not after the connect that fetched the messages, not after the next one, which
// takes the address from the stored messages. And without a page to go to, the program page is
// not offered at all.
TEST_F(ServerTextTest, NoAddressOfTheServerStartsAProgram) {
  // What the test looks for can be seen: handed to the shell, the batch file does run.
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.lpFile = marker_.c_str();
  info.nShow = SW_HIDE;
  ASSERT_TRUE(ShellExecuteExA(&info));
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return Exists(ran_); }, 15000));
  ASSERT_TRUE(DeleteFileA(ran_.c_str()));

  const std::string fileLink = "file:///" + marker_;
  server_.Set("/msg/corva.xml", Scrambled(Messages(marker_, marker_, "Heute klicken: " + fileLink)));
  ASSERT_GE(run_.Start(), 0);
  HWND main = run_.WaitMain();
  ASSERT_NE(nullptr, main);
  std::vector<std::string> questions;
  int tips = 0;
  for (int connect = 1; connect <= 2; ++connect) {
    SCOPED_TRACE(connect);
    CorvalenRun::Press(main, kVerbinden);
    ASSERT_TRUE(FinishConnect(main, &questions, &tips, connect == 1));
    // A batch file started now would have written its file within this time.
    Sleep(3000 * testsupport::TimeScale());
    EXPECT_FALSE(Exists(ran_));
    run_.ClockAtLocal(connect == 1 ? "20261211100100" : "20261211100200");
    ASSERT_TRUE(HangUp(main));
  }
  EXPECT_EQ(1, Requests("/msg/corva.xml"));
  EXPECT_EQ(1, tips);  // the messages were taken: their tip was shown
  EXPECT_TRUE(questions.empty()) << questions[0];
  // The built-in page of the day may have been opened; nothing else was.
  EXPECT_EQ(std::string::npos, Browsed().find("marker")) << Browsed();
  EXPECT_EQ(std::string::npos, Browsed().find("file:")) << Browsed();
  EXPECT_FALSE(Exists(ran_));
  // The stored messages keep no such address either.
  EXPECT_EQ(std::string::npos, CorvalenRun::Slurp(run_.Dir() + "ServerInfo.dat").find("marker")) << "stored as sent";
}

// Web addresses still go to the browser: the page of the day after the connect, and the program
// page when the user takes the offered version.
TEST_F(ServerTextTest, WebAddressesStillReachTheBrowser) {
  const std::string today = "http://127.0.0.1:9/heute.html", version = "https://www.example.com/version.html";
  server_.Set("/msg/corva.xml", Scrambled(Messages(today, version, "Ein Tipp.")));
  ASSERT_GE(run_.Start(), 0);
  HWND main = run_.WaitMain();
  ASSERT_NE(nullptr, main);
  CorvalenRun::Press(main, kVerbinden);
  std::vector<std::string> questions;
  int tips = 0;
  ASSERT_TRUE(FinishConnect(main, &questions, &tips, true));
  ASSERT_EQ(1u, questions.size());
  EXPECT_NE(std::string::npos, questions[0].find("neue Corvalen Version")) << questions[0];
  EXPECT_EQ(1, tips);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] {
    std::string log = Browsed();
    return log.find(today) != std::string::npos && log.find(version) != std::string::npos;
  }, 15000)) << Browsed();
  EXPECT_EQ("2026-12-01 08:00:00", CorvalenRun::GetUser("CurrentDialer"));
  run_.ClockAtLocal("20261211100100");
  ASSERT_TRUE(HangUp(main));
}

// A daily tip of 5 MB in one paragraph is shown cut to what a reader reads, the tip window and the
// main dialog answer at once, and the connection goes on to be hung up and billed.
TEST_F(ServerTextTest, AHugeTipIsShownCutAndTheProgramAnswers) {
  std::string tip;
  while (tip.size() < 5u * 1024 * 1024) tip += "Surfen Sie heute mit Corvalen zum besten Preis. ";
  server_.Set("/msg/corva.xml", Scrambled(Messages("", "", tip)));
  int p = run_.Start();
  ASSERT_GE(p, 0);
  HWND main = run_.WaitMain();
  ASSERT_NE(nullptr, main);
  CorvalenRun::Press(main, kVerbinden);
  HWND window = nullptr;
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return (window = run_.FindTop(kTipTitle, true)) != nullptr; }, 60000));
  const UINT limit = 2000 * testsupport::TimeScale();
  DWORD_PTR length = 0;
  ASSERT_TRUE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, limit, &length));
  ASSERT_TRUE(SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, limit, &length));
  ASSERT_TRUE(SendMessageTimeoutA(GetDlgItem(window, kViewer20), WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, limit, &length));
  EXPECT_LE(length, 4096u);
  EXPECT_GT(length, 2048u);
  std::vector<char> text(8192, '\0');
  ASSERT_TRUE(SendMessageTimeoutA(GetDlgItem(window, kViewer20), WM_GETTEXT, text.size() - 1,
                                  reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, limit, &length));
  const std::string shown(text.data());
  EXPECT_EQ(0u, shown.find("Surfen Sie heute mit Corvalen")) << shown.substr(0, 80);
  ASSERT_GE(shown.size(), 4u);
  EXPECT_EQ(" ...", shown.substr(shown.size() - 4));
  CorvalenRun::Press(window, IDOK);
  std::vector<std::string> questions;
  int tips = 0;
  ASSERT_TRUE(FinishConnect(main, &questions, &tips, false));
  EXPECT_FALSE(run_.Exited(p, 0));
  run_.ClockAtLocal("20261211100100");
  ASSERT_TRUE(HangUp(main));
  std::vector<CCostRecord> records;
  CCostLog::ParseRecords(run_.File("rechnung.log"), records);
  EXPECT_EQ(1u, records.size());
}

}  // namespace
