// The POP3 dialogue of the mailbox check, without the socket: the server's replies go in, the
// commands to send come out. The socket driver (MailCheck.h) feeds it what it receives and sends
// what it returns.
//
// The dialogue: greeting -> "USER name" -> "PASS password" -> "STAT " -> "LAST " -> "QUIT ".
// A reply beginning with "-ERR" (any case) ends it; after USER or PASS that is a refused login.
// The number of new messages is the STAT count less the LAST number.
#pragma once

#include <cstddef>
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
};

// What the dialogue asks of its driver after some input.
enum Outcome {
  kGoOn,          // keep reading (and send what was returned, if anything)
  kFinished,      // the numbers are known: report NewMessages()
  kLoginRefused,  // "-ERR" after USER or PASS: the user name or the password is wrong
  kRefused,       // "-ERR" to the greeting, STAT or LAST: end without a message
  kAbandoned,     // the connection ended before the numbers were known: end without a message
};

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

  CPop3Dialogue(const std::string& user, const std::string& password);

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

 private:
  Outcome ProcessReply(const std::string& reply, std::string& toSend);

  std::string user_;
  std::string password_;
  std::string line_;       // the reply line received so far
  bool skipRest_ = false;  // the rest of an overlong line is being dropped
  int last_ = 0;
  bool done_ = false;
  int count_ = 0;
  int state_ = kWaitGreeting;
  Outcome ended_ = kGoOn;  // once not kGoOn, later input is ignored
};

}  // namespace pop3
