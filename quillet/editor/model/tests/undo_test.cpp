// The undo buffer: runs, compound groups, discarded records, and undoing everything back to
// the text it started from.
#include "test_support.h"

using Undo = EditorTest;

TEST_F(Undo, TypingIsOneStep) {
  SetText("xy");
  ed.CaretPlace(1, 0);
  Type("abc");
  Cmd(ecUndo);
  EXPECT_EQ(Text(), "xy\r\n");
  ExpectCaret(1, 0);
  EXPECT_EQ(ed.UndoBuffer()->CurrentIndex(), -1);
  Cmd(ecUndo);  // nothing left: nothing happens
  EXPECT_EQ(Text(), "xy\r\n");
}

TEST_F(Undo, BackspacesComeBackWithTheCaretAfterThem) {
  SetText("abc");
  ed.CaretPlace(3, 0);
  ed.SetBackSpaceUnindents(false);
  Cmds({ecBackspace, ecBackspace, ecBackspace});
  EXPECT_EQ(Text(), "\r\n");
  Cmd(ecUndo);
  EXPECT_EQ(Text(), "abc\r\n");
  ExpectCaret(3, 0);
}

TEST_F(Undo, PasteIsOneGroupWithTheDeletedSelection) {
  SetText("Hallo Welt");
  Select(6, 0, 10, 0);
  ed.CaretPlace(10, 0);
  clip.SetText("Quillet!");
  Cmd(ecClipboardPaste);
  EXPECT_EQ(Text(), "Hallo Quillet!\r\n");
  Cmd(ecUndo);
  EXPECT_EQ(Text(), "Hallo Welt\r\n");
  EXPECT_TRUE(ed.HasSelection());
  EXPECT_EQ(ed.GetSelText(), "Welt");
}

TEST_F(Undo, NewChangeDiscardsUndoneRecords) {
  SetText("");
  Type("a");
  Cmd(ecLeft);
  Type("b");
  EXPECT_EQ(ed.UndoBuffer()->Count(), 3);
  Cmd(ecUndo);
  Cmd(ecUndo);
  EXPECT_EQ(ed.UndoBuffer()->CurrentIndex(), 0);
  Type("c");
  EXPECT_EQ(UndoClasses(), (std::vector<String>{"TInsertUndo", "TInsertUndo"}));
  EXPECT_EQ(Text(), "ac\r\n");
  Cmd(ecUndo);
  EXPECT_EQ(Text(), "\r\n");
}

TEST_F(Undo, CaretMovesAndSelectionsUndoAsRuns) {
  SetText("abcdef\r\nxyz");
  Cmds({ecRight, ecRight, ecDown, ecRight});
  ExpectCaret(3, 1);
  Cmd(ecUndo);
  ExpectCaret(0, 0);
  Cmds({ecSelRight, ecSelRight, ecSelRight});
  EXPECT_EQ(ed.GetSelText(), "abc");
  Cmd(ecUndo);
  EXPECT_TRUE(ed.HasSelection());
  EXPECT_EQ(ed.GetSelText(), "");
  ExpectCaret(0, 0);
  // Clearing a selection is undone too.
  Select(1, 0, 4, 0);
  ed.ClearSelection();
  Cmd(ecUndo);
  EXPECT_EQ(ed.GetSelText(), "bcd");
}

TEST_F(Undo, RecordsMadeWhileUndoingAreDropped) {
  SetText("ab");
  ed.CaretPlace(2, 0);
  Type("  ");  // typed blanks at the line end are cut again at once
  int before = ed.UndoBuffer()->Count();
  Cmd(ecUndo);
  EXPECT_LE(ed.UndoBuffer()->Count(), before);
  EXPECT_EQ(Text(), "ab\r\n");
}

TEST_F(Undo, UndoNotifiesAsAReplacedText) {
  SetText("ab");
  ed.CaretPlace(2, 0);
  Type("c");
  view.log.clear();
  Cmd(ecUndo);
  EXPECT_EQ(view.Only({"TextModified", "OnChange"}),
            (std::vector<String>{"OnChangeStatus", "TextModified 0 0 ab\r\n", "OnChange", "OnChangeStatus"}));
}

// Any sequence of editing commands, undone step by step, gives back the text it started from.
TEST_F(Undo, UndoingEverythingRestoresTheText) {
  const String start = "<html>\r\n  <body bgcolor=\"#FFFFFF\">\r\n\r\n    Text  mit\tTab\r\n  </body>\r\n</html>";
  const int commands[] = {'a', 'b', ' ', '<', ecInsertPara, ecBackspace, ecDelete, ecTab, ecBackTab, ecLeft, ecRight,
                          ecUp, ecDown, ecSelRight, ecSelDown, ecSelLeft, ecNextWord, ecPrevWord, ecEndLine,
                          ecBeginLine, ecDeleteWord, ecDeleteLine, ecClipboardCut, ecClipboardPaste,
                          ecToUpperCase, ecChangeCase, ecIndent, ecUnindent, ecSelAll, ecDeleteSelected, ecSelWord};
  const int n = static_cast<int>(sizeof commands / sizeof commands[0]);
  for (int round = 0; round < 300; ++round) {
    SetText(start);
    const String original = Text();
    ed.CaretPlace(0, 0);
    unsigned seed = 1000u + static_cast<unsigned>(round);
    clip.SetText("ein\r\nzwei ");
    std::vector<int> done;
    for (int step = 0; step < 50; ++step) {
      seed = seed * 1103515245u + 12345u;
      int c = commands[(seed >> 16) % static_cast<unsigned>(n)];
      done.push_back(c);
      if ((seed >> 8) % 7 == 0) ed.SetCaret(static_cast<int>((seed >> 4) % 40), static_cast<int>((seed >> 10) % 7));
      Cmd(c);
    }
    int guard = 0;
    while (ed.UndoBuffer()->CurrentIndex() >= 0 && guard++ < 1000) Cmd(ecUndo);
    String trail;
    for (int c : done) trail += IntToStr(c) + " ";
    ASSERT_EQ(Text(), original) << "round " << round << ": " << trail;
  }
}

// Changes made while the caret stands beyond the line end, undone in any order of steps.
TEST_F(Undo, ChangesBeyondTheLineEndComeBackInPlace) {
  SetText(" t\r\no");
  ed.CaretPlace(1, 0);
  Cmd(ecDelete);           // " " is left and cut: a trailing-blank record
  Cmd(ecDelete);           // joins the next line at the line end; the caret stays
  EXPECT_EQ(Text(), "o\r\n");
  ExpectCaret(1, 0);
  ed.SetCaret(4, 0);
  ed.InsertText("<p>\r");  // beyond the end: goes in at the end
  EXPECT_EQ(Text(), "o<p>\r\n\r\n");
  while (ed.UndoBuffer()->CurrentIndex() >= 0) Cmd(ecUndo);
  EXPECT_EQ(Text(), " t\r\no\r\n");
}
