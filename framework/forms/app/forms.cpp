#include "forms.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "menus.h"

TScreen* Screen = nullptr;
TApplication* Application = nullptr;

namespace {
TScreen gScreen;
constexpr UINT FirstMDIChildId = 0xFF00;
}  // namespace

// ---- TScreen --------------------------------------------------------------------------------

void TScreen::RemoveForm(TForm* f) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), f), FForms.end());
  if (FActive == f) FActive = nullptr;
}

void TScreen::SetActiveForm(TForm* f) {
  if (f == FActive) return;
  FActive = f;
  FireEvent(OnActiveFormChange, nullptr);
}

// ---- TForm ----------------------------------------------------------------------------------

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
  FVisible = false;
  FColor = clBtnFace;
  FWidth = 400;
  FHeight = 300;
  Screen->AddForm(this);
}

TForm::~TForm() {
  FDestroyed = true;
  Screen->RemoveForm(this);
  if (FMenu && FFormStyle == fsMDIChild && Application && Application->MainForm() &&
      Application->MainForm() != this && Application->MainForm()->Menu() &&
      Application->MainForm()->Menu()->Merged() == FMenu)
    Application->MainForm()->Menu()->Merge(nullptr);
  if (HandleAllocated()) {
    if (FFormStyle == fsMDIChild) {
      HWND client = GetParent(FHandle);
      if (client) SendMessageA(client, WM_MDIDESTROY, WPARAM(FHandle), 0);
    }
    DestroyHandle();
  }
}

void TForm::SetCaption(const String& v) {
  FCaption = v;
  if (HandleAllocated()) SetWindowTextA(FHandle, v.c_str());
}

void TForm::SetMenu(TMainMenu* m) {
  FMenu = m;
  if (HandleAllocated() && m && FFormStyle != fsMDIChild) {
    ::SetMenu(FHandle, m->Handle());
    m->SetWindow(FHandle);
  }
}

void TForm::SetClientSize(int W, int H) {
  RECT r = {0, 0, W, H};
  TCreateParams p;
  CreateParams(p);
  AdjustWindowRectEx(&r, p.Style, FMenu != nullptr && FFormStyle != fsMDIChild, p.ExStyle);
  SetBounds(FLeft, FTop, r.right - r.left, r.bottom - r.top);
}

void TForm::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.Caption = FCaption;
  p.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  p.ClassCursor = LoadCursor(nullptr, IDC_ARROW);
  p.Style = WS_CLIPCHILDREN;
  switch (FBorder) {
    case fbSizeable: p.Style |= WS_OVERLAPPEDWINDOW; break;
    case fbSingle: p.Style |= WS_CAPTION | WS_SYSMENU | WS_BORDER; break;
    case fbDialog: p.Style |= WS_CAPTION | WS_SYSMENU | WS_DLGFRAME; p.ExStyle |= WS_EX_DLGMODALFRAME; break;
  }
  p.ExStyle |= WS_EX_CONTROLPARENT;
  TForm* main = Application ? Application->MainForm() : nullptr;
  if (FFormStyle == fsMDIChild) {
    p.Style |= WS_CHILD | WS_VISIBLE;
    p.ExStyle |= WS_EX_MDICHILD;
    p.WndParent = main ? main->ClientHandle() : nullptr;
    p.X = p.Y = CW_USEDEFAULT;
  } else {
    p.WndParent = (main && main != this && main->HandleAllocated()) ? main->Handle() : nullptr;
    if (FPosition == poScreenCenter) {
      p.X = (GetSystemMetrics(SM_CXSCREEN) - p.Width) / 2;
      p.Y = (GetSystemMetrics(SM_CYSCREEN) - p.Height) / 2;
    } else if (FPosition == poDefault) {
      p.X = p.Y = CW_USEDEFAULT;
    }
  }
  if (FFormStyle == fsMDIForm) p.Style &= ~WS_CLIPCHILDREN;
}

LRESULT CALLBACK TForm::FrameDefProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  auto* f = dynamic_cast<TForm*>(FromHandle(w));
  return DefFrameProcA(w, f ? f->FClient : nullptr, msg, wp, lp);
}

void TForm::CreateWindowHandle(const TCreateParams& p) {
  if (FFormStyle == fsMDIChild) {
    if (!p.WndParent) throw EInvalidOperation("Kein MDI-Hauptfenster vorhanden");
    FDefWndProc = &DefMDIChildProcA;
  } else if (FFormStyle == fsMDIForm) {
    FDefWndProc = &TForm::FrameDefProc;
  }
  TWinControl::CreateWindowHandle(p);
}

void TForm::HandleCreated() {
  if (FFormStyle == fsMDIForm) {
    CLIENTCREATESTRUCT ccs = {nullptr, FirstMDIChildId};
    FClient = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                              WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0,
                              100, 100, FHandle, nullptr, GetModuleHandleA(nullptr), &ccs);
  }
  if (FMenu && FFormStyle != fsMDIChild) SetMenu(FMenu);
  if (FFormStyle == fsMDIChild) {
    RECT r;
    GetWindowRect(FHandle, &r);
    FWidth = r.right - r.left;
    FHeight = r.bottom - r.top;
  }
}

void TForm::PlaceClient() {
  if (!FClient) return;
  RECT area;
  GetClientRect(FHandle, &area);
  for (TControl* c : FControls) {
    if (!c->Visible()) continue;
    if (c->Align() == alTop) area.top += c->Height();
    if (c->Align() == alBottom) area.bottom -= c->Height();
  }
  MoveWindow(FClient, area.left, area.top, area.right - area.left,
             std::max<LONG>(area.bottom - area.top, 0), TRUE);
}

// The form keeps the record; its own form, if it has one, does not see its controls. A control
// that leaves takes the record along when it is the active control or holds it (a panel moved
// to another form with the focused edit on it).
void TForm::RecordActiveControl(TWinControl* Control, bool Taken) {
  if (Taken) {
    FActiveControl = Control;
    return;
  }
  for (TWinControl* c = FActiveControl; c && c != this; c = c->Parent())
    if (c == Control) {
      FActiveControl = nullptr;
      return;
    }
}

void TForm::OnSize() {
  PlaceClient();
  FireEvent(OnResize, this);
}

bool TForm::OnPaintMessage() {
  if (!OnPaint) return false;
  PAINTSTRUCT ps;
  BeginPaint(FHandle, &ps);
  EndPaint(FHandle, &ps);
  OnPaint(this);
  return true;
}

TWindowState TForm::WindowState() const {
  if (!FHandle) return wsNormal;
  if (IsIconic(FHandle)) return wsMinimized;
  if (IsZoomed(FHandle)) return wsMaximized;
  return wsNormal;
}

void TForm::SetWindowState(TWindowState v) {
  if (!HandleAllocated()) return;
  if (FFormStyle == fsMDIChild) {
    HWND client = GetParent(FHandle);
    if (v == wsNormal) SendMessageA(client, WM_MDIRESTORE, WPARAM(FHandle), 0);
    else if (v == wsMaximized) SendMessageA(client, WM_MDIMAXIMIZE, WPARAM(FHandle), 0);
    else ShowWindow(FHandle, SW_MINIMIZE);
    return;
  }
  ShowWindow(FHandle, v == wsNormal ? SW_RESTORE : v == wsMaximized ? SW_MAXIMIZE : SW_MINIMIZE);
}

void TForm::Show() {
  HWND w = Handle();
  FVisible = true;
  ShowWindow(w, SW_SHOW);
  if (FFormStyle == fsMDIChild)
    SendMessageA(GetParent(w), WM_MDIACTIVATE, WPARAM(w), 0);
  else
    SetForegroundWindow(w);
  FireEvent(OnShow, this);
}

bool TForm::CloseQuery() {
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TForm::Close() {
  if (!CloseQuery()) return;
  TCloseAction action = FModal ? caHide : FFormStyle == fsMDIChild ? caMinimize : caHide;
  if (OnClose) OnClose(this, action);
  if (action == caNone) return;
  if (FModal) {
    if (FModalResult == mrNone) FModalResult = mrCancel;
    return;
  }
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide: FVisible = false; if (FHandle) ShowWindow(FHandle, SW_HIDE); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

// The windows a modal form sets aside: every enabled top-level window of this thread but the
// form itself and the windows it owns. Children of the desktop (the drop-down lists of combo
// boxes, which the thread's enumeration reports beside the top-level windows) are left alone.
// Each modal form keeps its own list and enables exactly those windows again (also when the loop
// is left by an exception), so a form shown modally from another modal form gives back the state
// it found, and the outer form stays disabled until the inner one has ended. A form that existed
// before an outer modal form began was set aside by it: for its own run it and its windows are
// enabled, and set aside again when it ends.
namespace {
class TDisabledWindows {
public:
  explicit TDisabledWindows(HWND Form) : FForm(Form) {
    EnumThreadWindows(GetCurrentThreadId(), &TDisabledWindows::Visit, LPARAM(this));
  }
  ~TDisabledWindows() { Restore(); }
  void Restore() {
    for (HWND w : FDisabled)
      if (IsWindow(w)) EnableWindow(w, TRUE);
    for (HWND w : FEnabled)
      if (IsWindow(w)) EnableWindow(w, FALSE);
    FDisabled.clear();
    FEnabled.clear();
  }

private:
  static BOOL CALLBACK Visit(HWND w, LPARAM l) {
    auto* d = reinterpret_cast<TDisabledWindows*>(l);
    if (GetWindowLongA(w, GWL_STYLE) & WS_CHILD) return TRUE;
    bool own = false;
    for (HWND o = w; o && !own; o = GetWindow(o, GW_OWNER)) own = o == d->FForm;
    if (own != bool(IsWindowEnabled(w))) {
      EnableWindow(w, own);
      (own ? d->FEnabled : d->FDisabled).push_back(w);
    }
    return TRUE;
  }
  HWND FForm;
  std::vector<HWND> FDisabled, FEnabled;
};
}  // namespace

int TForm::ShowModal() {
  HWND before = GetActiveWindow();
  FModalResult = mrNone;
  FModal = true;
  TDisabledWindows others(Handle());
  Show();
  while (FModalResult == mrNone) {
    if (!Application->HandleMessage()) break;
  }
  FModal = false;
  // Enabled before this form hides, so that the system hands the activation to one of them.
  others.Restore();
  if (FHandle) ShowWindow(FHandle, SW_HIDE);
  FVisible = false;
  if (before && IsWindow(before)) SetActiveWindow(before);
  return FModalResult;
}

int TForm::MDIChildCount() const {
  int n = 0;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TForm* f = Screen->Forms(i);
    if (f->FFormStyle == fsMDIChild && f->HandleAllocated() && !f->FDestroyed && !f->FReleasing) ++n;
  }
  return n;
}

TForm* TForm::MDIChildren(int I) const {
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TForm* f = Screen->Forms(i);
    if (f->FFormStyle == fsMDIChild && f->HandleAllocated() && !f->FDestroyed && !f->FReleasing && I-- == 0)
      return f;
  }
  return nullptr;
}

TForm* TForm::ActiveMDIChild() const {
  if (!FClient) return nullptr;
  auto* f = dynamic_cast<TForm*>(FromHandle(HWND(SendMessageA(FClient, WM_MDIGETACTIVE, 0, 0))));
  return f && !f->FDestroyed && !f->FReleasing ? f : nullptr;
}

namespace {
bool OfferDialogChar(TWinControl* parent, char ch) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* w = dynamic_cast<TWinControl*>(parent->Controls(i));
    if (!w || !w->Visible() || !w->Enabled()) continue;
    if (auto* t = dynamic_cast<TDialogCharTarget*>(w))
      if (t->DialogChar(ch)) return true;
    if (OfferDialogChar(w, ch)) return true;
  }
  return false;
}

// The control that answers a dialog command (the default or the cancel button), depth first.
TWinControl* FindDialogCommandTarget(TWinControl* parent, int id) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* w = dynamic_cast<TWinControl*>(parent->Controls(i));
    if (!w) continue;
    if (w->AnswersDialogCommand(id)) return w;
    if (TWinControl* t = FindDialogCommandTarget(w, id)) return t;
  }
  return nullptr;
}
}  // namespace

bool TForm::DialogChar(char Ch) { return OfferDialogChar(this, Ch); }

LRESULT TForm::WndProc(UINT msg, WPARAM w, LPARAM l) {
  LRESULT r = 0;
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
      if (ReflectControlMessage(msg, w, l, r)) return r;
      if (msg == WM_NOTIFY) {
        // A notification from a window without an object of its own (the tool tips of a tool
        // bar) is offered to the child controls.
        for (TControl* c : FControls)
          if (auto* child = dynamic_cast<TWinControl*>(c))
            if (child->Notify(reinterpret_cast<NMHDR*>(l), r)) return r;
        break;
      }
      if (l == 0) {
        const UINT id = LOWORD(w);
        if (TMenuItem* item = TMenuItem::FindItem(id)) {
          if (item->Enabled()) item->Click();
          return 0;
        }
        if (id == IDOK || id == IDCANCEL) {
          if (TWinControl* b = FindDialogCommandTarget(this, int(id))) {
            b->CommandNotify(BN_CLICKED, int(id));
            return 0;
          }
          if (id == IDCANCEL && FBorder != fbSizeable) {
            Close();
            return 0;
          }
        }
      }
      break;
    case WM_MENUSELECT:
      if (Application) {
        const UINT flags = HIWORD(w);
        TMenuItem* item = nullptr;
        if (flags == 0xFFFF && l == 0) {
          Application->SetHint("");
        } else if (flags & MF_POPUP) {
          item = TMenuItem::FindSubMenu(GetSubMenu(HMENU(l), LOWORD(w)));
        } else {
          item = TMenuItem::FindItem(LOWORD(w));
        }
        if (item) Application->SetHint(item->Hint());
      }
      break;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_ERASEBKGND: {
      if (FFormStyle == fsMDIForm) break;
      RECT rc;
      GetClientRect(FHandle, &rc);
      HBRUSH b = CreateSolidBrush(COLORREF(ColorToRGB(Color())));
      FillRect(HDC(w), &rc, b);
      DeleteObject(b);
      return 1;
    }
    case WM_ACTIVATE:
      if (LOWORD(w) != WA_INACTIVE && FFormStyle != fsMDIChild) Screen->SetActiveForm(this);
      break;
    case WM_SETFOCUS:
      // A form that gets the focus (activated again after a dialog, or an MDI child activated)
      // hands it on to its active control, so that typing goes on where it was. The MDI frame
      // hands it to its active child through the default frame procedure.
      if (FFormStyle != fsMDIForm && FActiveControl && FActiveControl != this && FActiveControl->HandleAllocated() &&
          IsWindowVisible(FActiveControl->Handle()) && IsWindowEnabled(FActiveControl->Handle())) {
        const LRESULT r = TWinControl::WndProc(msg, w, l);
        FActiveControl->SetFocus();
        return r;
      }
      break;
    case WM_MDIACTIVATE:
      if (HWND(l) == FHandle) Screen->SetActiveForm(this);
      // The child's menus join the frame's bar while it is active.
      if (FFormStyle == fsMDIChild && Application && Application->MainForm() && Application->MainForm()->Menu()) {
        TMainMenu* bar = Application->MainForm()->Menu();
        if (HWND(l) == FHandle) bar->Merge(FMenu);
        else if (HWND(w) == FHandle && bar->Merged() == FMenu) bar->Merge(nullptr);
      }
      if (HWND(l) == FHandle) FireEvent(OnActivate, this);
      break;
    case CM_RELEASE: {
      FireEvent(OnDestroy, this);
      const bool child = FFormStyle == fsMDIChild;
      delete this;
      if (child && Application && Application->MainForm()) {
        TForm* main = Application->MainForm();
        TForm* active = main->ActiveMDIChild();
        Screen->SetActiveForm(active ? active : main);
        Screen->ActiveFormChanged();
      }
      return 0;
    }
    case WM_SIZE:
      if (FFormStyle == fsMDIChild) {
        // The MDI child's own default procedure must see the size (it maintains the menu
        // bar's maximised state).
        RECT rc;
        GetWindowRect(FHandle, &rc);
        FWidth = rc.right - rc.left;
        FHeight = rc.bottom - rc.top;
        LRESULT res = DefaultHandler(msg, w, l);
        Realign();
        FireEvent(OnResize, this);
        return res;
      }
      break;
    default:
      break;
  }
  return TWinControl::WndProc(msg, w, l);
}

// ---- TApplication -----------------------------------------------------------------------------

namespace {
String gTitle;
}

TApplication::TApplication() : TComponent(nullptr) {
  Application = this;
  Screen = &gScreen;
  SetHintReceiver([this](const String& Hint) { SetHint(Hint); });
}

TApplication::~TApplication() {
  // The forms go first (their handlers may still reach Application).
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
  FMainForm = nullptr;
  if (Application == this) {
    SetHintReceiver(nullptr);
    Application = nullptr;
  }
}

void TApplication::Initialize() {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  if (gTitle.empty()) {
    String n = ExtractFileName(ExeName());
    SetTitle(ChangeFileExt(n, ""));
  }
}

String TApplication::ExeName() const {
  char buf[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, buf, MAX_PATH);
  return buf;
}

const String& TApplication::Title() const { return gTitle; }

void TApplication::SetTitle(const String& v) {
  gTitle = v;
  SetApplicationTitle(v);
}

HWND TApplication::Handle() const { return FMainForm && FMainForm->HandleAllocated() ? FMainForm->Handle() : nullptr; }

void TApplication::SetHint(const String& v) {
  if (v == FHint) return;
  FHint = v;
  FireEvent(OnHint, this);
}

bool TApplication::HelpJump(const String& TopicId) {
  if (FHelpFile.empty()) return false;
  const String cmd = "JI(`',`" + TopicId + "')";
  return WinHelpA(Handle(), FHelpFile.c_str(), HELP_COMMAND, ULONG_PTR(cmd.c_str())) != 0;
}

namespace {
bool Dispatch(MSG& m) {
  TForm* main = Application->MainForm();
  if (main && main->ClientHandle() && TranslateMDISysAccel(main->ClientHandle(), &m)) return true;
  HWND active = GetActiveWindow();
  if (auto* f = dynamic_cast<TForm*>(TWinControl::FromHandle(active))) {
    if (m.message == WM_SYSCHAR && f->DialogChar(char(m.wParam))) return true;
    if (f->BorderStyle() != fbSizeable && IsDialogMessageA(active, &m)) return true;
  }
  TranslateMessage(&m);
  DispatchMessageA(&m);
  return true;
}
}  // namespace

bool TApplication::HandleMessage() {
  MSG m;
  const BOOL got = GetMessageA(&m, nullptr, 0, 0);
  if (got == 0 || got == -1) {
    PostQuitMessage(int(m.wParam));
    FTerminated = true;
    return false;
  }
  Dispatch(m);
  return true;
}

void TApplication::ProcessMessages() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(int(m.wParam));
      FTerminated = true;
      return;
    }
    Dispatch(m);
  }
}

void TApplication::Run() {
  if (FMainForm) FMainForm->Show();
  MSG m;
  while (!FTerminated || PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) {
    const BOOL got = GetMessageA(&m, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    try {
      Dispatch(m);
    } catch (...) {
      HandleException();
    }
  }
  FTerminated = true;
}

int TApplication::MessageBox(const String& Text, const String& Caption, UINT Flags) {
  HWND owner = GetActiveWindow();
  if (!owner) owner = Handle();
  return ::MessageBoxA(owner, Text.c_str(), Caption.c_str(), Flags);
}
