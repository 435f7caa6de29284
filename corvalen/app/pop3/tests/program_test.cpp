// The mailbox check in the real Corvalen.exe: after a connect on the simulated line the program
// asks the POP3 server (named through CORVALEN_POP3_SERVER) and shows the new-mail box; a server
// that floods it ends at the time limit while the screen goes on.
#include "pop3_server.h"  // WinSock before <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "Settings.h"
#include "program_driver.h"

namespace {

const int kVerbinden = 1050;
const char kTitle[] = "Astrel Corvalen 2.0";

}  // namespace

TEST(CorvalenMailCheck, AfterConnectingTheNewMailIsShown) {
  Pop3Server server({"+OK Postwell POP3\r\n", "+OK\r\n", "+OK\r\n", "+OK 4 512\r\n", "+OK 1\r\n", "+OK\r\n"});
  CorvalenRun run;
  SetEnvironmentVariableA("CORVALEN_POP3_SERVER", ("127.0.0.1:" + std::to_string(server.port)).c_str());
  // The check's time limit is divided like the program's timers: 6 s here, so a busy machine
  // does not end the check before the server's replies arrive.
  SetEnvironmentVariableA("CORVALEN_TIMESCALE", "10");
  {
    CSettings settings;  // the password is stored scrambled, as the program stores it
    settings.SetPOP3("1");
    settings.SetPOP3Postfach("kunde@postwell");
    settings.SetPOP3Passwort("geheim");
    settings.SetPOPSpeichern("1");
  }
  int p = run.Start();
  ASSERT_GE(p, 0);
  HWND main = run.WaitMain();
  ASSERT_NE(nullptr, main);
  CorvalenRun::Press(main, kVerbinden);
  std::string text;
  HWND box = run.WaitBox(kTitle, &text);
  ASSERT_NE(nullptr, box);
  EXPECT_EQ("Ihr Postfach bei  POSTWELL enthält zur Zeit  3  neue E-Mail(s)!", text);
  CorvalenRun::Press(box, IDOK);
  server.Join();
  EXPECT_EQ(server.commands,
            (std::vector<std::string>{"USER kunde@postwell", "PASS geheim", "STAT ", "LAST ", "QUIT "}));
  // The stored password stays stored.
  EXPECT_EQ("geheim", CSettings().GetPOP3Passwort());
  SetEnvironmentVariableA("CORVALEN_POP3_SERVER", nullptr);
}

namespace {

// A POP3 server that greets and then sends one text again and again, as fast as the loopback
// takes it, until the client goes: when it went and how much was sent are read after Join.
struct Pop3Flood {
  std::string text;
  testsupport::LoopbackListener listener{1};
  UINT port = listener.Port();
  HANDLE thread = nullptr;
  DWORD greetedAt = 0, endedAt = 0;
  long long sent = 0;

  explicit Pop3Flood(std::string t) : text(std::move(t)) {
    EXPECT_TRUE(listener.Listening());
    thread = CreateThread(nullptr, 0, &Pop3Flood::Run, this, 0, nullptr);
  }
  ~Pop3Flood() {
    listener.Close();
    if (thread) {
      WaitForSingleObject(thread, 5000);
      CloseHandle(thread);
    }
  }
  bool Join(DWORD ms) { return WaitForSingleObject(thread, ms) == WAIT_OBJECT_0; }
  static DWORD WINAPI Run(void* p) {
    static_cast<Pop3Flood*>(p)->Serve();
    return 0;
  }
  void Serve() {
    SOCKET c = accept(listener.Socket(), nullptr, nullptr);
    if (c == INVALID_SOCKET) return;
    std::string block;
    while (block.size() < 65536) block += text;
    send(c, "+OK flood\r\n", 11, 0);
    greetedAt = GetTickCount();
    // Until the client closes (or a generous hour of the check's scaled minute has passed).
    while (GetTickCount() - greetedAt < 120000) {
      int n = send(c, block.data(), static_cast<int>(block.size()), 0);
      if (n <= 0) break;
      sent += n;
    }
    endedAt = GetTickCount();
    closesocket(c);
  }
};

}  // namespace

// A server that sends without pause, an endless line or endless short replies: the check ends
// at its time limit (6 s here) within a little slack, or earlier at the longest line it reads,
// and all the while the online time goes on counting on the screen.
TEST(CorvalenMailCheck, AServerThatFloodsEndsAtTheLimitAndTheDisplayRuns) {
  const int kOnlineZeit = 1128;
  struct Case {
    const char* what;
    const char* text;
  };
  for (const Case& c : {Case{"an endless line", "x"}, Case{"endless short replies", "+OK\r\n"}}) {
    SCOPED_TRACE(c.what);
    Pop3Flood server(c.text);
    CorvalenRun run;
    SetEnvironmentVariableA("CORVALEN_POP3_SERVER", ("127.0.0.1:" + std::to_string(server.port)).c_str());
    SetEnvironmentVariableA("CORVALEN_TIMESCALE", "10");
    {
      CSettings settings;
      settings.SetPOP3("1");
      settings.SetPOP3Postfach("kunde@postwell");
      settings.SetPOP3Passwort("geheim");
      settings.SetPOPSpeichern("1");
    }
    ASSERT_GE(run.Start(), 0);
    HWND main = run.WaitMain();
    ASSERT_NE(nullptr, main);
    CorvalenRun::Press(main, kVerbinden);
    ASSERT_TRUE(CorvalenRun::WaitFor([&] { return server.greetedAt != 0; }));
    // The online time as the screen shows it, sampled while the server floods.
    std::set<std::string> shown;
    const DWORD limit = 6000, slack = 3000 * testsupport::TimeScale();
    while (WaitForSingleObject(server.thread, 100) == WAIT_TIMEOUT && GetTickCount() - server.greetedAt < limit + slack)
      shown.insert(CorvalenRun::Text(main, kOnlineZeit));
    ASSERT_TRUE(server.Join(limit + slack)) << server.sent << " bytes sent";
    EXPECT_LE(server.endedAt - server.greetedAt, limit + slack) << server.sent << " bytes sent";
    if (std::string(c.text) == "x") {
      EXPECT_LT(server.endedAt - server.greetedAt, limit) << "the longest line ends the check first";
    } else {
      EXPECT_GE(server.endedAt - server.greetedAt, limit - 1000) << "the limit, not the line";
      shown.erase("");
      EXPECT_GE(shown.size(), 5u) << "the online time counts while the server floods";
    }
    SetEnvironmentVariableA("CORVALEN_POP3_SERVER", nullptr);
  }
}
