#include "Pop3Dialogue.h"

#include <climits>

namespace pop3 {

bool IsErrorReply(const std::string& reply) {
  static const char kErr[] = "-ERR";
  if (reply.size() < 4) return false;
  for (int i = 0; i < 4; ++i) {
    char c = reply[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != kErr[i]) return false;
  }
  return true;
}

bool ReadReplyNumber(const std::string& reply, int& value) {
  std::size_t i = reply.find_first_of(" \t");
  if (i == std::string::npos) return false;
  while (i < reply.size() && (reply[i] == ' ' || reply[i] == '\t')) ++i;
  long long n = 0;
  for (; i < reply.size() && reply[i] >= '0' && reply[i] <= '9'; ++i) {
    n = n * 10 + (reply[i] - '0');
    if (n > INT_MAX) n = INT_MAX;  // a hostile count stays a large number, never wraps
  }
  value = static_cast<int>(n);
  return true;
}

std::string OneLine(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '\r' && c != '\n') out += c;
  return out;
}

std::set<std::string> SplitSeenIds(const std::string& stored) {
  std::set<std::string> ids;
  std::size_t i = 0;
  while (i < stored.size()) {
    std::size_t end = stored.find(' ', i);
    if (end == std::string::npos) end = stored.size();
    if (end > i) ids.insert(stored.substr(i, end - i));
    i = end + 1;
  }
  return ids;
}

CPop3Dialogue::CPop3Dialogue(const std::string& user, const std::string& password, const std::string& seenIds)
    : user_(OneLine(user)), password_(OneLine(password)), seenBefore_(SplitSeenIds(seenIds)) {}

std::string CPop3Dialogue::SeenIds() const {
  std::string out;
  for (const std::string& id : newest_) {
    if (!out.empty()) out += ' ';
    out += id;
  }
  return out;
}

Outcome CPop3Dialogue::Receive(const char* data, std::size_t length, std::string& toSend) {
  for (std::size_t i = 0; i < length && ended_ == kGoOn; ++i) {
    char c = data[i];
    // A line that does not end is no reply: the check gives up rather than read it for ever.
    lineBytes_ = c == '\n' ? 0 : lineBytes_ + 1;
    if (lineBytes_ > kMaxLine) {
      ended_ = kAbandoned;
      break;
    }
    if (skipRest_) {
      if (c == '\n') skipRest_ = false;
      continue;
    }
    if (c != '\n') {
      line_ += c;
      if (line_.size() < kMaxReply) continue;
      skipRest_ = true;  // answer the first kMaxReply bytes; the rest of the line is dropped
    }
    std::string reply;
    reply.swap(line_);
    ended_ = ProcessReply(reply, toSend);
  }
  return ended_;
}

Outcome CPop3Dialogue::Closed() {
  if (ended_ != kGoOn) return ended_;
  // QUIT was sent, so both numbers arrived: a server that hangs up without answering QUIT
  // must not hide the new mail.
  ended_ = state_ == kQuitSent ? kFinished : kAbandoned;
  if (ended_ == kFinished) done_ = true;
  return ended_;
}

Outcome CPop3Dialogue::ProcessReply(const std::string& reply, std::string& toSend) {
  if (state_ == kLastSent && IsErrorReply(reply)) {
    // LAST is not known to the server: the unique ids tell which messages are new.
    toSend += "UIDL\r\n";
    state_ = kUidlSent;
    return kGoOn;
  }
  if (state_ == kUidlSent) return ProcessUniqueIdLine(reply, toSend);
  if (state_ != kQuitSent && IsErrorReply(reply)) {
    bool login = state_ == kUserSent || state_ == kPassSent;
    if (state_ == kWaitGreeting || login || state_ == kStatSent || state_ == kLastSent)
      return login ? kLoginRefused : kRefused;
  }
  switch (state_) {
    case kWaitGreeting:
      toSend += "USER " + user_ + "\r\n";
      state_ = kUserSent;
      return kGoOn;
    case kUserSent:
      toSend += "PASS " + password_ + "\r\n";
      state_ = kPassSent;
      return kGoOn;
    case kPassSent:
      toSend += "STAT \r\n";
      state_ = kStatSent;
      return kGoOn;
    case kStatSent:
      if (!ReadReplyNumber(reply, count_)) return kGoOn;  // nothing sent: the dialogue stalls
      toSend += "LAST \r\n";
      state_ = kLastSent;
      return kGoOn;
    case kLastSent:
      if (!ReadReplyNumber(reply, last_)) return kGoOn;
      toSend += "QUIT \r\n";
      state_ = kQuitSent;
      return kGoOn;
    case kQuitSent:
      done_ = true;
      return kFinished;
    default:
      return kGoOn;
  }
}

Outcome CPop3Dialogue::ProcessUniqueIdLine(const std::string& reply, std::string& toSend) {
  std::string line = reply;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (!uidlStarted_) {
    if (IsErrorReply(line)) return kRefused;  // neither LAST nor UIDL: no way to tell
    uidlStarted_ = true;
    return kGoOn;
  }
  if (line == ".") {
    uidlDone_ = true;
    toSend += "QUIT \r\n";
    state_ = kQuitSent;
    return kGoOn;
  }
  // "number id": the message number, blanks, the id (printable characters without blanks).
  std::size_t i = 0;
  long long number = 0;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
    number = number * 10 + (line[i] - '0');
    if (number > count_) return kGoOn;  // not a message of this maildrop
    ++i;
  }
  if (i == 0 || number < 1) return kGoOn;
  while (i < line.size() && line[i] == ' ') ++i;
  std::size_t end = i;
  while (end < line.size() && line[end] > ' ' && line[end] < 0x7F) ++end;
  std::size_t after = end;
  while (after < line.size() && line[after] == ' ') ++after;
  if (end == i || end - i > kMaxIdLength || after != line.size()) return kGoOn;
  std::string id = line.substr(i, end - i);
  if (seenBefore_.count(id) && number > last_) last_ = static_cast<int>(number);
  newest_.push_back(id);
  if (newest_.size() > kKeptIds) newest_.pop_front();
  return kGoOn;
}

}  // namespace pop3
