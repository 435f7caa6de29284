#include "highlighter.h"

#include <cctype>

#include <algorithm>
#include <cstring>

#include "keywords.h"
#include "sysutils.h"

namespace {

constexpr uint8_t kUnknownState = 0xFF;  // an entry not yet computed (never a real state)

bool StartsWith(const std::string& s, const char* prefix) {
  return s.compare(0, std::strlen(prefix), prefix) == 0;
}

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

// ---- the constructs that span lines, one scanner per family of languages ----------------
// Each returns the state at the end of line s when the line starts in `state`.

// Pascal and the C family: strings in Quote (a doubled quote does not close; an unclosed
// string does not carry over), block comments from Open "*" to "*" Close, with Braces the brace
// comments of Pascal, and "//" comments to the end of the line (a "/*" or "{" inside one opens
// nothing).
template <char Quote, char Open, char Close, bool Braces>
uint8_t ScanCommentedLine(const std::string& s, uint8_t state) {
  const size_t n = s.size();
  const auto npos = std::string::npos;
  size_t i = 0;
  while (i < n) {
    if (state == lsNone) {
      const char c = s[i];
      if (c == '/' && i + 1 < n && s[i + 1] == '/') return lsNone;
      if (c == Quote) {
        const size_t j = SkipQuoted(s, i, Quote);
        if (j == npos) return lsNone;  // an unclosed string does not carry over
        i = j + 1;
      } else if (Braces && c == '{') {
        const size_t j = s.find('}', i + 1);
        if (j == npos) return lsBrace;
        i = j + 1;
      } else if (c == Open && i + 1 < n && s[i + 1] == '*') {
        state = lsBlock;
        const size_t j = s.find(Close, i + 3);
        if (j == npos) return lsBlock;
        if (s[j - 1] == '*') state = lsNone;
        i = j + 1;
      } else {
        ++i;
      }
    } else if (Braces && state == lsBrace) {
      const size_t j = s.find('}', i);
      if (j == npos) return lsBrace;
      state = lsNone;
      i = j + 1;
    } else {  // inside a block comment
      const size_t j = s.find(Close, i);
      if (j == npos) return state;
      if (j > 0 && s[j - 1] == '*') state = lsNone;
      i = j + 1;
    }
  }
  return state;
}

constexpr auto ScanPascalLine = ScanCommentedLine<'\'', '(', ')', true>;
constexpr auto ScanCLine = ScanCommentedLine<'"', '/', '/', false>;

bool AnyOpen(const std::string&, size_t) { return true; }

// HTML: a "<" opens a tag only before a letter, "/", "!" or "?"; any other one ("a < b",
// "i<=n" in a script) is text.
bool OpensTag(const std::string& s, size_t i) {
  if (i + 1 >= s.size()) return false;
  const unsigned char c = static_cast<unsigned char>(s[i + 1]);
  return std::isalpha(c) || c == '/' || c == '!' || c == '?';
}

// A construct between an open and a close character that carries over as `inside`: Python's
// and Perl's double-quoted strings, HTML's tags. Opens tells whether an open character at i
// opens the construct.
template <char Open, char Close, TLineState Inside, bool (*Opens)(const std::string&, size_t) = AnyOpen>
uint8_t ScanDelimitedLine(const std::string& s, uint8_t state) {
  const size_t n = s.size();
  const auto npos = std::string::npos;
  size_t i = 0;
  while (i < n) {
    if (state == lsNone) {
      if (s[i] == Open && Opens(s, i)) {
        const size_t j = s.find(Close, i + 1);
        if (j == npos) return Inside;
        i = j + 1;
      } else {
        ++i;
      }
    } else {
      const size_t j = s.find(Close, i);
      if (j == npos) return state;
      state = lsNone;
      i = j + 1;
    }
  }
  return state;
}

// ---- the languages ------------------------------------------------------------------------

// What the highlighter knows of one language; the rules that use the fields come in this order
// (see Classify and GenericClass).
struct TLanguageTraits {
  int scannerStyle;  // the token scanner's style; -1 keeps the style it had
  // The scan of the constructs that span lines; null: the language keeps no line states.
  uint8_t (*scanLine)(const std::string& s, uint8_t state);
  char blockClose;  // the character after "*" that ends a block comment (0: none)
  // A line that starts with one of these characters is one construct: it gets lineLook (when
  // it does not start inside a construct) and no token of it is classified.
  const char* lineMarks;
  TSymbolColor TColors::*lineLook;
  bool plainWithoutHandler;  // without a reserved-word handler every line keeps the plain look
  bool iniLines;             // sections and key=value lines instead of tokens
  bool html;                 // the tag rules for every token and the entity rule after it
  // Token rules, in order: reserved words, statements, "None" as a number, declarations after
  // one of the declarers, variables (by their first character) and calls (an identifier before
  // "(") as function calls.
  TKeywordList reserved, statements;  // kwListCount: none
  bool noneIsNumber;
  const char* declarers[3];
  bool declarersIgnoreCase;
  const char* variableMarks;
  bool callsBeforeParen;
  // Generic rules: comments and strings by their start, then symbols and numbers (with the
  // tail of "0x..." when hexTails), then the look of everything else.
  const char* commentStarts[3];
  const char* stringQuotes;
  bool hexTails;
  TSymbolColor TColors::*otherLook;
};

constexpr TKeywordList kwNoList = kwListCount;

// One row per THighLighter value, in its order.
const TLanguageTraits kLanguages[] = {
    // hlNone
    {-1, nullptr, 0, "", nullptr, true, false, false, kwNoList, kwNoList, false, {}, false, "",
     false, {}, "", false, &TColors::Identifer},
    // hlPascal
    {TTokenParser::styPascal, ScanPascalLine, ')', "", nullptr, false, false, false, kwPascal,
     kwNoList, false, {}, false, "", false, {"{", "(*", "//"}, "'\"", false, &TColors::Identifer},
    // hlCBuilder
    {TTokenParser::styC, ScanCLine, '/', "#", &TColors::Preproc, false, false, false, kwCpp,
     kwNoList, false, {}, false, "", false, {"/*", "//"}, "'\"", true, &TColors::Identifer},
    // hlSql
    {TTokenParser::styC, ScanCLine, '/', "", nullptr, false, false, false, kwSql, kwNoList, false,
     {}, false, "", false, {"/*", "//"}, "'\"", false, &TColors::Identifer},
    // hlPython
    {TTokenParser::styPython, ScanDelimitedLine<'"', '"', lsString>, 0, "#", &TColors::Comment,
     false, false, false, kwPython, kwNoList, true, {"def", "class"}, false, "", true, {"#"},
     "'\"", true, &TColors::Identifer},
    // hlJava
    {TTokenParser::styC, ScanCLine, '/', "#", &TColors::Preproc, false, false, false, kwJava,
     kwNoList, false, {"function"}, false, "", false, {"/*", "//"}, "'\"", true,
     &TColors::Identifer},
    // hlVB
    {TTokenParser::styVB, nullptr, 0, "", nullptr, false, false, false, kwVBKeywords,
     kwVBFunctions, false, {"function", "sub", "class"}, true, "", false, {"'"}, "\"", false,
     &TColors::Identifer},
    // hlHtml
    {TTokenParser::styHtml, ScanDelimitedLine<'<', '>', lsTag, OpensTag>, 0, "", nullptr, false, false, true,
     kwNoList, kwNoList, false, {}, false, "", false, {}, "", false, &TColors::PlainText},
    // hlPerl
    {TTokenParser::styPerl, ScanDelimitedLine<'"', '"', lsString>, 0, "#", &TColors::Comment,
     false, false, false, kwPerlKeywords, kwPerlFunctions, false, {}, false, "$%&@", false, {"#"},
     "'\"", false, &TColors::Identifer},
    // hlIni
    {TTokenParser::styPascal, nullptr, 0, "#;", &TColors::Comment, false, true, false, kwNoList,
     kwNoList, false, {}, false, "", false, {"#", ";"}, "", false, &TColors::Identifer},
};
static_assert(sizeof kLanguages / sizeof kLanguages[0] == hlIni + 1, "one row per language");

const TLanguageTraits& Traits(THighLighter hl) {
  return unsigned(hl) <= unsigned(hlIni) ? kLanguages[hl] : kLanguages[hlNone];
}

// Whether c (not 0) is one of the characters of set.
bool OneOf(char c, const char* set) { return c != 0 && std::strchr(set, c) != nullptr; }

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
  SetScannerStyle();
}

void TSyntaxHighlighter::SetScannerStyle() {
  const int style = Traits(FHighLighter).scannerStyle;
  if (style >= 0) FParser.SetStyle(style);
}

bool TSyntaxHighlighter::KeepsStates() const {
  return FLongTokens && Traits(FHighLighter).scanLine != nullptr;
}

bool TSyntaxHighlighter::SetHighLighter(THighLighter value, const THighlightLines& lines) {
  if (value == FHighLighter) return false;
  FHighLighter = value;
  SetScannerStyle();
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
  const auto scan = Traits(FHighLighter).scanLine;
  return scan ? scan(s, state) : uint8_t(lsNone);
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
  const TLanguageTraits& lang = Traits(FHighLighter);
  for (const char* start : lang.commentStarts)
    if (start && StartsWith(t, start)) return &FColors.Comment;
  if (!t.empty() && OneOf(t[0], lang.stringQuotes)) return &FColors.Strings;
  if (t.size() == 1 && OneOf(t[0], "#%'()*+,-./:;<=>@[\\]^{}~")) return &FColors.Symbol;
  if (IsInteger(t) || IsFloat(t)) return &FColors.Number;
  if (lang.hexTails && !t.empty() && (t[0] == 'x' || t[0] == 'X') && prev == "0")
    return &FColors.Number;
  return &(FColors.*lang.otherLook);
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
  const TLanguageTraits& lang = Traits(FHighLighter);
  if (lang.html) return TagClass(t, prev, s, inTag);
  if (lang.reserved != kwNoList && InKeywordList(lang.reserved, t)) return &FColors.Reserved;
  if (lang.statements != kwNoList && InKeywordList(lang.statements, t)) return &FColors.Statement;
  if (lang.noneIsNumber && t == "None") return &FColors.Number;
  for (const char* d : lang.declarers)
    if (d && (lang.declarersIgnoreCase ? SameText(prev, d) : prev == d)) return &FColors.Declaration;
  if (!t.empty() && OneOf(t[0], lang.variableMarks)) return &FColors.FunctionCall;
  if (lang.callsBeforeParen && NextCharAfter(s, FTokenEnd) == '(' && IsIdentifier(t))
    return &FColors.FunctionCall;
  return GenericClass(t, prev);
}

const TSymbolColor* TSyntaxHighlighter::TagClass(const std::string& t, const std::string& prev,
                                                 const std::string& s, bool& inTag) {
  if (!inTag) {
    if (t == "<" && OpensTag(s, size_t(std::max(FTokenEnd, 1) - 1))) {
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

// Colouring one line: the look the line starts with, from the state it starts in and its first
// character; then the INI rule or the tokens after the end of the construct the line starts in.
void TSyntaxHighlighter::GetAttr(int line, const std::string& s, TColor fontColor,
                                 TFontStyles fontStyle, TColor color, TLineAttrs& attrs) {
  const TLanguageTraits& lang = Traits(FHighLighter);
  const int len = int(std::min<size_t>(s.size(), TLineAttrs::LastColumn));
  if (lang.plainWithoutHandler && !HasReservedWordHandler()) {
    FillLine(attrs, len, FColors.PlainText, fontColor, fontStyle, color);
    return;
  }
  FParser.SetText(s.c_str());
  const uint8_t state = (!FLongTokens || line < 0 || line >= LineStateCount) ? uint8_t(lsNone)
                                                                             : LineState(line);
  bool tokens = true;
  FillLine(attrs, len, LineLook(s, state, tokens), fontColor, fontStyle, color);
  if (!s.empty() && OneOf(s[0], lang.lineMarks)) return;
  if (lang.iniLines) {
    IniLine(s, len, attrs);
    return;
  }
  if (tokens) ColorTokens(s, state == lsTag, attrs);
}

const TSymbolColor& TSyntaxHighlighter::LineLook(const std::string& s, uint8_t state,
                                                 bool& tokens) {
  const TLanguageTraits& lang = Traits(FHighLighter);
  // A tag carries over as the in-tag flag of the token rules; the other constructs colour the
  // line up to their end, and the tokens start after it (none when it is not on the line).
  if (state != lsNone && state != lsTag) {
    size_t end = std::string::npos;
    if (state == lsBrace)
      end = s.find('}');
    else if (state == lsBlock && lang.blockClose != 0)
      end = FindAfterStar(s, 0, lang.blockClose);
    else if (state == lsString)
      end = s.find('"');
    if (end == std::string::npos)
      tokens = false;
    else
      FParser.SetPosition(int(end) + 1);
    return state == lsString ? FColors.Strings : FColors.Comment;
  }
  if (state == lsNone && !s.empty() && OneOf(s[0], lang.lineMarks)) return FColors.*lang.lineLook;
  return FColors.PlainText;
}

void TSyntaxHighlighter::FillLine(TLineAttrs& attrs, int len, const TSymbolColor& look,
                                  TColor fontColor, TFontStyles fontStyle, TColor color) {
  ColorColumns(attrs, 1, len, look);
  for (int c = len + 1; c <= TLineAttrs::LastColumn; ++c) {
    TLineAttr& a = attrs.Entries[c];
    a.Fore = fontColor;
    a.Back = color;
    a.Style = fontStyle;
  }
}

void TSyntaxHighlighter::IniLine(const std::string& s, int len, TLineAttrs& attrs) {
  if (!s.empty() && s[0] == '[' && s.back() == ']') {
    ColorColumns(attrs, 1, len, FColors.Declaration);
    return;
  }
  const size_t eq = s.find('=');
  if (eq == std::string::npos) return;
  const int col = int(eq) + 1;
  ColorColumns(attrs, 1, col, FColors.Identifer);
  ColorColumns(attrs, col, col, FColors.Symbol);
  ColorColumns(attrs, col + 1, len, FColors.Strings);
}

void TSyntaxHighlighter::ColorTokens(const std::string& s, bool inTag, TLineAttrs& attrs) {
  const bool entities = Traits(FHighLighter).html;
  std::string prev;
  for (;;) {
    std::string t = FParser.NextToken();
    if (t.empty()) break;
    const int start = FParser.TokenStart(0);
    FTokenEnd = FParser.TokenEnd(0);
    if (const TSymbolColor* look = Classify(t, prev, s, inTag))
      ColorColumns(attrs, start, FTokenEnd, *look);
    if (entities) EntityRule(t, start, attrs);
    prev.swap(t);
  }
}
