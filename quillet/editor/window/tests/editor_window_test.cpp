// The editor window driven under Wine: key, character and mouse messages go to a real
// highlighting editor in a top-level window, and painted pixels are read back where colours
// matter.
#include <gtest/gtest.h>

#include <map>

#include "codehleditor.h"
#include "test_host.h"

namespace {

COLORREF Rgb(TColor c) { return COLORREF(ColorToRGB(c)); }

class EditorWindow : public ::testing::Test {
protected:
  TTestHost Host{20, 20, 640, 400};
  TCodeHLEditor* E = nullptr;
  std::vector<String> Shown;

  void SetUp() override {
    SetExceptionHandler([this](const String& m) { Shown.push_back(m); });
    E = new TCodeHLEditor(&Host);
    E->SetParent(&Host);
    E->SetAlign(alClient);
    // The document window's settings.
    E->SetHighLighter(hlHtml);
    E->Font()->SetName("Courier New");
    E->Font()->SetHeight(-13);
    E->SetGutterWidth(15);
    E->SetGutterColor(clWhite);
    E->SetSelForeColor(clWhite);
    E->SetSelBackColor(clHighlight);
    E->Colors()->SetDocumentWindowColors();
    Host.Handle();
    E->SetFocus();
    Pump();
  }
  void TearDown() override {
    delete E;
    SetExceptionHandler(nullptr);
  }

  void Pump() {
    ProcessMessages();
    E->Update();
  }
  HWND W() { return E->Handle(); }
  void Modifiers(bool ctrl, bool shift) {
    BYTE ks[256];
    GetKeyboardState(ks);
    ks[VK_CONTROL] = ctrl ? 0x80 : 0;
    ks[VK_SHIFT] = shift ? 0x80 : 0;
    ks[VK_MENU] = 0;
    SetKeyboardState(ks);
  }
  // A key stroke through the message loop: the key down is translated into the character it
  // produces (if any) as for a real key, then the key goes up.
  void Key(WORD vk, bool ctrl = false, bool shift = false) {
    Modifiers(ctrl, shift);
    const LPARAM scan = LPARAM(MapVirtualKeyA(vk, 0)) << 16;
    PostMessageA(W(), WM_KEYDOWN, vk, scan | 1);
    Pump();
    PostMessageA(W(), WM_KEYUP, vk, scan | 0xC0000001);
    Pump();
    Modifiers(false, false);
  }
  void AltKey(WORD vk) {
    BYTE ks[256];
    GetKeyboardState(ks);
    ks[VK_MENU] = 0x80;
    SetKeyboardState(ks);
    const LPARAM l = (LPARAM(MapVirtualKeyA(vk, 0)) << 16) | (1 << 29) | 1;
    PostMessageA(W(), WM_SYSKEYDOWN, vk, l);
    Pump();
    PostMessageA(W(), WM_SYSKEYUP, vk, l | 0xC0000000);
    Pump();
    Modifiers(false, false);
  }
  void Type(const char* s) {
    for (; *s; ++s) SendMessageA(W(), WM_CHAR, WPARAM(BYTE(*s)), 1);
    Pump();
  }
  // The centre of a cell of the text (column, line from the top row).
  POINT CellCentre(int col, int row) {
    const TRect r = E->CellRect(col - E->LeftCol(), row - E->TopRow());
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void Click(int col, int row, bool dbl = false) {
    const POINT p = CellCentre(col, row);
    const LPARAM l = MAKELPARAM(p.x - E->CellWidth() / 2, p.y);
    SendMessageA(W(), dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON, l);
    SendMessageA(W(), WM_LBUTTONUP, 0, l);
    Pump();
  }
  COLORREF Pixel(int x, int y) {
    HDC dc = GetDC(W());
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(W(), dc);
    return c;
  }
  // Whether any pixel of the cell has colour c.
  bool CellHas(int col, int row, COLORREF c) {
    const TRect r = E->CellRect(col - E->LeftCol(), row - E->TopRow());
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (Pixel(x, y) == c) return true;
    return false;
  }
  // The background of a cell: its most frequent colour (the glyph covers less of it).
  COLORREF CellBack(int col, int row) {
    const TRect r = E->CellRect(col - E->LeftCol(), row - E->TopRow());
    std::map<COLORREF, int> count;
    HDC dc = GetDC(W());
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) ++count[GetPixel(dc, x, y)];
    ReleaseDC(W(), dc);
    COLORREF best = 0;
    int most = -1;
    for (const auto& kv : count)
      if (kv.second > most) {
        best = kv.first;
        most = kv.second;
      }
    return best;
  }
};

TEST_F(EditorWindow, TypingInsertAndOverwriteAndKeys) {
  Type("hello");
  EXPECT_EQ(E->Lines()->Line(0), "hello");
  EXPECT_EQ(E->CaretX(), 5);
  Key(VK_LEFT);
  Key(VK_LEFT);
  Type("X");
  EXPECT_EQ(E->Lines()->Line(0), "helXlo");
  Key(VK_INSERT);
  EXPECT_FALSE(E->InsertMode());
  Type("YZ");
  EXPECT_EQ(E->Lines()->Line(0), "helXYZ");
  Key(VK_INSERT);
  Key(VK_RETURN);
  EXPECT_EQ(E->Lines()->Count(), 2);
  EXPECT_EQ(E->CaretY(), 1);
  Key(VK_HOME, true);  // Ctrl+Home
  EXPECT_EQ(E->CaretX(), 0);
  EXPECT_EQ(E->CaretY(), 0);
  Key(VK_END, false, true);  // Shift+End selects the line
  EXPECT_TRUE(E->HasSelection());
  EXPECT_EQ(E->GetSelText(), "helXYZ");
}

TEST_F(EditorWindow, TwoKeySequencesAndUndo) {
  Type("abc");
  Key('K', true);
  Key('5');  // Ctrl+K 5: bookmark 5, the 5 is not typed
  EXPECT_TRUE(E->Bookmark(5).Valid);
  EXPECT_EQ(E->Lines()->Line(0), "abc");
  Key('Q', true);
  Key('P');  // Ctrl+Q P: one column left
  EXPECT_EQ(E->CaretX(), 2);
  EXPECT_EQ(E->Lines()->Line(0), "abc");
  Key('Z', true);  // undo: the caret move first
  EXPECT_EQ(E->CaretX(), 3);
  EXPECT_EQ(E->Lines()->Line(0), "abc");
  Key(VK_BACK);
  EXPECT_EQ(E->Lines()->Line(0), "ab");
  Key(VK_BACK);
  EXPECT_EQ(E->Lines()->Line(0), "a");
  Key('Z', true);  // the backspaces come back in one step
  EXPECT_EQ(E->Lines()->Line(0), "abc");
}

TEST_F(EditorWindow, HighlightedTagIsPaintedInItsColours) {
  // Distinct backgrounds make the classes visible whatever the glyphs' smoothing.
  E->Colors()->Reserved.BackColor = clYellow;
  E->Colors()->Identifer.BackColor = clAqua;
  E->Lines()->SetText("<table border=1> &amp;");
  E->Invalidate();
  Pump();
  EXPECT_EQ(CellBack(0, 0), Rgb(clYellow));   // <
  EXPECT_EQ(CellBack(3, 0), Rgb(clYellow));   // table
  EXPECT_EQ(CellBack(8, 0), Rgb(clAqua));     // border
  EXPECT_EQ(CellBack(13, 0), Rgb(clWindow));  // = (symbol, window background)
  EXPECT_TRUE(CellHas(2, 0, Rgb(clBlue)));      // a letter of table in the tag colour
  EXPECT_TRUE(CellHas(8, 0, Rgb(clMaroon)));    // a letter of border
  EXPECT_TRUE(CellHas(14, 0, Rgb(clGreen)));    // the value 1
  EXPECT_TRUE(CellHas(19, 0, Rgb(clRed)));      // the entity
}

TEST_F(EditorWindow, SelectionMarginAndGutterPixels) {
  E->Lines()->SetText("line0\r\nline1\r\nline2\r\nline3\r\nline4\r\nline5");
  E->SetRightMargin(30);
  E->SetSelection(2, 1, 0, 3);  // from (2,1) to the start of line 3
  E->Invalidate();
  Pump();
  const COLORREF sel = Rgb(clHighlight);
  EXPECT_EQ(CellBack(3, 1), sel);
  EXPECT_EQ(CellBack(1, 1), Rgb(clWindow));
  EXPECT_EQ(CellBack(20, 2), sel);            // right of the text of a line inside
  EXPECT_EQ(CellBack(20, 1), sel);            // and of the begin line
  EXPECT_EQ(CellBack(20, 3), Rgb(clWindow));  // not on the end line
  EXPECT_TRUE(CellHas(1, 2, Rgb(clWhite)));     // selected text in the selection colour
  const TRect margin = E->CellRect(30, 0);
  EXPECT_EQ(Pixel(margin.left, 5 * E->CellHeight() + 2), Rgb(clSilver));
  EXPECT_EQ(Pixel(margin.left + 2, 5 * E->CellHeight() + 2), Rgb(clWindow));
  EXPECT_EQ(Pixel(5, 5), Rgb(clWhite));                  // the gutter
  EXPECT_EQ(Pixel(15 - 1, 5), RGB(128, 128, 128));       // its grey line
  EXPECT_EQ(E->CellRect(0, 0).left, 15 + 2 + 1);         // text starts after the gutter
}

TEST_F(EditorWindow, MouseClickDragAndDoubleClick) {
  E->Lines()->SetText("alpha beta gamma\r\nsecond line");
  Pump();
  Click(6, 0);
  EXPECT_EQ(E->CaretX(), 6);
  EXPECT_EQ(E->CaretY(), 0);
  // Drag from (1,1) to (6,1).
  POINT a = CellCentre(1, 1), b = CellCentre(6, 1);
  SendMessageA(W(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.x - E->CellWidth() / 2, a.y));
  SendMessageA(W(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(b.x - E->CellWidth() / 2, b.y));
  SendMessageA(W(), WM_LBUTTONUP, 0, MAKELPARAM(b.x - E->CellWidth() / 2, b.y));
  Pump();
  EXPECT_EQ(E->GetSelText(), "econd");
  EXPECT_EQ(E->CaretX(), 6);
  // Double-click on a word of line 1 selects it.
  Click(8, 1);
  Click(8, 1, true);
  EXPECT_EQ(E->GetSelText(), "line");
}

TEST_F(EditorWindow, ClipboardThroughMessagesAndKeys) {
  E->Lines()->SetText("copy me");
  Pump();
  E->ExecCommand(ecSelAll);
  SendMessageA(W(), WM_COPY, 0, 0);
  Pump();  // the copy runs as a posted command
  String text;
  ASSERT_TRUE(TClipboard::GetText(text));
  EXPECT_EQ(text, "copy me");
  Key(VK_END, true);
  Key('V', true);  // Ctrl+V pastes at the caret
  EXPECT_EQ(E->Lines()->Line(0), "copy mecopy me");
  TClipboard::SetText("a\tb");
  Key(VK_INSERT, false, true);  // Shift+Insert
  EXPECT_EQ(E->Lines()->Line(0), "copy mecopy mea  b");
}

TEST_F(EditorWindow, FailingCommandShowsItsMessageAndEditingGoesOn) {
  PostMessageA(W(), WM_EDITORCOMMAND, 377, 0);  // redo
  Pump();
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_EQ(Shown[0], "Redo not yet implemented");
  Type("ok");
  EXPECT_EQ(E->Lines()->Line(0), "ok");
}

TEST_F(EditorWindow, FailingLineAttributeHandlerIsShownOnceAndPaintingGoesOn) {
  E->Lines()->SetText("abc\r\ndef");
  bool fail = true;
  E->OnGetLineAttr = [&](TObject*, String& line, int index, TLineAttrs& attrs) {
    if (fail) {
      fail = false;
      throw Exception("Zeilenfarben nicht lesbar");
    }
    attrs[1].Back = clLime;  // column 0
  };
  E->Invalidate();
  Pump();
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_EQ(Shown[0], "Zeilenfarben nicht lesbar");
  E->Invalidate();
  Pump();
  EXPECT_EQ(CellBack(0, 0), Rgb(clLime));
  EXPECT_EQ(CellBack(0, 1), Rgb(clLime));
  EXPECT_EQ(CellBack(1, 0), Rgb(clWindow));
}

TEST_F(EditorWindow, CompletionAfterTypingPauseAndOnDemand) {
  E->Completion()->Identifers()->Add("begin=begin");
  E->Completion()->Identifers()->Add("break=break");
  E->Completion()->Enabled = true;
  Type("x be");
  EXPECT_TRUE(E->Completion()->PauseTimer()->Enabled());
  E->Completion()->PauseTimer()->Tick();  // the typing pause has passed
  ASSERT_TRUE(E->Completion()->Visible());
  EXPECT_EQ(E->Completion()->ItemIndex(), 0);
  EXPECT_TRUE(IsWindowVisible(E->Completion()->List()->Handle()));
  Type("g");
  EXPECT_TRUE(E->Completion()->Visible());
  EXPECT_EQ(E->Completion()->ItemIndex(), 0);
  Key(VK_RETURN);
  EXPECT_FALSE(E->Completion()->Visible());
  EXPECT_EQ(E->Lines()->Line(0), "x begin");
  EXPECT_EQ(E->Lines()->Count(), 1);  // the Enter went to the list, not into the text
  // A complete word does not open by itself.
  Type(" break");
  E->Completion()->PauseTimer()->Tick();
  EXPECT_FALSE(E->Completion()->Visible());
  // Ctrl+Space opens it anyway; Esc closes without inserting.
  Key(VK_SPACE, true);
  EXPECT_TRUE(E->Completion()->Visible());
  Key(VK_ESCAPE);
  EXPECT_FALSE(E->Completion()->Visible());
  EXPECT_EQ(E->Lines()->Line(0), "x begin break");
}

TEST_F(EditorWindow, CompletionEventsCancelAndTemplatesOpenWhenNotExact) {
  E->Completion()->Identifers()->Add("alpha=alpha");
  bool cancel = true;
  int asked = 0;
  E->OnCompletionIdentifer = [&](TObject* sender, bool& c) {
    EXPECT_EQ(sender, static_cast<TObject*>(E));
    ++asked;
    c = cancel;
  };
  Key(VK_SPACE, true);
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(E->Completion()->Visible());
  cancel = false;
  Key(VK_SPACE, true);
  EXPECT_TRUE(E->Completion()->Visible());
  Key(VK_ESCAPE);
  // Two templates start with the word: the list opens with the first of them.
  E->Completion()->Templates()->Add("tab=table=<table>|</table>");
  E->Completion()->Templates()->Add("tabrow=table row=<tr>|</tr>");
  E->Completion()->Templates()->Add("img=image=<img src=|>");
  Type("ta");
  Key('J', true);
  ASSERT_TRUE(E->Completion()->Visible());
  EXPECT_EQ(E->Completion()->Items()->Count(), 2);
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_EQ(E->Lines()->Line(0), "<tr></tr>");
  EXPECT_EQ(E->CaretX(), 4);
  E->ExecCommand(ecUndo);  // the insertion is one undo step
  EXPECT_EQ(E->Lines()->Line(0), "ta");
}

TEST_F(EditorWindow, TemplateWithOneMatchIsInsertedAtOnce) {
  E->Completion()->Templates()->Add("ifb=if block=if (|)/nbegin/nend");
  E->Completion()->Templates()->Add("wh=while=while |");
  Type("  ifb");
  Key('J', true);
  EXPECT_FALSE(E->Completion()->Visible());
  ASSERT_EQ(E->Lines()->Count(), 3);
  EXPECT_EQ(E->Lines()->Line(0), "  if ()");
  EXPECT_EQ(E->Lines()->Line(1), "  begin");
  EXPECT_EQ(E->Lines()->Line(2), "  end");
  EXPECT_EQ(E->CaretX(), 6);
  EXPECT_EQ(E->CaretY(), 0);
}

TEST_F(EditorWindow, ScrollBarsMoveTheView) {
  String text;
  for (int i = 0; i < 200; ++i) text += "line " + IntToStr(i) + "\r\n";
  E->Lines()->SetText(text);
  Pump();
  SendMessageA(W(), WM_VSCROLL, SB_LINEDOWN, 0);
  Pump();
  EXPECT_EQ(E->TopRow(), 1);
  SendMessageA(W(), WM_VSCROLL, SB_PAGEDOWN, 0);
  Pump();
  EXPECT_EQ(E->TopRow(), 1 + E->VisibleRowCount());
  EXPECT_EQ(GetScrollPos(W(), SB_VERT), E->TopRow());
  SendMessageA(W(), WM_HSCROLL, SB_LINERIGHT, 0);
  Pump();
  EXPECT_EQ(E->LeftCol(), 1);
  // The wheel: one notch down and two up.
  const int top = E->TopRow();
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  SendMessageA(W(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), 0);
  Pump();
  EXPECT_EQ(E->TopRow(), top + int(lines));
  SendMessageA(W(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(2 * WHEEL_DELTA)), 0);
  Pump();
  EXPECT_EQ(E->TopRow(), top - int(lines));
  try {
    E->HorzScrollBar()->SetMin(300);  // above its maximum of 255
    ADD_FAILURE() << "no error";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Eigenschaft Scrollbar außerhalb des zulässigen Bereichs");
  }
  EXPECT_EQ(E->HorzScrollBar()->Max(), 255);
  // The caret follows Ctrl+End and the view with it.
  Key(VK_END, true);
  EXPECT_EQ(E->CaretY(), 199);  // a final line break adds no line
  EXPECT_LE(E->TopRow(), 199);
  EXPECT_GE(E->LastVisibleRow(), 199);
}

// A window that grows to hold every line (a document window maximised) shows them all: the
// lines hidden above its top come back, and the scroll bar follows.
TEST_F(EditorWindow, AWindowThatGrowsShowsTheLinesHiddenAboveItsTop) {
  String text;
  for (int i = 0; i < 30; ++i) text += "line " + IntToStr(i) + "\r\n";
  E->Lines()->SetText(text);
  SetWindowPos(Host.Handle(), nullptr, 0, 0, 640, 10 * E->CellHeight() + 60, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  ASSERT_LT(E->VisibleRowCount(), 30);
  for (int i = 0; i < 40; ++i) SendMessageA(W(), WM_VSCROLL, SB_LINEDOWN, 0);
  Pump();
  ASSERT_GT(E->TopRow(), 20);
  SetWindowPos(Host.Handle(), nullptr, 0, 0, 640, 34 * E->CellHeight() + 60, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  ASSERT_GE(E->VisibleRowCount(), 30);
  EXPECT_EQ(E->TopRow(), 0);
  EXPECT_EQ(GetScrollPos(W(), SB_VERT), 0);
}

TEST_F(EditorWindow, LongLineToTheLastColumnIsPaintedWithoutOverrun) {
  E->Lines()->SetText(String(2000, 'a') + "\r\n<b>");
  Pump();
  Key(VK_END);
  EXPECT_EQ(E->CaretX(), 1024);  // the caret stops at the last column
  Key(VK_LEFT, false, true);
  EXPECT_TRUE(E->HasSelection());
  E->Invalidate();
  Pump();
  EXPECT_EQ(CellBack(1023, 0), Rgb(clHighlight));
  EXPECT_EQ(CellBack(1024, 0), Rgb(clWindow));
  EXPECT_TRUE(Shown.empty());
}

TEST_F(EditorWindow, EditingKeepsMultiLineTagStates) {
  E->Lines()->SetText("<img\r\nsrc=a.gif>\r\ntext");
  Pump();
  EXPECT_EQ(E->LineState(1), 5);
  EXPECT_EQ(E->LineState(2), 0);
  // Close the tag on the first line: the next line is no longer inside it.
  Key(VK_END);
  Type(">");
  EXPECT_EQ(E->LineState(1), 0);
  // Open a tag at the end of the last line and type a new line after it.
  Key(VK_END, true);
  Type("<p");
  Key(VK_RETURN);
  Type("a=b");
  EXPECT_EQ(E->LineState(3), 5);
  E->Colors()->Identifer.BackColor = clAqua;
  E->Invalidate();
  Pump();
  EXPECT_EQ(CellBack(0, 3), Rgb(clAqua));  // the attribute name on the continuation line
}

TEST_F(EditorWindow, AltBackspaceUndoes) {
  Type("abc");
  AltKey(VK_BACK);
  EXPECT_EQ(E->Lines()->Count() > 0 ? E->Lines()->Line(0) : String(), "");
  Type("d");
  EXPECT_EQ(E->Lines()->Line(0), "d");
}

TEST_F(EditorWindow, DragBelowTheWindowScrollsOnEachTick) {
  String text;
  for (int i = 0; i < 100; ++i) text += "row " + IntToStr(i) + "\r\n";
  E->Lines()->SetText(text);
  Pump();
  // The test ticks the timer itself: on a busy machine its real 100 ms ticks would add steps.
  E->AutoScrollTimer()->SetInterval(600000);
  const POINT a = CellCentre(0, 0);
  SendMessageA(W(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.x, a.y));
  const int nearY = E->ClientHeight() + 5;  // up to 20 pixels below: one line per tick
  SendMessageA(W(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(a.x, nearY));
  EXPECT_TRUE(E->AutoScrollTimer()->Enabled());
  const int lastVisible = E->LastVisibleRow();
  E->AutoScrollTimer()->Tick();
  E->AutoScrollTimer()->Tick();
  Pump();
  EXPECT_EQ(E->CaretY(), lastVisible + 3);  // the row under the pointer, then two more
  EXPECT_EQ(E->TopRow(), 3);
  EXPECT_GE(E->LastVisibleRow(), E->CaretY());
  SendMessageA(W(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(a.x, E->ClientHeight() + 50));
  int cx, underPointer;
  E->PixelToCell(a.x, E->ClientHeight() + 50, cx, underPointer);
  E->AutoScrollTimer()->Tick();  // further below: a page per tick
  Pump();
  EXPECT_EQ(E->CaretY(), underPointer + E->VisibleRowCount());
  SendMessageA(W(), WM_LBUTTONUP, 0, MAKELPARAM(a.x, E->ClientHeight() + 50));
  Pump();
  EXPECT_FALSE(E->AutoScrollTimer()->Enabled());
  EXPECT_TRUE(E->HasSelection());
  EXPECT_EQ(E->SelBegY(), 0);
  EXPECT_EQ(E->SelEndY(), E->CaretY());
}

TEST_F(EditorWindow, GutterEventCursorAndHiddenMargin) {
  int painted = 0;
  E->OnPaintGutter = [&](TObject*, TCanvas* c) {
    ++painted;
    c->Brush()->SetColor(clRed);
    c->FillRect(TRect(2, 2, 6, 6));
  };
  E->Lines()->SetText("x");
  E->Invalidate();
  Pump();
  EXPECT_GT(painted, 0);
  EXPECT_EQ(Pixel(3, 3), Rgb(clRed));
  // Over the gutter the arrow, over the text the text beam.
  POINT p = {5, 5};
  ClientToScreen(W(), &p);
  SetCursorPos(p.x, p.y);
  SendMessageA(W(), WM_SETCURSOR, WPARAM(W()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
  p = CellCentre(3, 0);
  ClientToScreen(W(), &p);
  SetCursorPos(p.x, p.y);
  SendMessageA(W(), WM_SETCURSOR, WPARAM(W()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_IBEAM));
  // A margin beyond the visible columns plus two is not drawn.
  E->SetRightMargin(E->LastVisibleCol() + 3);
  E->SetRightMarginColor(clRed);
  E->Invalidate();
  Pump();
  const TRect last = E->CellRect(E->VisibleColCount() - 1, 2);
  for (int x = last.left; x < E->ClientWidth(); ++x) ASSERT_NE(Pixel(x, last.top + 2), Rgb(clRed));
}

TEST_F(EditorWindow, CompletionListDrawsAndAcceptsAClick) {
  E->Completion()->Identifers()->Add("alpha=Alpha entry");
  E->Completion()->Identifers()->Add("beta=Beta entry");
  E->Completion()->ItemHeight = 16;
  Type("b");
  Key(VK_SPACE, true);
  ASSERT_TRUE(E->Completion()->Visible());
  TCodeEditorCompletionList* list = E->Completion()->List();
  EXPECT_EQ(list->ItemIndex(), 1);  // the entry that starts with the word
  list->Update();
  HDC dc = GetDC(list->Handle());
  const COLORREF selected = GetPixel(dc, 1, 16 + 1);
  const COLORREF other = GetPixel(dc, 1, 1);
  ReleaseDC(list->Handle(), dc);
  EXPECT_EQ(selected, Rgb(clHighlight));
  EXPECT_EQ(other, Rgb(clWindow));
  // A click on the first entry inserts it in place of the word.
  SendMessageA(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  Pump();
  EXPECT_FALSE(E->Completion()->Visible());
  EXPECT_EQ(E->Lines()->Line(0), "alpha");
  EXPECT_EQ(E->CaretX(), 5);
}

}  // namespace
