// The mailbox check against a small POP3 server on 127.0.0.1, run on a thread of the test: the
// check's socket notifications arrive as window messages, which the test pumps.
#include "MailCheck.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "RegistryMemory.h"
#include "mail_check_support.h"
#include "pop3_server.h"

namespace {

class MailCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings.SetPOP3("1");
    settings.SetPOP3Postfach("kunde");
    settings.SetPOP3Passwort("geheim");
    settings.SetPOPSpeichern("1");
  }
  // Runs one check against the server and waits for both ends.
  void RunCheck(TestMailCheck& check, Pop3Server& server) {
    check.SetServer("127.0.0.1", server.port);
    check.Start();
    ASSERT_NE(check.GetSocket(), nullptr);
    PumpUntilEnded(check);
    EXPECT_EQ(check.GetSocket(), nullptr) << "the check did not end";
    server.Join();
  }

  CMemoryRegistry registry;
  CSettings settings{&registry};
};

const std::vector<std::string> kFullDialogue = {"+OK", "USER kunde", "PASS geheim", "STAT ", "LAST ", "QUIT "};

std::vector<std::string> Replies(const char* stat, const char* last) {
  return {"+OK POP3 server ready\r\n", "+OK\r\n", "+OK maildrop locked\r\n", stat, last, "+OK bye\r\n"};
}

}  // namespace

TEST_F(MailCheckTest, NewMailIsReportedOnce) {
  Pop3Server server(Replies("+OK 5 2048\r\n", "+OK 3\r\n"));
  TestMailCheck check(&settings, nullptr);
  check.SetServer("127.0.0.1", static_cast<UINT>(server.port));
  check.Start();
  ASSERT_NE(check.GetSocket(), nullptr);
  PumpUntilEnded(check);
  server.Join();
  EXPECT_EQ(check.GetSocket(), nullptr);
  EXPECT_EQ(server.commands,
            (std::vector<std::string>{"USER kunde", "PASS geheim", "STAT ", "LAST ", "QUIT "}));
  ASSERT_EQ(check.boxes.size(), 1u);
  EXPECT_EQ(check.boxes[0].text, "Ihr Postfach bei  POSTWELL enthält zur Zeit  2  neue E-Mail(s)!");
  EXPECT_EQ(check.boxes[0].flags, static_cast<UINT>(MB_OK | MB_SYSTEMMODAL | MB_ICONINFORMATION));
}

TEST_F(MailCheckTest, NoNewMailShowsNothing) {
  struct { const char* stat; const char* last; } cases[] = {
      {"+OK 0 0\r\n", "+OK 0\r\n"}, {"+OK 4 100\r\n", "+OK 4\r\n"}};
  for (auto& c : cases) {
    Pop3Server server(Replies(c.stat, c.last));
    TestMailCheck check(&settings, nullptr);
    RunCheck(check, server);
    EXPECT_EQ(server.commands.size(), 5u) << c.stat;
    EXPECT_TRUE(check.boxes.empty()) << c.stat;
  }
}

TEST_F(MailCheckTest, RefusedLoginShowsTheErrorBox) {
  // Replies up to the refusal; whether the box shows.
  struct { std::vector<std::string> replies; bool box; size_t commands; } cases[] = {
      {{"+OK\r\n", "-ERR unknown user\r\n"}, true, 1},
      {{"+OK\r\n", "+OK\r\n", "-err invalid password\r\n"}, true, 2},
      {{"-ERR too busy\r\n"}, false, 0},
      {{"+OK\r\n", "+OK\r\n", "+OK\r\n", "-ERR\r\n"}, false, 3},
  };
  for (auto& c : cases) {
    Pop3Server server(c.replies);
    TestMailCheck check(&settings, nullptr);
    RunCheck(check, server);
    EXPECT_EQ(server.commands.size(), c.commands);
    ASSERT_EQ(check.boxes.size(), c.box ? 1u : 0u) << c.commands;
    if (c.box) {
      EXPECT_EQ(check.boxes[0].text,
                "Ein Fehler beim Abfragen des Postwell-Postfaches ist aufgetreten!\n"
                "Bitte überprüfen Sie Benutzername und Passwort.");
      EXPECT_EQ(check.boxes[0].flags, static_cast<UINT>(MB_OK | MB_SYSTEMMODAL | MB_ICONERROR));
    }
  }
}

TEST_F(MailCheckTest, DroppedConnectionEndsSilently) {
  Pop3Server server(Replies("+OK 5 1\r\n", "+OK 0\r\n"), 1);  // hangs up after USER
  TestMailCheck check(&settings, nullptr);
  RunCheck(check, server);
  EXPECT_EQ(server.commands, (std::vector<std::string>{"USER kunde"}));
  EXPECT_TRUE(check.boxes.empty());
}

TEST_F(MailCheckTest, HangUpAfterQuitStillReportsTheMail) {
  std::vector<std::string> replies = Replies("+OK 7 1\r\n", "+OK 2\r\n");
  replies.pop_back();  // no answer to QUIT, the server just closes
  Pop3Server server(replies);
  TestMailCheck check(&settings, nullptr);
  RunCheck(check, server);
  ASSERT_EQ(check.boxes.size(), 1u);
  EXPECT_EQ(check.boxes[0].text, "Ihr Postfach bei  POSTWELL enthält zur Zeit  5  neue E-Mail(s)!");
}

TEST_F(MailCheckTest, SilentServerIsGivenUpAfterTheTimeLimit) {
  Pop3Server server({});
  TestMailCheck check(&settings, nullptr);
  check.SetTimeout(300);
  check.SetServer("127.0.0.1", server.port);
  check.Start();
  ASSERT_NE(check.GetSocket(), nullptr);
  DWORD took = PumpUntilEnded(check);
  EXPECT_EQ(check.GetSocket(), nullptr);
  EXPECT_GE(took, 250u);
  EXPECT_LT(took, 5000u);
  server.Join();  // the server saw the connection closed
  EXPECT_TRUE(server.commands.empty());
  EXPECT_TRUE(check.boxes.empty());
}

TEST_F(MailCheckTest, UnreachableServerEndsSilently) {
  UINT port;
  {
    Pop3Server closed({});  // a port that was free a moment ago and has no listener now
    port = closed.port;
  }
  TestMailCheck check(&settings, nullptr);
  check.SetServer("127.0.0.1", port);
  check.Start();
  PumpUntilEnded(check);
  EXPECT_EQ(check.GetSocket(), nullptr);
  EXPECT_TRUE(check.boxes.empty());
}

// A password typed into the mailbox dialog serves this check; it is kept only when the user ticked
// "Passwort speichern" there, and then the next check logs in with it without asking.
TEST_F(MailCheckTest, TypedPasswordIsKeptOnlyWhenTheDialogSavesIt) {
  for (bool ticked : {false, true}) {
    settings.SetPOPSpeichern("0");
    settings.SetPOP3Passwort("");
    int asked = 0;
    TestMailCheck check(&settings, nullptr);
    check.SetMailboxDialog([&] {
      ++asked;
      settings.SetPOP3Postfach("anna");
      settings.SetPOP3Passwort("einmal");
      settings.SetPOPSpeichern(ticked ? "1" : "0");
      return TRUE;
    });
    Pop3Server server(Replies("+OK 1 1\r\n", "+OK 0\r\n"));
    RunCheck(check, server);
    EXPECT_EQ(asked, 1) << ticked;
    ASSERT_GE(server.commands.size(), 2u) << ticked;
    EXPECT_EQ(server.commands[0], "USER anna");
    EXPECT_EQ(server.commands[1], "PASS einmal");
    EXPECT_EQ(settings.GetPOP3Passwort(), ticked ? "einmal" : "") << ticked;
    ASSERT_EQ(check.boxes.size(), 1u) << ticked;

    Pop3Server again(Replies("+OK 1 1\r\n", "+OK 0\r\n"));
    RunCheck(check, again);
    EXPECT_EQ(asked, ticked ? 1 : 2) << ticked;
    ASSERT_GE(again.commands.size(), 2u) << ticked;
    EXPECT_EQ(again.commands[1], "PASS einmal") << ticked;
  }
}

TEST_F(MailCheckTest, NoCheckWhenOffOrTheDialogIsCancelled) {
  TestMailCheck off(&settings, nullptr);
  settings.SetPOP3("0");
  int asked = 0;
  off.SetMailboxDialog([&] { ++asked; return TRUE; });
  off.Start();
  EXPECT_EQ(off.GetSocket(), nullptr);

  settings.SetPOP3("1");
  settings.SetPOPSpeichern("0");
  off.SetMailboxDialog([&] { ++asked; return FALSE; });
  off.Start();
  EXPECT_EQ(off.GetSocket(), nullptr);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(settings.GetPOP3Passwort(), "geheim");  // untouched by a cancelled dialog
}

TEST_F(MailCheckTest, StartReplacesARunningCheck) {
  Pop3Server silent({});
  Pop3Server server(Replies("+OK 3 1\r\n", "+OK 0\r\n"));
  TestMailCheck check(&settings, nullptr);
  check.SetServer("127.0.0.1", silent.port);
  check.Start();
  CPop3Socket* first = check.GetSocket();
  ASSERT_NE(first, nullptr);
  RunCheck(check, server);  // the second Start drops the first check
  silent.Join();
  ASSERT_EQ(check.boxes.size(), 1u);
  EXPECT_EQ(check.boxes[0].text, "Ihr Postfach bei  POSTWELL enthält zur Zeit  3  neue E-Mail(s)!");
}

TEST_F(MailCheckTest, RefusedLastIsAnsweredThroughTheUniqueIds) {
  settings.SetPOP3Kennungen("m1");
  Pop3Server server({"+OK ready\r\n", "+OK\r\n", "+OK Logged in.\r\n", "+OK 3 30\r\n", "-ERR Unknown command: LAST\r\n",
                     "+OK\r\n1 m1\r\n2 m2\r\n3 m3\r\n.\r\n", "+OK Logging out.\r\n"});
  TestMailCheck check(&settings, nullptr);
  RunCheck(check, server);
  EXPECT_EQ(server.commands, (std::vector<std::string>{"USER kunde", "PASS geheim", "STAT ", "LAST ", "UIDL", "QUIT "}));
  ASSERT_EQ(check.boxes.size(), 1u);
  EXPECT_EQ(check.boxes[0].text, "Ihr Postfach bei  POSTWELL enthält zur Zeit  2  neue E-Mail(s)!");
  EXPECT_EQ(settings.GetPOP3Kennungen(), "m1 m2 m3");
}

TEST_F(MailCheckTest, CheckCutOffInTheIdListKeepsTheOldIds) {
  settings.SetPOP3Kennungen("m1");
  Pop3Server server({"+OK ready\r\n", "+OK\r\n", "+OK\r\n", "+OK 3 30\r\n", "-ERR\r\n", "+OK\r\n1 m1\r\n"}, 5);
  TestMailCheck check(&settings, nullptr);
  RunCheck(check, server);
  EXPECT_TRUE(check.boxes.empty());
  EXPECT_EQ(settings.GetPOP3Kennungen(), "m1");
}

namespace {
// A box that fails: what a timer procedure's exception must not take down.
class ThrowingMailCheck : public TestMailCheck {
 public:
  using TestMailCheck::TestMailCheck;

 protected:
  void ShowMessage(const CString&, UINT) override { throw std::runtime_error("box failed"); }
};
std::vector<std::string> g_reports;
}  // namespace

TEST_F(MailCheckTest, TimeLimitAfterQuitReportsTheMailInsideTheGuard) {
  // The server answers up to LAST, then neither answers QUIT nor hangs up: when the time is up
  // both numbers are known and the mail counts.
  std::vector<std::string> replies = Replies("+OK 4 100\r\n", "+OK 1\r\n");
  replies.pop_back();
  {
    Pop3Server server(replies, -1, false);
    TestMailCheck check(&settings, nullptr);
    check.SetTimeout(400);
    RunCheck(check, server);
    ASSERT_EQ(check.boxes.size(), 1u);
    EXPECT_EQ(check.boxes[0].text, "Ihr Postfach bei  POSTWELL enthält zur Zeit  3  neue E-Mail(s)!");
  }
  // The time limit runs as a timer procedure, outside any window procedure: an exception of the
  // report is caught and reported there, and the check still ends.
  g_reports.clear();
  AfxExceptionReporter old = AfxSetExceptionReporter([](const char* text) { g_reports.push_back(text); });
  {
    Pop3Server server(replies, -1, false);
    ThrowingMailCheck check(&settings, nullptr);
    check.SetTimeout(400);
    RunCheck(check, server);
  }
  AfxSetExceptionReporter(old);
  EXPECT_EQ(g_reports.size(), 1u);
}
