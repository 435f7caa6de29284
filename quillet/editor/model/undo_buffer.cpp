#include "undo_buffer.h"

#include <algorithm>
#include <memory>

TUndoBuffer::~TUndoBuffer() { Clear(); }

void TUndoBuffer::Notify(void* Ptr, TListNotification Action) {
  if (Action == lnDeleted) delete static_cast<TUndo*>(Ptr);
}

void TUndoBuffer::AddUndo(TUndo* Undo) {
  std::unique_ptr<TUndo> owned(Undo);
  if (FInUndo) return;  // a change made by undoing is not itself recorded
  while (Count() - 1 > FPtr) Delete(Count() - 1);
  FMade = std::min(FMade, Count());
  TList::Add(owned.get());
  owned.release();
  FPtr = Count() - 1;
}

void TUndoBuffer::Clear() {
  TList::Clear();
  FPtr = -1;
  FMade = 0;
  ++FGeneration;
}

namespace {
struct InUndoFlag {
  bool& flag;
  explicit InUndoFlag(bool& f) : flag(f) { flag = true; }
  ~InUndoFlag() { flag = false; }
};
}  // namespace

bool TUndoBuffer::TakeBackTo(const TMark& Mark) {
  if (Mark.Generation != FGeneration || FPtr < Mark.Ptr) return false;
  // Records whose change did not get into the text go without undoing.
  FPtr = std::max(std::min(FPtr, FMade - 1), Mark.Ptr);
  bool whole = true;
  {
    InUndoFlag guard(FInUndo);
    try {
      for (; FPtr > Mark.Ptr; --FPtr) Current()->Undo();
    } catch (...) {
      whole = false;  // the records still in effect stay, the undone ones go
    }
  }
  while (Count() - 1 > FPtr) Delete(Count() - 1);
  FMade = std::min(FMade, Count());
  return whole;
}

bool TUndoBuffer::CanUndo() const {
  for (int i = FPtr; i >= 0; --i) {
    switch (Record(i)->Kind()) {
      case ukCaret: case ukSelect: case ukUnselect: case ukBeginCompound: case ukEndCompound: continue;
      default: return true;
    }
  }
  return false;
}

void TUndoBuffer::Redo() { throw ECodeEditorError("Redo not yet implemented"); }

namespace {
// A typed line break (Return, or an inserted text that holds one).
bool BeginsTypingRun(const TInsertUndo& u) { return u.Text().find_first_of("\r\n") != String::npos; }
}  // namespace

void TUndoBuffer::Undo() {
  {
    InUndoFlag guard(FInUndo);
    if (FPtr < 0) return;
    ++FGeneration;
    int depth = 0;
    bool haveRun = true;
    TUndoKind run = Current()->Kind();
    while (FPtr >= 0) {
      TUndo* u = Current();
      TUndoKind k = u->Kind();
      // One step: one run of records of one class, or one whole compound group, with the
      // padding and trailing-blank records next to them.
      if ((!haveRun || k != run) && k != ukDeleteTrail && k != ukReLine && depth < 1) break;
      if (k == ukBeginCompound) {
        --depth;
        haveRun = false;
      } else if (k == ukEndCompound) {
        ++depth;
      }
      // A line break begins a typing run: the step ends with it, so one undo takes back at most
      // one line's typing, together with the break (and the indentation) that began the line.
      const bool lineStart = depth < 1 && k == ukInsert && BeginsTypingRun(*static_cast<TInsertUndo*>(u));
      u->Undo();
      --FPtr;
      if (lineStart) break;
      if (haveRun && (run == ukDeleteTrail || run == ukReLine) && FPtr >= 0) run = Current()->Kind();
      if (!FEditor->GroupUndo()) break;
    }
  }
  FEditor->UndoDone();
}

// ---- records ------------------------------------------------------------------------------

// Each record takes back its own change; the buffer's loop goes on over the records of the same
// class, so a run still is one step. (Joining a run's texts into one change would be right only
// for runs that are contiguous in the text, which a selection made without a record can break.)

void TCaretUndo::Undo() { Editor()->CaretPlace(FCaretX, FCaretY); }

void TInsertUndo::Undo() {
  TUndoTarget* e = Editor();
  int p = FPosition >= 0 ? FPosition : e->LinePos(FCaretX, FCaretY);
  if (p >= 0) e->DeleteAtPos(p, static_cast<int>(FText.size()));
  e->CaretPlace(FCaretX, FCaretY);
}

void TReLineUndo::Undo() {
  TUndoTarget* e = Editor();
  int p = e->LinePos(FCaretX, FCaretY);
  if (p >= 0) e->DeleteAtPos(p, static_cast<int>(FText.size()));
}

namespace {
// Puts a deleted text back where it was deleted, or when that is not known at the caret (at
// the text's end when the caret is below it).
void InsertAtCaret(TUndoTarget* e, const String& text, int position) {
  int p = position >= 0 ? position : e->LinePos(e->CaretX(), e->CaretY());
  if (p < 0) p = e->TextLength();
  e->InsertAtPos(p, text);
}
}  // namespace

void TDeleteUndo::Undo() {
  InsertAtCaret(Editor(), FText, FPosition);
  Editor()->CaretPlace(FCaretX, FCaretY);
}

void TDeleteTrailUndo::Undo() {
  TUndoTarget* e = Editor();
  int p = e->LinePos(FCaretX - static_cast<int>(FText.size()), FCaretY);
  if (p >= 0) e->InsertAtPos(p, FText);
}

void TBackspaceUndo::Undo() {
  InsertAtCaret(Editor(), FText, FPosition);
  Editor()->CaretPlace(FCaretX, FCaretY);
}

void TReplaceUndo::Undo() {
  TUndoTarget* e = Editor();
  int p = FBeg - 1;
  if (p >= 0) {
    e->DeleteAtPos(p, static_cast<int>(FNewText.size()));
    e->InsertAtPos(p, FText);
  }
  e->CaretPlace(FCaretX, FCaretY);
}

void TDeleteSelectedUndo::Undo() {
  TUndoTarget* e = Editor();
  int p = e->LinePos(FSelBegX, FSelBegY);
  if (p < 0) p = e->TextLength();
  e->InsertAtPos(p, FText);
  e->RestoreSelection(FSelBegX, FSelBegY, FSelEndX, FSelEndY, !FText.empty());
  e->CaretPlace(FCaretX, FCaretY);
}

void TSelectUndo::Undo() {
  Editor()->RestoreSelection(FSelBegX, FSelBegY, FSelEndX, FSelEndY, true);
  Editor()->CaretPlace(FCaretX, FCaretY);
}
