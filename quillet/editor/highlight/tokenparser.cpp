#include "tokenparser.h"

#include <cstring>

namespace {

bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(unsigned char c) {
  return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
bool IsIdentChar(unsigned char c) { return IsLetter(c) || IsDigit(c) || c == '_'; }
// Blanks between tokens: line feed, carriage return and space. A tab is not one.
bool IsBlank(char c) { return c == '\n' || c == '\r' || c == ' '; }

// The first occurrence of needle at or after p in the zero-terminated text, or nullptr.
const char* Find(const char* p, const char* needle) { return std::strstr(p, needle); }

}  // namespace

TTokenParser::TTokenParser() : FText(""), FPos(FText), FHistory(10) {}

void TTokenParser::SetPosition(int offset) {
  // The position never leaves the text: it stops at its terminating zero.
  const char* p = FText;
  while (offset > 0 && *p) { ++p; --offset; }
  FPos = p;
}

void TTokenParser::SetHistorySize(int n) {
  if (n < 1) n = 1;
  FHistory.resize(size_t(n));
  FHistoryIndex = 0;
}

const TTokenParser::THistoryEntry& TTokenParser::Entry(int n) const {
  const int size = int(FHistory.size());
  int i = (FHistoryIndex - 1 - n) % size;
  if (i < 0) i += size;
  return FHistory[size_t(i)];
}

int TTokenParser::TokenEnd(int n) const { return Entry(n).LastOffset + 1; }

int TTokenParser::TokenStart(int n) const {
  const THistoryEntry& e = Entry(n);
  return e.LastOffset - int(e.Text.size()) + 2 - e.RemovedQuotes;
}

void TTokenParser::SkipBlanks() {
  while (IsBlank(*FPos)) ++FPos;
}

void TTokenParser::SkipComment() {
  const char* p = FPos;
  auto fail = [&]() { throw ETokenParserError(1, int(FPos - FText)); };
  auto toLineEnd = [&]() {
    const char* q = std::strchr(p, '\r');
    FPos = q ? q : p + std::strlen(p);
  };
  switch (FStyle) {
    case styPascal:
      if (p[0] == '{') {
        const char* q = std::strchr(p + 1, '}');
        if (!q) fail();
        FPos = q + 1;
      } else if (p[0] == '(' && p[1] == '*') {
        const char* q = Find(p + 2, "*)");
        if (!q) fail();
        FPos = q + 2;
      } else if (p[0] == '}' || (p[0] == '*' && p[1] == ')')) {
        fail();
      } else if (p[0] == '/' && p[1] == '/') {
        toLineEnd();
      }
      break;
    case styC:
      if (p[0] == '/' && p[1] == '/') {
        toLineEnd();
      } else if (p[0] == '/' && p[1] == '*') {
        const char* q = Find(p + 2, "*/");
        if (!q) fail();
        FPos = q + 2;
      } else if (p[0] == '*' && p[1] == '/') {
        fail();
      }
      break;
    case styPython:
    case styPerl:
      if (p[0] == '#') toLineEnd();
      break;
    case styVB:
      if (p[0] == '\'') toLineEnd();
      break;
    default:  // HTML and unknown styles have no comments
      break;
  }
}

std::string TTokenParser::Record(const char* begin, const char* end, std::string text,
                                 int removed) {
  FPos = end;
  THistoryEntry& e = FHistory[size_t(FHistoryIndex)];
  e.Text = text;
  e.LastOffset = int(end - FText) - 1;
  e.RemovedQuotes = removed;
  FHistoryIndex = (FHistoryIndex + 1) % int(FHistory.size());
  return text;
}

std::string TTokenParser::NextToken() {
  SkipBlanks();
  // Comments: skipped (or returned whole) until a pass moves the position no further.
  for (;;) {
    const char* noted = FPos;
    try {
      SkipComment();
    } catch (const ETokenParserError& e) {
      if (e.ErrorCode != 1 || !FCommentsAsTokens) throw;
      FPos = FPos + std::strlen(FPos);
    }
    if (FPos == noted) break;
    if (FCommentsAsTokens) {
      const char* end = FPos;
      return Record(noted, end, std::string(noted, end), 0);
    }
    SkipBlanks();
  }

  const char* p = FPos;
  const unsigned char c = static_cast<unsigned char>(*p);
  const char* q = p;

  if (FStyle == styHtml) {
    if (c == 0) return Record(p, p, std::string(), 0);
    if (c == '<' || c == '=' || c == '>' || (c == '/' && p > FText && p[-1] == '<')) {
      q = p + 1;
    } else if (c == '"') {
      const char* close = std::strchr(p + 1, '"');
      q = close ? close + 1 : p + std::strlen(p);
    } else {
      while (*q && *q != ' ' && *q != '<' && *q != '=' && *q != '>') ++q;
    }
    return Record(p, q, std::string(p, q), 0);
  }

  if (c == 0) return Record(p, p, std::string(), 0);
  if (IsLetter(c) || c == '_') {
    while (IsIdentChar(static_cast<unsigned char>(*q))) ++q;
  } else if (IsDigit(c)) {
    while (IsDigit(static_cast<unsigned char>(*q)) || *q == '.') ++q;
  } else if (FStyle == styPascal && c == '$' && IsHexDigit(static_cast<unsigned char>(p[1]))) {
    q = p + 1;
    while (IsHexDigit(static_cast<unsigned char>(*q))) ++q;
  } else if (FStyle == styPerl && (c == '$' || c == '%' || c == '&' || c == '@')) {
    q = p + 1;
    while (IsIdentChar(static_cast<unsigned char>(*q))) ++q;
  } else if (c == '\'') {
    // A string up to the next quote that is not doubled; a doubled quote stays inside and
    // becomes one quote in the token.
    q = p + 1;
    while (*q) {
      if (*q == '\'') {
        if (q[1] == '\'') { q += 2; continue; }
        ++q;
        break;
      }
      ++q;
    }
    std::string raw(p, q);
    std::string text;
    text.reserve(raw.size());
    int removed = 0;
    const size_t last = raw.size() - 1;
    for (size_t i = 0; i < raw.size(); ++i) {
      text.push_back(raw[i]);
      // Inside the string (second to next-to-last character) a pair of quotes becomes one.
      if (i >= 1 && i + 1 < last && raw[i] == '\'' && raw[i + 1] == '\'') {
        ++i;
        ++removed;
      }
    }
    return Record(p, q, text, removed);
  } else if (FStyle >= styC && FStyle <= styPerl && c == '"') {
    q = p + 1;
    while (*q && !(*q == '"' && q[-1] != '\\')) ++q;
    if (*q) ++q;
  } else {
    q = p + 1;
  }
  return Record(p, q, std::string(p, q), 0);
}

bool IsIdentifier(const std::string& s) {
  if (s.empty()) return false;
  const unsigned char first = static_cast<unsigned char>(s[0]);
  if (!IsLetter(first) && first != '_') return false;
  for (unsigned char c : s)
    if (!IsIdentChar(c)) return false;
  return true;
}

bool IsInteger(const std::string& s) {
  if (s.empty() || s == "$") return false;
  size_t i = 0;
  bool hex = false;
  if (s[0] == '-' || s[0] == '$') {
    if (s.size() < 2) return false;
    hex = s[0] == '$';
    i = 1;
  }
  for (; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (hex ? !IsHexDigit(c) : !IsDigit(c)) return false;
  }
  return true;
}

bool IsFloat(const std::string& s) {
  if (s.empty()) return false;
  size_t i = 0;
  if (s[0] == '-') {
    if (s.size() < 2) return false;
    i = 1;
  }
  int dots = 0;
  for (; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == '.') {
      if (++dots > 1) return false;
    } else if (!IsDigit(c)) {
      return false;
    }
  }
  return true;
}
