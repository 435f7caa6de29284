// TEditorStrings: the editor's line store, a string list that reports to its owner (the editor)
// through TEditorStringsOwner, so that the store knows nothing of the editor's other parts.
//
// What it adds to TStringList:
// - Put cuts trailing blanks off a line unless the owner keeps them, telling the owner first
//   (the editor records a TDeleteTrailUndo: n blanks, column = length before cutting, line);
// - SetTextStr expands tabs, stores the text and tells the owner (the editor clears its undo
//   buffer unless its update lock is above 0, and runs its text-replaced handling);
// - Add and Insert expand tabs;
// - its change notification goes to the owner (outside the owner's own writes);
// - linear positions: the start of every line in the text joined with CR LF, kept as a prefix
//   table that is valid up to the first changed line, so that positions near an edit cost
//   nothing and a far one costs one walk over the lines in between.
// The Raw* writers are the owner's own line writes: no trimming, no tab expansion, no undo
// records, no notification to the owner.
#pragma once

#include <vector>

#include "lists.h"

// What the line store asks of the editor that owns it.
class TEditorStringsOwner {
public:
  // S with every tab replaced by blanks.
  virtual String ExpandTabs(const String& S) const = 0;
  virtual bool KeepTrailingBlanks() const = 0;
  // A write cut Blanks off the end of line Index, which was Length characters long before.
  virtual void TrailingBlanksCut(int Index, int Length, const String& Blanks) = 0;
  // The whole text was set through the store (Text, SetText).
  virtual void TextSet() = 0;
  // The store changed outside the owner's own writes.
  virtual void LinesChanged() = 0;

protected:
  ~TEditorStringsOwner() = default;
};

class TEditorStrings : public TStringList {
public:
  explicit TEditorStrings(TEditorStringsOwner* Owner) : FOwner(Owner) {}
  const char* ClassName() const override { return "TEditorStrings"; }

  int Add(const String& S) override;
  void Insert(int Index, const String& S) override;

  // Line Index without a copy (the index must exist).
  const String& Line(int Index) const { return StringRef(Index); }
  int LineLength(int Index) const { return static_cast<int>(StringRef(Index).size()); }

  // Linear position of the start of line Index (0..Count; Count gives the text length).
  int LineStart(int Index);
  // The line that holds linear position P (0 <= P < text length), by binary search.
  int LineOfPosition(int P);
  // Length of the text joined with CR LF after every line.
  int TextLength() { return LineStart(Count()); }

  void RawPut(int Index, const String& S);
  void RawInsert(int Index, const String& S);
  void RawDelete(int Index);
  void RawDelete(int Index, int Count);
  // The inherited whole-text write without telling the owner (no undo clearing).
  void RawSetText(const String& Text);

protected:
  void Put(int Index, const String& S) override;
  void SetTextStr(const String& Value) override;
  void Changing() override;
  void Changed() override;

private:
  void Invalidate(int FromLine);
  TEditorStringsOwner* FOwner;
  // FStarts[i] is the linear position of line i for i < FStarts.size().
  std::vector<int> FStarts{0};
  int FRawLine = -1;    // the line a raw write changes (-1: any write changes everything)
  int FQuiet = 0;       // >0 while the owner's own writes run: no change notification
};
