#include "controlbuilders.h"

TEdit* NewEdit(TComponent* Owner, TWinControl* Parent, int Id, int X, int Y, int W, const String& Text) {
  auto* e = new TEdit(Owner);
  e->SetBounds(X, Y, W, 21);
  e->SetText(Text);
  e->SetControlId(Id);
  e->SetParent(Parent);
  return e;
}

TPanel* NewPanel(TComponent* Owner, TWinControl* Parent, int Id, int X, int Y, int W, int H, TColor Color) {
  auto* p = new TPanel(Owner);
  p->SetBounds(X, Y, W, H);
  p->SetColor(Color);
  p->BevelOuter = bvLowered;
  p->SetControlId(Id);
  p->SetParent(Parent);
  return p;
}

TColorButton* NewButton(TComponent* Owner, TWinControl* Parent, int Id, int X, int Y, int W, const String& Caption) {
  auto* b = new TColorButton(Owner);
  b->SetBounds(X, Y, W, 25);
  b->SetCaption(Caption);
  b->Font()->SetName("Arial");
  b->Font()->SetStyle(TFontStyles(fsBold));
  b->Font()->SetColor(clMaroon);
  b->SetStyle(bsCenter | bsShowKey);
  b->SetControlId(Id);
  b->SetParent(Parent);
  return b;
}

void NewLabel(TComponent* Owner, TWinControl* Parent, int X, int Y, int W, const String& Caption) {
  auto* l = new TLabel(Owner);
  l->SetBounds(X, Y, W, 16);
  l->SetCaption(Caption);
  l->SetParent(Parent);
}

TCheckBox* NewCheckBox(TComponent* Owner, TWinControl* Parent, int Id, int X, int Y, int W, int H,
                       const String& Caption, bool Checked) {
  auto* c = new TCheckBox(Owner);
  c->SetBounds(X, Y, W, H);
  c->SetCaption(Caption);
  c->SetChecked(Checked);
  c->SetControlId(Id);
  c->SetParent(Parent);
  return c;
}

TUpDown* NewUpDown(TComponent* Owner, TWinControl* Parent, int Id, TPanel* Panel, int Min, int Max, int Position,
                   TUDOrientation Orientation) {
  auto* u = new TUpDown(Owner);
  u->Orientation = Orientation;
  u->SetRange(Min, Max);
  u->SetPosition(Position);
  u->SetBounds(Panel->Left() + Panel->Width() + 4, Panel->Top(), Orientation == udHorizontal ? 36 : 20, 21);
  u->SetControlId(Id);
  u->SetParent(Parent);
  u->OnMouseUp = [u, Panel](TObject*, TMouseButton, TShiftState, int, int) {
    Panel->SetCaption(IntToStr(u->Position()));
  };
  return u;
}

void PickPanelColor(TColorDialog* Dialog, TPanel* Panel) {
  Dialog->FullOpen = true;
  Dialog->Color = Panel->Color();
  if (Dialog->Execute()) Panel->SetColor(Dialog->Color);
}
