// The syntax highlighter: the colour classes of the tokens (TSymbolColor, TColors), the
// languages (THighLighter), the per-line states of constructs that span several lines, and
// the colouring of one line into a TLineAttrs.
//
// TSyntaxHighlighter holds no text of its own: it reads lines through THighlightLines, which
// the editor implements over its line store. Line states are kept for lines 0..65536 (the
// state at the start of the line); after an edit only the edited lines and the lines below
// them whose state actually changes are scanned again, so one keystroke costs the same in a
// large page as in a small one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "classes.h"
#include "colors.h"
#include "fontstyles.h"
#include "lineattrs.h"
#include "tokenparser.h"

enum THighLighter {
  hlNone = 0,
  hlPascal,
  hlCBuilder,
  hlSql,
  hlPython,
  hlJava,
  hlVB,
  hlHtml,
  hlPerl,
  hlIni
};

// The look of one token class.
class TSymbolColor : public TPersistent {
public:
  TSymbolColor() = default;
  TSymbolColor(TColor fore, TFontStyles style, TColor back = clWindow)
      : Style(style), ForeColor(fore), BackColor(back) {}
  const char* ClassName() const override { return "TSymbolColor"; }
  // Copies the three values from another TSymbolColor; anything else goes to the inherited
  // Assign.
  void Assign(TPersistent* Source) override;
  void Set(TColor fore, TFontStyles style, TColor back = clWindow) {
    ForeColor = fore;
    Style = style;
    BackColor = back;
  }
  TFontStyles Style;
  TColor ForeColor = clWindowText;
  TColor BackColor = clWindow;
};

// The eleven token classes with their looks; the constructor sets the defaults.
class TColors : public TPersistent {
public:
  TColors();
  const char* ClassName() const override { return "TColors"; }
  // From another TColors: each of the eleven classes in turn.
  void Assign(TPersistent* Source) override;
  // The look of the document windows of the HTML editor.
  void SetDocumentWindowColors();

  TSymbolColor Comment, Number, Strings, Symbol, Reserved, Identifer, Preproc, FunctionCall,
      Declaration, Statement, PlainText;
};

// The lines the highlighter reads.
class THighlightLines {
public:
  virtual ~THighlightLines() = default;
  virtual int LineCount() const = 0;
  virtual const std::string& LineText(int index) const = 0;
};

// Line states.
enum TLineState : uint8_t {
  lsNone = 0,        // not inside a multi-line construct
  lsBrace = 1,       // Pascal brace comment
  lsBlock = 2,       // Pascal (* *) or C /* */ comment
  lsString = 4,      // Python/Perl double-quoted string
  lsTag = 5,         // HTML tag
};

constexpr int LineStateCount = 65537;  // states kept for lines 0..65536; higher lines: 0

class TSyntaxHighlighter {
public:
  TSyntaxHighlighter();
  virtual ~TSyntaxHighlighter() = default;

  THighLighter HighLighter() const { return FHighLighter; }
  // Stores the language and its scanner style and rescans every line state; returns whether
  // the value changed (the caller repaints).
  bool SetHighLighter(THighLighter value, const THighlightLines& lines);
  bool LongTokens() const { return FLongTokens; }
  void SetLongTokens(bool value, const THighlightLines& lines);
  TColors& Colors() { return FColors; }
  const TColors& Colors() const { return FColors; }

  // Lets the user decide whether a token is a reserved word.
  std::function<void(const std::string& token, bool& reserved)> OnReservedWord;
  // When the handler is assigned: Reserved = false, the handler runs, the result is true.
  virtual bool DoReservedWord(const std::string& token, bool& reserved);
  virtual bool HasReservedWordHandler() const { return bool(OnReservedWord); }

  // Every line state computed from the text (after loading and language changes).
  void Rescan(const THighlightLines& lines);
  // After an edit: line `first` changed and `delta` lines were inserted below it (delta > 0)
  // or removed below it (delta < 0). Recomputes the states of the changed lines and of the
  // lines below until a state agrees with the stored one. Returns the last line whose start
  // state changed, or -1 when no line below `first` changed its state. lastEdited (when
  // given) is the last line whose text may have changed; lines up to it are always rescanned.
  int LinesChanged(const THighlightLines& lines, int first, int delta, int lastEdited = -1);
  // The state at the start of line i (0 for lines above 65536 and without long tokens).
  uint8_t LineState(int i) const;
  // The state at the end of line text s when it starts in `state` (the scan of the rescan).
  uint8_t ScanLine(const std::string& s, uint8_t state) const;

  // Colours line `line` with text s: entries 1..1024 of attrs (columns 0..1023). fontColor and
  // fontStyle are the editor's font, color its background; columns past the text get those.
  void GetAttr(int line, const std::string& s, TColor fontColor, TFontStyles fontStyle,
               TColor color, TLineAttrs& attrs);

  TTokenParser& Parser() { return FParser; }

private:
  void SetScannerStyle();
  bool KeepsStates() const;
  // The phases of colouring a line (see GetAttr).
  const TSymbolColor& LineLook(const std::string& s, uint8_t state, bool& tokens);
  void FillLine(TLineAttrs& attrs, int len, const TSymbolColor& look, TColor fontColor,
                TFontStyles fontStyle, TColor color);
  void IniLine(const std::string& s, int len, TLineAttrs& attrs);
  void ColorTokens(const std::string& s, bool inTag, TLineAttrs& attrs);
  // The class of token t after token prev on line s: the language's rules, then the generic
  // ones; TagClass holds the rules of HTML, inside and outside tags.
  const TSymbolColor* Classify(const std::string& t, const std::string& prev, const std::string& s,
                               bool& inTag);
  const TSymbolColor* TagClass(const std::string& t, const std::string& prev, const std::string& s,
                               bool& inTag);
  const TSymbolColor* GenericClass(const std::string& t, const std::string& prev);
  void ColorColumns(TLineAttrs& attrs, int first, int last, const TSymbolColor& look);
  void EntityRule(const std::string& t, int start, TLineAttrs& attrs);

  THighLighter FHighLighter = hlPascal;
  bool FLongTokens = true;
  TColors FColors;
  TTokenParser FParser;
  std::vector<uint8_t> FStates;  // LineStateCount entries
  int FTokenEnd = 0;             // 1-based end column of the token being classified
};
