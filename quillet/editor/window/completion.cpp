#include <algorithm>

#include "codeeditor.h"
#include "editor_utils.h"

namespace {

bool IsCompletionChar(char c) {
  return c == 8 || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Whether s starts with prefix, without regard to case.
bool StartsWithText(const String& s, const String& prefix) {
  return s.size() >= prefix.size() && AnsiCompareText(s.substr(0, prefix.size()), prefix) == 0;
}

}  // namespace

// ---- TCompletion ----------------------------------------------------------------------------

TCompletion::TCompletion(TRACustomEditor* Editor) : FEditor(Editor) {
  FTimer.SetEnabled(false);
  FTimer.SetInterval(FInterval);
  FTimer.OnTimer = [this](TObject*) { TimerFired(); };
}

TCompletion::~TCompletion() = default;

void TCompletion::Assign(TPersistent* Source) {
  if (auto* c = dynamic_cast<TCompletion*>(Source)) {
    DropDownCount = c->DropDownCount;
    DropDownWidth = c->DropDownWidth;
    Enabled = c->Enabled;
    FIdentifers.Assign(&c->FIdentifers);
    FTemplates.Assign(&c->FTemplates);
    ItemHeight = c->ItemHeight;
    SetInterval(c->FInterval);
    ListBoxStyle = c->ListBoxStyle;
    CaretChar = c->CaretChar;
    CRLF = c->CRLF;
    Separator = c->Separator;
    return;
  }
  TPersistent::Assign(Source);
}

void TCompletion::SetInterval(unsigned v) {
  FInterval = v;
  FTimer.SetInterval(v);
}

int TCompletion::ItemIndex() const { return FVisible && FList ? FList->ItemIndex() : FItemIndex; }

String TCompletion::Field(const String& Entry, int N) const { return SubStr(Entry, N, Separator); }

bool TCompletion::FireEvent(TCompletionMode Mode) {
  bool cancel = false;
  const TOnCompletion& e =
      Mode == cmIdentifers ? FEditor->OnCompletionIdentifer : FEditor->OnCompletionTemplate;
  if (e) e(FEditor, cancel);
  return !cancel;
}

void TCompletion::Fill() {
  FItems.Clear();
  if (FMode == cmIdentifers) {
    FItems.Assign(&FIdentifers);
    return;
  }
  const String word = FEditor->WordAtCaret();
  for (int i = 0; i < FTemplates.Count(); ++i)
    if (word.empty() || StartsWithText(FTemplates.StringRef(i), word))
      FItems.Add(FTemplates.StringRef(i));
  if (FItems.Count() == 0) FItems.Assign(&FTemplates);
}

bool TCompletion::SelectForWord(bool& Exact) {
  Exact = false;
  FItemIndex = -1;
  const String word = FEditor->WordAtCaret();
  if (word.empty()) return false;
  for (int i = 0; i < FItems.Count(); ++i) {
    if (StartsWithText(FItems.StringRef(i), word)) {
      FItemIndex = i;
      Exact = SameText(Trim(Field(FItems.StringRef(i), 0)), word);
      return true;
    }
  }
  return false;
}

void TCompletion::DoCompletion(TCompletionMode Mode, bool Forced) {
  if (FVisible) CloseUp(false);
  FMode = Mode;
  if (!FireEvent(Mode)) return;
  Fill();
  bool exact = false;
  const bool selected = SelectForWord(exact);
  if (FItems.Count() == 0) return;
  if ((selected && !exact) || Forced) Show();
}

void TCompletion::Show() {
  if (!FEditor->HandleAllocated()) return;
  if (!FList) FList.reset(new TCodeEditorCompletionList(this, FEditor));
  TCodeEditorCompletionList* list = FList.get();
  list->SetStyle(ListBoxStyle == lbStandard ? lbOwnerDrawFixed : ListBoxStyle);
  list->Handle();
  list->SetItemHeight(ItemHeight);
  list->OnDrawItem = FEditor->OnCompletionDrawItem;
  list->OnMeasureItem = FEditor->OnCompletionMeasureItem;
  list->Items()->Assign(&FItems);
  list->SetItemIndex(FItemIndex);

  const TRect cell = FEditor->CellRect(FEditor->CaretX() - FEditor->LeftCol(),
                                       FEditor->CaretY() - FEditor->TopRow());
  POINT below = {cell.left, cell.bottom}, above = {cell.left, cell.top};
  ClientToScreen(FEditor->Handle(), &below);
  ClientToScreen(FEditor->Handle(), &above);
  const int border = GetSystemMetrics(SM_CXBORDER);
  const int height = ItemHeight * std::min(FItems.Count(), std::max(DropDownCount, 1)) + 2;
  const int width = DropDownWidth > 0 ? DropDownWidth : 2 * border + FEditor->Width();
  int x = below.x - 2 * border, y = below.y - 2 * border;
  if (y + height > GetSystemMetrics(SM_CYSCREEN)) y = std::max(int(above.y) - height, 0);
  SetWindowPos(list->Handle(), HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  FVisible = true;
}

void TCompletion::CloseUp(bool Accept) {
  FTimer.SetEnabled(false);
  if (!FVisible) return;
  FVisible = false;
  if (FList) {
    FItemIndex = FList->ItemIndex();
    ShowWindow(FList->Handle(), SW_HIDE);
  }
  if (Accept && FItemIndex >= 0 && FItemIndex < FItems.Count()) InsertSelected();
}

void TCompletion::InsertSelected() {
  const String entry = FItems.StringRef(FItemIndex);
  if (FMode == cmIdentifers)
    FEditor->InsertCompletion(Field(entry, 0), false, CaretChar, CRLF);
  else if (FMode == cmTemplates)
    FEditor->InsertCompletion(Field(entry, 2), true, CaretChar, CRLF);
  else
    throw ECodeEditorError("Invalid CodeEditor Completion Mode");
}

bool TCompletion::KeyDown(Word& Key, TShiftState Shift) {
  if (!FVisible || !FList || FItems.Count() == 0) return false;
  int index = FList->ItemIndex();
  const int page = std::max(DropDownCount, 1);
  switch (Key) {
    case VK_UP: index -= 1; break;
    case VK_DOWN: index += 1; break;
    case VK_PRIOR: index -= page; break;
    case VK_NEXT: index += page; break;
    case VK_RETURN:
      Key = 0;
      CloseUp(true);
      return true;
    case VK_ESCAPE:
      Key = 0;
      CloseUp(false);
      return true;
    default:
      return false;
  }
  FList->SetItemIndex(std::clamp(index, 0, FItems.Count() - 1));
  Key = 0;
  return true;
}

void TCompletion::CharTyped(char Ch, bool After) {
  if (!FVisible) {
    if (Enabled) {
      FTimer.SetEnabled(false);
      FTimer.SetEnabled(true);
    }
    return;
  }
  if (!IsCompletionChar(Ch)) {
    CloseUp(true);  // the character itself goes in after the chosen entry
    return;
  }
  if (!After) return;
  bool exact = false;
  SelectForWord(exact);
  if (FList) FList->SetItemIndex(FItemIndex);
  if (!FireEvent(FMode) || FItems.Count() == 0) CloseUp(false);
}

void TCompletion::Backspace() { CharTyped(8, true); }

void TCompletion::Command(int Command) {
  if (FEditor->ReadOnly()) return;
  if (Command == 402) {
    DoCompletion(cmIdentifers, true);
  } else if (Command == 403) {
    if (FVisible) CloseUp(false);
    FMode = cmTemplates;
    if (!FireEvent(cmTemplates) || FTemplates.Count() == 0) return;
    Fill();
    bool exact = false;
    if (SelectForWord(exact) && exact)
      InsertSelected();
    else
      Show();
  }
}

void TCompletion::TimerFired() {
  FTimer.SetEnabled(false);
  if (!FVisible) DoCompletion(FDefMode, false);
}

// ---- TCodeEditorCompletionList --------------------------------------------------------------

TCodeEditorCompletionList::TCodeEditorCompletionList(TCompletion* Owner, TRACustomEditor* Editor)
    : TListBox(nullptr), FCompletion(Owner), FEditor(Editor) {
  FVisible = false;
  FTabStop = false;
  FParentFont = false;
  FCtl3D = false;
  FLeft = -1000;
  FWidth = 100;
  FHeight = 100;
  FScrollTimer.SetEnabled(false);
  FScrollTimer.SetInterval(200);
  FScrollTimer.OnTimer = [this](TObject*) { ScrollTick(); };
}

void TCodeEditorCompletionList::CreateParams(TCreateParams& p) {
  TListBox::CreateParams(p);
  p.Style &= ~(WS_CHILD | WS_VISIBLE | WS_TABSTOP);
  p.Style |= WS_POPUP | WS_BORDER;
  p.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  p.ClassStyle |= CS_SAVEBITS;
  p.WndParent = FEditor->Handle();  // the owner gets the owner-draw messages
}

void TCodeEditorCompletionList::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  TCanvas* c = Canvas();
  c->FillRect(Rect);
  if (Index < 0 || Index >= Items()->Count()) return;
  const String& entry = Items()->StringRef(Index);
  const String& sep = FCompletion->Separator;
  c->TextOut(Rect.left + 2, Rect.top, SubStr(entry, 1, sep));
  if (FCompletion->Mode() == cmTemplates) {
    const String name = SubStr(entry, 0, sep);
    const TFontStyles old = c->Font()->Style();
    c->Font()->SetStyle(TFontStyles(fsBold));
    const int w = c->TextWidth(name);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(Rect.right - w - 2, Rect.top, name);
    c->Brush()->SetStyle(bsSolid);
    c->Font()->SetStyle(old);
  }
}

void TCodeEditorCompletionList::ScrollTick() {
  const int index = std::clamp(ItemIndex() + FScrollDir, 0, std::max(Items()->Count() - 1, 0));
  SetItemIndex(index);
}

LRESULT TCodeEditorCompletionList::WndProc(UINT msg, WPARAM w, LPARAM l) {
  const int x = short(LOWORD(l)), y = short(HIWORD(l));
  switch (msg) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;  // the editor keeps the focus
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const int i = ItemAtPos(x, y);
      if (i >= 0) SetItemIndex(i);
      SetCapture(FHandle);
      return 0;
    }
    case WM_MOUSEMOVE:
      if ((w & MK_LBUTTON) && GetCapture() == FHandle) {
        const int h = ClientHeight();
        if (y < 0 || y >= h) {
          FScrollDir = y < 0 ? -1 : 1;
          const int away = y < 0 ? -y : y - h;
          FScrollTimer.SetInterval(away > ItemHeight() ? 50 : 200);
          FScrollTimer.SetEnabled(true);
        } else {
          FScrollTimer.SetEnabled(false);
          const int i = ItemAtPos(x, y);
          if (i >= 0 && i != ItemIndex()) SetItemIndex(i);
        }
      }
      return 0;
    case WM_LBUTTONUP: {
      FScrollTimer.SetEnabled(false);
      if (GetCapture() == FHandle) ReleaseCapture();
      RECT r;
      GetClientRect(FHandle, &r);
      const POINT pt = {x, y};
      FCompletion->CloseUp(PtInRect(&r, pt) != 0);
      return 0;
    }
    default:
      return TListBox::WndProc(msg, w, l);
  }
}
