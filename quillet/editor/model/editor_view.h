// What the editor model needs from its window and from the platform, as interfaces that the
// window half implements and the tests replace by recording fakes. Every method has a default
// that does nothing, so a model without a window (tests, benchmarks) works as it is.
#pragma once

#include "keys.h"
#include "sysutils.h"

// The two kinds of change that TextModified reports.
enum TTextAction { taInsert = 0, taDelete = 1 };

// Notifications from the model to the window that shows it. Coordinates are editor cells
// (columns and lines from 0); pixels are the window's business.
class IEditorView {
public:
  virtual ~IEditorView() = default;

  // The system caret: hidden around every change, shown again afterwards (also when an
  // exception passes); CaretMoved follows every change of CaretX/CaretY.
  virtual void HideCaret() {}
  virtual void ShowCaret() {}
  virtual void CaretMoved() {}

  // Repaint requests. Lines outside the text paint as empty rows. While the model's update lock
  // is above 0 the window skips painting; EndUpdate asks for a full repaint at the end.
  virtual void RepaintLine(int Line) {}
  virtual void RepaintRows(int FirstLine, int LastLine) {}
  virtual void Invalidate() {}
  virtual void RepaintGutter() {}

  // The line count changed or an update ended: the window recomputes its cell geometry and
  // scroll ranges and reports the visible counts back through TEditorModel::SetVisibleCounts.
  virtual void UpdateGeometry() {}

  // LeftCol/TopRow changed from the old values (only reported while the update lock is 0): the
  // window scrolls its pixels, moves its scroll bars and fires OnScroll.
  virtual void ViewScrolled(int OldLeftCol, int OldTopRow) {}

  // MessageBeep(0).
  virtual void Beep() {}

  // Queue a command to run later through ExecCommand (the window posts WM_USER + 257 to
  // itself). Return false to let the model run it itself right after the current command.
  virtual bool PostCommand(int Command) { return false; }

  // The completion drop-down (its settings and list belong to the window half):
  // a key down while the list is open (true: consumed, nothing else happens);
  virtual bool CompletionKeyDown(Word& Key, TShiftState Shift) { return false; }
  // any other key down stops the typing-pause timer;
  virtual void CompletionStopTimer() {}
  // a typed character, before (After false) or after (After true) its insertion;
  virtual void CompletionCharTyped(char Ch, bool After) {}
  // Backspace (command 358) ran;
  virtual void CompletionBackspace() {}
  // commands 402 (identifiers) and 403 (templates);
  virtual void CompletionCommand(int Command) {}
  // the user clicked into the text or the caret left by the mouse: close without choosing.
  virtual void CompletionClose() {}

  // After every insertion or deletion (Pos is a linear position, see TEditorModel). The
  // highlighting editor keeps its multi-line token states here.
  virtual void TextModified(int Pos, TTextAction Action, const String& Text) {}
};

// The clipboard's text. The window half supplies the system clipboard; TMemoryClipboard keeps
// the text in memory (tests, benchmarks).
class IEditorClipboard {
public:
  virtual ~IEditorClipboard() = default;
  // The clipboard text up to its first NUL; false when the clipboard holds no text or the
  // text handle's size is 0.
  virtual bool GetText(String& Text) = 0;
  // Replaces the clipboard's contents by Text (an empty Text puts an empty text).
  virtual void SetText(const String& Text) = 0;
};

class TMemoryClipboard : public IEditorClipboard {
public:
  bool GetText(String& Text) override {
    if (!FHas) return false;
    Text = FText;
    return true;
  }
  void SetText(const String& Text) override {
    FText = Text;
    FHas = true;
  }
  void Clear() { FHas = false; FText.clear(); }
  bool HasText() const { return FHas; }

private:
  String FText;
  bool FHas = false;
};
