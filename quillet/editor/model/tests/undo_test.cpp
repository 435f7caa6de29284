// The undo buffer: runs, compound groups, discarded records, and undoing everything back to
// the text it started from.
#include "test_support.h"

#include <new>

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

// A line break begins a typing run: each undo takes back one line's typing with the break (and
// the indentation) that began the line, newest line first.
TEST_F(Undo, TypingUndoesLineByLine) {
  for (bool indent : {false, true}) {
    const String lead = indent ? "  " : "";
    SetText(lead + "abc");
    ed.CaretPlace(int(lead.size()) + 3, 0);
    Cmd(ecInsertPara);
    Type("def");
    Cmd(ecInsertPara);
    Type("ghi");
    ASSERT_EQ(Text(), lead + "abc\r\n" + lead + "def\r\n" + lead + "ghi\r\n") << indent;
    Cmd(ecUndo);
    EXPECT_EQ(Text(), lead + "abc\r\n" + lead + "def\r\n") << indent;
    ExpectCaret(int(lead.size()) + 3, 1);
    Cmd(ecUndo);
    EXPECT_EQ(Text(), lead + "abc\r\n") << indent;
    ExpectCaret(int(lead.size()) + 3, 0);
    EXPECT_EQ(ed.UndoBuffer()->CurrentIndex(), -1);
  }
  // An inserted text holding a break begins a run too; the typing before it is a step of its own.
  SetText("");
  ed.CaretPlace(0, 0);
  Type("xy");
  ed.InsertText("<HR>\r");
  Cmd(ecUndo);
  EXPECT_EQ(Text(), "xy\r\n");
  Cmd(ecUndo);
  EXPECT_EQ(Text(), "\r\n");
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

// CanUndo says whether an undo step can still take back a change of the text: caret moves,
// selections and group markers alone do not count, however many are in effect.
TEST_F(Undo, CanUndoWhileAChangeOfTheTextIsInEffect) {
  SetText("abc\r\nxyz");
  EXPECT_FALSE(ed.UndoBuffer()->CanUndo());  // a text set as a whole leaves nothing
  Cmds({ecRight, ecDown, ecSelRight, ecSelAll});
  EXPECT_GT(ed.UndoBuffer()->CurrentIndex(), -1);
  EXPECT_FALSE(ed.UndoBuffer()->CanUndo());
  ed.ClearSelection();
  ed.CaretPlace(3, 0);
  Type("d");
  EXPECT_TRUE(ed.UndoBuffer()->CanUndo());
  Cmds({ecLeft, ecDown});  // moves after the change leave it in effect
  EXPECT_TRUE(ed.UndoBuffer()->CanUndo());
  Cmd(ecUndo);  // the moves
  EXPECT_TRUE(ed.UndoBuffer()->CanUndo());
  Cmd(ecUndo);  // the typing
  EXPECT_EQ(Text(), "abc\r\nxyz\r\n");
  EXPECT_FALSE(ed.UndoBuffer()->CanUndo());
  // Each kind of change counts: deleting, Backspace, a paste as a group, a line break.
  const std::vector<int> changes[] = {
      {ecDelete}, {ecBackspace}, {ecSelRight, ecClipboardCopy, ecClipboardPaste}, {ecInsertPara}};
  for (const std::vector<int>& c : changes) {
    SetText("abc");
    ed.CaretPlace(1, 0);
    for (int command : c) Cmd(command);
    EXPECT_TRUE(ed.UndoBuffer()->CanUndo()) << c.front();
    for (int i = 0; i < 10 && ed.UndoBuffer()->CanUndo(); ++i) Cmd(ecUndo);
    EXPECT_FALSE(ed.UndoBuffer()->CanUndo()) << c.front();
    EXPECT_EQ(Text(), "abc\r\n") << c.front();
  }
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

// Padding takes the caret nowhere when it is undone: the undo of the change it padded has put
// the caret back where it stood before, in the virtual space past the line's end or the text's.
TEST_F(Undo, ChangesThatPaddedLeaveTheCaretWhereItStood) {
  struct Case {
    const char* name;
    int x, y;
    int command;
  };
  const Case cases[] = {
      {"typing past the line end", 8, 0, 'z'},
      {"paste past the line end", 6, 0, ecClipboardPaste},
      {"typing below the last line", 3, 2, 'z'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetText("ab");
    ed.SetCursorBeyondEOF(true);
    clip.SetText("<b>");
    ed.CaretPlace(c.x, c.y);
    Cmd(c.command);
    EXPECT_NE(Text(), "ab\r\n");
    Cmd(ecUndo);
    EXPECT_EQ(Text(), "ab\r\n");
    ExpectCaret(c.x, c.y);
    ed.SetCursorBeyondEOF(false);
  }
}

// A command that runs out of memory is taken back whole: the page, the undo buffer, caret and
// selection are as before it, nothing it began stays open, and the editor goes on working.
// The failure is injected where an allocation of the command's size would fail: in the
// notification of a change that grew the page past a limit, or in reading the clipboard.
namespace {
struct ScarceMemoryView : RecordingView {
  TEditorModel* editor = nullptr;
  int pageLimit = 1 << 30;
  void TextModified(int pos, TTextAction a, const String& text) override {
    RecordingView::TextModified(pos, a, text);
    if (editor->TextLength() > pageLimit) throw std::bad_alloc();
  }
};
struct ScarceMemoryClipboard : TMemoryClipboard {
  bool fail = false;
  bool GetText(String& text) override {
    if (fail) throw std::bad_alloc();
    return TMemoryClipboard::GetText(text);
  }
};
}  // namespace

TEST_F(Undo, CommandThatRunsOutOfMemoryIsTakenBack) {
  struct Case {
    const char* name;
    std::vector<int> macro;  // recorded first, then played when memory is short
    int command;             // the command that runs short of memory
    bool clipboardFails;     // else: the page may grow by 10 characters
    const char* clipText;
  };
  const Case cases[] = {
      // Every play doubles the page: select all, copy, paste twice.
      {"doubling macro", {'x', ecSelAll, ecClipboardCopy, ecClipboardPaste, ecClipboardPaste}, ecPlayMacro, false, ""},
      {"macro whose paste fails", {'y', ecInsertPara, ecDeleteLine, ecClipboardPaste}, ecPlayMacro, true, "<i>"},
      {"paste that cannot read the clipboard", {}, ecClipboardPaste, true, "<i>"},
      {"paste that grows the page too far", {}, ecClipboardPaste, false, "0123456789abcdef"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScarceMemoryView scarce;
    scarce.editor = &ed;
    ScarceMemoryClipboard shortClip;
    shortClip.SetText(c.clipText);
    ed.SetView(&scarce);
    ed.SetClipboard(&shortClip);
    SetText("<p>Hallo</p>\r\n<b>Welt</b>");
    ed.CaretPlace(3, 1);
    if (!c.macro.empty()) {
      Cmd(ecRecordMacro);
      for (int m : c.macro) Cmd(m);
      Cmd(ecRecordMacro);
    }
    ed.CaretPlace(2, 0);
    Cmds({ecLeft, ecSelRight});  // "p" of the first line selected
    const String page = Text();
    const int records = ed.UndoBuffer()->Count(), current = ed.UndoBuffer()->CurrentIndex();
    const int caretX = ed.CaretX(), caretY = ed.CaretY();
    const int selBegX = ed.SelBegX(), selBegY = ed.SelBegY(), selEndX = ed.SelEndX(), selEndY = ed.SelEndY();
    scarce.pageLimit = ed.TextLength() + 10;
    shortClip.fail = c.clipboardFails;
    EXPECT_THROW(Cmd(c.command), std::bad_alloc);
    EXPECT_EQ(Text(), page);
    EXPECT_EQ(ed.Lines()->TextLength(), static_cast<int>(page.size()));
    EXPECT_EQ(ed.UndoBuffer()->Count(), records);
    EXPECT_EQ(ed.UndoBuffer()->CurrentIndex(), current);
    ExpectCaret(caretX, caretY);
    EXPECT_TRUE(ed.HasSelection());
    EXPECT_EQ(std::vector<int>({ed.SelBegX(), ed.SelBegY(), ed.SelEndX(), ed.SelEndY()}),
              std::vector<int>({selBegX, selBegY, selEndX, selEndY}));
    EXPECT_EQ(ed.UpdateLock(), 0);
    EXPECT_EQ(ed.CompoundDepth(), 0);
    EXPECT_EQ(scarce.hidden, 0);
    // Memory is back: the editor works and undoes as before.
    scarce.pageLimit = 1 << 30;
    shortClip.fail = false;
    String typed = page;
    typed.replace(static_cast<size_t>(ed.LinePos(selBegX, selBegY)), 1, "z");
    Type("z");
    EXPECT_EQ(Text(), typed);
    while (ed.UndoBuffer()->CurrentIndex() >= 0) Cmd(ecUndo);
    EXPECT_EQ(Text(), "<p>Hallo</p>\r\n<b>Welt</b>\r\n");
    ed.SetView(&view);
    ed.SetClipboard(&clip);
  }
}
