// The operations that the application calls: insert text, selection text, deletion, caret,
// clipboard, updates, and the order of the change notifications.
#include "test_support.h"

using Operations = EditorTest;

TEST_F(Operations, InsertTextLeavesTheSelectionAndClampsToTheLineEnd) {
  SetText("abcdefg\r\nxyz");
  Select(1, 0, 3, 0);
  ed.CaretPlace(9, 1);  // beyond the end of "xyz"
  ed.InsertText("12");
  EXPECT_EQ(Text(), "abcdefg\r\nxyz12\r\n");
  EXPECT_TRUE(ed.HasSelection());
  EXPECT_EQ(ed.SelBegX(), 1);
  EXPECT_EQ(ed.SelEndX(), 3);
  ExpectCaret(5, 1);
  EXPECT_EQ(ed.UpdateLock(), 0);
  EXPECT_EQ(view.hidden, 0);
}

TEST_F(Operations, InsertTextWithLoneCarriageReturnsPutsTheCaretAfterTheText) {
  // Snippets from the insert dialogs break lines with a lone CR.
  SetText("<body>\r\n</body>");
  ed.CaretPlace(6, 0);
  ed.InsertText("\r<td>\r<tr>\t");
  EXPECT_EQ(Text(), "<body>\r\n<td>\r\n<tr>  \r\n</body>\r\n");
  ExpectCaret(6, 2);
  ASSERT_EQ(UndoClasses(), (std::vector<String>{"TInsertUndo"}));
  // The record holds the text as stored, so undo takes back exactly that.
  EXPECT_EQ(static_cast<TInsertUndo*>(ed.UndoBuffer()->Record(0))->Text(), "\r\n<td>\r\n<tr>  ");
  Cmd(ecUndo);
  EXPECT_EQ(Text(), "<body>\r\n</body>\r\n");
  ExpectCaret(6, 0);
}

TEST_F(Operations, InsertTextIntoAnEmptyStore) {
  ed.InsertText("eins\rzwei");
  EXPECT_EQ(Text(), "eins\r\nzwei\r\n");
  ExpectCaret(4, 1);
  EXPECT_EQ(ed.UndoBuffer()->Count(), 1);  // not cleared by the insertion
  // A text that ends with a line break leaves the caret on the line after it, so the next
  // insertion follows the first instead of going in before its last line.
  SetText("");
  ed.CaretPlace(0, 0);
  ed.InsertText("<Table>\r</Table>\r");
  ExpectCaret(0, 2);
  ed.InsertText("<Form>\r");
  EXPECT_EQ(Text(), "<Table>\r\n</Table>\r\n<Form>\r\n\r\n");
}

TEST_F(Operations, ReplaceSelectionSelectsTheNewText) {
  SetText("abcdefg\r\nxyz");
  Select(2, 0, 5, 0);
  ed.ReplaceSelection("UVWXY\r\nZ");
  EXPECT_EQ(Text(), "abUVWXY\r\nZfg\r\nxyz\r\n");
  EXPECT_TRUE(ed.HasSelection());
  EXPECT_EQ(ed.SelBegX(), 2);
  EXPECT_EQ(ed.SelBegY(), 0);
  EXPECT_EQ(ed.SelEndX(), 1);
  EXPECT_EQ(ed.SelEndY(), 1);
  ExpectCaret(1, 1);
  EXPECT_EQ(ed.GetSelText(), "UVWXY\r\nZ");
  // One undo step takes it all back, selection included.
  Cmd(ecUndo);
  EXPECT_EQ(Text(), "abcdefg\r\nxyz\r\n");
  EXPECT_TRUE(ed.HasSelection());
  EXPECT_EQ(ed.GetSelText(), "cde");
}

TEST_F(Operations, SelectedText) {
  SetText("abcdefg");
  Select(2, 0, 5, 0);
  EXPECT_EQ(ed.GetSelText(), "cde");
  SetText("abc\r\ndef\r\nghi");
  Select(2, 0, 1, 2);
  EXPECT_EQ(ed.GetSelText(), "c\r\ndef\r\ng");
  Select(5, 0, 9, 0);  // beyond the line end
  EXPECT_EQ(ed.GetSelText(), "");
  EXPECT_TRUE(view.log.empty());
  Select(0, 1, 0, 7);  // outside the text: empty and a beep
  EXPECT_EQ(ed.GetSelText(), "");
  EXPECT_EQ(view.log, (std::vector<String>{"Beep"}));
  ed.CopyToClipboard();
  String t = "x";
  ASSERT_TRUE(clip.GetText(t));
  EXPECT_EQ(t, "");
}

TEST_F(Operations, DeleteSelectedRecordsNotifiesAndMovesTheCaret) {
  SetText("abc\r\ndef\r\nghi");
  view.model = &ed;
  Select(2, 0, 1, 2);
  ed.CaretPlace(1, 2);
  view.log.clear();
  ed.DeleteSelected();
  EXPECT_EQ(Text(), "abhi\r\n");
  ExpectCaret(2, 0);
  EXPECT_FALSE(ed.HasSelection());
  ASSERT_EQ(UndoClasses(), (std::vector<String>{"TDeleteSelectedUndo"}));
  auto* u = static_cast<TDeleteSelectedUndo*>(ed.UndoBuffer()->Record(0));
  EXPECT_EQ(u->Text(), "c\r\ndef\r\ng");
  EXPECT_EQ((std::vector<int>{u->CaretX(), u->CaretY(), u->SelBegX(), u->SelBegY(), u->SelEndX(), u->SelEndY()}),
            (std::vector<int>{1, 2, 2, 0, 1, 2}));
  // Undo record first, then TextModified, then OnChange and OnChangeStatus.
  EXPECT_EQ(view.Only({"TextModified", "OnChange"}),
            (std::vector<String>{"TextModified 2 1 c\r\ndef\r\ng", "OnChangeStatus", "OnChange", "OnChangeStatus"}));
  EXPECT_EQ(view.undoCountAtTextModified, (std::vector<int>{1}));
  ed.DeleteSelected();  // nothing selected: nothing happens
  EXPECT_EQ(ed.UndoBuffer()->Count(), 1);
}

TEST_F(Operations, SetCaretClampsAndRecords) {
  SetText("abc\r\ndef");
  ed.SetCaret(0, 0);  // the caret's own position: nothing
  EXPECT_EQ(ed.UndoBuffer()->Count(), 0);
  EXPECT_TRUE(view.log.empty());
  struct Case { int x, y, cx, cy; };
  const Case cases[] = {{2, 1, 2, 1}, {5000, 0, 1024, 0}, {-3, -4, 0, 0}, {1, 9, 1, 1}};
  for (const Case& c : cases) {
    ed.SetCaret(c.x, c.y);
    ExpectCaret(c.cx, c.cy);
  }
  EXPECT_EQ(UndoClasses(), (std::vector<String>(4, "TCaretUndo")));
  ed.SetCursorBeyondEOF(true);
  ed.SetCaret(1, 9);
  ExpectCaret(1, 9);
  // An empty store keeps the caret on line 0.
  ed.SetCursorBeyondEOF(false);
  SetText("");
  ed.SetCaret(4, 3);
  ExpectCaret(4, 0);
}

TEST_F(Operations, CaretPlacementScrollsTheViewToTheCaret) {
  String text;
  for (int i = 0; i < 100; ++i) text += "line\r\n";
  SetText(text);
  ed.SetVisibleCounts(10, 5);
  ed.SetCaret(3, 50);
  EXPECT_EQ(ed.TopRow(), 46);
  ed.SetCaret(3, 40);
  EXPECT_EQ(ed.TopRow(), 40);
  ed.SetCaret(30, 40);
  EXPECT_EQ(ed.LeftCol(), 21);
  ed.SetCaret(1024, 40);
  EXPECT_EQ(ed.LeftCol(), 1015);
  EXPECT_EQ(ed.LastVisibleCol(), 1024);
}

// A window that grows (maximised) brings back the lines hidden above its top when the last line
// would otherwise leave room below it; one that shrinks or keeps its size leaves the view alone.
TEST_F(Operations, AGrowingWindowScrollsBackWhatWouldFit) {
  struct TCase {
    int Lines, Rows, Top, NewRows, NewTop;
  } cases[] = {
      {100, 20, 80, 50, 50},  // the last line at the bottom
      {100, 20, 99, 50, 50},  // scrolled until only the last line showed
      {30, 20, 10, 50, 0},    // everything fits: the first line at the top
      {100, 20, 10, 50, 10},  // room enough below: the top stays
      {100, 20, 95, 20, 95},  // the same size keeps a view scrolled past the end
      {100, 20, 95, 10, 95},  // smaller
      {0, 20, 0, 50, 0},
  };
  for (const TCase& c : cases) {
    String text;
    for (int i = 0; i < c.Lines; ++i) text += "line\r\n";
    SetText(text);
    ed.SetVisibleCounts(80, c.Rows);
    ed.SetLeftTop(3, c.Top);
    ASSERT_EQ(ed.TopRow(), c.Top);
    view.log.clear();
    ed.SetVisibleCounts(80, c.NewRows);
    EXPECT_EQ(ed.TopRow(), c.NewTop) << c.Lines << " lines, top " << c.Top << ", " << c.NewRows << " rows";
    EXPECT_EQ(ed.LeftCol(), 3);
    // The window is told to move its pixels and scroll bars.
    EXPECT_EQ(view.Only({"Scrolled"}).size(), c.NewTop != c.Top ? 1u : 0u) << c.Lines << " lines, top " << c.Top;
  }
}

TEST_F(Operations, PastePadsNormalisesAndGroups) {
  SetText("ab\r\ncd");
  ed.CaretPlace(4, 0);
  clip.SetText("x\ty\rz");
  Cmd(ecClipboardPaste);
  EXPECT_EQ(Text(), "ab  x  y\r\nz\r\ncd\r\n");
  ExpectCaret(1, 1);
  EXPECT_EQ(UndoClasses(),
            (std::vector<String>{"TBeginCompoundUndo", "TReLineUndo", "TInsertUndo", "TEndCompoundUndo"}));
  EXPECT_EQ(ed.UpdateLock(), 0);
  EXPECT_EQ(view.hidden, 0);
  Cmd(ecUndo);
  EXPECT_EQ(Text(), "ab\r\ncd\r\n");
}

TEST_F(Operations, PasteWithoutClipboardTextChangesNothing) {
  SetText("ab");
  Cmd(ecClipboardPaste);
  clip.SetText("");
  Cmd(ecClipboardPaste);
  EXPECT_EQ(Text(), "ab\r\n");
  EXPECT_EQ(ed.UndoBuffer()->Count(), 0);
  EXPECT_EQ(ed.UpdateLock(), 0);
  // Pasting below the last line beeps and goes on: the lines up to the caret are added.
  ed.SetCursorBeyondEOF(true);
  ed.CaretPlace(1, 2);
  clip.SetText("q");
  view.log.clear();
  Cmd(ecClipboardPaste);
  EXPECT_EQ(view.log.front(), "Beep");
  EXPECT_EQ(Text(), "ab\r\n\r\n q\r\n");
}

TEST_F(Operations, CutAndCopy) {
  SetText("Hallo Welt");
  Select(6, 0, 10, 0);
  Cmd(ecClipboardCopy);
  String t;
  ASSERT_TRUE(clip.GetText(t));
  EXPECT_EQ(t, "Welt");
  EXPECT_EQ(Text(), "Hallo Welt\r\n");
  Cmd(ecClipboardCut);
  EXPECT_EQ(Text(), "Hallo \r\n");
  ExpectCaret(6, 0);
}

TEST_F(Operations, EndUpdateAtZeroRepaintsOnce) {
  ed.BeginUpdate();
  ed.BeginUpdate();
  ed.EndUpdate();
  EXPECT_TRUE(view.log.empty());
  ed.EndUpdate();
  EXPECT_EQ(view.log, (std::vector<String>{"Geometry", "OnChangeStatus"}));
  ed.EndUpdate();  // at 0: nothing
  EXPECT_EQ(ed.UpdateLock(), 0);
}

TEST_F(Operations, OutsideChangesOfTheStoreReplaceTheText) {
  SetText("abc");
  Type("x");
  Select(0, 0, 1, 0);
  view.log.clear();
  ed.Lines()->Add("neu");
  EXPECT_FALSE(ed.HasSelection());
  EXPECT_EQ(view.Only({"TextModified"}), (std::vector<String>{"TextModified 0 0 xabc\r\nneu\r\n"}));
  // A caret below a shorter text comes back to its last line.
  ed.CaretPlace(0, 1);
  ed.Lines()->Clear();
  ExpectCaret(0, 0);
}
