#include "highlighter.h"

#include <algorithm>
#include <cstring>

#include "keywords.h"
#include "sysutils.h"

namespace {

constexpr uint8_t kUnknownState = 0xFF;  // an entry not yet computed (never a real state)

int ScannerStyle(THighLighter hl, int current) {
  switch (hl) {
    case hlPascal:
    case hlIni: return TTokenParser::styPascal;
    case hlCBuilder:
    case hlSql:
    case hlJava: return TTokenParser::styC;
    case hlPython: return TTokenParser::styPython;
    case hlVB: return TTokenParser::styVB;
    case hlHtml: return TTokenParser::styHtml;
    case hlPerl: return TTokenParser::styPerl;
    case hlNone: break;
  }
  return current;  // hlNone keeps the style it had
}

bool StartsWith(const std::string& s, const char* prefix) {
  return s.compare(0, std::strlen(prefix), prefix) == 0;
}

bool IsCFamily(THighLighter hl) { return hl == hlCBuilder || hl == hlSql || hl == hlJava; }

// The end of a quoted string that starts at i (s[i] is the quote): the index of the closing
// quote (a doubled quote does not close), or npos.
size_t SkipQuoted(const std::string& s, size_t i, char quote) {
  size_t j = i + 1;
  while (j < s.size()) {
    if (s[j] == quote) {
      if (j + 1 < s.size() && s[j + 1] == quote) { j += 2; continue; }
      return j;
    }
    ++j;
  }
  return std::string::npos;
}

// The first close character at or after `from` that follows a '*', or npos.
size_t FindAfterStar(const std::string& s, size_t from, char close) {
  for (size_t j = s.find(close, from); j != std::string::npos; j = s.find(close, j + 1))
    if (j > 0 && s[j - 1] == '*') return j;
  return std::string::npos;
}

}  // namespace

// ---- TColors --------------------------------------------------------------------------------

TColors::TColors()
    : Comment(clOlive, fsItalic),
      Number(clNavy, {}),
      Strings(clPurple, {}),
      Symbol(clBlue, {}),
      Reserved(clWindowText, fsBold),
      Identifer(clWindowText, {}),
      Preproc(clGreen, {}),
      FunctionCall(clWindowText, {}),
      Declaration(clWindowText, {}),
      Statement(clWindowText, fsBold),
      PlainText(clWindowText, {}) {}

void TSymbolColor::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TSymbolColor*>(Source)) {
    Style = s->Style;
    ForeColor = s->ForeColor;
    BackColor = s->BackColor;
    return;
  }
  TPersistent::Assign(Source);
}

void TColors::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TColors*>(Source);
  if (!s) {
    TPersistent::Assign(Source);
    return;
  }
  Comment.Assign(&s->Comment);
  Number.Assign(&s->Number);
  Strings.Assign(&s->Strings);
  Symbol.Assign(&s->Symbol);
  Reserved.Assign(&s->Reserved);
  Identifer.Assign(&s->Identifer);
  Preproc.Assign(&s->Preproc);
  FunctionCall.Assign(&s->FunctionCall);
  Declaration.Assign(&s->Declaration);
  Statement.Assign(&s->Statement);
  PlainText.Assign(&s->PlainText);
}

void TColors::SetDocumentWindowColors() {
  Comment.Set(clRed, fsItalic);
  Number.Set(clNavy, {});
  Strings.Set(clGreen, {});
  Symbol.Set(clBlue, {});
  Reserved.Set(clBlue, fsBold);
  Identifer.Set(clMaroon, fsBold);
  Preproc.Set(clRed, {});
  FunctionCall.Set(clRed, {});
  Declaration.Set(clRed, {});
  Statement.Set(clPurple, fsBold);
  PlainText.Set(clBlack, {});
}

// ---- line states ----------------------------------------------------------------------------

TSyntaxHighlighter::TSyntaxHighlighter() : FStates(LineStateCount, 0) {
  FParser.SetCommentsAsTokens(true);
  FParser.SetStyle(ScannerStyle(FHighLighter, FParser.Style()));
}

bool TSyntaxHighlighter::KeepsStates() const {
  return FLongTokens && FHighLighter != hlNone && FHighLighter != hlIni && FHighLighter != hlVB;
}

bool TSyntaxHighlighter::SetHighLighter(THighLighter value, const THighlightLines& lines) {
  if (value == FHighLighter) return false;
  FHighLighter = value;
  FParser.SetStyle(ScannerStyle(value, FParser.Style()));
  Rescan(lines);
  return true;
}

void TSyntaxHighlighter::SetLongTokens(bool value, const THighlightLines& lines) {
  if (value == FLongTokens) return;
  FLongTokens = value;
  Rescan(lines);
}

uint8_t TSyntaxHighlighter::LineState(int i) const {
  if (!FLongTokens || i < 0 || i >= LineStateCount) return lsNone;
  const uint8_t s = FStates[size_t(i)];
  return s == kUnknownState ? uint8_t(lsNone) : s;
}

uint8_t TSyntaxHighlighter::ScanLine(const std::string& s, uint8_t state) const {
  const size_t n = s.size();
  size_t i = 0;
  const auto npos = std::string::npos;
  switch (FHighLighter) {
    case hlPascal:
      while (i < n) {
        if (state == lsNone) {
          const char c = s[i];
          if (c == '\'') {
            const size_t j = SkipQuoted(s, i, '\'');
            if (j == npos) return lsNone;  // an unclosed string does not carry over
            i = j + 1;
          } else if (c == '{') {
            const size_t j = s.find('}', i + 1);
            if (j == npos) return lsBrace;
            i = j + 1;
          } else if (c == '(' && i + 1 < n && s[i + 1] == '*') {
            state = lsBlock;
            const size_t j = s.find(')', i + 3);
            if (j == npos) return lsBlock;
            if (s[j - 1] == '*') state = lsNone;
            i = j + 1;
          } else {
            ++i;
          }
        } else if (state == lsBrace) {
          const size_t j = s.find('}', i);
          if (j == npos) return lsBrace;
          state = lsNone;
          i = j + 1;
        } else {  // inside (* *)
          const size_t j = s.find(')', i);
          if (j == npos) return state;
          if (j > 0 && s[j - 1] == '*') state = lsNone;
          i = j + 1;
        }
      }
      return state;
    case hlCBuilder:
    case hlSql:
    case hlJava:
      while (i < n) {
        if (state == lsNone) {
          const char c = s[i];
          if (c == '"') {
            const size_t j = SkipQuoted(s, i, '"');
            if (j == npos) return lsNone;
            i = j + 1;
          } else if (c == '/' && i + 1 < n && s[i + 1] == '*') {
            state = lsBlock;
            const size_t j = s.find('/', i + 3);
            if (j == npos) return lsBlock;
            if (s[j - 1] == '*') state = lsNone;
            i = j + 1;
          } else {
            ++i;
          }
        } else {
          const size_t j = s.find('/', i);
          if (j == npos) return state;
          if (j > 0 && s[j - 1] == '*') state = lsNone;
          i = j + 1;
        }
      }
      return state;
    case hlPython:
    case hlPerl:
      while (i < n) {
        if (state == lsNone) {
          if (s[i] == '"') {
            const size_t j = s.find('"', i + 1);
            if (j == npos) return lsString;
            i = j + 1;
          } else {
            ++i;
          }
        } else {
          const size_t j = s.find('"', i);
          if (j == npos) return state;
          state = lsNone;
          i = j + 1;
        }
      }
      return state;
    case hlHtml:
      while (i < n) {
        if (state == lsNone) {
          if (s[i] == '<') {
            const size_t j = s.find('>', i + 1);
            if (j == npos) return lsTag;
            i = j + 1;
          } else {
            ++i;
          }
        } else {
          const size_t j = s.find('>', i);
          if (j == npos) return state;
          state = lsNone;
          i = j + 1;
        }
      }
      return state;
    default:
      return lsNone;
  }
}

void TSyntaxHighlighter::Rescan(const THighlightLines& lines) {
  std::fill(FStates.begin(), FStates.end(), lsNone);
  if (!KeepsStates()) return;
  const int count = lines.LineCount();
  // Entry i + 1 is the state at the end of line i; entries stop at 65536.
  const int limit = std::min(count - 1, LineStateCount - 1);
  uint8_t state = lsNone;
  for (int i = 0; i + 1 <= limit; ++i) {
    state = ScanLine(lines.LineText(i), state);
    FStates[size_t(i) + 1] = state;
  }
}

int TSyntaxHighlighter::LinesChanged(const THighlightLines& lines, int first, int delta,
                                     int lastEdited) {
  if (!KeepsStates()) return -1;
  if (first < 0) first = 0;
  const int count = lines.LineCount();
  const int top = LineStateCount - 1;  // highest entry index
  // Move the entries of the lines below the edit with their lines.
  if (first < top && delta != 0) {
    uint8_t* base = FStates.data();
    if (delta > 0) {
      const int from = first + 1;
      const int to = from + delta;
      if (to <= top) std::memmove(base + to, base + from, size_t(top - to + 1));
      std::fill(base + from, base + std::min(to, top + 1), kUnknownState);
    } else {
      const int d = -delta;
      const int to = first + 1;
      const int from = to + d;
      if (from <= top) {
        std::memmove(base + to, base + from, size_t(top - from + 1));
        std::fill(base + (top - d + 1), base + top + 1, kUnknownState);
      } else {
        std::fill(base + to, base + top + 1, kUnknownState);
      }
    }
  }
  const int limit = std::min(count - 1, top);
  int lastChanged = -1;
  auto recompute = [&](int start, int mustReach) {
    if (start >= top) return;  // lines from 65536 on keep no state
    uint8_t state = start == 0 ? uint8_t(lsNone) : FStates[size_t(start)];
    if (state == kUnknownState) state = lsNone;
    for (int i = start; i + 1 <= limit; ++i) {
      const uint8_t next = ScanLine(lines.LineText(i), state);
      uint8_t& stored = FStates[size_t(i) + 1];
      if (i + 1 > mustReach && stored == next) break;
      if (stored != next && stored != kUnknownState) lastChanged = std::max(lastChanged, i + 1);
      if (stored == kUnknownState && i + 1 > first + std::max(delta, 0))
        lastChanged = std::max(lastChanged, i + 1);
      stored = next;
      state = next;
    }
  };
  recompute(first, std::max(first + std::max(delta, 0), lastEdited));
  // Entries that came up from beyond the array on a deletion are computed too (unless the
  // first pass already ran through them).
  if (delta < 0 && first < top) {
    const int u = std::max(first + 1, top + delta + 1);
    if (u <= limit && FStates[size_t(u)] == kUnknownState) recompute(u - 1, limit);
  }
  return lastChanged;
}

// ---- colouring ------------------------------------------------------------------------------

bool TSyntaxHighlighter::DoReservedWord(const std::string& token, bool& reserved) {
  if (!OnReservedWord) return false;
  reserved = false;
  OnReservedWord(token, reserved);
  return true;
}

void TSyntaxHighlighter::ColorColumns(TLineAttrs& attrs, int first, int last,
                                      const TSymbolColor& look) {
  first = std::max(first, 1);
  last = std::min(last, TLineAttrs::LastColumn);
  for (int c = first; c <= last; ++c) {
    TLineAttr& a = attrs.Entries[c];
    a.Fore = look.ForeColor;
    a.Back = look.BackColor;
    a.Style = look.Style;
  }
}

const TSymbolColor* TSyntaxHighlighter::GenericClass(const std::string& t,
                                                     const std::string& prev) {
  const THighLighter hl = FHighLighter;
  bool comment = false;
  switch (hl) {
    case hlPascal: comment = StartsWith(t, "{") || StartsWith(t, "(*") || StartsWith(t, "//"); break;
    case hlCBuilder:
    case hlSql:
    case hlJava: comment = StartsWith(t, "/*") || StartsWith(t, "//"); break;
    case hlPython:
    case hlPerl: comment = StartsWith(t, "#"); break;
    case hlVB: comment = StartsWith(t, "'"); break;
    case hlIni: comment = StartsWith(t, "#") || StartsWith(t, ";"); break;
    default: break;
  }
  if (comment) return &FColors.Comment;
  bool str = false;
  switch (hl) {
    case hlPascal:
    case hlCBuilder:
    case hlSql:
    case hlPython:
    case hlJava:
    case hlPerl: str = StartsWith(t, "'") || StartsWith(t, "\""); break;
    case hlVB: str = StartsWith(t, "\""); break;
    default: break;
  }
  if (str) return &FColors.Strings;
  if (t.size() == 1 && t[0] != 0 && std::strchr("#%'()*+,-./:;<=>@[\\]^{}~", t[0]))
    return &FColors.Symbol;
  if (IsInteger(t) || IsFloat(t)) return &FColors.Number;
  if ((hl == hlCBuilder || hl == hlPython || hl == hlJava) && !t.empty() &&
      (t[0] == 'x' || t[0] == 'X') && prev == "0")
    return &FColors.Number;
  if (hl == hlHtml) return &FColors.PlainText;
  return &FColors.Identifer;
}

// The next character of s after the 1-based column `end` that is not a tab, line feed,
// carriage return or blank; 0 when there is none.
static char NextCharAfter(const std::string& s, int end) {
  for (size_t i = size_t(std::max(end, 0)); i < s.size(); ++i) {
    const char c = s[i];
    if (c != '\t' && c != '\n' && c != '\r' && c != ' ') return c;
  }
  return 0;
}

const TSymbolColor* TSyntaxHighlighter::Classify(const std::string& t, const std::string& prev,
                                                 const std::string& s, bool& inTag) {
  bool reserved = false;
  if (DoReservedWord(t, reserved)) return reserved ? &FColors.Reserved : GenericClass(t, prev);
  switch (FHighLighter) {
    case hlPascal:
      if (InKeywordList(kwPascal, t)) return &FColors.Reserved;
      break;
    case hlCBuilder:
      if (InKeywordList(kwCpp, t)) return &FColors.Reserved;
      break;
    case hlSql:
      if (InKeywordList(kwSql, t)) return &FColors.Reserved;
      break;
    case hlPython:
      if (InKeywordList(kwPython, t)) return &FColors.Reserved;
      if (t == "None") return &FColors.Number;
      if (prev == "def" || prev == "class") return &FColors.Declaration;
      if (NextCharAfter(s, FTokenEnd) == '(' && IsIdentifier(t)) return &FColors.FunctionCall;
      break;
    case hlJava:
      if (InKeywordList(kwJava, t)) return &FColors.Reserved;
      if (prev == "function") return &FColors.Declaration;
      break;
    case hlVB:
      if (InKeywordList(kwVBKeywords, t)) return &FColors.Reserved;
      if (InKeywordList(kwVBFunctions, t)) return &FColors.Statement;
      if (SameText(prev, "function") || SameText(prev, "sub") || SameText(prev, "class"))
        return &FColors.Declaration;
      break;
    case hlHtml:
      if (!inTag) {
        if (t == "<") {
          inTag = true;
          return &FColors.Reserved;
        }
        return nullptr;  // text outside tags keeps the base look
      }
      if (t == ">") {
        inTag = false;
        return &FColors.Reserved;
      }
      if (t == "/" && prev == "<") return &FColors.Reserved;
      if (NextCharAfter(s, FTokenEnd) == '=' && IsIdentifier(t)) return &FColors.Identifer;
      if (prev == "=") return &FColors.Strings;
      if (InKeywordList(kwHtmlTags, t)) return &FColors.Reserved;
      break;
    case hlPerl:
      if (InKeywordList(kwPerlKeywords, t)) return &FColors.Reserved;
      if (InKeywordList(kwPerlFunctions, t)) return &FColors.Statement;
      if (!t.empty() && (t[0] == '$' || t[0] == '%' || t[0] == '&' || t[0] == '@'))
        return &FColors.FunctionCall;
      break;
    default:
      break;
  }
  return GenericClass(t, prev);
}

void TSyntaxHighlighter::EntityRule(const std::string& t, int start, TLineAttrs& attrs) {
  // No listed entity name is longer than this; longer names are not looked up.
  constexpr size_t kLongestName = 16;
  size_t semi = std::string::npos;
  for (size_t a = t.find('&'); a != std::string::npos; a = t.find('&', a + 1)) {
    if (semi == std::string::npos || semi <= a) semi = t.find(';', a + 1);
    if (semi == std::string::npos) break;  // no ";" after this "&", nor after a later one
    const size_t length = semi - a - 1;
    if (length == 0 || length > kLongestName) continue;
    if (InKeywordList(kwHtmlEntities, t.substr(a + 1, length)))
      ColorColumns(attrs, start + int(a), start + int(semi), FColors.Preproc);
  }
}

void TSyntaxHighlighter::GetAttr(int line, const std::string& s, TColor fontColor,
                                 TFontStyles fontStyle, TColor color, TLineAttrs& attrs) {
  const THighLighter hl = FHighLighter;
  const TSymbolColor* base = &FColors.PlainText;
  const int len = int(std::min<size_t>(s.size(), TLineAttrs::LastColumn));
  auto fill = [&]() {
    ColorColumns(attrs, 1, len, *base);
    for (int c = len + 1; c <= TLineAttrs::LastColumn; ++c) {
      TLineAttr& a = attrs.Entries[c];
      a.Fore = fontColor;
      a.Back = color;
      a.Style = fontStyle;
    }
  };
  const bool handler = HasReservedWordHandler();
  if (hl == hlNone && !handler) {
    fill();
    return;
  }
  FParser.SetText(s.c_str());
  const uint8_t state = (!FLongTokens || line < 0 || line >= LineStateCount) ? uint8_t(lsNone)
                                                                             : LineState(line);
  const char first = s.empty() ? 0 : s[0];
  if ((hl == hlCBuilder || hl == hlJava) && first == '#' && state == lsNone)
    base = &FColors.Preproc;
  else if ((hl == hlPython || hl == hlPerl) && first == '#' && state == lsNone)
    base = &FColors.Comment;
  else if (hl == hlIni && (first == '#' || first == ';'))
    base = &FColors.Comment;
  bool scan = true;
  if (state != lsNone && hl != hlHtml) {
    size_t end = std::string::npos;
    if (state == lsBrace)
      end = s.find('}');
    else if (state == lsBlock && hl == hlPascal)
      end = FindAfterStar(s, 0, ')');
    else if (state == lsBlock && IsCFamily(hl))
      end = FindAfterStar(s, 0, '/');
    else if (state == lsString && (hl == hlPython || hl == hlPerl))
      end = s.find('"');
    base = ((hl == hlPython || hl == hlPerl) && state == lsString) ? &FColors.Strings
                                                                   : &FColors.Comment;
    if (end == std::string::npos)
      scan = false;
    else
      FParser.SetPosition(int(end) + 1);
  }
  fill();
  if (first == '#' && (hl == hlCBuilder || hl == hlPython || hl == hlJava || hl == hlPerl)) return;
  if (hl == hlIni) {
    if (first == '#' || first == ';') return;
    if (first == '[' && s.back() == ']') {
      ColorColumns(attrs, 1, len, FColors.Declaration);
    } else {
      const size_t eq = s.find('=');
      if (eq != std::string::npos) {
        const int col = int(eq) + 1;
        ColorColumns(attrs, 1, col, FColors.Identifer);
        ColorColumns(attrs, col, col, FColors.Symbol);
        ColorColumns(attrs, col + 1, len, FColors.Strings);
      }
    }
    return;
  }
  if (!scan) return;
  bool inTag = state == lsTag;
  std::string prev;
  for (;;) {
    std::string t = FParser.NextToken();
    if (t.empty()) break;
    const int start = FParser.TokenStart(0);
    FTokenEnd = FParser.TokenEnd(0);
    if (const TSymbolColor* look = Classify(t, prev, s, inTag))
      ColorColumns(attrs, start, FTokenEnd, *look);
    if (hl == hlHtml) EntityRule(t, start, attrs);
    prev.swap(t);
  }
}
