// Window controls on the raw Win32 API: TControl, TWinControl (a window of its own with its
// creation parameters and message dispatch), TCustomControl (paints itself on a canvas).
//
// A control's window is made on first use of Handle(). The object is found from the window
// through a window property set at WM_NCCREATE; every message goes to the virtual WndProc,
// whose default dispatches to the OnXxx handlers below and then to the window class's own
// procedure. Every window procedure, timer and callback of the library is an exception
// firewall: an exception that a handler raises is shown by HandleException (its German
// message) and the program goes on.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <vector>

#include "classes.h"
#include "colors.h"
#include "exception_handler.h"
#include "graphics.h"
#include "keys.h"

// ---- cursors --------------------------------------------------------------------------------

enum TCursor { crDefault = 0, crArrow = -2, crIBeam = -4, crHourGlass = -11, crHandPoint = -21 };
HCURSOR CursorHandle(TCursor cursor);

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TBorderStyle { bsNone, bsSingle };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TMouseButton { mbLeft, mbRight, mbMiddle };

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift,
                                       int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

// The shift state of a key message (GetKeyState) and of a mouse message's key flags.
TShiftState KeyboardShiftState();
TShiftState MouseShiftState(WPARAM keys);

class TWinControl;
class TGraphicControl;

// ---- TControl -------------------------------------------------------------------------------

class TControl : public TComponent {
public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;
  const char* ClassName() const override { return "TControl"; }

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign v);
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool v);
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool v);
  TColor Color() const { return FColor; }
  virtual void SetColor(TColor v);
  TFont* Font() { return &FFont; }
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor v) { FCursor = v; }
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool v) { FParentColor = v; }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool v) { FParentFont = v; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool v) { FShowHint = v; }
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool v) { FParentShowHint = v; }
  const String& Hint() const { return FHint; }
  void SetHint(const String& v) { FHint = v; }
  TComponent* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TComponent* m) { FPopupMenu = m; }

  virtual void Invalidate() {}
  // The stored position follows a move that the window system made (a scrolled parent moved
  // its child windows with it); the window itself is not touched.
  void ScrolledBy(int DX, int DY) { FLeft += DX; FTop += DY; }
  // The client size (the window's client area once the window exists).
  virtual int ClientWidth() const { return FWidth; }
  virtual int ClientHeight() const { return FHeight; }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;

protected:
  virtual void FontChanged() {}
  virtual void BoundsChanged() {}
  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TAlign FAlign = alNone;
  bool FVisible = true, FEnabled = true;
  TColor FColor = clWindow;
  TFont FFont;
  TCursor FCursor = crDefault;
  bool FParentColor = true, FParentFont = true, FShowHint = false, FParentShowHint = true;
  String FHint;
  TComponent* FPopupMenu = nullptr;

private:
  // A control that leaves its parent is no longer the child a press began on.
  void ForgetPress();
};

// ---- TWinControl ----------------------------------------------------------------------------

// What CreateWnd passes to the window system; CreateParams fills it and subclasses adjust it.
struct TCreateParams {
  String Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  UINT ClassStyle = CS_DBLCLKS;
  HCURSOR ClassCursor = nullptr;
  String WinClassName;      // our window class (registered on first use)
  String BaseClassName;     // a system class to superclass ("LISTBOX"), or empty
};

class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  const char* ClassName() const override { return "TWinControl"; }

  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded() { Handle(); }
  void DestroyHandle();
  void RecreateWnd();
  // A window to create this control's window in when it has no parent control.
  HWND ParentWindow() const { return FParentWindow; }
  void SetParentWindow(HWND w);
  // The control a window of this process belongs to, or null (also for any other process's
  // window).
  static TWinControl* FromHandle(HWND w);

  void SetParent(TWinControl* AParent) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void SetVisible(bool v) override;
  void SetEnabled(bool v) override;
  void SetColor(TColor v) override;
  int ClientWidth() const override;
  int ClientHeight() const override;
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool v) { FTabStop = v; }
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool v) { if (v != FCtl3D) { FCtl3D = v; RecreateWnd(); } }

  void SetFocus();
  bool Focused() const;
  void Invalidate() override;
  void Update();
  void Repaint();
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  void SetCaptureMouse(bool on);
  // The child controls (in insertion order).
  int ControlCount() const { return int(FControls.size()); }
  TControl* Controls(int i) const { return FControls[size_t(i)]; }
  // Re-lays out the children aligned to the client area.
  void Realign();

  // Sends / posts a message to the window.
  LRESULT Perform(UINT msg, WPARAM w = 0, LPARAM l = 0);
  void Post(UINT msg, WPARAM w = 0, LPARAM l = 0);

  // The enter and exit notifications: this control took the keyboard focus / lost it. A control
  // that takes the focus is recorded as its form's active control (TForm::ActiveControl).
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  // A control marked as being in a focus change gets no enter notification when it takes the
  // focus and no exit notification when it loses it, and the control that loses the focus to it
  // gets no exit notification either; its form still records it as the active control. The
  // window's own focus handling (OnSetFocus, OnKillFocus) runs in every case.
  bool InFocusChange() const { return FInFocusChange; }
  void SetInFocusChange(bool v) { FInFocusChange = v; }

  // Every message of the window. The default dispatches to the handlers below and then to
  // DefaultHandler. Override to see any message first.
  virtual LRESULT WndProc(UINT msg, WPARAM w, LPARAM l);
  LRESULT DefaultHandler(UINT msg, WPARAM w, LPARAM l);

  // Messages for which a popup control (a drop-down list) asks its owner window: the owner
  // passes WM_DRAWITEM and WM_MEASUREITEM on to the control that registered here.
  void SetOwnerDrawTarget(TWinControl* target) { FOwnerDrawTarget = target; }

  // The control id of the window (GWLP_ID): what WM_COMMAND and WM_NOTIFY carry and
  // GetDlgCtrlID returns. 0 leaves the id the window system gives.
  int ControlId() const { return FId; }
  void SetControlId(int id);

  // Notifications that the parent window gets for this control (WM_COMMAND with the control's
  // window, WM_NOTIFY from it), passed on by ReflectControlMessage; true when taken.
  virtual bool CommandNotify(int Code, int Id) { return false; }
  virtual bool Notify(NMHDR* Header, LRESULT& Result) { return false; }
  // True when this control answers the dialog command Id (IDOK: the default button, IDCANCEL:
  // the cancel button) of its form.
  virtual bool AnswersDialogCommand(int Id) const { return false; }
  // A modal result handed up by a child (a button with a modal result); true when this control
  // takes it (a form), else it goes further up.
  virtual bool TakeModalResult(int Result) { return false; }

protected:
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& params);
  virtual void DestroyWnd();
  // Called after the window exists / before it goes.
  virtual void HandleCreated() {}
  virtual void HandleDestroying() {}

  // Handlers (return true when handled; result in r).
  virtual bool OnPaintMessage() { return false; }
  virtual void OnSize() {}
  virtual void OnSetFocus() {}
  virtual void OnKillFocus() {}
  // Control took the focus (Taken) or goes away (!Taken): passed up to the form that records its
  // active control.
  virtual void RecordActiveControl(TWinControl* Control, bool Taken) {
    if (FParent) FParent->RecordActiveControl(Control, Taken);
  }
  virtual void KeyDown(Word& Key, TShiftState Shift) {}
  virtual void KeyUp(Word& Key, TShiftState Shift) {}
  virtual void KeyPress(char& Key) {}
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void DblClick() { FireEvent(OnDblClick, this); }
  virtual bool SetCursorMessage(int X, int Y);  // true when a cursor was set
  virtual UINT DialogCode() { return 0; }
  virtual void HScroll(int code, int pos) {}
  virtual void VScroll(int code, int pos) {}
  // Owner-draw messages that this control gets from its owner window.
  virtual bool DrawItemMessage(DRAWITEMSTRUCT& dis) { return false; }
  virtual bool MeasureItemMessage(MEASUREITEMSTRUCT& mis) { return false; }

  void FontChanged() override;
  HFONT FontHandle() { return FFont.Handle(); }

  HWND FHandle = nullptr;
  HWND FParentWindow = nullptr;
  WNDPROC FDefWndProc = nullptr;
  bool FTabStop = false, FCtl3D = true;
  HBRUSH FBackBrush = nullptr;
  TWinControl* FOwnerDrawTarget = nullptr;
  bool FCaptureMouse = false;  // the left button captures the mouse until it is released
  bool FInFocusChange = false;
  int FId = 0;
  std::vector<TControl*> FControls;

private:
  static LRESULT CALLBACK StaticWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  friend class TControl;
  bool FRealigning = false;
};

// Passes WM_COMMAND / WM_NOTIFY of a child window to the child's object; true when it took it
// (the result in r).
bool ReflectControlMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& r);

// The hint of the control under the mouse (a tool button's) goes to the application, which
// installs the receiver (TApplication: its Hint and OnHint).
void SetHintReceiver(std::function<void(const String& Hint)> Receiver);
void ShowApplicationHint(const String& Hint);

// ---- TCustomControl -------------------------------------------------------------------------

// A window control that paints itself: Paint() draws on Canvas() during WM_PAINT.
class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  const char* ClassName() const override { return "TCustomControl"; }
  TCanvas* Canvas() { return &FCanvas; }

protected:
  virtual void Paint() {}
  bool OnPaintMessage() override;
  void CreateParams(TCreateParams& params) override;
  // Mouse messages on a graphic child go to that child, the others to this control. A child's
  // OnClick fires with a left release on the child that the left press began on, as a button
  // clicks only when pressed and released on it.
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  // The visible graphic child at (X, Y), topmost first; nullptr when none.
  TGraphicControl* GraphicChildAt(int X, int Y) const;
  // Paints the visible graphic children on the canvas (after Paint, inside WM_PAINT).
  void PaintGraphicChildren();
  void FontChanged() override;
  // A DC for drawing outside WM_PAINT (released by ReleaseCanvas).
  void AcquireCanvas();
  void ReleaseCanvas();
  TCanvas FCanvas;

private:
  friend class TControl;
  HDC FWindowDC = nullptr;
  int FCanvasLock = 0;
  TControl* FPressedChild = nullptr;  // the graphic child the left press began on
};

// ---- TGraphicControl ------------------------------------------------------------------------

// A control without a window of its own: its windowed parent (a TCustomControl) paints it, after
// its own painting, on its canvas moved to the control's top-left corner and clipped to it, and
// passes it the mouse presses, releases and moves that fall on it (topmost child first), in the
// control's own coordinates.
class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}
  const char* ClassName() const override { return "TGraphicControl"; }
  void SetParent(TWinControl* AParent) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void SetVisible(bool v) override;
  // Marks the control's rectangle of its parent for repainting.
  void Invalidate() override;
  virtual void Paint(TCanvas& Canvas) {}
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
  }
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
  }
  virtual void MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
  }
};

// ---- system caret ---------------------------------------------------------------------------

struct TCaret {
  static void Create(HWND w, int width, int height) { CreateCaret(w, nullptr, width, height); }
  static void Destroy() { DestroyCaret(); }
  static void Show(HWND w) { ShowCaret(w); }
  static void Hide(HWND w) { HideCaret(w); }
  static void SetPos(int x, int y) { SetCaretPos(x, y); }
};

// Pumps the waiting messages of this thread (tests and modal loops).
void ProcessMessages();
