// The key map and the key handling: one-key and two-key bindings, the ignored character.
#include "test_support.h"

TEST(KeyMap, DefaultLayoutBindings) {
  TKeyboard k;
  k.SetDefLayout();
  EXPECT_EQ(k.Count(), 135);
  const TShiftState none, shift{ssShift}, ctrl{ssCtrl}, cs{ssCtrl, ssShift}, alt{ssAlt};
  struct Case { Word key; TShiftState shift; int command; };
  const Case cases[] = {
      {VK_LEFT, none, 257},    {VK_DOWN, shift, 268},   {VK_HOME, cs, 286},     {VK_END, ctrl, 283},
      {VK_RIGHT, cs, 272},     {'A', ctrl, 288},        {VK_NEXT, ctrl, 275},   {VK_PRIOR, shift, 278},
      {VK_UP, ctrl, 289},      {VK_INSERT, none, 360},  {VK_RETURN, none, 357}, {VK_BACK, none, 358},
      {VK_TAB, shift, 362},    {VK_DELETE, ctrl, 367},  {VK_INSERT, ctrl, 368}, {VK_DELETE, shift, 369},
      {VK_INSERT, shift, 370}, {'V', ctrl, 370},        {'3', cs, 385},         {'9', ctrl, 401},
      {'Z', ctrl, 376},        {VK_BACK, alt, 376},     {VK_SPACE, ctrl, 402},  {'J', ctrl, 403},
      {'T', ctrl, 372},        {'N', ctrl, 357},        {'Y', ctrl, 371},       {'R', cs, 404},
      {'P', cs, 405},          {'K', ctrl, -1},         {'Q', ctrl, -1},        {'O', ctrl, -1},
      {'B', ctrl, 0},          {VK_LEFT, alt, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(k.Command(c.key, c.shift), c.command) << "key " << c.key;
  struct Case2 { Word key1, key2; TShiftState shift2; int command; };
  const Case2 two[] = {
      {'K', '5', none, 387}, {'K', '5', ctrl, 387}, {'Q', '0', none, 392}, {'Q', 'P', none, 257},
      {'Q', 'C', ctrl, 283}, {'Q', 'X', none, 275}, {'K', 'T', ctrl, 273}, {'K', 'T', none, 0},
      {'K', 'O', ctrl, 373}, {'K', 'N', ctrl, 374}, {'O', 'U', ctrl, 375}, {'K', 'I', ctrl, 363},
      {'K', 'U', ctrl, 364}, {'K', '5', shift, 0},
  };
  for (const Case2& c : two) EXPECT_EQ(k.Command2(c.key1, ctrl, c.key2, c.shift2), c.command) << c.key1 << c.key2;
}

using Keys = EditorTest;

TEST_F(Keys, TwoKeySequences) {
  SetText("abc\r\ndef");
  ed.CaretPlace(1, 1);
  Press('K', {ssCtrl}, 0x0B);
  Press('5', {}, '5');
  EXPECT_TRUE(ed.Bookmark(5).Valid);
  EXPECT_EQ(Text(), "abc\r\ndef\r\n");  // neither key typed anything
  ed.CaretPlace(0, 0);
  Press('K', {ssCtrl}, 0x0B);
  Press(VK_CONTROL, {ssCtrl});  // Ctrl pressed anew on the way to the second key
  Press('3', {ssCtrl});
  EXPECT_TRUE(ed.Bookmark(3).Valid);
  Press('Q', {ssCtrl}, 0x11);
  Press('P', {}, 'p');
  ExpectCaret(0, 0);
  ed.CaretPlace(2, 0);
  Press('Q', {ssCtrl}, 0x11);
  Press('P', {}, 'p');
  ExpectCaret(1, 0);
  // An unbound second key does nothing and types nothing.
  Press('K', {ssCtrl}, 0x0B);
  Press('W', {}, 'w');
  EXPECT_EQ(Text(), "abc\r\ndef\r\n");
  // The next key is an ordinary one again.
  Press('W', {}, 'w');
  EXPECT_EQ(Text(), "awbc\r\ndef\r\n");
}

TEST_F(Keys, BoundKeysSwallowTheirCharacter) {
  SetText("ab");
  ed.CaretPlace(2, 0);
  Press(VK_RETURN, {}, '\r');
  Press(VK_BACK, {}, '\b');
  Press(VK_TAB, {}, '\t');  // blanks at the line end: cut, the caret stands after them
  EXPECT_EQ(Text(), "ab\r\n");
  ExpectCaret(4, 0);
  Press('X', {ssShift}, 'X');
  EXPECT_EQ(Text(), "ab  X\r\n");
}

TEST_F(Keys, KeyEventsSeeTheKeysFirst) {
  SetText("ab");
  std::vector<String> seen;
  ed.OnKeyDown = [&](TObject*, Word& key, TShiftState) {
    seen.push_back("down " + IntToStr(key));
    if (key == VK_DELETE) key = 0;  // the handler takes this key
  };
  ed.OnKeyPress = [&](TObject*, char& ch) {
    seen.push_back(String("press ") + ch);
    if (ch == 'u') ch = 'U';
  };
  Press(VK_DELETE);
  Press('U', {}, 'u');
  EXPECT_EQ(Text(), "Uab\r\n");
  EXPECT_EQ(seen, (std::vector<String>{"down 46", "down 85", "press u"}));
}
