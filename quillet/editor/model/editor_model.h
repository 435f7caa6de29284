// TEditorModel: everything the code editor control does that is not painting or window
// plumbing: the line store, caret and selection, the editing operations, the key map and the
// command processor, tabs, bookmarks, macros, clipboard commands and the undo buffer.
//
// How the window half uses it
// ---------------------------
// The editor window (TRACustomEditor) owns one model, gives it an IEditorView (repaint,
// caret, scroll and completion requests) and an IEditorClipboard (the system clipboard), and
// sets the sender that the model's events pass (SetEventSender). Either it derives from the
// model as well (overriding the virtual notifications below) or implements IEditorView and
// forwards; both work, since every notification first goes through a virtual of the model and
// then, by default, to the view.
//
// - Keys: WM_KEYDOWN -> KeyDown(Key, Shift); WM_CHAR -> KeyPress(Ch). The model handles the
//   key map, two-key sequences and the ignore-next-character rule and runs ExecCommand.
//   OnKeyDown/OnKeyPress fire from there.
// - Mouse: the window converts pixels to a cell (column limited to LastVisibleCol, line to
//   Count - 1, both at least 0) and calls MouseDown (left button: clears the selection, moves the
//   caret), MouseMove (left button held: extends the selection, moves the caret when the line is
//   not below LastVisibleRow), AutoScroll(delta lines) on each auto-scroll tick, DoubleClick.
//   The ignore-after-double-click rule, focus, capture, cursor and timer stay in the window.
// - Geometry: the window computes cell sizes and calls SetVisibleCounts(cols, rows) whenever
//   UpdateGeometry is asked for or the size or font changes; LeftCol/TopRow live here
//   (SetLeftTop), and ViewScrolled tells the window to move pixels and scroll bars.
// - Painting reads Lines(), the selection (HasSelection, SelBeg*/SelEnd*), the repaint range,
//   LeftCol/TopRow and UpdateLock (no painting while it is above 0). Columns run 0..MaxColumn;
//   the line-attribute array needs MaxColumn + 2 entries (entry c + 1 for column c).
// - Change notifications, in this order for every edit: undo records first, then
//   TextModified(Pos, Action, Text) (view's TextModified; Pos is the linear position where the
//   text went in or came out, Text as the edit gave it), then Changed(), which fires OnChange
//   and then StatusChanged() (fires OnChangeStatus). StatusChanged also follows caret moves by
//   SetCaret (unless locked), insert/read-only switching, macro recording and EndUpdate.
//   TextReplaced runs when the whole text was set or re-read (Lines assigned, Lines.Text set,
//   a file loaded, after an undo): it clears the selection flag (not after an undo), reports
//   TextModified(0, taInsert, whole text), asks for geometry and repaints.
//   OnSelectionChange fires when ExtendSelection changes the selection outside a compound group.
// - Commands that the window receives as posted messages (WM_USER + 257, copy/cut/paste
//   messages) go to ExecCommand; PostCommand of the view posts them.
// - Running out of memory: when a command fails with std::bad_alloc, ExecCommand ends what it
//   began (update lock, compound groups, a macro play), undoes the records the command added
//   (every change is recorded before it is made) and restores caret and selection, so the page
//   is as it was; the exception goes on to the window, which shows the message.
//
// Coordinates: lines and columns from 0; the caret column lies in 0..MaxColumn and may stand
// beyond the line end. A linear position counts CR LF after every line:
// P = sum over lines 0..Y-1 of (length + 2) + min(X, length of line Y).
#pragma once

#include <deque>
#include <initializer_list>
#include <memory>

#include "editor_strings.h"
#include "editor_view.h"
#include "keyboard.h"
#include "undo_buffer.h"

constexpr int MaxColumn = 1024;            // the last column the caret reaches and painting shows
constexpr int LineAttrCount = MaxColumn + 2;  // entries of a line-attribute row (entry c + 1: column c)
constexpr int BookmarkCount = 10;

struct TBookmark {
  int X = 0;
  int Y = 0;
  bool Valid = false;
};

using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

class TEditorModel : public TEditorStringsOwner, public TUndoTarget {
public:
  TEditorModel();
  virtual ~TEditorModel();
  TEditorModel(const TEditorModel&) = delete;
  TEditorModel& operator=(const TEditorModel&) = delete;

  // Where notifications and clipboard requests go (not owned; null: none / an own memory
  // clipboard) and the sender the events pass.
  void SetView(IEditorView* View) { FView = View ? View : &FNoView; }
  IEditorView* View() const { return FView; }
  void SetClipboard(IEditorClipboard* Clipboard) { FClipboard = Clipboard ? Clipboard : &FOwnClipboard; }
  IEditorClipboard* Clipboard() const { return FClipboard; }
  void SetEventSender(TObject* Sender) { FSender = Sender; }
  TObject* EventSender() const { return FSender; }

  // ---- the text ----
  TEditorStrings* Lines() const { return FLines.get(); }
  // Copies S's lines (when S is not null), then clears the undo buffer.
  void SetLines(TStrings* S);
  int LinePos(int X, int Y) const final;      // linear position of a cell; -1 outside the lines
  int TextLength() const final { return FLines->TextLength(); }
  void CaretFromPos(int P, int& X, int& Y) const;  // both -1 outside 0..text length

  // ---- operations other parts call ----
  void InsertText(const String& Text);        // at the caret; the selection stays as it was
  void ReplaceSelection(const String& Text);  // replaces the selection and selects the new text
  String GetSelText();
  void DeleteSelected();
  void SetCaret(int X, int Y);
  void ClearSelection();
  void ExtendSelection(int X, int Y);
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void BeginUpdate();
  void EndUpdate();
  void ClearUndo();
  virtual void ExecCommand(int Command);
  void PostCommand(int Command);

  // ---- keys and mouse (see the header comment) ----
  void KeyDown(Word& Key, TShiftState Shift);
  void KeyPress(char Ch);
  void MouseDown(int X, int Y, bool LeftButton);
  void MouseMove(int X, int Y);
  void AutoScroll(int DeltaLines);
  void DoubleClick();

  // ---- completion support ----
  // The word around the caret (bounded by the word separators), blanks trimmed.
  String WordAtCaret() const;
  // Replaces the word before the caret (from its start to the caret; nothing when the character
  // before the caret is a separator) by Text: an identifier goes in as it is with the caret
  // after it; a template's CRLFMarker becomes CR LF plus blanks up to the replaced word's start
  // column, and the caret goes to its first CaretChar (removed) or after the text. Records a
  // TReplaceUndo.
  void InsertCompletion(const String& Text, bool Template, char CaretChar, const String& CRLFMarker);

  // ---- caret, selection, view ----
  int CaretX() const final { return FCaretX; }
  int CaretY() const final { return FCaretY; }
  bool HasSelection() const { return FSelected; }
  int SelBegX() const { return FSelBegX; }
  int SelBegY() const { return FSelBegY; }
  int SelEndX() const { return FSelEndX; }
  int SelEndY() const { return FSelEndY; }
  int AnchorX() const { return FAnchorX; }
  int AnchorY() const { return FAnchorY; }
  // Sets the selection directly (begin included, end column excluded) and marks it present.
  void SetSelection(int BegX, int BegY, int EndX, int EndY);
  // The rows the last selection change touched, for the painter.
  int SelRepaintFirst() const { return FUpdateSelBeg; }
  int SelRepaintLast() const { return FUpdateSelEnd; }

  int LeftCol() const { return FLeftCol; }
  int TopRow() const { return FTopRow; }
  int VisibleColCount() const { return FVisibleColCount; }
  int VisibleRowCount() const { return FVisibleRowCount; }
  int LastVisibleCol() const { return FLeftCol + FVisibleColCount - 1; }
  int LastVisibleRow() const { return FTopRow + FVisibleRowCount - 1; }
  // The window's size in whole cells. More rows than before bring lines hidden above the top
  // back into view when there is room below the last line (see editor_model.cpp).
  void SetVisibleCounts(int Cols, int Rows);
  // Scrolls the view (both at least 0; the top row at most the vertical scroll maximum).
  void SetLeftTop(int ALeftCol, int ATopRow);
  int VertScrollMax() const;  // max(1, line count - 1 + VisibleRowCount - 1)

  // ---- properties ----
  bool InsertMode() const { return FInsertMode; }
  void SetInsertMode(bool Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool DoubleClickLine() const { return FDoubleClickLine; }
  void SetDoubleClickLine(bool Value) { FDoubleClickLine = Value; }
  const String& TabStops() const { return FTabStops; }
  void SetTabStops(const String& Value) { FTabStops = Value; }
  bool SmartTab() const { return FSmartTab; }
  void SetSmartTab(bool Value) { FSmartTab = Value; }
  bool BackSpaceUnindents() const { return FBackSpaceUnindents; }
  void SetBackSpaceUnindents(bool Value) { FBackSpaceUnindents = Value; }
  bool AutoIndent() const { return FAutoIndent; }
  void SetAutoIndent(bool Value) { FAutoIndent = Value; }
  bool KeepTrailingBlanks() const final { return FKeepTrailingBlanks; }
  void SetKeepTrailingBlanks(bool Value) { FKeepTrailingBlanks = Value; }
  bool CursorBeyondEOF() const { return FCursorBeyondEOF; }
  void SetCursorBeyondEOF(bool Value) { FCursorBeyondEOF = Value; }

  int UpdateLock() const { return FUpdateLock; }
  TKeyboard* Keyboard() const { return FKeyboard.get(); }
  TUndoBuffer* UndoBuffer() const { return FUndoBuffer.get(); }
  bool GroupUndo() const final { return FGroupUndo; }
  int CompoundDepth() const { return FCompound; }
  const TBookmark& Bookmark(int Index) const { return FBookmarks[Index]; }
  const String& Macro() const { return FMacro; }
  void SetMacro(const String& Value) { FMacro = Value; }
  bool Recording() const { return FRecording; }

  // ---- tabs ----
  // The next tab stop after column X (TabStops: blank-separated 1-based columns).
  int NextTabStop(int X) const;
  // Rebuilds the tab-alignment marks from the lines above the caret line.
  void BuildTabMarks() { BuildTabMarks(FCaretY); }
  void BuildTabMarks(int CaretLine);
  bool TabMark(int Column) const { return Column >= 0 && Column <= MaxColumn && FTabMarks[Column]; }
  // Every tab in S replaced by the blanks up to the first tab stop after column 0.
  String ExpandTabs(const String& S) const final;

  // ---- events ----
  TNotifyEvent OnChange;
  TNotifyEvent OnChangeStatus;
  TNotifyEvent OnSelectionChange;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;

  // ---- notifications that a subclass may take over ----
  virtual void Changed();
  virtual void StatusChanged();
  virtual void TextModified(int Pos, TTextAction Action, const String& Text);
  // The whole text was set (ClearSelection true) or re-read after an undo (false).
  virtual void TextReplaced(bool ClearSelectionFlag);

  // ---- used by the line store and the undo records ----
  void LinesChanged() final;            // the store changed outside the model's own writes
  void CaretPlace(int X, int Y) final;  // caret placement without an undo record
  // The cell limits of the caret: column 0..MaxColumn, line 0..Count - 1 (unless CursorBeyondEOF).
  void ClampCell(int& X, int& Y) const;
  void RestoreSelection(int BegX, int BegY, int EndX, int EndY, bool Present) final;
  // Text changes at linear positions (line by line; no undo records, no notifications).
  void DeleteAtPos(int P, int Length) final;
  void InsertAtPos(int P, const String& Text) final;
  void Redo();
  void Undo();
  void DoBeginCompound();
  void DoEndCompound();

protected:
  // Commands end early through this internal exception; ExecCommand catches it silently.
  struct EComplete {};
  // The update lock raised by one for a scope (the locked writes), also when an exception passes.
  struct LockRaised {
    explicit LockRaised(int& lock) : FLock(lock) { ++FLock; }
    ~LockRaised() { --FLock; }
    int& FLock;
  };
  // The system caret hidden for a scope, also when an exception passes.
  struct CaretHidden {
    explicit CaretHidden(IEditorView* v) : view(v) { view->HideCaret(); }
    ~CaretHidden() { view->ShowCaret(); }
    IEditorView* view;
  };

private:
  // What a command finds when it starts: a command that runs out of memory is taken back to it.
  struct TCommandMark {
    TUndoBuffer::TMark Undo;
    int UpdateLock, Compound, Playing, CaretX, CaretY;
    bool Selected;
    int SelBegX, SelBegY, SelEndX, SelEndY, AnchorX, AnchorY;
  };
  TCommandMark MarkCommand() const;
  void TakeBackCommand(const TCommandMark& Mark);

  // The line store's and the undo buffer's reports.
  void TrailingBlanksCut(int Index, int Length, const String& Blanks) final;
  void TextSet() final;
  void UndoDone() final;

  // The command processor's groups (see Command): each leaves the caret's new cell in the
  // target, or ends the command itself.
  struct TCaretTarget {
    int X, Y;
    bool CaretUndo = true;  // placed through SetCaret (a caret record), else CaretPlace
    bool Extend = false;    // the selection extends to the new cell
    bool Clear = false;     // the selection is cleared after the move
  };
  enum class TCommandEnd { PlaceCaret, Ended, NotInGroup };
  void Command(int Command);
  TCommandEnd MoveCommand(int Command, TCaretTarget& To);
  TCommandEnd TextCommand(int Command, TCaretTarget& To);
  TCommandEnd StateCommand(int Command);  // the caret stays unless it ends the command
  void PlaceCaret(TCaretTarget& To);
  void ExtendOrClear(TCaretTarget& To, bool Extend);
  void RunSequence(std::initializer_list<int> Commands);
  int LineLengthOr0(int Y) const;
  void TypeChar(char Ch);
  void NewLine();
  void Backspace();
  void DeleteChar();
  void Tab(int Command);
  void BlockIndent(bool Indent);
  void ChangeCase(int Command);
  void SetBookmark(int Index);
  void GotoBookmark(int Index);
  void PlayMacro();
  void PadCaret();
  void EnsureLine();
  void PutLine(int Y, const String& S);   // locked line write: trailing blanks cut (undo-recorded)
  int UnindentColumn(int X, int Y) const;
  int IndentWidth() const;
  void WordBounds(int X, int Y, int& Beg, int& End) const;
  void SelectWordAtCaret(bool MoveCaret);
  void RunPosted();
  int LastLine() const { return Lines()->Count() - 1; }

  std::unique_ptr<TEditorStrings> FLines;
  std::unique_ptr<TKeyboard> FKeyboard;
  std::unique_ptr<TUndoBuffer> FUndoBuffer;
  IEditorView FNoView;
  IEditorView* FView = &FNoView;
  TMemoryClipboard FOwnClipboard;
  IEditorClipboard* FClipboard = &FOwnClipboard;
  TObject* FSender = nullptr;

  int FUpdateLock = 0;
  bool FGroupUndo = true;
  int FLeftCol = 0, FTopRow = 0, FVisibleColCount = 1, FVisibleRowCount = 1;
  int FCaretX = 0, FCaretY = 0;
  bool FIgnoreKeyPress = false, FWaitSecondKey = false;
  Word FKey1 = 0;
  TShiftState FShift1;
  bool FSelected = false;
  int FSelBegX = 0, FSelBegY = 0, FSelEndX = 0, FSelEndY = 0;
  int FUpdateSelBeg = 0, FUpdateSelEnd = 0;
  int FAnchorX = 0, FAnchorY = 0;
  bool FTabMarks[MaxColumn + 1] = {};
  String FTabStops = "3 5";
  int FCompound = 0;
  String FMacro;
  bool FRecording = false;
  int FPlaying = 0;
  bool FInsertMode = true, FReadOnly = false, FDoubleClickLine = false, FSmartTab = true,
       FBackSpaceUnindents = true, FAutoIndent = true, FKeepTrailingBlanks = false, FCursorBeyondEOF = false;
  TBookmark FBookmarks[BookmarkCount];
  std::deque<int> FPosted;
  int FExecDepth = 0;
};
