#include "keyboard.h"

void TKeyboard::Add(Word Command, Word Key1, TShiftState Shift1) { FKeys.push_back(new TEditKey(Command, Key1, Shift1)); }

void TKeyboard::Add2(Word Command, Word Key1, TShiftState Shift1, Word Key2, TShiftState Shift2) {
  FKeys.push_back(new TEditKey(Command, Key1, Shift1, Key2, Shift2));
}

void TKeyboard::Clear() {
  for (TEditKey* k : FKeys) delete k;
  FKeys.clear();
}

int TKeyboard::Command(Word Key, TShiftState Shift) const {
  for (const TEditKey* k : FKeys)
    if (k->Key1 == Key && k->Shift1 == Shift) return k->Key2 != 0 ? -1 : k->Command;
  return 0;
}

int TKeyboard::Command2(Word Key1, TShiftState Shift1, Word Key2, TShiftState Shift2) const {
  for (const TEditKey* k : FKeys)
    if (k->Key1 == Key1 && k->Shift1 == Shift1 && k->Key2 == Key2 && k->Shift2 == Shift2) return k->Command;
  return 0;
}

void TKeyboard::SetDefLayout() {
  Clear();
  const TShiftState none, shift{ssShift}, ctrl{ssCtrl}, ctrlShift{ssCtrl, ssShift}, alt{ssAlt};
  Add(ecLeft, VK_LEFT, none);
  Add(ecRight, VK_RIGHT, none);
  Add(ecUp, VK_UP, none);
  Add(ecDown, VK_DOWN, none);
  Add(ecSelLeft, VK_LEFT, shift);
  Add(ecSelRight, VK_RIGHT, shift);
  Add(ecSelUp, VK_UP, shift);
  Add(ecSelDown, VK_DOWN, shift);
  Add(ecBeginLine, VK_HOME, none);
  Add(ecSelBeginLine, VK_HOME, shift);
  Add(ecBeginDoc, VK_HOME, ctrl);
  Add(ecSelBeginDoc, VK_HOME, ctrlShift);
  Add(ecEndLine, VK_END, none);
  Add(ecSelEndLine, VK_END, shift);
  Add(ecEndDoc, VK_END, ctrl);
  Add(ecSelEndDoc, VK_END, ctrlShift);
  Add(ecPrevWord, VK_LEFT, ctrl);
  Add(ecNextWord, VK_RIGHT, ctrl);
  Add(ecSelPrevWord, VK_LEFT, ctrlShift);
  Add(ecSelNextWord, VK_RIGHT, ctrlShift);
  Add(ecSelAll, 'A', ctrl);
  Add(ecWindowTop, VK_PRIOR, ctrl);
  Add(ecWindowBottom, VK_NEXT, ctrl);
  Add(ecPrevPage, VK_PRIOR, none);
  Add(ecNextPage, VK_NEXT, none);
  Add(ecSelPrevPage, VK_PRIOR, shift);
  Add(ecSelNextPage, VK_NEXT, shift);
  Add(ecScrollLineUp, VK_UP, ctrl);
  Add(ecScrollLineDown, VK_DOWN, ctrl);
  Add(ecChangeInsertMode, VK_INSERT, none);
  Add(ecInsertPara, VK_RETURN, none);
  Add(ecBackspace, VK_BACK, none);
  Add(ecDelete, VK_DELETE, none);
  Add(ecTab, VK_TAB, none);
  Add(ecBackTab, VK_TAB, shift);
  Add(ecDeleteSelected, VK_DELETE, ctrl);
  Add(ecClipboardCopy, VK_INSERT, ctrl);
  Add(ecClipboardCut, VK_DELETE, shift);
  Add(ecClipboardPaste, VK_INSERT, shift);
  Add(ecClipboardCopy, 'C', ctrl);
  Add(ecClipboardCut, 'X', ctrl);
  Add(ecClipboardPaste, 'V', ctrl);
  for (int i = 0; i < 10; ++i) Add(static_cast<Word>(ecSetBookmark0 + i), static_cast<Word>('0' + i), ctrlShift);
  for (int i = 0; i < 10; ++i) Add(static_cast<Word>(ecGotoBookmark0 + i), static_cast<Word>('0' + i), ctrl);
  // The second key of a sequence counts without shift or with Ctrl held.
  auto add2 = [this, none, ctrl](int command, Word key1, Word key2) {
    Add2(static_cast<Word>(command), key1, ctrl, key2, none);
    Add2(static_cast<Word>(command), key1, ctrl, key2, ctrl);
  };
  for (int i = 0; i < 10; ++i) add2(ecSetBookmark0 + i, 'K', static_cast<Word>('0' + i));
  for (int i = 0; i < 10; ++i) add2(ecGotoBookmark0 + i, 'Q', static_cast<Word>('0' + i));
  Add(ecUndo, 'Z', ctrl);
  Add(ecUndo, VK_BACK, alt);
  Add(ecCompletionIdentifers, VK_SPACE, ctrl);
  Add(ecCompletionTemplates, 'J', ctrl);
  const struct { Word key; int command; } quick[] = {
      {'C', ecEndDoc},  {'D', ecEndLine},   {'E', ecWindowTop},    {'P', ecLeft},          {'R', ecBeginDoc},
      {'S', ecBeginLine}, {'T', ecWindowTop}, {'U', ecWindowBottom}, {'X', ecWindowBottom},
  };
  for (const auto& q : quick) add2(q.command, 'Q', q.key);
  Add(ecDeleteWord, 'T', ctrl);
  Add(ecInsertPara, 'N', ctrl);
  Add(ecDeleteLine, 'Y', ctrl);
  Add2(ecSelWord, 'K', ctrl, 'T', ctrl);
  Add2(ecToUpperCase, 'K', ctrl, 'O', ctrl);
  Add2(ecToLowerCase, 'K', ctrl, 'N', ctrl);
  Add2(ecChangeCase, 'O', ctrl, 'U', ctrl);
  Add2(ecIndent, 'K', ctrl, 'I', ctrl);
  Add2(ecUnindent, 'K', ctrl, 'U', ctrl);
  Add(ecRecordMacro, 'R', ctrlShift);
  Add(ecPlayMacro, 'P', ctrlShift);
}
