// Drives the editor model with command sequences taken from the input and checks after every
// command that the caret, the selection and the update state stay within their limits and that
// the line store's positions agree with its text; at the end, undoing everything must give back
// the text the sequence started from.
//
// Memory is bounded as on a small machine: a change that grows the page past kPageLimit fails
// as an allocation would (std::bad_alloc from the view's change notification). A macro that
// copies and pastes doubles the page with every pass, so one play could otherwise reach
// gigabytes. A command that fails so must leave the page as it was, with every invariant.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "editor_model.h"

namespace {

// Everything but the insert-mode switch (typing over text empties the undo buffer) and redo.
const int kCommands[] = {
    ecLeft, ecUp, ecRight, ecDown, ecSelLeft, ecSelUp, ecSelRight, ecSelDown, ecPrevWord, ecNextWord,
    ecSelPrevWord, ecSelNextWord, ecSelWord, ecWindowTop, ecWindowBottom, ecPrevPage, ecNextPage,
    ecSelPrevPage, ecSelNextPage, ecBeginLine, ecEndLine, ecBeginDoc, ecEndDoc, ecSelBeginLine,
    ecSelEndLine, ecSelBeginDoc, ecSelEndDoc, ecSelAll, ecScrollLineUp, ecScrollLineDown, ecInsertPara,
    ecBackspace, ecDelete, ecTab, ecBackTab, ecIndent, ecUnindent, ecDeleteSelected, ecClipboardCopy,
    ecClipboardCut, ecClipboardPaste, ecDeleteLine, ecDeleteWord, ecToUpperCase, ecToLowerCase,
    ecChangeCase, ecUndo, ecSetBookmark0 + 1, ecGotoBookmark0 + 1, ecRecordMacro, ecPlayMacro,
};
const int kCommandCount = sizeof kCommands / sizeof kCommands[0];

const int kPageLimit = 64 * 1024;

struct CountingView : IEditorView {
  TEditorModel* editor = nullptr;
  int hidden = 0;
  void HideCaret() override { ++hidden; }
  void ShowCaret() override { --hidden; }
  void TextModified(int, TTextAction, const String&) override {
    if (editor->TextLength() > kPageLimit) throw std::bad_alloc();
  }
};

#define Check(ok) \
  do { \
    if (!(ok)) { \
      std::fprintf(stderr, "invariant broken: %s (line %d)\n", #ok, __LINE__); \
      std::abort(); \
    } \
  } while (0)

void CheckInvariants(TEditorModel& ed, const CountingView& view) {
  TEditorStrings* lines = ed.Lines();
  Check(ed.CaretX() >= 0 && ed.CaretX() <= MaxColumn);
  Check(ed.CaretY() >= 0 && ed.CaretY() <= std::max(lines->Count() - 1, 0));
  Check(ed.UpdateLock() == 0 && ed.CompoundDepth() == 0 && view.hidden == 0);
  Check(ed.UndoBuffer()->CurrentIndex() < ed.UndoBuffer()->Count());
  Check(lines->TextLength() == static_cast<int>(lines->Text().size()));
  if (lines->Count() > 0) {
    int y = lines->Count() / 2;
    int p = ed.LinePos(0, y);
    int x = -1, yy = -1;
    ed.CaretFromPos(p, x, yy);
    Check(x == 0 && yy == y);
  }
}

// Whether the recorded macro holds an undo step: a play of it that fails cannot be taken back
// (what its undo took back is gone), and stays as far as it got.
bool MacroUndoes(const TEditorModel& ed) {
  const String& m = ed.Macro();
  for (size_t i = 0; i + 1 < m.size(); i += 2)
    if (static_cast<unsigned char>(m[i]) + 256 * static_cast<unsigned char>(m[i + 1]) == ecUndo) return true;
  return false;
}

// One step of the sequence: a command, a caret move, a two-key sequence, the mouse or an
// insertion.
void Step(TEditorModel& ed, uint8_t op, uint8_t arg) {
  if (op < 64) {
    ed.ExecCommand(32 + arg % 96);
  } else if (op < 128) {
    ed.ExecCommand(kCommands[arg % kCommandCount]);
  } else if (op < 160) {
    ed.SetCaret(arg % 40, arg / 40 * 3);
  } else if (op < 176) {
    Word key = static_cast<Word>(arg % 2 ? 'K' : 'Q');
    ed.KeyDown(key, TShiftState{ssCtrl});
    Word second = static_cast<Word>('0' + arg % 10);
    ed.KeyDown(second, TShiftState{});
    ed.KeyPress(static_cast<char>(second));
  } else if (op < 192) {
    ed.MouseDown(arg % 30, arg / 30, true);
    ed.MouseMove(arg % 7, arg % 5);
  } else if (op < 200) {
    ed.DoubleClick();
  } else {
    ed.InsertText(String(1, static_cast<char>(arg)) + "\r<p>\t");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // The first part (up to a 0xFF byte) is the text, the rest the commands.
  size_t split = 0;
  while (split < size && data[split] != 0xFF && split < 2048) ++split;
  TEditorModel ed;
  CountingView view;
  view.editor = &ed;
  TMemoryClipboard clip;
  ed.SetView(&view);
  ed.SetClipboard(&clip);
  ed.SetVisibleCounts(20, 8);
  ed.Lines()->SetText(String(reinterpret_cast<const char*>(data), split));
  const String original = ed.Lines()->Text();
  clip.SetText("x\ty\rz\r\n  w");
  for (size_t i = split + 1; i + 1 < size && i < split + 1 + 600; i += 2) {
    uint8_t op = data[i], arg = data[i + 1];
    const String before = ed.Lines()->Text();
    try {
      Step(ed, op, arg);
    } catch (const std::bad_alloc&) {
      const String after = ed.Lines()->Text();
      const bool play = op >= 64 && op < 128 && kCommands[arg % kCommandCount] == ecPlayMacro;
      Check(after == before || (before.empty() && after == "\r\n") || (play && MacroUndoes(ed)));
    }
    CheckInvariants(ed, view);
    // Copy and paste can double the text with every pair: keep each run short.
    if (ed.Lines()->TextLength() > 20000) break;
  }
  int guard = 0;
  while (ed.UndoBuffer()->CurrentIndex() >= 0 && guard++ < 100000) ed.ExecCommand(ecUndo);
  // An empty store that was edited keeps one empty line (the store a caret needs).
  Check(ed.Lines()->Text() == original || (original.empty() && ed.Lines()->Text() == "\r\n"));
  return 0;
}
