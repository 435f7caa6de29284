#include "codehleditor.h"

#include <algorithm>

TCodeHLEditor::TCodeHLEditor(TComponent* AOwner) : TCodeEditor(AOwner) { Rescan(); }

void TCodeHLEditor::Rescan() {
  FHighlighter.Rescan(FLinesAdapter);
  FLineCount = Lines()->Count();
}

void TCodeHLEditor::Loaded() {
  TCodeEditor::Loaded();
  Rescan();
}

void TCodeHLEditor::SetHighLighter(THighLighter Value) {
  if (FHighlighter.SetHighLighter(Value, FLinesAdapter)) {
    FLineCount = Lines()->Count();
    Invalidate();
  }
}

void TCodeHLEditor::SetLongTokens(bool Value) {
  FHighlighter.SetLongTokens(Value, FLinesAdapter);
  FLineCount = Lines()->Count();
  Invalidate();
}

bool TCodeHLEditor::DoReservedWord(const String& Token, bool& Reserved) {
  if (!OnReservedWord) return false;
  Reserved = false;
  OnReservedWord(this, Token, Reserved);
  return true;
}

void TCodeHLEditor::TextReplaced(bool ClearSelectionFlag) {
  FReplacing = true;
  try {
    TCodeEditor::TextReplaced(ClearSelectionFlag);
  } catch (...) {
    FReplacing = false;
    throw;
  }
  FReplacing = false;
  Rescan();
  Invalidate();
}

void TCodeHLEditor::TextModified(int Pos, TTextAction Action, const String& Text) {
  TCodeEditor::TextModified(Pos, Action, Text);
  if (FReplacing) return;
  TEditorStrings* lines = Lines();
  const int count = lines->Count();
  const int delta = count - FLineCount;
  FLineCount = count;
  // The line breaks in the changed text must account for the change of the line count;
  // anything else (a change the editor did not report line by line) gets a full rescan.
  int breaks = 0;
  for (size_t i = 0; i < Text.size(); ++i)
    if (Text[i] == '\r' || (Text[i] == '\n' && (i == 0 || Text[i - 1] != '\r'))) ++breaks;
  if (std::abs(delta) > breaks || count == 0) {
    Rescan();
    Invalidate();
    return;
  }
  // The line of the position; the store's position table is valid near the edit, so this costs
  // nothing in a large text.
  const int line = lines->LineOfPosition(std::max(Pos, 0));
  // Where exactly the notified position lies relative to the change differs between the
  // operations (before or after the inserted text); the range covers both.
  const int first = std::max(line - breaks - 1, 0);
  const int last = std::min(line + breaks + 1, count - 1);
  const int changed = FHighlighter.LinesChanged(FLinesAdapter, first, delta, last);
  if (changed > last || delta != 0) {
    // States below the edited lines changed, or lines moved: repaint from the edit down.
    if (HandleAllocated()) {
      const TRect area = EditorClient()->ClientRect();
      RECT r = {area.left, area.top + std::max(first - TopRow(), 0) * CellHeight(), area.right,
                area.bottom};
      InvalidateRect(Handle(), &r, FALSE);
    }
  }
}

void TCodeHLEditor::GetAttr(int Line, int First, int Last) {
  if (Line < 0 || Line >= Lines()->Count()) return;
  FHighlighter.GetAttr(Line, Lines()->Line(Line), Font()->Color(), Font()->Style(), Color(),
                       LineAttrs());
}
