// Running out of memory inside a command: every allocation that the command makes is made to
// fail in turn; each time the command must be taken back whole (page, undo buffer, caret,
// selection, nothing left open), and once no allocation fails it must do what it always does.
#include <cstdlib>
#include <new>

#include "test_support.h"

namespace {
// Allocations left before one fails (-1: none fails).
int gAllocationsLeft = -1;

void* Allocate(std::size_t n) {
  if (gAllocationsLeft == 0) {
    gAllocationsLeft = -1;
    throw std::bad_alloc();
  }
  if (gAllocationsLeft > 0) --gAllocationsLeft;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

using OutOfMemory = EditorTest;

TEST_F(OutOfMemory, EveryFailingAllocationTakesTheCommandBack) {
  const String page = "<ul>\r\n  <li>eins   \r\n  <li>zwei\r\n</ul>\r\n\r\nText";
  struct Case {
    const char* name;
    int x, y;                // the caret
    bool select;             // a selection from the caret to the end of the next line
    std::vector<int> setup;  // commands run first (a recorded macro, say)
    int command;
  };
  const Case cases[] = {
      {"typing", 6, 1, false, {}, 'x'},
      {"typing over a selection", 2, 1, true, {}, 'x'},
      {"new line with indentation", 9, 1, false, {}, ecInsertPara},
      {"new line beyond the text", 2, 5, false, {}, ecInsertPara},
      {"backspace joining lines", 0, 2, false, {}, ecBackspace},
      {"backspace unindenting", 2, 2, false, {}, ecBackspace},
      {"delete joining lines", 11, 1, false, {}, ecDelete},
      {"tab beyond the line end", 12, 3, false, {}, ecTab},
      {"paste over a selection", 2, 1, true, {}, ecClipboardPaste},
      {"cut", 2, 1, true, {}, ecClipboardCut},
      {"delete line", 3, 2, false, {}, ecDeleteLine},
      {"delete word", 5, 1, false, {}, ecDeleteWord},
      {"upper case", 0, 1, true, {}, ecToUpperCase},
      {"block indent", 0, 1, false, {ecDown, ecSelDown, ecSelDown}, ecIndent},
      {"macro", 4, 1, false, {ecRecordMacro, 'a', ecInsertPara, ecSelAll, ecClipboardCopy, ecEndDoc, ecClipboardPaste, ecRecordMacro}, ecPlayMacro},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool succeeded = false;
    for (int failAt = 0; !succeeded && failAt < 5000; ++failAt) {
      SetText(page);
      clip.SetText("neu\r\n  <li>drei");
      ed.ClearUndo();
      ed.CaretPlace(c.x, c.y);
      if (c.select) ed.SetSelection(c.x, c.y, std::min(c.x + 4, ed.Lines()->LineLength(c.y + 1)), c.y + 1);
      for (int s : c.setup) Cmd(s);
      const String before = Text();
      const std::vector<String> records = UndoClasses();
      const int caretX = ed.CaretX(), caretY = ed.CaretY();
      const bool selected = ed.HasSelection();
      const std::vector<int> selection = {ed.SelBegX(), ed.SelBegY(), ed.SelEndX(), ed.SelEndY()};
      gAllocationsLeft = failAt;
      try {
        Cmd(c.command);
        succeeded = true;
      } catch (const std::bad_alloc&) {
      }
      gAllocationsLeft = -1;
      SCOPED_TRACE("allocation " + IntToStr(failAt));
      EXPECT_EQ(ed.UpdateLock(), 0);
      EXPECT_EQ(ed.CompoundDepth(), 0);
      EXPECT_EQ(view.hidden, 0);
      EXPECT_EQ(ed.Lines()->TextLength(), static_cast<int>(Text().size()));
      if (!succeeded) {
        ASSERT_EQ(Text(), before);
        ASSERT_EQ(UndoClasses(), records);
        ExpectCaret(caretX, caretY);
        EXPECT_EQ(ed.HasSelection(), selected);
        if (selected) {
          EXPECT_EQ(std::vector<int>({ed.SelBegX(), ed.SelBegY(), ed.SelEndX(), ed.SelEndY()}), selection);
        }
      }
      // Undoing everything gives back the page, whether the command ran or not.
      while (ed.UndoBuffer()->CurrentIndex() >= 0) Cmd(ecUndo);
      EXPECT_EQ(Text(), page + "\r\n");
    }
    EXPECT_TRUE(succeeded);
  }
}
