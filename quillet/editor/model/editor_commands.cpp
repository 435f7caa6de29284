// The command processor: every command number of the key map, typing, line breaks, deletion,
// tabs and tab alignment, block indent, case commands, bookmarks, macros and key handling.
#include <algorithm>
#include <cstdlib>
#include <new>

#include "editor_model.h"
#include "editor_utils.h"

namespace {

bool IsCompletionChar(char c) {
  return c == 8 || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Commands that change text: they do nothing while the editor is read-only.
bool IsTextCommand(int c) {
  switch (c) {
    case ecInsertPara: case ecBackspace: case ecDelete: case ecTab: case ecBackTab: case ecIndent:
    case ecUnindent: case ecDeleteSelected: case ecClipboardCut: case ecClipboardPaste: case ecDeleteLine:
    case ecDeleteWord: case ecToUpperCase: case ecToLowerCase: case ecChangeCase:
      return true;
    default:
      return c >= 1 && c <= 255;
  }
}

int FirstNonBlank(const String& s) {
  size_t i = s.find_first_not_of(' ');
  return i == String::npos ? -1 : static_cast<int>(i);
}
}  // namespace

// ---- tabs ----------------------------------------------------------------------------------

int TEditorModel::NextTabStop(int X) const {
  // The stops are 1-based column numbers; past the last one the distance between the last two
  // repeats (for a single number: the stop minus 1).
  int prev = 1, last = -1, count = 0;
  const char* p = FTabStops.c_str();
  while (*p) {
    char* end;
    long v = std::strtol(p, &end, 10);
    if (end == p) {
      ++p;
      continue;
    }
    p = end;
    int stop = static_cast<int>(std::min(std::max(v, 1L), long(MaxColumn) + 1)) - 1;
    if (stop > X) return stop;
    if (count > 0) prev = last;
    last = stop;
    ++count;
  }
  if (count == 0) return (X / 8 + 1) * 8;  // no stops given: every eighth column
  int interval = count == 1 ? last - 1 : last - prev;
  if (interval < 1) interval = 1;
  return X + interval - ((X - last) % interval);
}

void TEditorModel::BuildTabMarks(int CaretLine) {
  std::fill(std::begin(FTabMarks), std::end(FTabMarks), false);
  int scan = 0;
  int lowest = std::max(CaretLine - 2 * FVisibleRowCount, 0);
  for (int y = std::min(CaretLine - 1, LastLine()); y >= lowest && scan < 256; --y) {
    const String& raw = FLines->Line(y);
    int len = static_cast<int>(raw.size());
    while (len > 0 && raw[static_cast<size_t>(len) - 1] == ' ') --len;
    if (len > scan && len <= MaxColumn) FTabMarks[len] = true;
    while (scan < len) {
      if (IsIdentChar(raw[static_cast<size_t>(scan)])) {
        if (scan <= MaxColumn) FTabMarks[scan] = true;
        while (scan < len && IsIdentChar(raw[static_cast<size_t>(scan)])) ++scan;
      }
      ++scan;
    }
  }
}

// ---- helpers -------------------------------------------------------------------------------

void TEditorModel::EnsureLine() {
  if (FLines->Count() == 0) {
    LockRaised lock(FUpdateLock);
    FLines->RawInsert(0, String());
  }
}

void TEditorModel::PadCaret() {
  LockRaised lock(FUpdateLock);
  if (FLines->Count() == 0) FLines->RawInsert(0, String());
  bool first = true;
  while (FCaretY > LastLine()) {
    int y = LastLine();
    TUndo::Record<TReLineUndo>(this, first ? FLines->LineLength(y) : 0, y, String("\r\n"));
    FLines->RawInsert(y + 1, String());
    FUndoBuffer->Confirm();
    first = false;
  }
  int len = FLines->LineLength(FCaretY);
  if (len < FCaretX) {
    String blanks = Spaces(FCaretX - len);
    TUndo::Record<TReLineUndo>(this, len, FCaretY, blanks);
    FLines->RawPut(FCaretY, FLines->Line(FCaretY) + blanks);
    FUndoBuffer->Confirm();
  }
}

void TEditorModel::PutLine(int Y, const String& S) {
  LockRaised lock(FUpdateLock);
  FLines->SetStrings(Y, S);
}

void TEditorModel::PostCommand(int Command) {
  if (!FView->PostCommand(Command)) FPosted.push_back(Command);
}

void TEditorModel::RunPosted() {
  while (!FPosted.empty()) {
    int c = FPosted.front();
    FPosted.pop_front();
    ExecCommand(c);
  }
}

// ---- the processor -------------------------------------------------------------------------

void TEditorModel::ExecCommand(int Command) {
  // Recording keeps every command but the recorder's own, the group begin, and the player:
  // a macro that plays itself would never end.
  if (FRecording && FCompound == 0 && Command != ecRecordMacro && Command != ecBeginCompound && Command != ecPlayMacro) {
    FMacro += static_cast<char>(Command & 0xFF);
    FMacro += static_cast<char>((Command >> 8) & 0xFF);
  }
  const TCommandMark mark = MarkCommand();
  ++FExecDepth;
  try {
    this->Command(Command);
  } catch (EComplete&) {
  } catch (const std::bad_alloc&) {
    --FExecDepth;
    FPosted.clear();
    if (FExecDepth == 0) TakeBackCommand(mark);
    throw;
  } catch (...) {
    --FExecDepth;
    FPosted.clear();
    throw;
  }
  --FExecDepth;
  if (FExecDepth == 0) RunPosted();
}

TEditorModel::TCommandMark TEditorModel::MarkCommand() const {
  return TCommandMark{FUndoBuffer->Mark(), FUpdateLock, FCompound, FPlaying, FCaretX, FCaretY,
                      FSelected, FSelBegX, FSelBegY, FSelEndX, FSelEndY, FAnchorX, FAnchorY};
}

void TEditorModel::TakeBackCommand(const TCommandMark& Mark) {
  // What the command began ends here: its update lock, its compound groups, a macro play.
  FUpdateLock = Mark.UpdateLock;
  FCompound = Mark.Compound;
  FPlaying = Mark.Playing;
  // Every change goes into the buffer before it is made, so undoing the command's records
  // gives back the page as it was (unless the command itself undid or cleared the buffer:
  // then the changes made so far stay, each with its record).
  if (!FUndoBuffer->TakeBackTo(Mark.Undo)) return;
  FAnchorX = Mark.AnchorX;
  FAnchorY = Mark.AnchorY;
  RestoreSelection(Mark.SelBegX, Mark.SelBegY, Mark.SelEndX, Mark.SelEndY, Mark.Selected);
  int x = Mark.CaretX, y = Mark.CaretY;
  ClampCell(x, y);
  CaretPlace(x, y);
  try {
    UndoDone();
  } catch (...) {
    FView->Invalidate();  // the page is whole; only the re-read for the view failed
  }
}

// A command runs in one of three groups: the caret moves (which may extend or clear the
// selection), the text commands, and the commands of the editor's state (modes, undo, groups,
// update lock, bookmarks, completion, macros). A group either leaves the caret's new cell in
// the target, placed at the end, or does its own caret work and ends the command.
void TEditorModel::Command(int Command) {
  if (FReadOnly && IsTextCommand(Command)) return;
  TCaretTarget to{FCaretX, FCaretY};
  TCommandEnd end = MoveCommand(Command, to);
  if (end == TCommandEnd::NotInGroup) end = TextCommand(Command, to);
  if (end == TCommandEnd::NotInGroup) end = StateCommand(Command);
  if (end != TCommandEnd::Ended) PlaceCaret(to);
}

// The selection goes to the cell where the caret will stand (never a column below 0 or a line
// past the text); its undo record keeps the caret from before the move.
void TEditorModel::PlaceCaret(TCaretTarget& To) {
  if (To.Extend) {
    ClampCell(To.X, To.Y);
    ExtendSelection(To.X, To.Y);
  }
  if (To.CaretUndo)
    SetCaret(To.X, To.Y);
  else
    CaretPlace(To.X, To.Y);
  if (To.Clear) ClearSelection();
}

// An extending command starts a selection at the old caret, moves, and extends it to the new
// cell; a plain move clears the selection after it.
void TEditorModel::ExtendOrClear(TCaretTarget& To, bool Extend) {
  if (!Extend) {
    To.Clear = true;
    return;
  }
  To.Extend = true;
  To.CaretUndo = false;
  if (!FSelected) ExtendSelection(FCaretX, FCaretY);
}

int TEditorModel::LineLengthOr0(int Y) const { return Y >= 0 && Y <= LastLine() ? FLines->LineLength(Y) : 0; }

TEditorModel::TCommandEnd TEditorModel::MoveCommand(int Command, TCaretTarget& To) {
  int& X = To.X;
  int& Y = To.Y;
  switch (Command) {
    case ecLeft: case ecSelLeft:
      ExtendOrClear(To, Command == ecSelLeft);
      --X;
      break;
    case ecRight: case ecSelRight:
      ExtendOrClear(To, Command == ecSelRight);
      ++X;
      break;
    case ecUp: case ecSelUp:
      ExtendOrClear(To, Command == ecSelUp);
      --Y;
      break;
    case ecDown: case ecSelDown:
      ExtendOrClear(To, Command == ecSelDown);
      // Down from the last line (the vertical range minus 1) only beyond the end of the text.
      if (FCursorBeyondEOF || Y < std::max(FLines->Count(), 1) - 1) ++Y;
      break;
    case ecPrevWord: case ecSelPrevWord: {
      ExtendOrClear(To, Command == ecSelPrevWord);
      int len = LineLengthOr0(Y);
      if (X > len) {
        X = len;
      } else {
        const String empty;
        const String& s = Y <= LastLine() && Y >= 0 ? FLines->Line(Y) : empty;
        int i = X;
        while (i > 0 && IsEditorSeparator(s[static_cast<size_t>(i) - 1])) --i;
        while (i > 0 && !IsEditorSeparator(s[static_cast<size_t>(i) - 1])) --i;
        X = i;
      }
      break;
    }
    case ecNextWord: case ecSelNextWord: {
      ExtendOrClear(To, Command == ecSelNextWord);
      int len = LineLengthOr0(Y);
      if (X >= len) {
        X = 0;
        ++Y;
      } else {
        const String& s = FLines->Line(Y);
        int i = X;
        while (i < len && !IsEditorSeparator(s[static_cast<size_t>(i)])) ++i;
        while (i < len && IsEditorSeparator(s[static_cast<size_t>(i)])) ++i;
        X = (i >= len || i == X) ? len : i;
      }
      break;
    }
    case ecSelWord:
      if (!FSelected) {
        int b, e;
        WordBounds(X, Y, b, e);
        if (e > b) {
          SetSelection(b, Y, e, Y);
          X = e;
        }
      }
      break;
    case ecWindowTop:
      Y = FTopRow;
      break;
    case ecWindowBottom:
      Y = FTopRow + FVisibleRowCount - 1;
      break;
    case ecPrevPage: case ecNextPage: {
      To.Clear = true;
      int page = std::max(FVisibleRowCount, 1);
      int top = FTopRow + (Command == ecPrevPage ? -page : page);
      SetLeftTop(FLeftCol, std::min(std::max(top, 0), VertScrollMax()));
      Y += Command == ecPrevPage ? -FVisibleRowCount : FVisibleRowCount;
      break;
    }
    case ecSelPrevPage: case ecSelNextPage: {
      TUpdateScope update(*this);
      ExtendOrClear(To, true);
      int page = std::max(FVisibleRowCount, 1);
      int top = FTopRow + (Command == ecSelPrevPage ? -page : page);
      SetLeftTop(FLeftCol, std::min(std::max(top, 0), VertScrollMax()));
      Y += Command == ecSelPrevPage ? -FVisibleRowCount : FVisibleRowCount;
      if (Command == ecSelNextPage) Y = std::min(Y, std::max(LastLine(), 0));
      ClampCell(X, Y);
      ExtendSelection(X, Y);
      CaretPlace(X, Y);
      return TCommandEnd::Ended;
    }
    case ecBeginLine: case ecSelBeginLine:
      ExtendOrClear(To, Command == ecSelBeginLine);
      X = 0;
      break;
    case ecEndLine: case ecSelEndLine:
      ExtendOrClear(To, Command == ecSelEndLine);
      X = LineLengthOr0(Y);
      break;
    case ecBeginDoc: case ecSelBeginDoc:
      ExtendOrClear(To, Command == ecSelBeginDoc);
      X = 0;
      Y = 0;
      SetLeftTop(0, 0);
      break;
    case ecEndDoc: case ecSelEndDoc:
      ExtendOrClear(To, Command == ecSelEndDoc);
      Y = std::max(LastLine(), 0);
      X = LineLengthOr0(Y);
      SetLeftTop(std::max(X - FVisibleColCount, 0), std::max(Y - FVisibleRowCount / 2, 0));
      break;
    case ecSelAll:
      RunSequence({ecBeginCompound, ecBeginUpdate, ecBeginDoc, ecSelEndDoc, ecEndUpdate, ecEndCompound});
      return TCommandEnd::Ended;
    case ecScrollLineUp: case ecScrollLineDown: {
      int top = FTopRow + (Command == ecScrollLineUp ? -1 : 1);
      SetLeftTop(FLeftCol, std::min(std::max(top, 0), VertScrollMax()));
      if (Y < FTopRow) Y = FTopRow;
      if (Y > LastVisibleRow()) Y = std::max(LastVisibleRow(), FTopRow);
      break;
    }
    default:
      return TCommandEnd::NotInGroup;
  }
  return TCommandEnd::PlaceCaret;
}

void TEditorModel::RunSequence(std::initializer_list<int> Commands) {
  for (int c : Commands) ExecCommand(c);
}

TEditorModel::TCommandEnd TEditorModel::TextCommand(int Command, TCaretTarget& To) {
  // After a change the caret stays where the change left it, without an undo record.
  auto changed = [this, &To]() {
    To.X = FCaretX;
    To.Y = FCaretY;
    To.CaretUndo = false;
    return TCommandEnd::PlaceCaret;
  };
  switch (Command) {
    case ecInsertPara:
      NewLine();
      return changed();
    case ecBackspace:
      Backspace();
      return changed();
    case ecDelete:
      DeleteChar();
      return changed();
    case ecTab: case ecBackTab:
      if (FSelected) {
        PostCommand(Command == ecTab ? ecIndent : ecUnindent);
        return TCommandEnd::Ended;
      }
      Tab(Command);
      To.X = FCaretX;
      To.Y = FCaretY;
      return TCommandEnd::PlaceCaret;
    case ecIndent: case ecUnindent:
      BlockIndent(Command == ecIndent);
      return TCommandEnd::Ended;
    case ecDeleteSelected:
      if (FSelected) DeleteSelected();
      return changed();
    case ecClipboardCopy:
      CopyToClipboard();
      return TCommandEnd::PlaceCaret;
    case ecClipboardCut:
      CutToClipboard();
      return changed();
    case ecClipboardPaste:
      PasteFromClipboard();
      return changed();
    case ecDeleteLine:
      RunSequence({ecBeginCompound, ecBeginUpdate, ecBeginLine, ecSelEndLine, ecDelete, ecDelete, ecEndUpdate, ecEndCompound});
      return TCommandEnd::Ended;
    case ecDeleteWord:
      RunSequence({ecBeginCompound, ecBeginUpdate, ecSelWord, ecDeleteSelected, ecEndUpdate, ecEndCompound});
      return TCommandEnd::Ended;
    case ecToUpperCase: case ecToLowerCase: case ecChangeCase:
      ChangeCase(Command);
      return TCommandEnd::Ended;
    default:
      if (Command >= 1 && Command <= 255) {
        TypeChar(static_cast<char>(Command));
        return changed();
      }
      return TCommandEnd::NotInGroup;
  }
}

TEditorModel::TCommandEnd TEditorModel::StateCommand(int Command) {
  switch (Command) {
    case ecChangeInsertMode:
      SetInsertMode(!FInsertMode);
      break;
    case ecUndo:
      Undo();
      return TCommandEnd::Ended;
    case ecRedo:
      Redo();
      return TCommandEnd::Ended;
    case ecBeginCompound:
      DoBeginCompound();
      break;
    case ecEndCompound:
      DoEndCompound();
      break;
    case ecBeginUpdate:
      BeginUpdate();
      break;
    case ecEndUpdate:
      EndUpdate();
      break;
    case ecCompletionIdentifers: case ecCompletionTemplates:
      if (!FReadOnly) FView->CompletionCommand(Command);
      return TCommandEnd::Ended;
    case ecRecordMacro:
      if (!FRecording) FMacro.clear();
      FRecording = !FRecording;
      StatusChanged();
      break;
    case ecPlayMacro:
      PlayMacro();
      return TCommandEnd::Ended;
    default:
      if (Command >= ecSetBookmark0 && Command < ecSetBookmark0 + BookmarkCount) {
        SetBookmark(Command - ecSetBookmark0);
      } else if (Command >= ecGotoBookmark0 && Command < ecGotoBookmark0 + BookmarkCount) {
        GotoBookmark(Command - ecGotoBookmark0);
        return TCommandEnd::Ended;
      }
      break;  // an unknown command: the caret stays
  }
  return TCommandEnd::PlaceCaret;
}

// ---- text commands -------------------------------------------------------------------------

void TEditorModel::TypeChar(char Ch) {
  PadCaret();
  if (static_cast<unsigned char>(Ch) < 32) return;
  if (!IsCompletionChar(Ch)) FView->CompletionCharTyped(Ch, false);
  DeleteSelected();
  if (FCaretY > LastLine() || FCaretX > FLines->LineLength(FCaretY)) PadCaret();
  int X = FCaretX, Y = FCaretY;
  String line = FLines->Line(Y);
  if (FInsertMode) {
    line.insert(static_cast<size_t>(X), 1, Ch);  // before the record: a record stands for a change made
    TUndo::Record<TInsertUndo>(this, X, Y, String(1, Ch));
  } else {
    ClearUndo();
    if (X < static_cast<int>(line.size()))
      line[static_cast<size_t>(X)] = Ch;
    else
      line += Ch;
  }
  PutLine(Y, line);
  FUndoBuffer->Confirm();
  CaretPlace(X + 1, Y);
  TextModified(LinePos(X, Y), taInsert, String(1, Ch));
  FView->RepaintLine(Y);
  Changed();
  if (IsCompletionChar(Ch)) FView->CompletionCharTyped(Ch, true);
}

void TEditorModel::NewLine() {
  DeleteSelected();
  if (FLines->Count() > 0 && FCaretY > LastLine()) {
    int x = FCaretX;
    FCaretX = 0;
    PadCaret();
    FCaretX = x;
  }
  int X = FCaretX, Y = FCaretY;
  int pos = FLines->Count() == 0 ? 0 : LinePos(X, Y);
  {
    LockRaised lock(FUpdateLock);
    if (FLines->Count() == 0) FLines->RawInsert(0, String());
    const String& line = FLines->Line(Y);
    size_t cut = std::min(static_cast<size_t>(X), line.size());
    String head = line.substr(0, cut), tail = line.substr(cut);
    TUndo::Record<TInsertUndo>(this, X, Y, String("\r\n"));
    // The tail goes in before the head is written, and out again when that write fails.
    FLines->RawInsert(Y + 1, tail);
    try {
      PutLine(Y, head);
    } catch (...) {
      FLines->RawDelete(Y + 1);
      throw;
    }
    FUndoBuffer->Confirm();
    int newX = 0;
    if (FAutoIndent && ((!head.empty() && head[0] == ' ') || (Trim(head).empty() && X > 0))) {
      BuildTabMarks(Y + 1);
      int indent = 0;
      for (int c = 1; c <= MaxColumn; ++c)
        if (FTabMarks[c]) {
          indent = c;
          break;
        }
      if (indent > 0) {
        String blanks = Spaces(indent);
        TUndo::Record<TInsertUndo>(this, 0, Y + 1, blanks);
        FLines->RawPut(Y + 1, blanks + tail);
        FUndoBuffer->Confirm();
        newX = indent;
      }
    }
    CaretPlace(newX, Y + 1);
  }
  FView->UpdateGeometry();
  TextModified(pos, taInsert, "\r\n");
  FView->Invalidate();
  Changed();
}

int TEditorModel::UnindentColumn(int X, int Y) const {
  const String& s = FLines->Line(Y);
  int len = static_cast<int>(s.size());
  for (int i = 0; i < std::min(X, len); ++i)
    if (s[static_cast<size_t>(i)] != ' ') return X - 1;
  if (X < len && s[static_cast<size_t>(X)] == ' ') return X - 1;
  int target = 0;  // column 0 always counts
  int lowest = std::max(Y - 2 * FVisibleRowCount, 0);
  for (int y = Y - 1; y >= lowest; --y) {
    int c = FirstNonBlank(FLines->Line(y));
    if (c < 0) continue;
    if (c < X) target = std::max(target, c);
    if (c == 0) break;
  }
  return target;
}

void TEditorModel::Backspace() {
  if (FCaretX > 0) {
    if (FSelected) {
      DeleteSelected();
      return;
    }
    PadCaret();
    int X = FCaretX, Y = FCaretY;
    int target = FBackSpaceUnindents ? UnindentColumn(X, Y) : X - 1;
    target = std::max(std::min(target, X - 1), 0);
    String line = FLines->Line(Y);
    String removed = line.substr(static_cast<size_t>(target), static_cast<size_t>(X - target));
    TUndo::Record<TBackspaceUndo>(this, X, Y, removed, LinePos(target, Y));
    line.erase(static_cast<size_t>(target), static_cast<size_t>(X - target));
    PutLine(Y, line);
    FUndoBuffer->Confirm();
    TextModified(LinePos(target, Y), taDelete, removed);
    FView->RepaintLine(Y);
    CaretPlace(target, Y);
    Changed();
  } else if (FCaretY > 0) {
    // With a selection Backspace takes the selection only, at the line start as elsewhere.
    if (FSelected) {
      DeleteSelected();
      return;
    }
    PadCaret();
    int X = FCaretX, Y = FCaretY;
    int prevLen = FLines->LineLength(Y - 1);
    TUndo::Record<TBackspaceUndo>(this, X, Y, String("\r"), FLines->LineStart(Y - 1) + prevLen);
    {
      LockRaised lock(FUpdateLock);
      FLines->RawPut(Y - 1, FLines->Line(Y - 1) + FLines->Line(Y));
      FLines->RawDelete(Y);
    }
    FUndoBuffer->Confirm();
    CaretPlace(prevLen, Y - 1);
    FView->UpdateGeometry();
    TextModified(LinePos(prevLen, Y - 1), taDelete, "\r\n");
    FView->Invalidate();
    Changed();
  }
}

void TEditorModel::DeleteChar() {
  EnsureLine();
  if (FSelected) {
    DeleteSelected();
    return;
  }
  int X = FCaretX, Y = FCaretY;
  if (Y > LastLine()) return;
  String line = FLines->Line(Y);
  int len = static_cast<int>(line.size());
  if (X < len) {
    String ch(1, line[static_cast<size_t>(X)]);
    TUndo::Record<TDeleteUndo>(this, X, Y, ch, LinePos(X, Y));
    line.erase(static_cast<size_t>(X), 1);
    PutLine(Y, line);
    FUndoBuffer->Confirm();
    TextModified(LinePos(X, Y), taDelete, ch);
    FView->RepaintLine(Y);
    Changed();
  } else if (Y < LastLine()) {
    TUndo::Record<TDeleteUndo>(this, X, Y, String("\r\n"), FLines->LineStart(Y) + len);
    {
      LockRaised lock(FUpdateLock);
      FLines->RawPut(Y, line + FLines->Line(Y + 1));
      FLines->RawDelete(Y + 1);
    }
    FUndoBuffer->Confirm();
    FView->UpdateGeometry();
    TextModified(LinePos(len, Y), taDelete, "\r\n");
    FView->Invalidate();
    Changed();
  }
}

void TEditorModel::Tab(int Command) {
  PadCaret();
  int X = FCaretX, Y = FCaretY;
  int target = -1;
  if (Command == ecTab && FSmartTab) {
    BuildTabMarks(Y);
    for (int c = X + 1; c <= MaxColumn; ++c)
      if (FTabMarks[c]) {
        target = c;
        break;
      }
  }
  if (target < 0) target = NextTabStop(X);
  target = std::min(target, MaxColumn);
  if (target <= X) return;
  if (Command == ecTab && FInsertMode) {
    String blanks = Spaces(target - X);
    String line = FLines->Line(Y);
    line.insert(static_cast<size_t>(X), blanks);
    TUndo::Record<TInsertTabUndo>(this, X, Y, blanks);
    PutLine(Y, line);
    FUndoBuffer->Confirm();
    TextModified(LinePos(X, Y), taInsert, blanks);
    FView->RepaintLine(Y);
    CaretPlace(target, Y);
    Changed();
  } else {
    SetCaret(target, Y);
  }
}

int TEditorModel::IndentWidth() const { return std::max(NextTabStop(0), 1); }

void TEditorModel::BlockIndent(bool Indent) {
  if (!FSelected || FReadOnly || FSelBegY == FSelEndY || FSelBegX != 0 || FSelEndX != 0) return;
  int n = IndentWidth();
  String text = GetSelText();
  String blanks = Spaces(n);
  String r;
  if (Indent) {
    r = blanks;
    for (size_t i = 0; i < text.size(); ++i) {
      r += text[i];
      // After every line break but the final one.
      if (text[i] == '\n' && i + 1 < text.size()) r += blanks;
    }
  } else {
    size_t i = 0;
    int lead = 0;
    while (i < text.size() && text[i] == ' ' && lead < n) {
      ++i;
      ++lead;
    }
    for (; i < text.size(); ++i) {
      r += text[i];
      if (text[i] == '\n' && text.compare(i + 1, static_cast<size_t>(n), blanks) == 0) i += static_cast<size_t>(n);
    }
  }
  if (r != text) ReplaceSelection(r);
}

void TEditorModel::ChangeCase(int Command) {
  if (!FSelected) return;
  String text = GetSelText();
  if (text.empty()) return;
  String r = Command == ecToUpperCase ? AnsiUpperCase(text) : Command == ecToLowerCase ? AnsiLowerCase(text) : AnsiChangeCase(text);
  ReplaceSelection(r);
}

// ---- bookmarks and macros ------------------------------------------------------------------

void TEditorModel::SetBookmark(int Index) {
  TBookmark& b = FBookmarks[Index];
  if (b.Valid && b.Y == FCaretY) {
    b.Valid = false;
  } else {
    b.X = FCaretX;
    b.Y = FCaretY;
    b.Valid = true;
  }
  FView->RepaintGutter();
}

void TEditorModel::GotoBookmark(int Index) {
  const TBookmark& b = FBookmarks[Index];
  if (b.Valid) {
    int left = FLeftCol, top = FTopRow;
    if (b.Y < FTopRow || b.Y > LastVisibleRow()) top = std::max(b.Y - FVisibleRowCount / 2, 0);
    if (b.X < FLeftCol || b.X > LastVisibleCol()) left = std::max(b.X - FVisibleColCount / 2, 0);
    SetLeftTop(left, top);
    SetCaret(b.X, b.Y);
  }
  FView->RepaintGutter();
}

void TEditorModel::PlayMacro() {
  if (FPlaying > 0) return;  // a macro never plays itself
  String macro = FMacro;
  TUpdateScope update(*this);
  DoBeginCompound();
  ++FPlaying;
  try {
    for (size_t i = 0; i + 1 < macro.size(); i += 2) {
      int c = static_cast<unsigned char>(macro[i]) + static_cast<unsigned char>(macro[i + 1]) * 256;
      if (c == ecPlayMacro) continue;
      ExecCommand(c);
    }
  } catch (...) {
    --FPlaying;
    DoEndCompound();
    throw;
  }
  --FPlaying;
  DoEndCompound();
}

// ---- keys ----------------------------------------------------------------------------------

void TEditorModel::KeyDown(Word& Key, TShiftState Shift) {
  if (FView->CompletionKeyDown(Key, Shift)) return;
  FView->CompletionStopTimer();
  int command;
  if (FWaitSecondKey) {
    // A modifier pressed on its way to the second key does not end the sequence.
    if (Key == VK_SHIFT || Key == VK_CONTROL || Key == VK_MENU) return;
    command = FKeyboard->Command2(FKey1, FShift1, Key, Shift);
    FWaitSecondKey = false;
    FIgnoreKeyPress = true;
  } else {
    FireEvent(OnKeyDown, FSender, Key, Shift);
    if (Key == 0) return;
    FKey1 = Key;
    FShift1 = Shift;
    command = FKeyboard->Command(Key, Shift);
    if (command == -1) {
      FWaitSecondKey = true;
      FIgnoreKeyPress = true;
      return;
    }
    FIgnoreKeyPress = command != 0;
  }
  if (command > 0 && command < 65535) {
    ExecCommand(command);
    Key = 0;
    if (command == ecBackspace) FView->CompletionBackspace();
  }
}

void TEditorModel::KeyPress(char Ch) {
  if (FIgnoreKeyPress) {
    FIgnoreKeyPress = false;
    return;
  }
  if (FReadOnly) return;
  CaretHidden hidden(FView);
  FireEvent(OnKeyPress, FSender, Ch);
  if (Ch != 0) ExecCommand(static_cast<unsigned char>(Ch));
}
