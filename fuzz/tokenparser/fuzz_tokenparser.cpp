// Arbitrary lines through the token parser and the highlighter: the first byte picks the
// language, the rest is split into lines at line feeds. Checks that colouring never writes past
// the attribute columns, that the parser always comes to an end, and that the line states kept
// after an edit equal a full rescan.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "highlighter.h"

namespace {

class TLines : public THighlightLines {
public:
  std::vector<std::string> L;
  int LineCount() const override { return int(L.size()); }
  const std::string& LineText(int i) const override { return L[size_t(i)]; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const THighLighter hl = THighLighter(data[0] % 10);
  TLines lines;
  lines.L.emplace_back();
  for (size_t i = 1; i < size; ++i) {
    if (data[i] == '\n')
      lines.L.emplace_back();
    else
      lines.L.back().push_back(char(data[i]));
  }

  TSyntaxHighlighter h;
  h.SetHighLighter(hl, lines);
  h.Rescan(lines);
  TLineAttrs attrs;
  TLineAttr sentinel;
  sentinel.Fore = 0x00ABCDEF;
  for (int i = 0; i < lines.LineCount(); ++i) {
    attrs.Entries[TLineAttrs::Count - 1] = sentinel;
    attrs.Entries[0] = sentinel;
    h.GetAttr(i, lines.L[size_t(i)], clBlack, {}, clWindow, attrs);
    if (attrs.Entries[TLineAttrs::Count - 1] != sentinel || attrs.Entries[0] != sentinel) std::abort();
  }

  // The parser without comment tokens either ends or raises its one error.
  for (int style = 1; style <= 6; ++style) {
    TTokenParser p;
    p.SetStyle(style);
    for (const std::string& s : lines.L) {
      p.SetText(s.c_str());
      try {
        size_t guard = 0;
        while (!p.NextToken().empty())
          if (++guard > s.size() + 1) std::abort();
      } catch (const ETokenParserError& e) {
        if (e.ErrorCode != 1 || e.Position < 0 || size_t(e.Position) > s.size()) std::abort();
      }
    }
  }

  // Remove the first line (an edit at line 0 that deletes one line below it) and compare.
  if (lines.LineCount() >= 2) {
    lines.L.erase(lines.L.begin() + 1);
    h.LinesChanged(lines, 0, -1);
    TSyntaxHighlighter full;
    full.SetHighLighter(hl, lines);
    full.Rescan(lines);
    for (int i = 0; i < lines.LineCount(); ++i)
      if (h.LineState(i) != full.LineState(i)) std::abort();
  }
  return 0;
}
