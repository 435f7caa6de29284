#include "controls.h"

#include <map>

namespace {

std::function<void(const String&)> gHintReceiver;
// The control whose window is being created: messages that arrive before WM_NCCREATE
// (WM_GETMINMAXINFO) and WM_NCCREATE itself find their object here.
thread_local TWinControl* gCreating = nullptr;
const char kProp[] = "AstrelControl";
// The original window procedures of superclassed system classes, by our class name.
std::map<String, WNDPROC>& BaseProcs() {
  static std::map<String, WNDPROC> m;
  return m;
}

}  // namespace

void SetHintReceiver(std::function<void(const String& Hint)> Receiver) { gHintReceiver = std::move(Receiver); }
void ShowApplicationHint(const String& Hint) {
  if (gHintReceiver) gHintReceiver(Hint);
}

bool ReflectControlMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& r) {
  if (msg == WM_COMMAND && l) {
    TWinControl* c = TWinControl::FromHandle(HWND(l));
    if (c && c->CommandNotify(HIWORD(w), LOWORD(w))) {
      r = 0;
      return true;
    }
  } else if (msg == WM_NOTIFY && l) {
    auto* h = reinterpret_cast<NMHDR*>(l);
    TWinControl* c = TWinControl::FromHandle(h->hwndFrom);
    if (c && c->Notify(h, r)) return true;
  }
  return false;
}

HCURSOR CursorHandle(TCursor cursor) {
  switch (cursor) {
    case crIBeam: return LoadCursorA(nullptr, IDC_IBEAM);
    case crHourGlass: return LoadCursorA(nullptr, IDC_WAIT);
    case crHandPoint: return LoadCursorA(nullptr, IDC_HAND);
    default: return LoadCursorA(nullptr, IDC_ARROW);
  }
}

TShiftState KeyboardShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s += ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s += ssAlt;
  return s;
}

TShiftState MouseShiftState(WPARAM keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s += ssShift;
  if (keys & MK_CONTROL) s += ssCtrl;
  if (keys & MK_LBUTTON) s += ssLeft;
  if (keys & MK_RBUTTON) s += ssRight;
  if (keys & MK_MBUTTON) s += ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s += ssAlt;
  return s;
}

void ProcessMessages() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

// ---- TControl -------------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  FFont.OnChange = [this](TObject*) { FontChanged(); };
}

namespace {
// Takes a control out of its parent's list, searched from the end: controls are mostly freed in
// reverse order of their making, so freeing all children of a window stays linear.
void RemoveChild(std::vector<TControl*>& v, TControl* c) {
  for (size_t i = v.size(); i-- > 0;)
    if (v[i] == c) {
      v.erase(v.begin() + long(i));
      return;
    }
}
}  // namespace

TControl::~TControl() {
  if (FParent) {
    ForgetPress();
    RemoveChild(FParent->FControls, this);
    FParent = nullptr;
  }
}

void TControl::ForgetPress() {
  if (auto* p = dynamic_cast<TCustomControl*>(FParent))
    if (p->FPressedChild == this) p->FPressedChild = nullptr;
}

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  if (FParent) {
    ForgetPress();
    RemoveChild(FParent->FControls, this);
  }
  FParent = AParent;
  if (FParent) FParent->FControls.push_back(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  BoundsChanged();
}

void TControl::SetAlign(TAlign v) {
  FAlign = v;
  if (FParent) FParent->Realign();
}

void TControl::SetVisible(bool v) { FVisible = v; }
void TControl::SetEnabled(bool v) { FEnabled = v; }
void TControl::SetColor(TColor v) {
  FColor = v;
  FParentColor = false;
  Invalidate();
}

// ---- TWinControl ----------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  // Children go first (their windows are children of ours).
  while (!FControls.empty()) FControls.back()->SetParent(nullptr);
  if (FParent) FParent->RecordActiveControl(this, false);
  DestroyHandle();
  if (FBackBrush) DeleteObject(FBackBrush);
}

TWinControl* TWinControl::FromHandle(HWND w) {
  // Only a window of this process is one of ours: the property of another program's window
  // built on these controls holds an address in that program.
  DWORD owner = 0;
  if (!w || !GetWindowThreadProcessId(w, &owner) || owner != GetCurrentProcessId()) return nullptr;
  return static_cast<TWinControl*>(GetPropA(w, kProp));
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.Caption = Name();
  p.X = FLeft;
  p.Y = FTop;
  p.Width = FWidth;
  p.Height = FHeight;
  p.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  if (FParent || FParentWindow) p.Style |= WS_CHILD;
  if (FVisible) p.Style |= WS_VISIBLE;
  if (!FEnabled) p.Style |= WS_DISABLED;
  if (FTabStop) p.Style |= WS_TABSTOP;
  p.WndParent = FParent ? FParent->Handle() : FParentWindow;
  p.WinClassName = ClassName();
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  HINSTANCE inst = GetModuleHandleA(nullptr);
  WNDCLASSA existing;
  if (!GetClassInfoA(inst, p.WinClassName.c_str(), &existing)) {
    WNDCLASSA wc = {};
    if (!p.BaseClassName.empty()) {
      if (!GetClassInfoA(nullptr, p.BaseClassName.c_str(), &wc))
        throw EInvalidOperation("Fensterklasse " + p.BaseClassName + " nicht vorhanden");
      BaseProcs()[p.WinClassName] = wc.lpfnWndProc;
      wc.style |= p.ClassStyle;
    } else {
      wc.style = p.ClassStyle;
      wc.hCursor = p.ClassCursor;
    }
    wc.lpfnWndProc = &StaticWndProc;
    wc.hInstance = inst;
    wc.lpszClassName = p.WinClassName.c_str();
    if (!RegisterClassA(&wc))
      throw EInvalidOperation("Fensterklasse " + p.WinClassName + " kann nicht angemeldet werden");
  }
  auto it = BaseProcs().find(p.WinClassName);
  FDefWndProc = it != BaseProcs().end() ? it->second : &DefWindowProcA;
  CreateWindowHandle(p);
  if (!FHandle) throw EInvalidOperation("Fenster kann nicht erzeugt werden");
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
  TWinControl* saved = gCreating;
  gCreating = this;
  HWND w = CreateWindowExA(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y,
                           p.Width, p.Height, p.WndParent, nullptr, GetModuleHandleA(nullptr), this);
  gCreating = saved;
  if (w && !FHandle) {
    FHandle = w;
    SetPropA(w, kProp, this);
  }
}

void TWinControl::SetControlId(int id) {
  FId = id;
  if (HandleAllocated()) SetWindowLongPtrA(FHandle, GWLP_ID, id);
}

HWND TWinControl::Handle() {
  if (!FHandle) {
    CreateWnd();
    if (FId) SetWindowLongPtrA(FHandle, GWLP_ID, FId);
    SendMessageA(FHandle, WM_SETFONT, WPARAM(FFont.Handle()), 0);
    HandleCreated();
    for (TControl* c : FControls)
      if (auto* wc = dynamic_cast<TWinControl*>(c)) wc->Handle();
    Realign();
  }
  return FHandle;
}

void TWinControl::DestroyWnd() {
  if (FHandle) {
    HandleDestroying();
    DestroyWindow(FHandle);
  }
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TControl* c : FControls)
    if (auto* wc = dynamic_cast<TWinControl*>(c)) wc->DestroyHandle();
  DestroyWnd();
  FHandle = nullptr;
}

void TWinControl::RecreateWnd() {
  if (!FHandle) return;
  DestroyHandle();
  Handle();
}

void TWinControl::SetParentWindow(HWND w) {
  if (w == FParentWindow) return;
  FParentWindow = w;
  if (FHandle) RecreateWnd();
}

void TWinControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  if (FHandle) DestroyHandle();
  if (FParent) FParent->RecordActiveControl(this, false);
  TControl::SetParent(AParent);
  if (AParent) {
    // Only an aligned child moves its aligned siblings; a parent of many placed children (the
    // cells of a thumbnail view) is not laid out again for each of them.
    if (FAlign != alNone) AParent->Realign();
    if (AParent->HandleAllocated()) Handle();
  }
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const bool changed = ALeft != FLeft || ATop != FTop || AWidth != FWidth || AHeight != FHeight;
  TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (FHandle && changed) {
    MoveWindow(FHandle, ALeft, ATop, AWidth, AHeight, TRUE);
  }
}

void TWinControl::SetVisible(bool v) {
  TControl::SetVisible(v);
  if (FHandle) ShowWindow(FHandle, v ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::SetEnabled(bool v) {
  TControl::SetEnabled(v);
  if (FHandle) EnableWindow(FHandle, v);
}

void TWinControl::SetColor(TColor v) {
  if (FBackBrush) {
    DeleteObject(FBackBrush);
    FBackBrush = nullptr;
  }
  TControl::SetColor(v);
}

int TWinControl::ClientWidth() const {
  if (!FHandle) return FWidth;
  RECT r;
  GetClientRect(FHandle, &r);
  return r.right;
}

int TWinControl::ClientHeight() const {
  if (!FHandle) return FHeight;
  RECT r;
  GetClientRect(FHandle, &r);
  return r.bottom;
}

void TWinControl::SetFocus() { ::SetFocus(Handle()); }
bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, FALSE);
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::SetCaptureMouse(bool on) {
  if (!FHandle) return;
  if (on)
    SetCapture(FHandle);
  else if (GetCapture() == FHandle)
    ReleaseCapture();
}

void TWinControl::Realign() {
  if (FRealigning) return;
  FRealigning = true;
  RECT area = {0, 0, ClientWidth(), ClientHeight()};
  for (TControl* c : FControls) {
    switch (c->Align()) {
      case alTop:
        c->SetBounds(area.left, area.top, area.right - area.left, c->Height());
        area.top += c->Height();
        break;
      case alBottom:
        c->SetBounds(area.left, area.bottom - c->Height(), area.right - area.left, c->Height());
        area.bottom -= c->Height();
        break;
      case alLeft:
        c->SetBounds(area.left, area.top, c->Width(), area.bottom - area.top);
        area.left += c->Width();
        break;
      case alRight:
        c->SetBounds(area.right - c->Width(), area.top, c->Width(), area.bottom - area.top);
        area.right -= c->Width();
        break;
      default:
        break;
    }
  }
  for (TControl* c : FControls)
    if (c->Align() == alClient)
      c->SetBounds(area.left, area.top, std::max<int>(area.right - area.left, 0),
                   std::max<int>(area.bottom - area.top, 0));
  FRealigning = false;
}

LRESULT TWinControl::Perform(UINT msg, WPARAM w, LPARAM l) {
  return SendMessageA(Handle(), msg, w, l);
}

void TWinControl::Post(UINT msg, WPARAM w, LPARAM l) { PostMessageA(Handle(), msg, w, l); }

void TWinControl::FontChanged() {
  if (FHandle) SendMessageA(FHandle, WM_SETFONT, WPARAM(FFont.Handle()), TRUE);
}

void TWinControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TWinControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TWinControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

bool TWinControl::SetCursorMessage(int X, int Y) {
  if (FCursor == crDefault) return false;
  ::SetCursor(CursorHandle(FCursor));
  return true;
}

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM w, LPARAM l) {
  return CallWindowProcA(FDefWndProc ? FDefWndProc : &DefWindowProcA, FHandle, msg, w, l);
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM w, LPARAM l) {
  const int x = short(LOWORD(l)), y = short(HIWORD(l));
  switch (msg) {
    case WM_PAINT:
      if (OnPaintMessage()) return 0;
      break;
    case WM_SIZE: {
      RECT r;
      GetWindowRect(FHandle, &r);
      FWidth = r.right - r.left;
      FHeight = r.bottom - r.top;
      LRESULT res = DefaultHandler(msg, w, l);
      OnSize();
      Realign();
      return res;
    }
    case WM_SETFOCUS: {
      LRESULT res = DefaultHandler(msg, w, l);
      if (FParent) FParent->RecordActiveControl(this, true);
      OnSetFocus();
      if (!FInFocusChange) FireEvent(OnEnter, this);
      return res;
    }
    case WM_KILLFOCUS: {
      LRESULT res = DefaultHandler(msg, w, l);
      OnKillFocus();
      // The focus goes to the window in wParam; a control there that is in a focus change takes
      // it without an exit notification here.
      const TWinControl* next = FromHandle(HWND(w));
      if (!FInFocusChange && !(next && next->FInFocusChange)) FireEvent(OnExit, this);
      return res;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      Word key = Word(w);
      KeyDown(key, KeyboardShiftState());
      if (key == 0) return 0;
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      Word key = Word(w);
      KeyUp(key, KeyboardShiftState());
      if (key == 0) return 0;
      break;
    }
    case WM_CHAR: {
      char c = char(w);
      KeyPress(c);
      if (c == 0) return 0;
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (msg == WM_LBUTTONDOWN && FCaptureMouse) SetCapture(FHandle);
      MouseDown(msg == WM_LBUTTONDOWN ? mbLeft : msg == WM_RBUTTONDOWN ? mbRight : mbMiddle,
                MouseShiftState(w), x, y);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (FCaptureMouse) SetCapture(FHandle);
      DblClick();
      MouseDown(mbLeft, MouseShiftState(w) + ssDouble, x, y);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      if (msg == WM_LBUTTONUP && GetCapture() == FHandle) ReleaseCapture();
      MouseUp(msg == WM_LBUTTONUP ? mbLeft : msg == WM_RBUTTONUP ? mbRight : mbMiddle,
              MouseShiftState(w), x, y);
      if (msg == WM_LBUTTONUP) FireEvent(OnClick, this);
      return 0;
    case WM_MOUSEMOVE:
      MouseMove(MouseShiftState(w), x, y);
      return 0;
    case WM_SETCURSOR:
      if (HWND(w) == FHandle && LOWORD(l) == HTCLIENT) {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(FHandle, &pt);
        if (SetCursorMessage(pt.x, pt.y)) return TRUE;
      }
      break;
    case WM_GETDLGCODE:
      return DialogCode() | DefaultHandler(msg, w, l);
    case WM_HSCROLL:
      HScroll(LOWORD(w), short(HIWORD(w)));
      return 0;
    case WM_VSCROLL:
      VScroll(LOWORD(w), short(HIWORD(w)));
      return 0;
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(l);
      TWinControl* target = FromHandle(dis->hwndItem);
      if (!target) target = FOwnerDrawTarget;
      if (target && target != this && target->DrawItemMessage(*dis)) return TRUE;
      break;
    }
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
      if (FOwnerDrawTarget && FOwnerDrawTarget->MeasureItemMessage(*mis)) return TRUE;
      break;
    }
    default:
      break;
  }
  return DefaultHandler(msg, w, l);
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  TWinControl* c = FromHandle(w);
  if (!c && gCreating) {
    c = gCreating;
    c->FHandle = w;
    SetPropA(w, kProp, c);
  }
  if (!c) {
    char name[128] = {};
    GetClassNameA(w, name, sizeof name);
    auto it = BaseProcs().find(name);
    return CallWindowProcA(it != BaseProcs().end() ? it->second : &DefWindowProcA, w, msg, wp, lp);
  }
  LRESULT result = 0;
  try {
    result = c->WndProc(msg, wp, lp);
  } catch (...) {
    HandleException();
    result = 0;
  }
  if (msg == WM_NCDESTROY) {
    RemovePropA(w, kProp);
    c->FHandle = nullptr;
  }
  return result;
}

// ---- TCustomControl -------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
  FCaptureMouse = true;
  FCanvas.Font()->Assign(&FFont);
}

void TCustomControl::FontChanged() {
  FCanvas.Font()->Assign(&FFont);
  TWinControl::FontChanged();
}

TCustomControl::~TCustomControl() {
  FCanvas.SetHandle(nullptr);
  if (FWindowDC && FHandle) ReleaseDC(FHandle, FWindowDC);
}

void TCustomControl::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassStyle = CS_DBLCLKS;
}

bool TCustomControl::OnPaintMessage() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(FHandle, &ps);
  HDC saved = FCanvas.Handle();
  FCanvas.SetHandle(dc);
  try {
    Paint();
    PaintGraphicChildren();
  } catch (...) {
    FCanvas.SetHandle(saved);
    EndPaint(FHandle, &ps);
    throw;
  }
  FCanvas.SetHandle(saved);
  EndPaint(FHandle, &ps);
  return true;
}

void TCustomControl::PaintGraphicChildren() {
  for (TControl* c : FControls) {
    auto* g = dynamic_cast<TGraphicControl*>(c);
    if (!g || !g->Visible() || g->Width() <= 0 || g->Height() <= 0) continue;
    HDC dc = FCanvas.Handle();
    const int saved = SaveDC(dc);
    POINT old;
    OffsetViewportOrgEx(dc, g->Left(), g->Top(), &old);
    IntersectClipRect(dc, 0, 0, g->Width(), g->Height());
    try {
      g->Paint(FCanvas);
    } catch (...) {
      RestoreDC(dc, saved);
      throw;
    }
    RestoreDC(dc, saved);
  }
}

TGraphicControl* TCustomControl::GraphicChildAt(int X, int Y) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    auto* g = dynamic_cast<TGraphicControl*>(*it);
    if (g && g->Visible() && X >= g->Left() && X < g->Left() + g->Width() && Y >= g->Top() &&
        Y < g->Top() + g->Height())
      return g;
  }
  return nullptr;
}

void TCustomControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl* g = GraphicChildAt(X, Y);
  if (Button == mbLeft) FPressedChild = g;
  if (g) g->MouseDown(Button, Shift, X - g->Left(), Y - g->Top());
  else TWinControl::MouseDown(Button, Shift, X, Y);
}

void TCustomControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl* g = GraphicChildAt(X, Y);
  const bool click = Button == mbLeft && g && g == FPressedChild;
  if (Button == mbLeft) FPressedChild = nullptr;
  if (g) {
    g->MouseUp(Button, Shift, X - g->Left(), Y - g->Top());
    if (click) FireEvent(g->OnClick, g);
  } else {
    TWinControl::MouseUp(Button, Shift, X, Y);
  }
}

void TCustomControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (TGraphicControl* g = GraphicChildAt(X, Y)) g->MouseMove(Shift, X - g->Left(), Y - g->Top());
  else TWinControl::MouseMove(Shift, X, Y);
}

// ---- TGraphicControl ------------------------------------------------------------------------

void TGraphicControl::SetParent(TWinControl* AParent) {
  Invalidate();
  TControl::SetParent(AParent);
  if (AParent && FAlign != alNone) AParent->Realign();
  Invalidate();
}

void TGraphicControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  Invalidate();
  TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  Invalidate();
}

void TGraphicControl::SetVisible(bool v) {
  if (v == FVisible) return;
  TControl::SetVisible(v);
  if (FParent && FParent->HandleAllocated()) {
    RECT r = {FLeft, FTop, FLeft + FWidth, FTop + FHeight};
    InvalidateRect(FParent->Handle(), &r, TRUE);
  }
}

void TGraphicControl::Invalidate() {
  if (!FParent || !FParent->HandleAllocated() || !FVisible) return;
  RECT r = {FLeft, FTop, FLeft + FWidth, FTop + FHeight};
  InvalidateRect(FParent->Handle(), &r, TRUE);
}

void TCustomControl::AcquireCanvas() {
  if (FCanvasLock++ == 0 && !FCanvas.HandleAllocated() && FHandle) {
    FWindowDC = GetDC(FHandle);
    FCanvas.SetHandle(FWindowDC);
  }
}

void TCustomControl::ReleaseCanvas() {
  if (FCanvasLock > 0 && --FCanvasLock == 0 && FWindowDC) {
    FCanvas.SetHandle(nullptr);
    ReleaseDC(FHandle, FWindowDC);
    FWindowDC = nullptr;
  }
}
