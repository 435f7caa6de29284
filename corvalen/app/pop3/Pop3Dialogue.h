// The POP3 dialogue of the mailbox check, without the socket: the server's replies go in, the
// commands to send come out. The socket driver (MailCheck.h) feeds it what it receives and sends
// what it returns.
//
// The dialogue: greeting -> "USER name" -> "PASS password" -> "STAT " -> "LAST " -> "QUIT ".
// A reply beginning with "-ERR" (any case) ends it; after USER or PASS that is a refused login.
// The number of new messages is the STAT count less the LAST number.
//
// LAST has long left the POP3 standard and today's servers refuse it. Then the dialogue asks
// "UIDL" for the unique ids of the messages and plays LAST itself: the last message whose id was
// among those seen at the previous check is the last one seen, the messages after it are new
// (a maildrop numbers its messages in the order they arrived). The ids of the newest messages are
// kept (SeenIds) for the next check; without any of them known, every message counts as new.
#pragma once

#include <cstddef>
#include <deque>
#include <set>
#include <string>

namespace pop3 {

// The states, numbered as the mailbox check has always numbered them (5 and above 6 unused).
enum State {
  kWaitGreeting = 0,
  kUserSent = 1,
  kPassSent = 2,
  kQuitSent = 3,
  kLastSent = 4,
  kStatSent = 6,
  kUidlSent = 7,  // LAST was refused: the unique-id list stands in for it
};

// What the dialogue asks of its driver after some input.
enum Outcome {
  kGoOn,          // keep reading (and send what was returned, if anything)
  kFinished,      // the numbers are known: report NewMessages()
  kLoginRefused,  // "-ERR" after USER or PASS: the user name or the password is wrong
  kRefused,       // "-ERR" to the greeting, STAT or LAST: end without a message
  kAbandoned,     // the connection ended before the numbers were known: end without a message
};

// The seen ids as the settings keep them: separated by blanks (an id has none, RFC 1939).
std::set<std::string> SplitSeenIds(const std::string& stored);

// A reply begins with "-ERR" in any letter case (its first four characters).
bool IsErrorReply(const std::string& reply);

// The number of a STAT or LAST reply: found after the first blank or tab, blanks and tabs skipped,
// digits up to the next non-digit (none: 0; more than fits: the largest int). FALSE when the reply
// has no blank or tab at all.
bool ReadReplyNumber(const std::string& reply, int& value);

// Removes CR and LF: a user name or password must not end its command line early and start
// another command.
std::string OneLine(const std::string& text);

class CPop3Dialogue {
 public:
  // The longest reply line kept; a longer line is taken as its first kMaxReply bytes.
  static const std::size_t kMaxReply = 999;
  // The longest line read at all: a server whose line runs on beyond it (64 KiB, where a POP3
  // reply line has at most 512 bytes) is not answering, and the dialogue ends as abandoned.
  static const std::size_t kMaxLine = 65536;
  // How many ids of the newest messages are kept for the next check: enough that deleting a few
  // of the newest messages in between does not make every message new again.
  static constexpr std::size_t kKeptIds = 32;
  // The longest unique id a server may send (RFC 1939); a longer one is not taken.
  static constexpr std::size_t kMaxIdLength = 70;

  // seenIds: the ids kept by the previous check (SeenIds), blank-separated.
  CPop3Dialogue(const std::string& user, const std::string& password, const std::string& seenIds = "");

  // Bytes received from the server. Every complete line (ended by LF) is one reply and is
  // answered in turn; commands to send are appended to toSend.
  Outcome Receive(const char* data, std::size_t length, std::string& toSend);
  // The server closed the connection (or it broke). After QUIT was sent the numbers are known and
  // count; any other state ends the check silently.
  Outcome Closed();

  int GetState() const { return state_; }
  int GetCount() const { return count_; }
  int GetLast() const { return last_; }
  bool IsDone() const { return done_; }
  // count - last when count > 0, else count.
  int NewMessages() const { return count_ > 0 ? count_ - last_ : count_; }
  // Whether the unique-id list stood in for LAST; then SeenIds are to be kept for the next check.
  bool UsedUniqueIds() const { return uidlDone_; }
  // The ids of the newest messages of this check, oldest first, blank-separated.
  std::string SeenIds() const;

 private:
  Outcome ProcessReply(const std::string& reply, std::string& toSend);
  // One line of the UIDL reply: "+OK" first, then "number id" lines up to ".".
  Outcome ProcessUniqueIdLine(const std::string& line, std::string& toSend);

  std::string user_;
  std::string password_;
  std::string line_;       // the reply line received so far
  bool skipRest_ = false;  // the rest of an overlong line is being dropped
  std::size_t lineBytes_ = 0;  // bytes of the current line, dropped ones included
  int last_ = 0;
  bool done_ = false;
  int count_ = 0;
  int state_ = kWaitGreeting;
  Outcome ended_ = kGoOn;  // once not kGoOn, later input is ignored
  std::set<std::string> seenBefore_;  // the ids the previous check kept
  std::deque<std::string> newest_;    // the ids of the last kKeptIds messages listed
  bool uidlStarted_ = false;          // the "+OK" of the UIDL reply arrived
  bool uidlDone_ = false;             // its closing "." arrived
};

}  // namespace pop3
