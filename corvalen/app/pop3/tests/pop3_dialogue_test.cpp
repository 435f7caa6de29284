#include "Pop3Dialogue.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <vector>

using namespace pop3;

namespace {

// Feeds one server reply and returns what the dialogue sent.
std::string Say(CPop3Dialogue& d, const std::string& reply, Outcome expected = kGoOn) {
  std::string sent;
  EXPECT_EQ(d.Receive(reply.data(), reply.size(), sent), expected) << reply;
  return sent;
}

// Runs the dialogue up to the LAST reply; returns the dialogue for inspection.
void RunToQuit(CPop3Dialogue& d, const std::string& stat, const std::string& last) {
  Say(d, "+OK POP3 ready\r\n");
  Say(d, "+OK\r\n");
  Say(d, "+OK logged in\r\n");
  Say(d, stat);
  EXPECT_EQ(Say(d, last), "QUIT \r\n");
}

}  // namespace

TEST(Pop3Reply, ErrorReplyAnyCase) {
  struct { const char* reply; bool err; } cases[] = {
      {"-ERR no such user\r\n", true}, {"-err\r\n", true}, {"-ErR", true}, {"-ER", false},
      {"+OK -ERR", false}, {" -ERR", false}, {"", false}};
  for (auto& c : cases) EXPECT_EQ(IsErrorReply(c.reply), c.err) << c.reply;
}

TEST(Pop3Reply, NumberAfterFirstBlankOrTab) {
  struct { const char* reply; bool found; int value; } cases[] = {
      {"+OK 5 1234\r\n", true, 5},      {"+OK   12 octets", true, 12}, {"+OK\t7 x", true, 7},
      {"+OK 3", true, 3},                {"+OK x", true, 0},            {"+OK\r\n", false, -1},
      {"+OK", false, -1},                {"+OK 99999999999999", true, INT_MAX},
      {"+OK\t 4", true, 4}, {"+OK 12abc 3", true, 12},
  };
  for (auto& c : cases) {
    int v = -1;
    EXPECT_EQ(ReadReplyNumber(c.reply, v), c.found) << c.reply;
    EXPECT_EQ(v, c.value) << c.reply;
  }
}

TEST(Pop3Dialogue, FullDialogueSendsTheCommandsAndCountsNewMail) {
  CPop3Dialogue d("kunde", "geheim");
  EXPECT_EQ(Say(d, "+OK POP3 ready\r\n"), "USER kunde\r\n");
  EXPECT_EQ(d.GetState(), kUserSent);
  EXPECT_EQ(Say(d, "+OK\r\n"), "PASS geheim\r\n");
  EXPECT_EQ(d.GetState(), kPassSent);
  EXPECT_EQ(Say(d, "+OK maildrop locked\r\n"), "STAT \r\n");
  EXPECT_EQ(d.GetState(), kStatSent);
  EXPECT_EQ(Say(d, "+OK 5 2000\r\n"), "LAST \r\n");
  EXPECT_EQ(d.GetState(), kLastSent);
  EXPECT_EQ(Say(d, "+OK 3\r\n"), "QUIT \r\n");
  EXPECT_EQ(d.GetState(), kQuitSent);
  EXPECT_FALSE(d.IsDone());
  EXPECT_EQ(Say(d, "+OK bye\r\n", kFinished), "");
  EXPECT_TRUE(d.IsDone());
  EXPECT_EQ(d.GetCount(), 5);
  EXPECT_EQ(d.GetLast(), 3);
  EXPECT_EQ(d.NewMessages(), 2);
  // Anything after the end changes nothing.
  EXPECT_EQ(Say(d, "+OK more\r\n", kFinished), "");
}

TEST(Pop3Dialogue, NewMessageCount) {
  struct { const char* stat; const char* last; int newMessages; } cases[] = {
      {"+OK 5 100\r\n", "+OK 3\r\n", 2}, {"+OK 0 0\r\n", "+OK 0\r\n", 0},
      {"+OK 4 10\r\n", "+OK 4\r\n", 0},  {"+OK 0 0\r\n", "+OK 7\r\n", 0}};
  for (auto& c : cases) {
    CPop3Dialogue d("u", "p");
    RunToQuit(d, c.stat, c.last);
    Say(d, "+OK\r\n", kFinished);
    EXPECT_EQ(d.NewMessages(), c.newMessages) << c.stat << c.last;
  }
}

TEST(Pop3Dialogue, RepliesSplitAndJoinedAnyHowGiveTheSameDialogue) {
  const std::string server = "+OK hi\r\n+OK\r\n+OK\r\n+OK 9 1\r\n+OK 2\r\n+OK bye\r\n";
  for (std::size_t chunk : {std::size_t(1), std::size_t(3), std::size_t(7), server.size()}) {
    CPop3Dialogue d("a", "b");
    std::string sent;
    Outcome o = kGoOn;
    for (std::size_t i = 0; i < server.size(); i += chunk)
      o = d.Receive(server.data() + i, std::min(chunk, server.size() - i), sent);
    EXPECT_EQ(o, kFinished) << chunk;
    EXPECT_EQ(sent, "USER a\r\nPASS b\r\nSTAT \r\nLAST \r\nQUIT \r\n") << chunk;
    EXPECT_EQ(d.NewMessages(), 7) << chunk;
  }
}

TEST(Pop3Dialogue, ErrorRepliesEndTheDialogue) {
  // Replies before the -ERR, the outcome, the state at the end.
  struct { int okBefore; Outcome outcome; int state; } cases[] = {
      {0, kRefused, kWaitGreeting}, {1, kLoginRefused, kUserSent}, {2, kLoginRefused, kPassSent},
      {3, kRefused, kStatSent}};
  const char* oks[] = {"+OK\r\n", "+OK\r\n", "+OK\r\n"};
  for (auto& c : cases) {
    CPop3Dialogue d("u", "p");
    for (int i = 0; i < c.okBefore; ++i) Say(d, oks[i]);
    EXPECT_EQ(Say(d, "-err invalid password\r\n", c.outcome), "") << c.okBefore;
    EXPECT_EQ(d.GetState(), c.state);
    EXPECT_EQ(d.Closed(), c.outcome);
  }
  // A refused LAST is asked again as UIDL; a server that refuses that too ends the check silently.
  CPop3Dialogue last("u", "p");
  for (const char* r : {"+OK\r\n", "+OK\r\n", "+OK\r\n", "+OK 2 10\r\n"}) Say(last, r);
  EXPECT_EQ(Say(last, "-ERR Unknown command: LAST\r\n"), "UIDL\r\n");
  EXPECT_EQ(last.GetState(), kUidlSent);
  EXPECT_EQ(Say(last, "-ERR unknown command\r\n", kRefused), "");
}

// Without LAST (Dovecot: "-ERR Unknown command: LAST") the unique ids tell the new messages:
// those after the last one seen at the previous check.
TEST(Pop3Dialogue, UniqueIdsStandInForARefusedLast) {
  struct Case {
    const char* seen;  // kept by the previous check
    const char* stat;
    std::vector<std::string> list;  // the UIDL lines after "+OK"
    int fresh;
    const char* kept;
  } cases[] = {
      {"", "+OK 3 300\r\n", {"1 a1", "2 a2", "3 a3"}, 3, "a1 a2 a3"},               // first check: all new
      {"a1 a2 a3", "+OK 3 300\r\n", {"1 a1", "2 a2", "3 a3"}, 0, "a1 a2 a3"},       // nothing came
      {"a1 a2 a3", "+OK 5 500\r\n", {"1 a1", "2 a2", "3 a3", "4 b4", "5 b5"}, 2, "a1 a2 a3 b4 b5"},
      {"a1 a2 a3", "+OK 2 200\r\n", {"1 a2", "2 c1"}, 1, "a2 c1"},                  // a1, a3 deleted
      {"a1 a2 a3", "+OK 2 200\r\n", {"1 x1", "2 x2"}, 2, "x1 x2"},                  // none known: all new
      {"a1", "+OK 0 0\r\n", {}, 0, ""},
      // Lines that are not "number id" are passed over: no number, a number beyond STAT's
      // count, an id with a control character or longer than 70 characters.
      {"a1", "+OK 2 20\r\n", {"x a1", "9 a1", "1 a\x01", "1 " + std::string(71, 'z'), "1 a1  ", "2 n2"}, 1, "a1 n2"},
  };
  for (const Case& c : cases) {
    CPop3Dialogue d("u", "p", c.seen);
    for (const char* r : {"+OK\r\n", "+OK\r\n", "+OK\r\n"}) Say(d, r);
    Say(d, c.stat);
    EXPECT_EQ(Say(d, "-ERR Unknown command: LAST\r\n"), "UIDL\r\n");
    std::string reply = "+OK\r\n";
    for (const std::string& line : c.list) reply += line + "\r\n";
    EXPECT_EQ(Say(d, reply + ".\r\n"), "QUIT \r\n") << c.seen << " / " << c.stat;
    EXPECT_EQ(Say(d, "+OK Logging out.\r\n", kFinished), "");
    EXPECT_TRUE(d.UsedUniqueIds());
    EXPECT_EQ(d.NewMessages(), c.fresh) << c.seen << " / " << c.stat;
    EXPECT_EQ(d.SeenIds(), c.kept) << c.seen << " / " << c.stat;
  }
}

TEST(Pop3Dialogue, OnlyTheNewestIdsAreKept) {
  CPop3Dialogue d("u", "p");
  for (const char* r : {"+OK\r\n", "+OK\r\n", "+OK\r\n", "+OK 100 1\r\n", "-ERR\r\n", "+OK\r\n"}) Say(d, r);
  for (int i = 1; i <= 100; ++i) Say(d, std::to_string(i) + " id" + std::to_string(i) + "\r\n");
  EXPECT_EQ(Say(d, ".\r\n"), "QUIT \r\n");
  std::set<std::string> kept = SplitSeenIds(d.SeenIds());
  EXPECT_EQ(kept.size(), static_cast<size_t>(CPop3Dialogue::kKeptIds));
  EXPECT_EQ(kept.count("id100"), 1u);
  EXPECT_EQ(kept.count("id68"), 0u);

  // Those are enough for the next check, even with the newest few deleted in between.
  CPop3Dialogue next("u", "p", d.SeenIds());
  for (const char* r : {"+OK\r\n", "+OK\r\n", "+OK\r\n", "+OK 98 1\r\n", "-ERR\r\n", "+OK\r\n"}) Say(next, r);
  for (int i = 1; i <= 97; ++i) Say(next, std::to_string(i) + " id" + std::to_string(i) + "\r\n");
  Say(next, "98 neu\r\n.\r\n");
  EXPECT_EQ(next.NewMessages(), 1);
  // A dialogue that was cut off in the list keeps nothing.
  CPop3Dialogue cut("u", "p");
  for (const char* r : {"+OK\r\n", "+OK\r\n", "+OK\r\n", "+OK 2 1\r\n", "-ERR\r\n", "+OK\r\n1 q\r\n"}) Say(cut, r);
  EXPECT_EQ(cut.Closed(), kAbandoned);
  EXPECT_FALSE(cut.UsedUniqueIds());
}

TEST(Pop3Dialogue, StatWithoutBlankStallsWithoutSending) {
  CPop3Dialogue d("u", "p");
  for (const char* r : {"+OK\r\n", "+OK\r\n", "+OK\r\n"}) Say(d, r);
  EXPECT_EQ(Say(d, "+OK\r\n"), "");
  EXPECT_EQ(d.GetState(), kStatSent);
  EXPECT_EQ(d.Closed(), kAbandoned);
}

TEST(Pop3Dialogue, ClosedConnection) {
  CPop3Dialogue early("u", "p");
  Say(early, "+OK\r\n");
  EXPECT_EQ(early.Closed(), kAbandoned);
  EXPECT_FALSE(early.IsDone());

  // Hung up after QUIT without answering it: both numbers are known, the mail counts.
  CPop3Dialogue quit("u", "p");
  RunToQuit(quit, "+OK 6 0\r\n", "+OK 1\r\n");
  EXPECT_EQ(quit.Closed(), kFinished);
  EXPECT_TRUE(quit.IsDone());
  EXPECT_EQ(quit.NewMessages(), 5);
}

TEST(Pop3Dialogue, LineBreaksInNameOrPasswordStartNoSecondCommand) {
  CPop3Dialogue d("kunde\r\nDELE 1", "pw\nQUIT");
  EXPECT_EQ(Say(d, "+OK\r\n"), "USER kundeDELE 1\r\n");
  EXPECT_EQ(Say(d, "+OK\r\n"), "PASS pwQUIT\r\n");
}

TEST(Pop3Dialogue, OverlongReplyIsTakenAsItsFirstBytes) {
  CPop3Dialogue d("u", "p");
  for (const char* r : {"+OK\r\n", "+OK\r\n", "+OK\r\n"}) Say(d, r);
  // A STAT reply far longer than a line may be: answered once, its rest dropped up to the LF.
  std::string longReply = "+OK 8 " + std::string(5000, '1') + "\r\n";
  EXPECT_EQ(Say(d, longReply), "LAST \r\n");
  EXPECT_EQ(d.GetCount(), 8);
  EXPECT_EQ(d.GetState(), kLastSent);
  EXPECT_EQ(Say(d, "+OK 1\r\n"), "QUIT \r\n");
}

// A line that never ends is read up to its limit and no further, in one piece or in many: the
// dialogue is abandoned, whatever state it is in; a line just within the limit is still a reply.
TEST(Pop3Dialogue, ALineWithoutEndIsGivenUpAtItsLimit) {
  for (size_t piece : {size_t{1} << 20, size_t{4096}, size_t{999}}) {
    CPop3Dialogue d("u", "p");
    Say(d, "+OK\r\n");
    std::string toSend;
    const std::string chunk(piece, 'x');
    Outcome o = kGoOn;
    size_t fed = 0;
    while (o == kGoOn && fed < (size_t{8} << 20)) {
      o = d.Receive(chunk.data(), chunk.size(), toSend);
      fed += chunk.size();
    }
    EXPECT_EQ(kAbandoned, o) << piece;
    EXPECT_LE(fed, CPop3Dialogue::kMaxLine + piece) << piece;
    EXPECT_EQ("PASS p\r\n", toSend) << piece;  // its first 999 bytes were answered, once
  }
  CPop3Dialogue d("u", "p");
  std::string longest = "+OK" + std::string(CPop3Dialogue::kMaxLine - 4, ' ') + "\r\n";
  EXPECT_EQ(Say(d, longest), "USER u\r\n");
  EXPECT_EQ(d.GetState(), kUserSent);
}
