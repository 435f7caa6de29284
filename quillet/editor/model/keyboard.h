// The editor's key map: bindings of one key, or of a sequence of two keys, to command numbers,
// and the command numbers themselves. Numbers 1..255 are typed characters.
#pragma once

#include <vector>

#include "classes.h"
#include "keys.h"

enum TEditCommand : int {
  ecLeft = 257, ecUp = 258, ecRight = 259, ecDown = 260,
  ecSelLeft = 265, ecSelUp = 266, ecSelRight = 267, ecSelDown = 268,
  ecPrevWord = 269, ecNextWord = 270, ecSelPrevWord = 271, ecSelNextWord = 272,
  ecSelWord = 273,
  ecWindowTop = 274, ecWindowBottom = 275,
  ecPrevPage = 276, ecNextPage = 277, ecSelPrevPage = 278, ecSelNextPage = 279,
  ecBeginLine = 280, ecEndLine = 281, ecBeginDoc = 282, ecEndDoc = 283,
  ecSelBeginLine = 284, ecSelEndLine = 285, ecSelBeginDoc = 286, ecSelEndDoc = 287,
  ecSelAll = 288,
  ecScrollLineUp = 289, ecScrollLineDown = 290,
  ecInsertPara = 357, ecBackspace = 358, ecDelete = 359, ecChangeInsertMode = 360,
  ecTab = 361, ecBackTab = 362, ecIndent = 363, ecUnindent = 364,
  ecDeleteSelected = 367,
  ecClipboardCopy = 368, ecClipboardCut = 369, ecClipboardPaste = 370,
  ecDeleteLine = 371, ecDeleteWord = 372,
  ecToUpperCase = 373, ecToLowerCase = 374, ecChangeCase = 375,
  ecUndo = 376, ecRedo = 377,
  ecBeginCompound = 378, ecEndCompound = 379,
  ecBeginUpdate = 380, ecEndUpdate = 381,
  ecSetBookmark0 = 382,   // .. 391
  ecGotoBookmark0 = 392,  // .. 401
  ecCompletionIdentifers = 402, ecCompletionTemplates = 403,
  ecRecordMacro = 404, ecPlayMacro = 405,
};

// One binding. Key2 is 0 for a one-key binding.
class TEditKey : public TObject {
public:
  TEditKey(Word ACommand, Word AKey1, TShiftState AShift1)
      : Key1(AKey1), Key2(0), Shift1(AShift1), Command(ACommand) {}
  TEditKey(Word ACommand, Word AKey1, TShiftState AShift1, Word AKey2, TShiftState AShift2)
      : Key1(AKey1), Key2(AKey2), Shift1(AShift1), Shift2(AShift2), Command(ACommand) {}
  const char* ClassName() const override { return "TEditKey"; }
  Word Key1, Key2;
  TShiftState Shift1, Shift2;
  Word Command;
};

class TKeyboard : public TObject {
public:
  TKeyboard() = default;
  ~TKeyboard() override { Clear(); }
  const char* ClassName() const override { return "TKeyboard"; }

  void Add(Word Command, Word Key1, TShiftState Shift1);
  void Add2(Word Command, Word Key1, TShiftState Shift1, Word Key2, TShiftState Shift2);
  void Clear();
  // Clears, then adds the default layout (135 bindings).
  void SetDefLayout();

  // The first binding whose first key and shift match: its command, -1 when it waits for a
  // second key, 0 when nothing matches.
  int Command(Word Key, TShiftState Shift) const;
  // The command of the first binding whose four fields match; 0 when none.
  int Command2(Word Key1, TShiftState Shift1, Word Key2, TShiftState Shift2) const;

  int Count() const { return static_cast<int>(FKeys.size()); }
  const TEditKey& Key(int Index) const { return *FKeys.at(static_cast<size_t>(Index)); }

private:
  std::vector<TEditKey*> FKeys;
};
