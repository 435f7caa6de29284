// The code editor control as a window: TRACustomEditor holds the editor model (text, caret,
// selection, commands, undo) and adds what needs a window: painting in a fixed-pitch cell grid
// with per-column attributes, the gutter, the right margin, both scroll bars, the system caret,
// focus, mouse with auto-scroll, the clipboard and the completion drop-down.
// TCodeEditor publishes it; TCodeHLEditor (codehleditor.h) colours it per language.
#pragma once

#include <memory>

#include "clipboard.h"
#include "controls.h"
#include "editor_model.h"
#include "lineattrs.h"
#include "listbox.h"
#include "timer.h"

static_assert(TLineAttrs::LastColumn == MaxColumn && TLineAttrs::Count == LineAttrCount,
              "the attribute row covers every column the caret reaches");

class TRACustomEditor;

// ---- completion -----------------------------------------------------------------------------

enum TCompletionMode { cmIdentifers = 0, cmTemplates = 1 };

using TOnCompletion = std::function<void(TObject* Sender, bool& Cancel)>;

// The settings of the completion drop-down.
class TCompletion : public TPersistent {
public:
  explicit TCompletion(TRACustomEditor* Editor);
  ~TCompletion() override;
  const char* ClassName() const override { return "TCompletion"; }
  void Assign(TPersistent* Source) override;

  int DropDownCount = 6;
  int DropDownWidth = 300;    // 0: the editor's width plus the borders
  bool Enabled = false;       // open by itself after a typing pause
  TStringList* Identifers() { return &FIdentifers; }
  void SetIdentifers(TStrings* S) { FIdentifers.Assign(S); }
  TStringList* Templates() { return &FTemplates; }
  void SetTemplates(TStrings* S) { FTemplates.Assign(S); }
  int ItemHeight = 13;
  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned v);
  TListBoxStyle ListBoxStyle = lbStandard;
  char CaretChar = '|';
  String CRLF = "/n";
  String Separator = "=";

  // ---- the drop-down ----
  bool Visible() const { return FVisible; }
  TCompletionMode Mode() const { return FMode; }
  int ItemIndex() const;
  // The current entries of the open (or last opened) list.
  TStringList* Items() { return &FItems; }
  void DoCompletion(TCompletionMode Mode, bool Forced);
  void CloseUp(bool Accept);
  TTimer* PauseTimer() { return &FTimer; }
  class TCodeEditorCompletionList* List() { return FList.get(); }

  // Notifications from the editor.
  bool KeyDown(Word& Key, TShiftState Shift);
  void CharTyped(char Ch, bool After);
  void Backspace();
  void Command(int Command);

private:
  friend class TCodeEditorCompletionList;
  bool FireEvent(TCompletionMode Mode);
  void Fill();
  bool SelectForWord(bool& Exact);
  void Show();
  void InsertSelected();
  void TimerFired();
  String Field(const String& Entry, int N) const;

  TRACustomEditor* FEditor;
  TStringList FIdentifers, FTemplates, FItems;
  unsigned FInterval = 800;
  TTimer FTimer;
  std::unique_ptr<class TCodeEditorCompletionList> FList;
  TCompletionMode FMode = cmIdentifers;
  TCompletionMode FDefMode = cmIdentifers;
  bool FVisible = false;
  int FItemIndex = -1;
};

// The drop-down list: a top-level tool window with a border that saves the screen bits under
// it, owner-drawn with a fixed item height.
class TCodeEditorCompletionList : public TListBox {
public:
  TCodeEditorCompletionList(TCompletion* Owner, TRACustomEditor* Editor);
  const char* ClassName() const override { return "TCodeEditorCompletionList"; }
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

protected:
  void CreateParams(TCreateParams& p) override;
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;

private:
  void ScrollTick();
  TCompletion* FCompletion;
  TRACustomEditor* FEditor;
  TTimer FScrollTimer;
  int FScrollDir = 0;
};

// ---- scroll bars, text area, gutter ---------------------------------------------------------

using TScrollNotify = std::function<void(TObject* Sender, int Code, int& Pos)>;

// One window scroll bar of the editor.
class TCodeScrollBar95 : public TObject {
public:
  explicit TCodeScrollBar95(int Kind) : FKind(Kind) {}  // SB_HORZ or SB_VERT
  int Kind() const { return FKind; }
  int Position() const { return FPosition; }
  int Min() const { return FMin; }
  int Max() const { return FMax; }
  int Page() const { return FPage; }
  int SmallChange() const { return FSmallChange; }
  int LargeChange() const { return FLargeChange; }
  void SetParams(int Position, int Min, int Max);  // EInvalidOperation when Max < Min
  void SetPosition(int v) { SetParams(v, FMin, FMax); }
  void SetMin(int v) { SetParams(FPosition, v, FMax); }
  void SetMax(int v) { SetParams(FPosition, FMin, v); }
  void SetPage(int v);
  void SetSmallChange(int v) { FSmallChange = v; }
  void SetLargeChange(int v) { FLargeChange = v; }
  void SetHandle(HWND w) { FHandle = w; Apply(); }
  // A scroll message's code; returns the new position.
  int Scroll(int Code);
  void Apply();
  TScrollNotify OnScroll;

private:
  int FKind;
  int FPosition = 0, FMin = 0, FMax = 0, FPage = 1;
  int FSmallChange = 1, FLargeChange = 1;
  HWND FHandle = nullptr;
};

// The text area: right of the gutter, the whole client height.
class TEditorClient {
public:
  explicit TEditorClient(TRACustomEditor* Editor) : FEditor(Editor) {}
  int Left() const;
  int Top() const { return FTop; }
  int Width() const;
  int Height() const;
  TRect ClientRect() const { return TRect(Left(), Top(), Left() + Width(), Top() + Height()); }
  TRect BoundsRect() const { return TRect(0, 0, Width(), Height()); }

private:
  TRACustomEditor* FEditor;
  int FTop = 0;
};

class TGutter {
public:
  explicit TGutter(TRACustomEditor* Editor) : FEditor(Editor) {}
  void Paint();
  void Invalidate();

private:
  TRACustomEditor* FEditor;
};

// ---- the editor -----------------------------------------------------------------------------

using TOnGetLineAttr = std::function<void(TObject* Sender, String& Line, int Index, TLineAttrs& Attrs)>;
using TOnPaintGutter = std::function<void(TObject* Sender, TCanvas* Canvas)>;

constexpr UINT WM_EDITORCOMMAND = WM_USER + 257;

class TRACustomEditor : public TCustomControl, public TEditorModel {
public:
  explicit TRACustomEditor(TComponent* AOwner);
  ~TRACustomEditor() override;
  const char* ClassName() const override { return "TRACustomEditor"; }

  // ---- properties of the window ----
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle v);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle v);
  int GutterWidth() const { return FGutterWidth; }
  void SetGutterWidth(int v);
  TColor GutterColor() const { return FGutterColor; }
  void SetGutterColor(TColor v);
  bool RightMarginVisible() const { return FRightMarginVisible; }
  void SetRightMarginVisible(bool v);
  int RightMargin() const { return FRightMargin; }
  void SetRightMargin(int v);
  TColor RightMarginColor() const { return FRightMarginColor; }
  void SetRightMarginColor(TColor v);
  TColor SelForeColor() const { return FSelForeColor; }
  void SetSelForeColor(TColor v) { FSelForeColor = v; Invalidate(); }
  TColor SelBackColor() const { return FSelBackColor; }
  void SetSelBackColor(TColor v) { FSelBackColor = v; Invalidate(); }
  TCompletion* Completion() { return FCompletion.get(); }

  // ---- geometry ----
  int CellWidth() const { return FCellWidth; }
  int CellHeight() const { return FCellHeight; }
  TEditorClient* EditorClient() { return &FEditorClient; }
  TCodeScrollBar95* HorzScrollBar() { return &FHScroll; }
  TCodeScrollBar95* VertScrollBar() { return &FVScroll; }
  // The cell rectangle of (column offset, row offset) from LeftCol/TopRow, window coordinates.
  TRect CellRect(int ColOffset, int RowOffset) const;
  // The cell under a client pixel (limited as for mouse clicks).
  void PixelToCell(int PX, int PY, int& X, int& Y) const;
  void UpdateEditorGeometry();
  TLineAttrs& LineAttrs() { return FAttrs; }
  TTimer* AutoScrollTimer() { return &FAutoScrollTimer; }

  // Fills the attributes of line Line for the columns First..Last (see the header comment).
  virtual void GetLineAttr(int Line, int First, int Last);

  // ---- events ----
  TOnGetLineAttr OnGetLineAttr;
  TNotifyEvent OnScroll;
  TNotifyEvent OnResize;
  TKeyEvent OnKeyUp;
  TOnPaintGutter OnPaintGutter;
  TOnCompletion OnCompletionIdentifer;
  TOnCompletion OnCompletionTemplate;
  TDrawItemEvent OnCompletionDrawItem;
  TMeasureItemEvent OnCompletionMeasureItem;

  // The window's clipboard for the model.
  class TWindowClipboard : public IEditorClipboard {
  public:
    explicit TWindowClipboard(TRACustomEditor* e) : FEditor(e) {}
    bool GetText(String& Text) override;
    void SetText(const String& Text) override;

  private:
    TRACustomEditor* FEditor;
  };

  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  void Invalidate() override { TCustomControl::Invalidate(); }
  void PaintGutterNow();

protected:
  // The colouring hook (after the defaults) and the hook after the selection colours.
  virtual void GetAttr(int Line, int First, int Last) {}
  virtual void ChangeAttr(int Line, int First, int Last) {}
  virtual void PaintGutter(TCanvas* Canvas) { if (OnPaintGutter) OnPaintGutter(this, Canvas); }
  void Loaded() override;

  void CreateParams(TCreateParams& p) override;
  void HandleCreated() override;
  void Paint() override;
  void OnSize() override;
  void OnSetFocus() override;
  void OnKillFocus() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  bool SetCursorMessage(int X, int Y) override;
  UINT DialogCode() override { return DLGC_WANTARROWS | DLGC_WANTTAB; }
  void HScroll(int code, int pos) override;
  void VScroll(int code, int pos) override;
  void FontChanged() override;

private:
  class TView;
  friend class TView;
  friend class TCompletion;
  friend class TGutter;
  void PaintLine(int Line, int First, int Last);
  void DrawRightMargin();
  void ScrollView(int OldLeftCol, int OldTopRow);
  void PlaceCaret();
  void AutoScrollTick();
  void ComputeCellSize();

  std::unique_ptr<TView> FView;
  TWindowClipboard FWindowClipboard;
  TBorderStyle FBorderStyle = bsSingle;
  TScrollStyle FScrollBars = ssBoth;
  int FGutterWidth = 0;
  TColor FGutterColor = clBtnFace;
  bool FRightMarginVisible = true;
  int FRightMargin = 80;
  TColor FRightMarginColor = clSilver;
  TColor FSelForeColor = clHighlightText;
  TColor FSelBackColor = clHighlight;
  int FCellWidth = 8, FCellHeight = 16;
  bool FFullRepaint = false;
  bool FHasCaret = false;
  TCodeScrollBar95 FHScroll{SB_HORZ}, FVScroll{SB_VERT};
  TEditorClient FEditorClient{this};
  TGutter FGutter{this};
  TLineAttrs FAttrs;
  TTimer FAutoScrollTimer;
  int FMouseY = 0;
  int FDragRow = 0;  // the line the drag has reached
  bool FIgnoreMouseDown = false;
  bool FCompletionConsumedKey = false;
  bool FSwallowSysChar = false;
  std::unique_ptr<TCompletion> FCompletion;
};

class TCodeEditor : public TRACustomEditor {
public:
  explicit TCodeEditor(TComponent* AOwner) : TRACustomEditor(AOwner) {}
  const char* ClassName() const override { return "TCodeEditor"; }
};
