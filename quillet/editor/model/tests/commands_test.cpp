// The command processor: caret moves, typing, line breaks, deletion, tabs, block indent, case
// commands, bookmarks, macros, read-only, and the column and line limits.
#include "editor_utils.h"
#include "test_support.h"

using Commands = EditorTest;

TEST_F(Commands, CaretMoves) {
  SetText("  if (a+b) then x;\r\nzwei\r\n\r\nvier");
  struct Case { int x, y, command, cx, cy; };
  const Case cases[] = {
      {5, 0, ecLeft, 4, 0},          {0, 0, ecLeft, 0, 0},         {3, 1, ecUp, 3, 0},
      {3, 3, ecDown, 3, 3},          // the last line: down does nothing
      {9, 0, ecPrevWord, 8, 0},      // back to the start of "b"
      {7, 0, ecPrevWord, 6, 0},      {2, 0, ecPrevWord, 0, 0},     {30, 0, ecPrevWord, 18, 0},
      {2, 0, ecNextWord, 6, 0},      {6, 0, ecNextWord, 8, 0},     {16, 0, ecNextWord, 18, 0},
      {18, 0, ecNextWord, 0, 1},     {3, 1, ecEndLine, 4, 1},      {3, 1, ecBeginLine, 0, 1},
      {2, 2, ecEndDoc, 4, 3},        {2, 2, ecBeginDoc, 0, 0},
  };
  for (const Case& c : cases) {
    ed.CaretPlace(c.x, c.y);
    Cmd(c.command);
    EXPECT_EQ(ed.CaretX(), c.cx) << "command " << c.command << " from " << c.x << "," << c.y;
    EXPECT_EQ(ed.CaretY(), c.cy) << "command " << c.command << " from " << c.x << "," << c.y;
  }
}

TEST_F(Commands, PageMovesScrollByTheVisibleRows) {
  String text;
  for (int i = 0; i < 100; ++i) text += "zeile\r\n";
  SetText(text);
  ed.SetVisibleCounts(40, 10);
  ed.CaretPlace(2, 3);
  Cmd(ecNextPage);
  EXPECT_EQ(ed.TopRow(), 10);
  ExpectCaret(2, 13);
  Cmd(ecWindowBottom);
  ExpectCaret(2, 19);
  Cmd(ecPrevPage);
  EXPECT_EQ(ed.TopRow(), 0);
  ExpectCaret(2, 9);
  Cmd(ecSelNextPage);
  EXPECT_EQ(ed.GetSelText().substr(0, 5), "ile\r\n");
  EXPECT_EQ(ed.SelEndY(), 19);
  Cmd(ecScrollLineDown);
  EXPECT_EQ(ed.TopRow(), 11);
  ExpectCaret(2, 19);
  Cmd(ecEndDoc);
  ExpectCaret(5, 99);
  EXPECT_EQ(ed.TopRow(), 94);
}

TEST_F(Commands, ExtendedSelectionRunsFromTheAnchor) {
  SetText("abcdefghij");
  ed.CaretPlace(5, 0);
  Cmds({ecSelRight, ecSelRight, ecSelRight});
  EXPECT_EQ(ed.GetSelText(), "fgh");
  Cmds({ecSelLeft, ecSelLeft, ecSelLeft, ecSelLeft, ecSelLeft});
  // Back over the anchor: the selection lies between the caret and the anchor only.
  EXPECT_EQ(ed.GetSelText(), "de");
  ExpectCaret(3, 0);
  Cmd(ecLeft);
  EXPECT_FALSE(ed.HasSelection());
  // Select all, then its undo records are one group.
  Cmd(ecSelAll);
  EXPECT_EQ(ed.GetSelText(), "abcdefghij");
  EXPECT_EQ(UndoClasses().back(), "TEndCompoundUndo");
}

TEST_F(Commands, TypingInsertsOverwritesAndPads) {
  SetText("abc");
  ed.CaretPlace(1, 0);
  Type("XY");
  EXPECT_EQ(Line(0), "aXYbc");
  ed.CaretPlace(8, 0);  // beyond the end: padded first
  Type("z");
  EXPECT_EQ(Line(0), "aXYbc   z");
  EXPECT_EQ(UndoClasses(), (std::vector<String>{"TInsertUndo", "TInsertUndo", "TReLineUndo", "TInsertUndo"}));
  Cmd(ecChangeInsertMode);
  EXPECT_FALSE(ed.InsertMode());
  ed.CaretPlace(0, 0);
  Type("QQ");
  EXPECT_EQ(Line(0), "QQYbc   z");
  EXPECT_EQ(ed.UndoBuffer()->Count(), 0);  // overwriting empties the undo buffer
  ed.CaretPlace(9, 0);
  Type("!");
  EXPECT_EQ(Line(0), "QQYbc   z!");
  // A control character only pads.
  ed.CaretPlace(12, 0);
  Type("\x01");
  EXPECT_EQ(Line(0), "QQYbc   z!  ");
}

TEST_F(Commands, TypingNotifiesInOrder) {
  SetText("ab");
  view.model = &ed;
  ed.CaretPlace(2, 0);
  view.log.clear();
  Type(".");
  EXPECT_EQ(view.log, (std::vector<String>{"Completion . before", "OnChangeStatus", "TextModified 2 0 .", "OnChange",
                                           "OnChangeStatus"}));
  EXPECT_EQ(view.undoCountAtTextModified, (std::vector<int>{1}));
  view.log.clear();
  Type("x");
  EXPECT_EQ(view.log.back(), "Completion x after");
}

TEST_F(Commands, TypedBlankAtTheLineEndIsCutAndComesBackAsPadding) {
  SetText("ab");
  ed.CaretPlace(2, 0);
  Type(" c");
  EXPECT_EQ(Line(0), "ab c");
  EXPECT_EQ(UndoClasses(), (std::vector<String>{"TInsertUndo", "TDeleteTrailUndo", "TReLineUndo", "TInsertUndo"}));
  Cmd(ecUndo);
  EXPECT_EQ(Line(0), "ab");
  ExpectCaret(2, 0);
}

TEST_F(Commands, NewLineSplitsAndIndents) {
  SetText("begin\r\n  if x then y");
  ed.CaretPlace(7, 1);  // before "then"
  Cmd(ecInsertPara);
  EXPECT_EQ(Text(), "begin\r\n  if x\r\n  then y\r\n");
  ExpectCaret(2, 2);
  // Records: the line break, the trailing blank cut off the head, the indentation.
  EXPECT_EQ(UndoClasses(), (std::vector<String>{"TInsertUndo", "TDeleteTrailUndo", "TInsertUndo"}));
  Cmd(ecUndo);
  EXPECT_EQ(Text(), "begin\r\n  if x then y\r\n");
  ExpectCaret(7, 1);
  ed.SetAutoIndent(false);
  ed.CaretPlace(5, 0);
  Cmd(ecInsertPara);
  EXPECT_EQ(Text(), "begin\r\n\r\n  if x then y\r\n");
  ExpectCaret(0, 1);
  // In an empty store.
  SetText("");
  Cmd(ecInsertPara);
  EXPECT_EQ(Text(), "\r\n\r\n");
  ExpectCaret(0, 1);
}

TEST_F(Commands, BackspaceUnindentsToAnEnclosingLine) {
  SetText("begin\r\n  if a then\r\n      b;");
  ed.CaretPlace(6, 2);
  Cmd(ecBackspace);
  EXPECT_EQ(Line(2), "  b;");
  ExpectCaret(2, 2);
  Cmd(ecBackspace);
  EXPECT_EQ(Line(2), "b;");
  ed.SetBackSpaceUnindents(false);
  ed.Lines()->SetStrings(2, "    b;");
  ed.CaretPlace(4, 2);
  Cmd(ecBackspace);
  EXPECT_EQ(Line(2), "   b;");
  // At column 0 the line joins the one above; at (0, 0) nothing happens.
  ed.CaretPlace(0, 2);
  Cmd(ecBackspace);
  EXPECT_EQ(Line(1), "  if a then   b;");
  ExpectCaret(11, 1);
  ed.CaretPlace(0, 0);
  Cmd(ecBackspace);
  EXPECT_EQ(Text(), "begin\r\n  if a then   b;\r\n");
}

TEST_F(Commands, DeleteJoinsLinesButNotAfterTheLast) {
  SetText("ab\r\ncd");
  ed.CaretPlace(1, 0);
  Cmd(ecDelete);
  EXPECT_EQ(Text(), "a\r\ncd\r\n");
  Cmd(ecDelete);
  EXPECT_EQ(Text(), "acd\r\n");
  ed.SetCaret(3, 0);
  view.log.clear();
  Cmd(ecDelete);
  EXPECT_EQ(Text(), "acd\r\n");
  EXPECT_TRUE(view.Only({"TextModified", "OnChange"}).empty());
  EXPECT_EQ(UndoClasses(), (std::vector<String>{"TDeleteUndo", "TDeleteUndo", "TCaretUndo"}));
  Cmd(ecUndo);
  ExpectCaret(1, 0);
  Cmd(ecUndo);
  EXPECT_EQ(Text(), "ab\r\ncd\r\n");
}

TEST_F(Commands, TabStopsAndTabs) {
  struct Case { const char* stops; int x, next; };
  const Case cases[] = {
      {"3 5", 0, 2}, {"3 5", 2, 4}, {"3 5", 4, 6}, {"3 5", 5, 6}, {"3 5", 6, 8},
      {"9 17", 3, 8}, {"9 17", 16, 24}, {"5", 4, 7}, {"1", 0, 1}, {"", 3, 8}, {"abc", 9, 16},
  };
  for (const Case& c : cases) {
    ed.SetTabStops(c.stops);
    EXPECT_EQ(ed.NextTabStop(c.x), c.next) << c.stops << " @" << c.x;
  }
  ed.SetTabStops("3 5");
  ed.SetSmartTab(false);
  SetText("abcdefg");
  ed.CaretPlace(0, 0);
  Cmd(ecTab);
  EXPECT_EQ(Line(0), "  abcdefg");
  ed.CaretPlace(5, 0);
  Cmd(ecTab);
  EXPECT_EQ(Line(0), "  abc defg");
  ExpectCaret(6, 0);
  EXPECT_EQ(UndoClasses(), (std::vector<String>{"TInsertTabUndo", "TInsertTabUndo"}));
  Cmd(ecBackTab);  // moves only
  ExpectCaret(8, 0);
  EXPECT_EQ(Line(0), "  abc defg");
}

TEST_F(Commands, SmartTabAlignsWithTheLineAbove) {
  SetText("if (a) then\r\nx");
  ed.CaretPlace(0, 1);
  Cmd(ecTab);
  EXPECT_EQ(Line(1), "    x");
  ExpectCaret(4, 1);
  Cmd(ecTab);
  EXPECT_EQ(Line(1), "       x");
  Cmd(ecTab);
  EXPECT_EQ(Line(1), "           x");
  for (int c : {0, 4, 7, 11}) EXPECT_TRUE(ed.TabMark(c)) << c;
  // A tab with a selection posts a block indent.
  Select(0, 0, 0, 1);
  view.postLater = true;
  Cmd(ecTab);
  EXPECT_EQ(view.posted, (std::vector<int>{ecIndent}));
}

TEST_F(Commands, BlockIndentAndUnindent) {
  SetText("a\r\n b\r\n   c\r\nd");
  Select(0, 0, 0, 3);
  ed.CaretPlace(0, 3);
  Cmd(ecIndent);
  EXPECT_EQ(Text(), "  a\r\n   b\r\n     c\r\nd\r\n");
  EXPECT_EQ(ed.GetSelText(), "  a\r\n   b\r\n     c\r\n");
  Cmd(ecUnindent);
  Cmd(ecUnindent);
  // Lines with fewer blanks than the width stay, the first line loses what it has.
  EXPECT_EQ(Text(), "a\r\n b\r\n c\r\nd\r\n");
  // Only whole-line selections over more than one line.
  Select(1, 0, 0, 2);
  Cmd(ecIndent);
  Select(0, 1, 1, 1);
  Cmd(ecIndent);
  EXPECT_EQ(Text(), "a\r\n b\r\n c\r\nd\r\n");
  // Tab with a whole-line selection indents through the posted command.
  Select(0, 0, 0, 2);
  Cmd(ecTab);
  EXPECT_EQ(Text(), "  a\r\n   b\r\n c\r\nd\r\n");
}

TEST_F(Commands, CaseCommandsKeepTheSelection) {
  SetText("Grüße aus Köln");
  Select(0, 0, 5, 0);
  Cmd(ecToUpperCase);
  EXPECT_EQ(Line(0), "GRÜßE aus Köln");
  EXPECT_EQ(ed.GetSelText(), "GRÜßE");
  Cmd(ecToLowerCase);
  EXPECT_EQ(Line(0), "grüße aus Köln");
  Select(10, 0, 14, 0);
  Cmd(ecChangeCase);
  EXPECT_EQ(Line(0), "grüße aus kÖLN");
  Cmd(ecUndo);
  EXPECT_EQ(Line(0), "grüße aus Köln");
}

TEST_F(Commands, DeleteLineAndDeleteWord) {
  SetText("eins zwei\r\ndrei\r\nvier");
  ed.CaretPlace(2, 1);
  Cmd(ecDeleteLine);
  EXPECT_EQ(Text(), "eins zwei\r\nvier\r\n");
  ed.SetCaret(6, 0);
  Cmd(ecDeleteWord);
  EXPECT_EQ(Text(), "eins \r\nvier\r\n");
  Cmd(ecUndo);
  EXPECT_EQ(Text(), "eins zwei\r\nvier\r\n");
  Cmd(ecUndo);  // the caret move
  Cmd(ecUndo);
  EXPECT_EQ(Text(), "eins zwei\r\ndrei\r\nvier\r\n");
}

TEST_F(Commands, BookmarksSetClearAndGo) {
  String text;
  for (int i = 0; i < 200; ++i) text += "zeile " + IntToStr(i) + "\r\n";
  SetText(text);
  ed.SetVisibleCounts(40, 20);
  ed.CaretPlace(3, 150);
  Cmd(ecSetBookmark0 + 5);
  EXPECT_TRUE(ed.Bookmark(5).Valid);
  EXPECT_EQ(ed.Bookmark(5).Y, 150);
  Cmd(ecBeginDoc);
  Cmd(ecGotoBookmark0 + 5);
  ExpectCaret(3, 150);
  EXPECT_EQ(ed.TopRow(), 140);
  EXPECT_EQ(UndoClasses().back(), "TCaretUndo");
  ed.CaretPlace(0, 150);
  Cmd(ecSetBookmark0 + 5);  // on its line: cleared
  EXPECT_FALSE(ed.Bookmark(5).Valid);
  Cmd(ecBeginDoc);
  Cmd(ecGotoBookmark0 + 5);
  ExpectCaret(0, 0);
  EXPECT_EQ(view.Only({"Gutter"}).size(), 4u);
}

TEST_F(Commands, MacroRecordsAndPlaysAsOneUndoStep) {
  SetText("");
  Cmd(ecRecordMacro);
  EXPECT_TRUE(ed.Recording());
  Type("ab");
  Cmd(ecInsertPara);
  // Playing while recording plays what is recorded so far; the player itself is not recorded,
  // or playing the macro would call itself without end.
  Cmd(ecPlayMacro);
  clip.SetText("P");
  Cmd(ecClipboardPaste);  // its inner steps are not recorded
  Cmd(ecRecordMacro);
  EXPECT_FALSE(ed.Recording());
  EXPECT_EQ(ed.Macro(), String("a\0b\0\x65\x01\x72\x01", 8));
  EXPECT_EQ(Text(), "ab\r\nab\r\nP\r\n");
  Cmd(ecPlayMacro);
  EXPECT_EQ(Text(), "ab\r\nab\r\nPab\r\nP\r\n");
  EXPECT_EQ(ed.UpdateLock(), 0);
  EXPECT_EQ(ed.CompoundDepth(), 0);
  Cmd(ecUndo);
  EXPECT_EQ(Text(), "ab\r\nab\r\nP\r\n");
  // A macro that holds the player (set from outside) plays once and stops.
  ed.SetMacro(String("x\0\x95\x01", 4));
  Cmd(ecPlayMacro);
  EXPECT_EQ(Text(), "ab\r\nab\r\nPx\r\n");
}

TEST_F(Commands, ReadOnlyIgnoresTextCommands) {
  SetText("abc");
  ed.SetReadOnly(true);
  ed.CaretPlace(1, 0);
  Type("x");
  Cmds({ecInsertPara, ecBackspace, ecDelete, ecTab, ecClipboardPaste, ecDeleteLine});
  Press('Q', {}, 'q');
  EXPECT_EQ(Text(), "abc\r\n");
  Cmd(ecRight);
  ExpectCaret(2, 0);
  Cmd(ecCompletionIdentifers);
  EXPECT_TRUE(view.Only({"CompletionCommand"}).empty());
  ed.SetReadOnly(false);
  Cmd(ecCompletionTemplates);
  EXPECT_EQ(view.Only({"CompletionCommand"}), (std::vector<String>{"CompletionCommand 403"}));
}

TEST_F(Commands, RedoRaisesAndChangesNothing) {
  SetText("abc");
  Type("x");
  try {
    Cmd(ecRedo);
    FAIL();
  } catch (const ECodeEditorError& e) {
    EXPECT_EQ(e.Message(), "Redo not yet implemented");
  }
  EXPECT_EQ(Text(), "xabc\r\n");
  EXPECT_EQ(ed.UndoBuffer()->Count(), 1);
}

TEST_F(Commands, ColumnAndLineLimits) {
  // Lines longer than the caret's reach and more lines than 65536.
  String longLine(3000, 'w');
  String text;
  for (int i = 0; i < 70000; ++i) text += (i % 1000 == 999 ? longLine : String("x y")) + "\r\n";
  SetText(text);
  ed.CaretPlace(2000, 69999);
  ExpectCaret(1024, 69999);
  Type("z");
  EXPECT_EQ(Line(69999)[1024], 'z');
  ExpectCaret(1024, 69999);  // the caret stays at the last column
  ed.CaretPlace(1023, 70000 - 1);
  Cmd(ecTab);
  EXPECT_LE(ed.CaretX(), 1024);
  // Tab marks from a line far longer than the marks reach.
  ed.CaretPlace(0, 1000);
  ed.BuildTabMarks();
  EXPECT_TRUE(ed.TabMark(0));
  EXPECT_FALSE(ed.TabMark(1025));
  Cmd(ecInsertPara);
  Cmd(ecEndDoc);
  ExpectCaret(1024, 70000);
  Cmd(ecUndo);  // the caret move
  Cmd(ecUndo);  // the line break
  EXPECT_EQ(ed.Lines()->Count(), 70000);
}

TEST_F(Commands, DoubleClickSelectsTheWordOrTheLine) {
  SetText("<a href=\"x\">Link</a>\r\nzwei");
  ed.CaretPlace(4, 0);
  ed.DoubleClick();
  EXPECT_EQ(ed.GetSelText(), "href");
  ExpectCaret(7, 0);
  ed.SetDoubleClickLine(true);
  ed.CaretPlace(2, 0);
  ed.DoubleClick();
  EXPECT_EQ(ed.GetSelText(), "<a href=\"x\">Link</a>\r\n");
  ExpectCaret(0, 1);
  ed.DoubleClick();
  EXPECT_EQ(ed.GetSelText(), "zwei");
}

TEST_F(Commands, MouseSelectsFromWhereTheButtonWentDown) {
  SetText("abcdef\r\nghijkl");
  ed.MouseDown(2, 0, true);
  ed.MouseMove(4, 1);
  EXPECT_EQ(ed.GetSelText(), "cdef\r\nghij");
  ExpectCaret(4, 1);
  ed.MouseMove(1, 0);
  EXPECT_EQ(ed.GetSelText(), "b");
  ed.MouseDown(0, 1, true);
  EXPECT_FALSE(ed.HasSelection());
  ed.AutoScroll(-1);
  ExpectCaret(0, 0);
  EXPECT_EQ(ed.GetSelText(), "abcdef\r\n");
}

TEST_F(Commands, CompletionReplacesTheWordBeforeTheCaret) {
  SetText("  be");
  ed.CaretPlace(4, 0);
  EXPECT_EQ(ed.WordAtCaret(), "be");
  ed.InsertCompletion("if (|)/nbegin/nend", true, '|', "/n");
  EXPECT_EQ(Text(), "  if ()\r\n  begin\r\n  end\r\n");
  ExpectCaret(6, 0);
  ASSERT_EQ(UndoClasses().back(), "TReplaceUndo");
  auto* u = static_cast<TReplaceUndo*>(ed.UndoBuffer()->Current());
  EXPECT_EQ(u->BeginIndex(), 3);
  EXPECT_EQ(u->Text(), "be");
  Cmd(ecUndo);
  EXPECT_EQ(Text(), "  be\r\n");
  ExpectCaret(4, 0);
  ed.CaretPlace(2, 0);  // after a separator: nothing is replaced
  ed.InsertCompletion("begin", false, '|', "/n");
  EXPECT_EQ(Text(), "  beginbe\r\n");
  ExpectCaret(7, 0);
}

TEST_F(Commands, BackspaceWithASelectionDeletesOnlyTheSelection) {
  SetText("eins\r\nzwei\r\ndrei");
  Select(0, 1, 0, 2);
  ed.CaretPlace(0, 2);
  Cmd(ecBackspace);
  EXPECT_EQ(Text(), "eins\r\ndrei\r\n");
  ExpectCaret(0, 1);
}
