// The editor's undo buffer: a list of undo records that the editor owns. Buffer and records
// reach the editor through TUndoTarget, the few operations that taking a change back needs.
//
// Every record adds itself to its editor's buffer when it is created (nothing is added while an
// undo runs: such a record is freed at once). Adding discards every record after the current
// one. Undo walks backwards from the current record taking back one run of records of exactly
// one class (typing, deleting, Backspace, caret moves...), or one whole compound group, together
// with the padding (TReLineUndo) and trailing-blank (TDeleteTrailUndo) records next to them.
// A line break begins a typing run, so one step takes back at most one line's typing.
// Redo does not exist: it raises ECodeEditorError "Redo not yet implemented".
//
// Record classes and what they store (X, Y: the caret before the change):
//   TUndo                 abstract
//   TCaretUndo            X, Y
//   TInsertUndo           X, Y, inserted text              (also TReLineUndo, TInsertTabUndo)
//   TDeleteUndo           X, Y, deleted text               (also TDeleteTrailUndo, TBackspaceUndo)
//   TReplaceUndo          X, Y, 1-based index into the whole text, replaced and replacing text
//   TDeleteSelectedUndo   X, Y, deleted text, the selection begin and end
//   TSelectUndo           X, Y, the selection begin and end (also TUnselectUndo)
//   TBeginCompoundUndo, TEndCompoundUndo   group markers
#pragma once

#include <utility>

#include "lists.h"

// What the undo buffer and its records need of the editor that owns them.
class TUndoTarget {
public:
  virtual int CaretX() const = 0;
  virtual int CaretY() const = 0;
  // Caret placement without an undo record.
  virtual void CaretPlace(int X, int Y) = 0;
  // Linear position of a cell; -1 outside the lines.
  virtual int LinePos(int X, int Y) const = 0;
  // Length of the whole text with CR LF after every line.
  virtual int TextLength() const = 0;
  // Text changes at linear positions (no undo records, no notifications).
  virtual void DeleteAtPos(int P, int Length) = 0;
  virtual void InsertAtPos(int P, const String& Text) = 0;
  virtual void RestoreSelection(int BegX, int BegY, int EndX, int EndY, bool Present) = 0;
  // The group-undo switch: one undo step takes back a whole run of records.
  virtual bool GroupUndo() const = 0;
  // An undo step has run: the editor re-reads its text (unless its update lock is raised).
  virtual void UndoDone() = 0;

protected:
  ~TUndoTarget() = default;
};

class ECodeEditorError : public Exception {
public:
  using Exception::Exception;
  const char* ClassName() const override { return "ECodeEditorError"; }
};

class TUndo;

class TUndoBuffer : public TList {
public:
  explicit TUndoBuffer(TUndoTarget* Editor) : FEditor(Editor) {}
  ~TUndoBuffer() override;
  const char* ClassName() const override { return "TUndoBuffer"; }

  // Takes ownership of Undo (frees it at once while an undo is running, or when it cannot be
  // added).
  void AddUndo(TUndo* Undo);
  void Undo();
  void Redo();
  void Clear() override;
  // Whether undoing can still take back a change of the text: a record in effect that is not
  // a caret move, a selection or a group marker. What is left beside such records only moves
  // the caret, which the program's "Undo" entries do not offer.
  bool CanUndo() const;

  // The buffer's state before a change that may fail: TakeBackTo undoes and frees the records
  // added since, newest first, when no undo step and no clearing came in between (otherwise it
  // leaves everything and returns false).
  struct TMark {
    int Ptr;
    unsigned Generation;
  };
  TMark Mark() const { return TMark{FPtr, FGeneration}; }
  bool TakeBackTo(const TMark& Mark);
  // Every record goes in before its change is made; the editor confirms them once the change
  // is in the text. TakeBackTo frees the records not yet confirmed without undoing them (their
  // change failed), so that a change that fails halfway is not taken back twice.
  void Confirm() { FMade = Count(); }

  // The newest record in effect (-1: none), the record at an index, and the in-undo flag.
  int CurrentIndex() const { return FPtr; }
  void SetCurrentIndex(int Index) { FPtr = Index; }
  TUndo* Record(int Index) const { return static_cast<TUndo*>(Get(Index)); }
  TUndo* Current() const { return FPtr >= 0 ? Record(FPtr) : nullptr; }
  bool InUndo() const { return FInUndo; }
  TUndoTarget* Editor() const { return FEditor; }

protected:
  void Notify(void* Ptr, TListNotification Action) override;

private:
  TUndoTarget* FEditor;
  int FPtr = -1;
  bool FInUndo = false;
  unsigned FGeneration = 0;  // counts undo steps and clearings (see TakeBackTo)
  int FMade = 0;             // records 0..FMade - 1 stand for changes made (see Confirm)
};

// Record kinds, for telling classes apart exactly (a run is made of one exact class).
enum TUndoKind {
  ukCaret, ukInsert, ukReLine, ukInsertTab, ukDelete, ukDeleteTrail, ukBackspace, ukReplace,
  ukDeleteSelected, ukSelect, ukUnselect, ukBeginCompound, ukEndCompound
};

class TUndo : public TObject {
public:
  // Creating a record adds it to Editor's undo buffer (see TUndoBuffer::AddUndo): create it
  // with TUndo::Record<TKind>(editor, fields...).
  explicit TUndo(TUndoTarget* Editor) : FEditor(Editor) {}
  const char* ClassName() const override { return "TUndo"; }
  virtual TUndoKind Kind() const = 0;
  TUndoTarget* Editor() const { return FEditor; }
  // Takes the change back.
  virtual void Undo() {}

  template <typename T, typename E, typename... Args>
  static void Record(E* Editor, Args&&... args) {
    Editor->UndoBuffer()->AddUndo(new T(Editor, std::forward<Args>(args)...));
  }

private:
  TUndoTarget* FEditor;
};

class TCaretUndo : public TUndo {
public:
  TCaretUndo(TUndoTarget* Editor, int X, int Y) : TUndo(Editor), FCaretX(X), FCaretY(Y) {}
  const char* ClassName() const override { return "TCaretUndo"; }
  TUndoKind Kind() const override { return ukCaret; }
  void Undo() override;
  int CaretX() const { return FCaretX; }
  int CaretY() const { return FCaretY; }

protected:
  int FCaretX, FCaretY;
};

class TInsertUndo : public TCaretUndo {
public:
  // Position: the linear position the text went in at (or, for the deletion records, was
  // deleted at), when the change knows it; undo works there. Without it undo works at (X, Y)
  // (insertions) or at the caret (deletions), which is the same place unless the caret stood
  // beyond the line end or beyond column 1024 of a longer line.
  TInsertUndo(TUndoTarget* Editor, int X, int Y, const String& Text, int Position = -1)
      : TCaretUndo(Editor, X, Y), FText(Text), FPosition(Position) {}
  const char* ClassName() const override { return "TInsertUndo"; }
  TUndoKind Kind() const override { return ukInsert; }
  void Undo() override;
  const String& Text() const { return FText; }
  int Position() const { return FPosition; }

protected:
  String FText;
  int FPosition;
};

class TReLineUndo : public TInsertUndo {
public:
  using TInsertUndo::TInsertUndo;
  const char* ClassName() const override { return "TReLineUndo"; }
  TUndoKind Kind() const override { return ukReLine; }
  // The padding goes; the caret stays where the undo of the padded change put it (X here is
  // the old line end, not a caret position).
  void Undo() override;
};

class TInsertTabUndo : public TInsertUndo {
public:
  using TInsertUndo::TInsertUndo;
  const char* ClassName() const override { return "TInsertTabUndo"; }
  TUndoKind Kind() const override { return ukInsertTab; }
};

class TDeleteUndo : public TInsertUndo {
public:
  using TInsertUndo::TInsertUndo;
  const char* ClassName() const override { return "TDeleteUndo"; }
  TUndoKind Kind() const override { return ukDelete; }
  void Undo() override;
};

class TDeleteTrailUndo : public TDeleteUndo {
public:
  using TDeleteUndo::TDeleteUndo;
  const char* ClassName() const override { return "TDeleteTrailUndo"; }
  TUndoKind Kind() const override { return ukDeleteTrail; }
  // The blanks go back where they were cut, the end of line Y (not under the caret, which a
  // change elsewhere on the line may have left anywhere); the caret stays for the records of
  // the same change that are undone next.
  void Undo() override;
};

class TBackspaceUndo : public TDeleteUndo {
public:
  using TDeleteUndo::TDeleteUndo;
  const char* ClassName() const override { return "TBackspaceUndo"; }
  TUndoKind Kind() const override { return ukBackspace; }
  void Undo() override;
};

class TReplaceUndo : public TCaretUndo {
public:
  TReplaceUndo(TUndoTarget* Editor, int X, int Y, int BeginIndex, const String& Text, const String& NewText)
      : TCaretUndo(Editor, X, Y), FBeg(BeginIndex), FText(Text), FNewText(NewText) {}
  const char* ClassName() const override { return "TReplaceUndo"; }
  TUndoKind Kind() const override { return ukReplace; }
  void Undo() override;
  int BeginIndex() const { return FBeg; }  // 1-based character index into the whole text
  const String& Text() const { return FText; }
  const String& NewText() const { return FNewText; }

private:
  int FBeg;
  String FText, FNewText;
};

class TDeleteSelectedUndo : public TDeleteUndo {
public:
  TDeleteSelectedUndo(TUndoTarget* Editor, int X, int Y, const String& Text, int BegX, int BegY, int EndX, int EndY)
      : TDeleteUndo(Editor, X, Y, Text), FSelBegX(BegX), FSelBegY(BegY), FSelEndX(EndX), FSelEndY(EndY) {}
  const char* ClassName() const override { return "TDeleteSelectedUndo"; }
  TUndoKind Kind() const override { return ukDeleteSelected; }
  void Undo() override;
  int SelBegX() const { return FSelBegX; }
  int SelBegY() const { return FSelBegY; }
  int SelEndX() const { return FSelEndX; }
  int SelEndY() const { return FSelEndY; }

private:
  int FSelBegX, FSelBegY, FSelEndX, FSelEndY;
};

class TSelectUndo : public TCaretUndo {
public:
  TSelectUndo(TUndoTarget* Editor, int X, int Y, int BegX, int BegY, int EndX, int EndY)
      : TCaretUndo(Editor, X, Y), FSelBegX(BegX), FSelBegY(BegY), FSelEndX(EndX), FSelEndY(EndY) {}
  const char* ClassName() const override { return "TSelectUndo"; }
  TUndoKind Kind() const override { return ukSelect; }
  void Undo() override;
  int SelBegX() const { return FSelBegX; }
  int SelBegY() const { return FSelBegY; }
  int SelEndX() const { return FSelEndX; }
  int SelEndY() const { return FSelEndY; }

private:
  int FSelBegX, FSelBegY, FSelEndX, FSelEndY;
};

class TUnselectUndo : public TSelectUndo {
public:
  using TSelectUndo::TSelectUndo;
  const char* ClassName() const override { return "TUnselectUndo"; }
  TUndoKind Kind() const override { return ukUnselect; }
};

class TBeginCompoundUndo : public TUndo {
public:
  using TUndo::TUndo;
  const char* ClassName() const override { return "TBeginCompoundUndo"; }
  TUndoKind Kind() const override { return ukBeginCompound; }
};

class TEndCompoundUndo : public TBeginCompoundUndo {
public:
  using TBeginCompoundUndo::TBeginCompoundUndo;
  const char* ClassName() const override { return "TEndCompoundUndo"; }
  TUndoKind Kind() const override { return ukEndCompound; }
};
