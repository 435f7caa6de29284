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
  return ::NewEdit(this, this, FBlock + ID_EDIT + N, X, Y, W, Text);
}

TPanel* TTagDialog::NewPanel(int N, int X, int Y, int W, TColor Color) {
  return ::NewPanel(this, this, FBlock + ID_PANEL + N, X, Y, W, 21, Color);
}

TColorButton* TTagDialog::NewButton(int N, int X, int Y, int W, const String& Caption) {
  return ::NewButton(this, this, FBlock + ID_BUTTON + N, X, Y, W, Caption);
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
  return ::NewUpDown(this, this, FBlock + ID_UPDOWN + N, Panel, Min, Max, Position);
}

void TTagDialog::NewLabel(int X, int Y, int W, const String& Caption) { ::NewLabel(this, this, X, Y, W, Caption); }

void TTagDialog::CreateWindows() { Handle(); }
