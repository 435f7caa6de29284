// The editor model: construction, positions, the text operations that other parts call,
// selection, caret placement, scrolling, the mouse and the notifications.
#include "editor_model.h"

#include <algorithm>

#include "editor_utils.h"

TEditorModel::TEditorModel()
    : FLines(new TEditorStrings(this)), FKeyboard(new TKeyboard), FUndoBuffer(new TUndoBuffer(this)) {
  FKeyboard->SetDefLayout();
}

TEditorModel::~TEditorModel() {
  // Records refer to the model; free them while it is whole.
  FUndoBuffer->Clear();
}

// ---- positions -----------------------------------------------------------------------------

int TEditorModel::LinePos(int X, int Y) const {
  if (Y < 0 || Y > LastLine()) return -1;
  int len = FLines->LineLength(Y);
  return FLines->LineStart(Y) + std::min(std::max(X, 0), len);
}

void TEditorModel::CaretFromPos(int P, int& X, int& Y) const {
  int total = FLines->TextLength();
  if (P < 0 || P > total) {
    X = Y = -1;
    return;
  }
  if (P == total) {  // just after the final line break
    X = 0;
    Y = FLines->Count();
    return;
  }
  Y = FLines->LineOfPosition(P);
  int off = P - FLines->LineStart(Y);
  int len = FLines->LineLength(Y);
  if (off <= len) {
    X = off;
  } else {  // between CR and LF: the CR already broke the line
    X = 0;
    ++Y;
  }
}

// Inserts Text (line breaks as CR LF or lone CR/LF) at linear position P, as if the text were
// joined, changed and split again, but touching only the lines concerned.
void TEditorModel::InsertAtPos(int P, const String& Text) {
  if (Text.empty()) return;
  TEditorStrings& L = *FLines;
  int n = L.Count();
  int total = L.TextLength();
  if (P < 0) P = 0;
  if (P > total) P = total;
  String piece;
  int y;
  bool replaceLine = true;
  if (n == 0 || P == total) {
    y = n;
    replaceLine = false;
    piece = Text;
  } else {
    y = L.LineOfPosition(P);
    int off = P - L.LineStart(y);
    const String& line = L.Line(y);
    if (off <= static_cast<int>(line.size())) {
      piece.reserve(line.size() + Text.size() + 2);
      piece.append(line, 0, static_cast<size_t>(off));
      piece += Text;
      piece.append(line, static_cast<size_t>(off), String::npos);
      piece += "\r\n";
    } else {
      piece = line + "\r" + Text + "\n";
    }
  }
  std::vector<String> lines;
  TStrings::SplitLines(piece, lines);
  if (lines.empty()) {
    if (replaceLine) L.RawDelete(y);
    return;
  }
  // The new lines go in first and the changed line is written last, so that a write that fails
  // (out of memory) can be undone by removing what went in: the text is whole either way.
  const int first = replaceLine ? 1 : 0;
  int inserted = 0;
  try {
    for (size_t i = static_cast<size_t>(first); i < lines.size(); ++i, ++inserted)
      L.RawInsert(y + static_cast<int>(i), lines[i]);
    if (replaceLine) L.RawPut(y, lines[0]);
  } catch (...) {
    if (inserted > 0) L.RawDelete(y + first, inserted);
    throw;
  }
}

void TEditorModel::DeleteAtPos(int P, int Length) {
  TEditorStrings& L = *FLines;
  int total = L.TextLength();
  if (P < 0 || P >= total || Length <= 0) return;
  if (Length > total - P) Length = total - P;
  int y1 = L.LineOfPosition(P);
  int y2 = L.LineOfPosition(P + Length - 1);
  // One line more: removing a line's break joins the next line to it.
  int y3 = std::min(y2 + 1, L.Count() - 1);
  int base = L.LineStart(y1);
  String piece;
  for (int y = y1; y <= y3; ++y) {
    piece += L.Line(y);
    piece += "\r\n";
  }
  piece.erase(static_cast<size_t>(P - base), static_cast<size_t>(Length));
  std::vector<String> lines;
  TStrings::SplitLines(piece, lines);
  int old = y3 - y1 + 1;
  int count = static_cast<int>(lines.size());
  // The lines at the end of the range that stay as they are (mostly all but the first, so that
  // a deletion is one line write, which fails whole or not at all, and removals).
  while (old > 0 && count > 0 && L.Line(y1 + old - 1) == lines[static_cast<size_t>(count) - 1]) {
    --old;
    --count;
  }
  int keep = std::min(old, count);
  for (int i = 0; i < keep; ++i)
    if (L.Line(y1 + i) != lines[static_cast<size_t>(i)]) L.RawPut(y1 + i, lines[static_cast<size_t>(i)]);
  if (old > keep) L.RawDelete(y1 + keep, old - keep);
  for (int i = keep; i < count; ++i) L.RawInsert(y1 + i, lines[static_cast<size_t>(i)]);
}

// ---- the text ------------------------------------------------------------------------------

void TEditorModel::SetLines(TStrings* S) {
  if (S) FLines->Assign(S);
  ClearUndo();
}

void TEditorModel::TrailingBlanksCut(int Index, int Length, const String& Blanks) {
  TUndo::Record<TDeleteTrailUndo>(this, Length, Index, Blanks);
}

void TEditorModel::TextSet() {
  if (FUpdateLock == 0) ClearUndo();
  TextReplaced(true);
}

void TEditorModel::UndoDone() {
  if (FUpdateLock != 0) return;
  TextReplaced(false);
  Changed();
}

void TEditorModel::LinesChanged() {
  if (FUpdateLock != 0) return;
  TextReplaced(true);
}

void TEditorModel::TextReplaced(bool ClearSelectionFlag) {
  if (ClearSelectionFlag) {
    FSelected = false;
    // A caret left below a shorter text would make the next key append lines up to it.
    if (!FCursorBeyondEOF && FCaretY > std::max(LastLine(), 0)) CaretPlace(FCaretX, LastLine());
  }
  TextModified(0, taInsert, FLines->Text());
  FView->UpdateGeometry();
  if (FUpdateLock == 0) FView->Invalidate();
}

void TEditorModel::Changed() {
  FireEvent(OnChange, FSender);
  StatusChanged();
}

void TEditorModel::StatusChanged() { FireEvent(OnChangeStatus, FSender); }

void TEditorModel::TextModified(int Pos, TTextAction Action, const String& Text) { FView->TextModified(Pos, Action, Text); }

void TEditorModel::BeginUpdate() { ++FUpdateLock; }

void TEditorModel::EndUpdate() {
  if (FUpdateLock == 0) return;
  if (--FUpdateLock == 0) {
    FView->UpdateGeometry();
    StatusChanged();
    FView->Invalidate();
  }
}

void TEditorModel::ClearUndo() { FUndoBuffer->Clear(); }

void TEditorModel::Undo() { FUndoBuffer->Undo(); }

void TEditorModel::Redo() { FUndoBuffer->Redo(); }

void TEditorModel::DoBeginCompound() {
  ++FCompound;
  TUndo::Record<TBeginCompoundUndo>(this);
}

void TEditorModel::DoEndCompound() {
  TUndo::Record<TEndCompoundUndo>(this);
  --FCompound;
}

String TEditorModel::ExpandTabs(const String& S) const {
  if (S.find('\t') == String::npos) return S;
  return ReplaceString(S, "\t", Spaces(NextTabStop(0)));
}

// ---- operations ----------------------------------------------------------------------------

void TEditorModel::InsertText(const String& Text) {
  CaretHidden hidden(FView);
  TUpdateScope update(*this);
  String text = ExpandTabs(NormalizeLineBreaks(Text));
  // A caret below the last line (possible with CursorBeyondEOF): the lines up to it come first.
  if (FLines->Count() > 0 && FCaretY > LastLine()) {
    int x = FCaretX;
    FCaretX = 0;
    PadCaret();
    FCaretX = x;
  }
  // An empty store is the one empty line the view shows: a text that ends with a line break
  // then leaves the caret on the line after it, where the next insertion follows, instead of
  // beyond the last line, from where it would come back to the start of the text's last line.
  if (FLines->Count() == 0) {
    LockRaised lock(FUpdateLock);
    FLines->RawInsert(0, String());
  }
  int p = LinePos(FCaretX, FCaretY);
  // The record keeps the position too: a caret beyond the line end inserts at the end, and
  // the inserted text lengthens the line, so (X, Y) alone would not find the place again.
  TUndo::Record<TInsertUndo>(this, FCaretX, FCaretY, text, p);
  InsertAtPos(p, text);
  FUndoBuffer->Confirm();
  TextModified(p, taInsert, Text);
  int x, y;
  CaretFromPos(p + static_cast<int>(text.size()), x, y);
  CaretPlace(x, y);
  Changed();
}

void TEditorModel::ReplaceSelection(const String& Text) {
  TUpdateScope update(*this);
  DoBeginCompound();
  try {
    int bx = FSelected ? FSelBegX : FCaretX;
    int by = FSelected ? FSelBegY : FCaretY;
    DeleteSelected();
    int p0 = LinePos(FCaretX, FCaretY);
    if (p0 < 0) p0 = 0;
    String stored = ExpandTabs(NormalizeLineBreaks(Text));
    InsertText(Text);
    int ex, ey;
    CaretFromPos(p0 + static_cast<int>(stored.size()), ex, ey);
    if (ex < 0) {
      ex = FCaretX;
      ey = FCaretY;
    }
    FSelected = true;
    FAnchorX = FSelBegX = bx;
    FAnchorY = FSelBegY = by;
    FSelEndX = ex;
    FSelEndY = ey;
    FUpdateSelBeg = FSelBegY;
    FUpdateSelEnd = FSelEndY;
    CaretPlace(ex, ey);
    if (FSelBegY < FTopRow || FSelBegY > LastVisibleRow()) SetLeftTop(FLeftCol, std::max(FCaretY - FVisibleRowCount / 2, 0));
  } catch (...) {
    DoEndCompound();
    throw;
  }
  DoEndCompound();
}

String TEditorModel::GetSelText() {
  if (!FSelected) return String();
  int last = LastLine();
  if (FSelBegY < 0 || FSelBegY > last || FSelEndY < 0 || FSelEndY > last || FSelEndY < FSelBegY) {
    FView->Beep();
    return String();
  }
  auto tail = [](const String& s, int from) { return from < static_cast<int>(s.size()) ? s.substr(static_cast<size_t>(std::max(from, 0))) : String(); };
  auto head = [](const String& s, int to) { return s.substr(0, static_cast<size_t>(std::max(std::min(to, static_cast<int>(s.size())), 0))); };
  const String& first = FLines->Line(FSelBegY);
  if (FSelBegY == FSelEndY) {
    int b = std::max(FSelBegX, 0), e = std::min(FSelEndX, static_cast<int>(first.size()));
    return e > b ? first.substr(static_cast<size_t>(b), static_cast<size_t>(e - b)) : String();
  }
  String r = tail(first, FSelBegX);
  for (int y = FSelBegY + 1; y < FSelEndY; ++y) {
    r += "\r\n";
    r += FLines->Line(y);
  }
  r += "\r\n";
  r += head(FLines->Line(FSelEndY), FSelEndX);
  return r;
}

void TEditorModel::DeleteSelected() {
  if (!FSelected) return;
  CaretHidden hidden(FView);
  // Ends beyond their line's end stand for the line end: undo puts the text back there, not
  // under a column that the joined text may since have reached.
  if (FSelBegY >= 0 && FSelBegY <= LastLine()) FSelBegX = std::min(FSelBegX, FLines->LineLength(FSelBegY));
  if (FSelEndY >= 0 && FSelEndY <= LastLine()) FSelEndX = std::min(FSelEndX, FLines->LineLength(FSelEndY));
  int p1 = LinePos(FSelBegX, FSelBegY);
  int p2 = LinePos(FSelEndX, FSelEndY);
  String text = GetSelText();
  TUndo::Record<TDeleteSelectedUndo>(this, FCaretX, FCaretY, text, FSelBegX, FSelBegY, FSelEndX, FSelEndY);
  {
    LockRaised lock(FUpdateLock);
    if (p1 >= 0 && p2 > p1) DeleteAtPos(p1, p2 - p1);
  }
  FUndoBuffer->Confirm();
  FSelected = false;
  TextModified(std::max(p1, 0), taDelete, text);
  if (p1 >= 0) {
    int x, y;
    CaretFromPos(p1, x, y);
    CaretPlace(x, y);
  }
  Changed();
  FView->Invalidate();
}

void TEditorModel::SetCaret(int X, int Y) {
  if (X == FCaretX && Y == FCaretY) return;
  TUndo::Record<TCaretUndo>(this, FCaretX, FCaretY);
  CaretPlace(X, Y);
  if (FUpdateLock == 0) StatusChanged();
}

void TEditorModel::ClampCell(int& X, int& Y) const {
  if (!FCursorBeyondEOF) Y = std::min(Y, LastLine());
  Y = std::max(Y, 0);
  X = std::min(std::max(X, 0), MaxColumn);
}

void TEditorModel::CaretPlace(int X, int Y) {
  if (X == FCaretX && Y == FCaretY) return;
  ClampCell(X, Y);
  // A window not yet sized counts as one row and one column.
  int rows = std::max(FVisibleRowCount, 1), cols = std::max(FVisibleColCount, 1);
  int top = FTopRow, left = FLeftCol;
  if (Y < FTopRow)
    top = Y;
  else if (Y > std::max(FTopRow + rows - 1, 0))
    top = Y - rows + 1;
  if (X < FLeftCol)
    left = X;
  else if (X > FLeftCol + cols - 1)
    left = X - cols + 1;
  if (top != FTopRow || left != FLeftCol) SetLeftTop(left, top);
  bool moved = X != FCaretX || Y != FCaretY;
  FCaretX = X;
  FCaretY = Y;
  FView->CaretMoved();
  if (moved) FireEvent(OnChangeStatus, FSender);
}

void TEditorModel::ClearSelection() {
  if (!FSelected) return;
  FSelected = false;
  TUndo::Record<TUnselectUndo>(this, FCaretX, FCaretY, FSelBegX, FSelBegY, FSelEndX, FSelEndY);
  FView->RepaintRows(FSelBegY, FSelEndY);
}

void TEditorModel::SetSelection(int BegX, int BegY, int EndX, int EndY) {
  int oldBeg = FSelected ? FSelBegY : BegY, oldEnd = FSelected ? FSelEndY : EndY;
  FSelected = true;
  FAnchorX = FSelBegX = BegX;
  FAnchorY = FSelBegY = BegY;
  FSelEndX = EndX;
  FSelEndY = EndY;
  FUpdateSelBeg = std::min(oldBeg, BegY);
  FUpdateSelEnd = std::max(oldEnd, EndY);
  FView->RepaintRows(FUpdateSelBeg, FUpdateSelEnd);
}

void TEditorModel::RestoreSelection(int BegX, int BegY, int EndX, int EndY, bool Present) {
  int oldBeg = FSelBegY, oldEnd = FSelEndY;
  FSelBegX = BegX;
  FSelBegY = BegY;
  FSelEndX = EndX;
  FSelEndY = EndY;
  FSelected = Present;
  FView->RepaintRows(std::min(oldBeg, BegY), std::max(oldEnd, EndY));
}

void TEditorModel::ExtendSelection(int X, int Y) {
  if (!FSelected) {
    FAnchorX = FSelBegX = FSelEndX = X;
    FAnchorY = FSelBegY = FSelEndY = Y;
    FSelected = true;
    return;
  }
  TUndo::Record<TSelectUndo>(this, FCaretX, FCaretY, FSelBegX, FSelBegY, FSelEndX, FSelEndY);
  int oldBeg = FSelBegY, oldEnd = FSelEndY;
  FUpdateSelBeg = oldBeg;
  FUpdateSelEnd = oldEnd;
  // The selection always runs between the anchor and the new point, whichever side that is on.
  if (Y < FAnchorY || (Y == FAnchorY && X < FAnchorX)) {
    FSelBegX = X;
    FSelBegY = Y;
    FSelEndX = FAnchorX;
    FSelEndY = FAnchorY;
  } else {
    FSelBegX = FAnchorX;
    FSelBegY = FAnchorY;
    FSelEndX = X;
    FSelEndY = Y;
  }
  if (FSelBegY < 0) FSelBegY = 0;
  if (FCompound == 0) {
    FView->RepaintRows(std::min(oldBeg, FSelBegY), std::max(oldBeg, FSelBegY));
    FView->RepaintRows(std::min(oldEnd, FSelEndY), std::max(oldEnd, FSelEndY));
    FireEvent(OnSelectionChange, FSender);
  }
  FUpdateSelBeg = std::min(FUpdateSelBeg, FSelBegY);
  FUpdateSelEnd = std::max(FUpdateSelEnd, FSelEndY);
}

void TEditorModel::CopyToClipboard() { FClipboard->SetText(GetSelText()); }

void TEditorModel::CutToClipboard() {
  CopyToClipboard();
  DeleteSelected();
}

void TEditorModel::PasteFromClipboard() {
  if (FCaretY > LastLine() && FLines->Count() > 0) FView->Beep();
  CaretHidden hidden(FView);
  TUpdateScope update(*this);
  bool group = false;
  try {
    String clip;
    if (FClipboard->GetText(clip) && !clip.empty()) {
      DoBeginCompound();
      group = true;
      DeleteSelected();
      String text = ExpandTabs(NormalizeLineBreaks(clip));
      if (FLines->Count() > 0) PadCaret();
      int p = FLines->Count() == 0 ? 0 : LinePos(FCaretX, FCaretY);
      TUndo::Record<TInsertUndo>(this, FCaretX, FCaretY, text, p);  // an empty store: at 0
      group = false;
      DoEndCompound();
      {
        LockRaised lock(FUpdateLock);
        InsertAtPos(p, text);
      }
      FUndoBuffer->Confirm();
      TextModified(p, taInsert, text);
      int x, y;
      CaretFromPos(p + static_cast<int>(text.size()), x, y);
      CaretPlace(x, y);
      Changed();
    }
  } catch (...) {
    if (group) DoEndCompound();
    throw;
  }
}

// ---- view ----------------------------------------------------------------------------------

// A window that grows shows no room below the last line while lines above its top are hidden:
// the view scrolls back until the last line is at the bottom or the first line at the top. A
// view scrolled past the end on purpose stays while the window keeps its size.
void TEditorModel::SetVisibleCounts(int Cols, int Rows) {
  const bool taller = std::max(Rows, 0) > FVisibleRowCount;
  FVisibleColCount = std::max(Cols, 0);
  FVisibleRowCount = std::max(Rows, 0);
  if (taller) SetLeftTop(FLeftCol, std::min(FTopRow, std::max(FLines->Count() - FVisibleRowCount, 0)));
}

int TEditorModel::VertScrollMax() const {
  int range = std::max(FLines->Count(), 1);
  return std::max(1, range - 1 + FVisibleRowCount - 1);
}

void TEditorModel::SetLeftTop(int ALeftCol, int ATopRow) {
  ALeftCol = std::max(ALeftCol, 0);
  ATopRow = std::max(ATopRow, 0);
  if (ALeftCol == FLeftCol && ATopRow == FTopRow) return;
  int oldLeft = FLeftCol, oldTop = FTopRow;
  FLeftCol = ALeftCol;
  FTopRow = ATopRow;
  if (FUpdateLock == 0) FView->ViewScrolled(oldLeft, oldTop);
}

void TEditorModel::SetInsertMode(bool Value) {
  if (Value == FInsertMode) return;
  FInsertMode = Value;
  StatusChanged();
}

void TEditorModel::SetReadOnly(bool Value) {
  if (Value == FReadOnly) return;
  FReadOnly = Value;
  StatusChanged();
}

// ---- mouse ---------------------------------------------------------------------------------

void TEditorModel::MouseDown(int X, int Y, bool LeftButton) {
  FView->CompletionClose();
  CaretHidden hidden(FView);
  if (LeftButton) {
    ClearSelection();
    SetCaret(X, Y);
  }
}

void TEditorModel::MouseMove(int X, int Y) {
  // The selection starts where the button went down (the caret).
  if (!FSelected) ExtendSelection(FCaretX, FCaretY);
  ExtendSelection(X, Y);
  if (Y <= LastVisibleRow()) SetCaret(X, Y);
}

void TEditorModel::AutoScroll(int DeltaLines) {
  int y = FCaretY + DeltaLines;
  if (!FCursorBeyondEOF) y = std::min(y, LastLine());
  y = std::max(y, 0);
  if (!FSelected) ExtendSelection(FCaretX, FCaretY);
  ExtendSelection(FCaretX, y);
  SetCaret(FCaretX, y);
}

void TEditorModel::WordBounds(int X, int Y, int& Beg, int& End) const {
  Beg = End = X;
  if (Y < 0 || Y > LastLine()) return;
  int b, e;
  String w = GetWordOnPosEx(FLines->Line(Y) + " ", X + 1, b, e);
  if (w.empty()) return;
  Beg = b - 1;
  End = e - 1;
}

void TEditorModel::SelectWordAtCaret(bool MoveCaret) {
  int b, e;
  WordBounds(FCaretX, FCaretY, b, e);
  if (e <= b) return;
  SetSelection(b, FCaretY, e, FCaretY);
  if (MoveCaret) SetCaret(e, FCaretY);
}

void TEditorModel::DoubleClick() {
  if (FLines->Count() == 0) return;
  if (FDoubleClickLine) {
    int y = std::min(FCaretY, LastLine());
    if (y < LastLine()) {
      SetSelection(0, y, 0, y + 1);
      SetCaret(0, y + 1);
    } else {
      int len = FLines->LineLength(y);
      SetSelection(0, y, len, y);
      SetCaret(len, y);
    }
    return;
  }
  SelectWordAtCaret(true);
}

String TEditorModel::WordAtCaret() const {
  if (FCaretY < 0 || FCaretY > LastLine()) return String();
  return Trim(GetWordOnPos(FLines->Line(FCaretY), FCaretX));
}

void TEditorModel::InsertCompletion(const String& Text, bool Template, char CaretChar, const String& CRLFMarker) {
  CaretHidden hidden(FView);
  TUpdateScope update(*this);
  PadCaret();
  int x = FCaretX, y = FCaretY;
  const String& line = FLines->Line(y);
  int b = x;
  if (x > 0 && !IsEditorSeparator(line[static_cast<size_t>(x) - 1]))
    while (b > 0 && !IsEditorSeparator(line[static_cast<size_t>(b) - 1])) --b;
  String replaced = line.substr(static_cast<size_t>(b), static_cast<size_t>(x - b));
  String text = Text;
  size_t caretAt;
  if (Template) {
    if (!CRLFMarker.empty()) text = ReplaceString(text, CRLFMarker, "\r\n" + Spaces(b));
    caretAt = text.find(CaretChar);
    if (caretAt != String::npos)
      text.erase(caretAt, 1);
    else
      caretAt = text.size();
  } else {
    caretAt = text.size();
  }
  text = ExpandTabs(NormalizeLineBreaks(text));
  if (caretAt > text.size()) caretAt = text.size();
  int p = LinePos(b, y);
  TUndo::Record<TReplaceUndo>(this, x, y, p + 1, replaced, text);
  {
    LockRaised lock(FUpdateLock);
    DeleteAtPos(p, static_cast<int>(replaced.size()));
    try {
      InsertAtPos(p, text);
    } catch (...) {
      InsertAtPos(p, replaced);  // the replaced word back: the change did not happen
      throw;
    }
  }
  FUndoBuffer->Confirm();
  if (!replaced.empty()) TextModified(p, taDelete, replaced);
  TextModified(p, taInsert, text);
  int cx, cy;
  CaretFromPos(p + static_cast<int>(caretAt), cx, cy);
  CaretPlace(cx, cy);
  Changed();
}
