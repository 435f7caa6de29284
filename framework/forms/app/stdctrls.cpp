#include "stdctrls.h"

// ---- TStdControl ----------------------------------------------------------------------------

LRESULT TStdControl::WndProc(UINT msg, WPARAM w, LPARAM l) {
  const int x = short(LOWORD(l)), y = short(HIWORD(l));
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
      LRESULT r = DefaultHandler(msg, w, l);
      if (OnMouseDown) OnMouseDown(this, msg == WM_LBUTTONDOWN ? mbLeft : mbRight, MouseShiftState(w), x, y);
      return r;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      LRESULT r = DefaultHandler(msg, w, l);
      if (OnMouseUp) OnMouseUp(this, msg == WM_LBUTTONUP ? mbLeft : mbRight, MouseShiftState(w), x, y);
      return r;
    }
    case WM_LBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
      return DefaultHandler(msg, w, l);
    case WM_COMMAND:
    case WM_NOTIFY: {
      LRESULT r = 0;
      if (ReflectControlMessage(msg, w, l, r)) return r;
      break;
    }
    default:
      break;
  }
  return TWinControl::WndProc(msg, w, l);
}

void TStdControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.Caption = FText;
}

void TStdControl::SetCaption(const String& v) {
  FText = v;
  if (HandleAllocated()) SetWindowTextA(FHandle, v.c_str());
}

String TStdControl::Text() const {
  if (!FHandle) return FText;
  const int n = GetWindowTextLengthA(FHandle);
  String s(size_t(n) + 1, '\0');
  GetWindowTextA(FHandle, &s[0], n + 1);
  s.resize(size_t(n));
  return s;
}

// ---- labels, edits, check boxes, buttons, combo boxes ----------------------------------------

TLabel::TLabel(TComponent* AOwner) : TStdControl(AOwner) { FWidth = 60; FHeight = 16; }

void TLabel::CreateParams(TCreateParams& p) {
  TStdControl::CreateParams(p);
  p.BaseClassName = "STATIC";
  p.Style |= SS_LEFT;
}

TEdit::TEdit(TComponent* AOwner) : TStdControl(AOwner) {
  FWidth = 120;
  FHeight = 22;
  FTabStop = true;
}

void TEdit::CreateParams(TCreateParams& p) {
  TStdControl::CreateParams(p);
  p.BaseClassName = "EDIT";
  p.Style |= ES_AUTOHSCROLL;
  p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::HandleCreated() {
  TStdControl::HandleCreated();
  if (FMaxLength) SendMessageA(FHandle, EM_LIMITTEXT, WPARAM(FMaxLength), 0);
}

void TEdit::SetMaxLength(int v) {
  FMaxLength = v;
  if (HandleAllocated()) SendMessageA(FHandle, EM_LIMITTEXT, WPARAM(v), 0);
}

bool TEdit::CommandNotify(int Code, int) {
  if (Code != EN_CHANGE) return false;
  FireEvent(OnChange, this);
  return true;
}

LRESULT TEdit::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_GETDLGCODE && FOnReturnWanted && l) {
    const MSG* m = reinterpret_cast<const MSG*>(l);
    if ((m->message == WM_KEYDOWN || m->message == WM_CHAR) && (m->wParam == VK_RETURN || m->wParam == '\r'))
      return DLGC_WANTALLKEYS | DefaultHandler(msg, w, l);
  }
  return TStdControl::WndProc(msg, w, l);
}

void TEdit::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

TCheckBox::TCheckBox(TComponent* AOwner) : TStdControl(AOwner) {
  FWidth = 120;
  FHeight = 18;
  FTabStop = true;
}

void TCheckBox::CreateParams(TCreateParams& p) {
  TStdControl::CreateParams(p);
  p.BaseClassName = "BUTTON";
  p.Style |= BS_AUTOCHECKBOX;
}

bool TCheckBox::Checked() const {
  return FHandle ? SendMessageA(FHandle, BM_GETCHECK, 0, 0) == BST_CHECKED : FChecked;
}

void TCheckBox::SetChecked(bool v) {
  FChecked = v;
  if (HandleAllocated()) SendMessageA(FHandle, BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TCheckBox::CommandNotify(int Code, int) {
  if (Code != BN_CLICKED) return false;
  FChecked = Checked();
  FireEvent(OnClick, this);
  return true;
}

TButton::TButton(TComponent* AOwner) : TStdControl(AOwner) {
  FWidth = 75;
  FHeight = 25;
  FTabStop = true;
}

void TButton::CreateParams(TCreateParams& p) {
  TStdControl::CreateParams(p);
  p.BaseClassName = "BUTTON";
  p.Style |= Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::HandleCreated() {
  if (!FId && (Default || Cancel)) SetControlId(Default ? IDOK : IDCANCEL);
}

bool TButton::CommandNotify(int Code, int) {
  if (Code != BN_CLICKED) return false;
  FireEvent(OnClick, this);
  if (ModalResult) {
    for (TWinControl* p = Parent(); p; p = p->Parent())
      if (p->TakeModalResult(ModalResult)) break;
  }
  return true;
}

bool TButton::AnswersDialogCommand(int Id) const { return Id == IDOK ? Default : Id == IDCANCEL ? Cancel : false; }

TComboBox::TComboBox(TComponent* AOwner) : TStdControl(AOwner) {
  FWidth = 120;
  FHeight = 200;
  FTabStop = true;
}

void TComboBox::CreateParams(TCreateParams& p) {
  TStdControl::CreateParams(p);
  p.BaseClassName = "COMBOBOX";
  p.Style |= CBS_DROPDOWNLIST | WS_VSCROLL;
}

void TComboBox::HandleCreated() {
  TStdControl::HandleCreated();
  for (const String& s : FItems) SendMessageA(FHandle, CB_ADDSTRING, 0, LPARAM(s.c_str()));
  SendMessageA(FHandle, CB_SETCURSEL, WPARAM(FItemIndex), 0);
}

void TComboBox::AddItem(const String& s) {
  FItems.push_back(s);
  if (HandleAllocated()) SendMessageA(FHandle, CB_ADDSTRING, 0, LPARAM(s.c_str()));
}

int TComboBox::ItemIndex() const { return FHandle ? int(SendMessageA(FHandle, CB_GETCURSEL, 0, 0)) : FItemIndex; }

void TComboBox::SetItemIndex(int i) {
  FItemIndex = i;
  if (HandleAllocated()) SendMessageA(FHandle, CB_SETCURSEL, WPARAM(i), 0);
}

bool TComboBox::CommandNotify(int Code, int) {
  if (Code != CBN_SELCHANGE) return false;
  FItemIndex = ItemIndex();
  FireEvent(OnChange, this);
  return true;
}

// ---- TUpDown --------------------------------------------------------------------------------

TUpDown::TUpDown(TComponent* AOwner) : TStdControl(AOwner) {
  FWidth = 30;
  FHeight = 20;
}

void TUpDown::CreateParams(TCreateParams& p) {
  TStdControl::CreateParams(p);
  p.BaseClassName = UPDOWN_CLASSA;
  if (Orientation == udHorizontal) p.Style |= UDS_HORZ;
  if (Wrap) p.Style |= UDS_WRAP;
}

void TUpDown::HandleCreated() {
  TStdControl::HandleCreated();
  SendMessageA(FHandle, UDM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
  SendMessageA(FHandle, UDM_SETPOS32, 0, LPARAM(FPosition));
}

void TUpDown::SetRange(int AMin, int AMax) {
  FMin = AMin;
  FMax = AMax;
  if (HandleAllocated()) SendMessageA(FHandle, UDM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
}

int TUpDown::Position() const {
  return FHandle ? int(SendMessageA(FHandle, UDM_GETPOS32, 0, 0)) : FPosition;
}

void TUpDown::SetPosition(int v) {
  FPosition = std::max(FMin, std::min(FMax, v));
  if (HandleAllocated()) SendMessageA(FHandle, UDM_SETPOS32, 0, LPARAM(FPosition));
}

bool TUpDown::Notify(NMHDR*, LRESULT&) { return false; }

LRESULT TUpDown::WndProc(UINT msg, WPARAM w, LPARAM l) {
  LRESULT r = TStdControl::WndProc(msg, w, l);
  if (msg == WM_LBUTTONUP || msg == WM_LBUTTONDOWN) FPosition = Position();
  return r;
}

// ---- TPanel ---------------------------------------------------------------------------------

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FColor = clBtnFace;
  FWidth = 185;
  FHeight = 41;
}

void TPanel::SetCaption(const String& v) {
  FCaption = v;
  if (HandleAllocated()) SetWindowTextA(FHandle, v.c_str());  // readable as the window text
  Invalidate();
}

void TPanel::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Caption = FCaption;
  p.ExStyle |= WS_EX_CONTROLPARENT;
}

void TPanel::Paint() {
  TCanvas* c = Canvas();
  TRect r(0, 0, ClientWidth(), ClientHeight());
  c->Brush()->SetColor(Color());
  c->FillRect(r);
  RECT rc = {0, 0, ClientWidth(), ClientHeight()};
  if (BevelOuter != bvNone)
    DrawEdge(c->Handle(), &rc, BevelOuter == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
  if (!FCaption.empty()) {
    c->Font()->Assign(Font());
    SetBkMode(c->Handle(), TRANSPARENT);
    SelectObject(c->Handle(), Font()->Handle());
    SetTextColor(c->Handle(), COLORREF(ColorToRGB(Font()->Color())));
    DrawTextA(c->Handle(), FCaption.c_str(), int(FCaption.size()), &rc,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
}

LRESULT TPanel::WndProc(UINT msg, WPARAM w, LPARAM l) {
  LRESULT r = 0;
  if ((msg == WM_COMMAND || msg == WM_NOTIFY) && ReflectControlMessage(msg, w, l, r)) return r;
  return TCustomControl::WndProc(msg, w, l);
}

// ---- image list, tool bar, status bar -------------------------------------------------------

TImageList::TImageList(TComponent* AOwner, int Width, int Height)
    : TComponent(AOwner), FWidth(Width), FHeight(Height) {}

TImageList::~TImageList() {
  if (FHandle) ImageList_Destroy(FHandle);
}

bool TImageList::LoadStrip(HINSTANCE Instance, int ResourceId) {
  if (FHandle) ImageList_Destroy(FHandle);
  FHandle = ImageList_LoadImageA(Instance, MAKEINTRESOURCEA(ResourceId), FWidth, 0, RGB(255, 0, 255),
                                 IMAGE_BITMAP, LR_CREATEDIBSECTION);
  return FHandle != nullptr;
}

TToolButton::TToolButton(TToolBar* Bar, int ImageIndex, bool Separator)
    : TComponent(Bar), FBar(Bar), FImage(ImageIndex), FCommand(ToolButtonCommandBase + Bar->ButtonCount()),
      FSeparator(Separator) {
  Bar->Add(this);
}

void TToolButton::SetEnabled(bool v) {
  FEnabled = v;
  if (FBar->HandleAllocated()) SendMessageA(FBar->Handle(), TB_ENABLEBUTTON, WPARAM(FCommand), MAKELONG(v, 0));
}

TToolBar::TToolBar(TComponent* AOwner) : TStdControl(AOwner) {
  FHeight = 30;
  FAlign = alTop;
}

void TToolBar::CreateParams(TCreateParams& p) {
  TStdControl::CreateParams(p);
  p.BaseClassName = TOOLBARCLASSNAMEA;
  p.Style |= TBSTYLE_TOOLTIPS | TBSTYLE_FLAT | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;
}

void TToolBar::HandleCreated() {
  TStdControl::HandleCreated();
  SendMessageA(FHandle, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  if (FImages && FImages->Handle()) SendMessageA(FHandle, TB_SETIMAGELIST, 0, LPARAM(FImages->Handle()));
  SendMessageA(FHandle, TB_SETBUTTONSIZE, 0, MAKELONG(ButtonWidth, 26));
  for (TToolButton* b : FButtons) AddToWindow(b);
}

void TToolBar::Add(TToolButton* b) {
  FButtons.push_back(b);
  if (HandleAllocated()) AddToWindow(b);
}

void TToolBar::AddToWindow(TToolButton* b) {
  TBBUTTON tb = {};
  tb.iBitmap = b->FSeparator ? 8 : b->FImage;
  tb.idCommand = b->FCommand;
  tb.fsState = BYTE(b->FEnabled ? TBSTATE_ENABLED : 0);
  tb.fsStyle = BYTE(b->FSeparator ? TBSTYLE_SEP : TBSTYLE_BUTTON);
  SendMessageA(FHandle, TB_ADDBUTTONSA, 1, LPARAM(&tb));
}

TToolButton* TToolBar::FindButton(int Command) const {
  for (TToolButton* b : FButtons)
    if (b->FCommand == Command) return b;
  return nullptr;
}

bool TToolBar::CommandNotify(int, int Id) {
  TToolButton* b = FindButton(Id);
  if (!b) return false;
  b->Click();
  return true;
}

bool TToolBar::Notify(NMHDR* h, LRESULT& r) {
  if (h->code == TTN_GETDISPINFOA) {
    TToolButton* b = FindButton(int(h->idFrom));
    if (!b) return false;
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(h);
    FTipText = b->Hint();
    info->lpszText = &FTipText[0];
    info->hinst = nullptr;
    ShowApplicationHint(b->Hint());
    r = 0;
    return true;
  }
  if (h->code == TBN_HOTITEMCHANGE && h->hwndFrom == FHandle) {
    auto* hot = reinterpret_cast<NMTBHOTITEM*>(h);
    TToolButton* b = FindButton(hot->idNew);
    ShowApplicationHint(b ? b->Hint() : String());
    r = 0;
    return true;
  }
  return false;
}

TStatusBar::TStatusBar(TComponent* AOwner) : TStdControl(AOwner) {
  FHeight = 20;
  FAlign = alBottom;
}

void TStatusBar::CreateParams(TCreateParams& p) {
  TStdControl::CreateParams(p);
  p.BaseClassName = STATUSCLASSNAMEA;
  p.Style |= CCS_NORESIZE | CCS_NOPARENTALIGN | SBARS_SIZEGRIP;
  p.Caption.clear();
}

void TStatusBar::HandleCreated() {
  TStdControl::HandleCreated();
  SendMessageA(FHandle, SB_SIMPLE, TRUE, 0);
  SendMessageA(FHandle, SB_SETTEXTA, 255, LPARAM(FSimpleText.c_str()));
}

void TStatusBar::SetSimpleText(const String& v) {
  FSimpleText = v;
  if (HandleAllocated()) SendMessageA(FHandle, SB_SETTEXTA, 255, LPARAM(FSimpleText.c_str()));
}
