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

namespace {
// How the second key of a two-key sequence may be held.
enum TSecondKey : uint8_t {
  skNone,         // a one-key binding
  skPlainOrCtrl,  // without shift or with Ctrl held (two bindings, in that order)
  skCtrl,         // with Ctrl held
};

// A row of the default layout: Count bindings of consecutive commands and keys (the second
// key's when there is one, else the first key's), from Command, Key1/Key2 on.
struct TDefaultBinding {
  int Command;
  Word Key1;
  TShiftState Shift1;
  Word Key2 = 0;
  TSecondKey Second = skNone;
  int Count = 1;
};

constexpr int kDigitKeys = 10;  // the keys 0..9, one bookmark each
constexpr TShiftState kNone, kShift{ssShift}, kCtrl{ssCtrl}, kCtrlShift{ssCtrl, ssShift}, kAlt{ssAlt};

// The default layout, in list order (135 bindings).
const TDefaultBinding kDefaultLayout[] = {
    {ecLeft, VK_LEFT, kNone},
    {ecRight, VK_RIGHT, kNone},
    {ecUp, VK_UP, kNone},
    {ecDown, VK_DOWN, kNone},
    {ecSelLeft, VK_LEFT, kShift},
    {ecSelRight, VK_RIGHT, kShift},
    {ecSelUp, VK_UP, kShift},
    {ecSelDown, VK_DOWN, kShift},
    {ecBeginLine, VK_HOME, kNone},
    {ecSelBeginLine, VK_HOME, kShift},
    {ecBeginDoc, VK_HOME, kCtrl},
    {ecSelBeginDoc, VK_HOME, kCtrlShift},
    {ecEndLine, VK_END, kNone},
    {ecSelEndLine, VK_END, kShift},
    {ecEndDoc, VK_END, kCtrl},
    {ecSelEndDoc, VK_END, kCtrlShift},
    {ecPrevWord, VK_LEFT, kCtrl},
    {ecNextWord, VK_RIGHT, kCtrl},
    {ecSelPrevWord, VK_LEFT, kCtrlShift},
    {ecSelNextWord, VK_RIGHT, kCtrlShift},
    {ecSelAll, 'A', kCtrl},
    {ecWindowTop, VK_PRIOR, kCtrl},
    {ecWindowBottom, VK_NEXT, kCtrl},
    {ecPrevPage, VK_PRIOR, kNone},
    {ecNextPage, VK_NEXT, kNone},
    {ecSelPrevPage, VK_PRIOR, kShift},
    {ecSelNextPage, VK_NEXT, kShift},
    {ecScrollLineUp, VK_UP, kCtrl},
    {ecScrollLineDown, VK_DOWN, kCtrl},
    {ecChangeInsertMode, VK_INSERT, kNone},
    {ecInsertPara, VK_RETURN, kNone},
    {ecBackspace, VK_BACK, kNone},
    {ecDelete, VK_DELETE, kNone},
    {ecTab, VK_TAB, kNone},
    {ecBackTab, VK_TAB, kShift},
    {ecDeleteSelected, VK_DELETE, kCtrl},
    {ecClipboardCopy, VK_INSERT, kCtrl},
    {ecClipboardCut, VK_DELETE, kShift},
    {ecClipboardPaste, VK_INSERT, kShift},
    {ecClipboardCopy, 'C', kCtrl},
    {ecClipboardCut, 'X', kCtrl},
    {ecClipboardPaste, 'V', kCtrl},
    {ecSetBookmark0, '0', kCtrlShift, 0, skNone, kDigitKeys},
    {ecGotoBookmark0, '0', kCtrl, 0, skNone, kDigitKeys},
    {ecSetBookmark0, 'K', kCtrl, '0', skPlainOrCtrl, kDigitKeys},
    {ecGotoBookmark0, 'Q', kCtrl, '0', skPlainOrCtrl, kDigitKeys},
    {ecUndo, 'Z', kCtrl},
    {ecUndo, VK_BACK, kAlt},
    {ecCompletionIdentifers, VK_SPACE, kCtrl},
    {ecCompletionTemplates, 'J', kCtrl},
    // Ctrl+Q sequences that move the caret.
    {ecEndDoc, 'Q', kCtrl, 'C', skPlainOrCtrl},
    {ecEndLine, 'Q', kCtrl, 'D', skPlainOrCtrl},
    {ecWindowTop, 'Q', kCtrl, 'E', skPlainOrCtrl},
    {ecLeft, 'Q', kCtrl, 'P', skPlainOrCtrl},
    {ecBeginDoc, 'Q', kCtrl, 'R', skPlainOrCtrl},
    {ecBeginLine, 'Q', kCtrl, 'S', skPlainOrCtrl},
    {ecWindowTop, 'Q', kCtrl, 'T', skPlainOrCtrl},
    {ecWindowBottom, 'Q', kCtrl, 'U', skPlainOrCtrl},
    {ecWindowBottom, 'Q', kCtrl, 'X', skPlainOrCtrl},
    {ecDeleteWord, 'T', kCtrl},
    {ecInsertPara, 'N', kCtrl},
    {ecDeleteLine, 'Y', kCtrl},
    {ecSelWord, 'K', kCtrl, 'T', skCtrl},
    {ecToUpperCase, 'K', kCtrl, 'O', skCtrl},
    {ecToLowerCase, 'K', kCtrl, 'N', skCtrl},
    {ecChangeCase, 'O', kCtrl, 'U', skCtrl},
    {ecIndent, 'K', kCtrl, 'I', skCtrl},
    {ecUnindent, 'K', kCtrl, 'U', skCtrl},
    {ecRecordMacro, 'R', kCtrlShift},
    {ecPlayMacro, 'P', kCtrlShift},
};
}  // namespace

void TKeyboard::SetDefLayout() {
  Clear();
  for (const TDefaultBinding& b : kDefaultLayout)
    for (int i = 0; i < b.Count; ++i) {
      const Word command = static_cast<Word>(b.Command + i);
      switch (b.Second) {
        case skNone:
          Add(command, static_cast<Word>(b.Key1 + i), b.Shift1);
          break;
        case skPlainOrCtrl:
          Add2(command, b.Key1, b.Shift1, static_cast<Word>(b.Key2 + i), kNone);
          Add2(command, b.Key1, b.Shift1, static_cast<Word>(b.Key2 + i), kCtrl);
          break;
        case skCtrl:
          Add2(command, b.Key1, b.Shift1, static_cast<Word>(b.Key2 + i), kCtrl);
          break;
      }
    }
}
