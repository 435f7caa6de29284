// TTokenParser: cuts one zero-terminated line of source text into tokens for one of six
// language styles and remembers the last tokens with the columns they cover.
//
// The syntax highlighter owns one parser, hands it each line to be coloured and asks it for
// every token and for the first and last column (1-based) of the token just returned.
#pragma once

#include <string>
#include <vector>

#include "sysutils.h"

// Raised by the comment skipper for an unclosed comment or a closing comment delimiter
// without an opening one (code 1). Position: offset from the start of the text.
class ETokenParserError : public Exception {
public:
  ETokenParserError(int code, int position) : Exception(""), ErrorCode(code), Position(position) {}
  const char* ClassName() const override { return "ETokenParserError"; }
  int ErrorCode;
  int Position;
};

class TTokenParser {
public:
  // Scanning styles.
  enum { styPascal = 1, styC = 2, styPython = 3, styVB = 4, styHtml = 5, styPerl = 6 };

  TTokenParser();

  // The text to scan (zero-terminated, owned by the caller). Puts the position at its start.
  void SetText(const char* text) { FText = text ? text : ""; FPos = FText; }
  const char* Text() const { return FText; }
  // Offset of the position from the start of the text; the owner may move it forward.
  int Position() const { return int(FPos - FText); }
  void SetPosition(int offset);

  int Style() const { return FStyle; }
  void SetStyle(int style) { FStyle = style; }
  bool CommentsAsTokens() const { return FCommentsAsTokens; }
  void SetCommentsAsTokens(bool v) { FCommentsAsTokens = v; }

  // The next token, or "" at the end of the text. Every token is recorded in the history.
  std::string NextToken();
  void NextToken(std::string& token) { token = NextToken(); }

  int HistorySize() const { return int(FHistory.size()); }
  // Grows or shrinks the history to n entries (at least 1); the history index goes back to 0.
  void SetHistorySize(int n);
  // 1-based column of the last / first character of the token n places back (0 = the newest).
  int TokenEnd(int n = 0) const;
  int TokenStart(int n = 0) const;
  // The text of the token n places back.
  const std::string& Token(int n = 0) const { return Entry(n).Text; }

private:
  struct THistoryEntry {
    std::string Text;
    int LastOffset = -1;   // offset of the token's last character in the scanned text
    int RemovedQuotes = 0; // quotes dropped from a single-quoted string (doubled quotes)
  };
  const THistoryEntry& Entry(int n) const;
  void SkipBlanks();
  void SkipComment();  // may throw ETokenParserError
  std::string Record(const char* begin, const char* end, std::string text, int removed);

  const char* FText;
  const char* FPos;
  int FStyle = styPascal;
  bool FCommentsAsTokens = false;
  std::vector<THistoryEntry> FHistory;
  int FHistoryIndex = 0;
};

// Plain tests on a token's text.
bool IsIdentifier(const std::string& s);  // letter or "_" first, then letters, digits, "_"
bool IsInteger(const std::string& s);     // [-|$]digits, or "$" and hexadecimal digits
bool IsFloat(const std::string& s);       // [-]digits with at most one ".", no exponent
