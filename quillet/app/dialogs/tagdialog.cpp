#include "tagdialog.h"

#include "insertids.h"

void TFreeComboBox::CreateParams(TCreateParams& p) {
  TComboBox::CreateParams(p);
  p.Style = (p.Style & ~DWORD(CBS_DROPDOWNLIST)) | CBS_DROPDOWN | CBS_AUTOHSCROLL;
}

TTagDialog::TTagDialog(TComponent* AOwner, TDialogContext& Context, int IdBlock, const String& Caption,
                       const String& MenuEntry)
    : TForm(AOwner), FContext(Context), FBlock(IdBlock) {
  SetCaption(Caption);
  SetBorderStyle(fbSingle);
  SetPosition(poScreenCenter);
  MainMenu1 = new TMainMenu(this);
  auto* prog = new TMenuItem(this, "&Programm");
  prog->SetAlwaysPopup(true);
  MainMenu1->Items()->Add(prog);
  auto* quit = new TMenuItem(this, MenuEntry);
  quit->OnClick = [this](TObject*) { MenuClick(); };
  prog->Add(quit);
  SetMenu(MainMenu1);
}

TEdit* TTagDialog::NewEdit(int N, int X, int Y, int W, const String& Text) {
  auto* e = new TEdit(this);
  e->SetBounds(X, Y, W, 21);
  e->SetText(Text);
  e->SetControlId(FBlock + ID_EDIT + N);
  e->SetParent(this);
  return e;
}

TPanel* TTagDialog::NewPanel(int N, int X, int Y, int W, TColor Color) {
  auto* p = new TPanel(this);
  p->SetBounds(X, Y, W, 21);
  p->SetColor(Color);
  p->BevelOuter = bvLowered;
  p->SetControlId(FBlock + ID_PANEL + N);
  p->SetParent(this);
  return p;
}

TColorButton* TTagDialog::NewButton(int N, int X, int Y, int W, const String& Caption) {
  auto* b = new TColorButton(this);
  b->SetBounds(X, Y, W, 25);
  b->SetCaption(Caption);
  b->Font()->SetName("Arial");
  b->Font()->SetStyle(TFontStyles(fsBold));
  b->Font()->SetColor(clMaroon);
  b->SetStyle(bsCenter | bsShowKey);
  b->SetControlId(FBlock + ID_BUTTON + N);
  b->SetParent(this);
  return b;
}

TComboBox* TTagDialog::NewCombo(int N, int X, int Y, int W, std::initializer_list<const char*> Items, bool FreeText) {
  TComboBox* c = FreeText ? new TFreeComboBox(this) : new TComboBox(this);
  c->SetBounds(X, Y, W, 150);
  for (const char* s : Items) c->AddItem(s);
  c->SetControlId(FBlock + ID_COMBO + N);
  c->SetParent(this);
  return c;
}

TUpDown* TTagDialog::NewUpDown(int N, TPanel* Panel, int Min, int Max, int Position) {
  auto* u = new TUpDown(this);
  u->SetRange(Min, Max);
  u->SetPosition(Position);
  u->SetBounds(Panel->Left() + Panel->Width() + 4, Panel->Top(), 20, 21);
  u->SetControlId(FBlock + ID_UPDOWN + N);
  u->SetParent(this);
  u->OnMouseUp = [u, Panel](TObject*, TMouseButton, TShiftState, int, int) {
    Panel->SetCaption(IntToStr(u->Position()));
  };
  return u;
}

void TTagDialog::NewLabel(int X, int Y, int W, const String& Caption) {
  auto* l = new TLabel(this);
  l->SetBounds(X, Y, W, 16);
  l->SetCaption(Caption);
  l->SetParent(this);
}

void TTagDialog::CreateWindows() { Handle(); }

void PickPanelColor(TColorDialog* Dialog, TPanel* Panel) {
  Dialog->FullOpen = true;
  Dialog->Color = Panel->Color();
  if (Dialog->Execute()) Panel->SetColor(Dialog->Color);
}
