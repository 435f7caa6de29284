// The mailbox check in the real Corvalen.exe: after a connect on the simulated line the program
// asks the POP3 server (named through CORVALEN_POP3_SERVER) and shows the new-mail box.
#include "pop3_server.h"  // WinSock before <windows.h>

#include <gtest/gtest.h>

#include "Settings.h"
#include "app_fixture.h"

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
