// TEditorStrings: the editor's line store, a string list with a back reference to its editor.
//
// What it adds to TStringList:
// - Put cuts trailing blanks off a line unless the editor keeps them, recording a
//   TDeleteTrailUndo (n blanks, column = length before cutting, line) first;
// - SetTextStr expands tabs, stores the text, clears the undo buffer unless the editor's update
//   lock is above 0, and runs the editor's text-replaced handling;
// - Add and Insert expand tabs;
// - its change notification goes to the editor (text replaced, while the editor is not locked);
// - linear positions: the start of every line in the text joined with CR LF, kept as a prefix
//   table that is valid up to the first changed line, so that positions near an edit cost
//   nothing and a far one costs one walk over the lines in between.
// The Raw* writers are the model's own line writes: no trimming, no tab expansion, no undo
// records, no notification to the editor.
#pragma once

#include <vector>

#include "lists.h"

class TEditorModel;

class TEditorStrings : public TStringList {
public:
  explicit TEditorStrings(TEditorModel* Editor) : FEditor(Editor) {}
  const char* ClassName() const override { return "TEditorStrings"; }
  TEditorModel* Editor() const { return FEditor; }

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
  // The inherited whole-text write under the editor's update lock (no undo clearing).
  void RawSetText(const String& Text);

protected:
  void Put(int Index, const String& S) override;
  void SetTextStr(const String& Value) override;
  void Changing() override;
  void Changed() override;

private:
  void Invalidate(int FromLine);
  TEditorModel* FEditor;
  // FStarts[i] is the linear position of line i for i < FStarts.size().
  std::vector<int> FStarts{0};
  int FRawLine = -1;    // the line a raw write changes (-1: any write changes everything)
  int FQuiet = 0;       // >0 while the editor's own writes run: no text-replaced notification
};
