#include "inputquery.h"

#include "forms.h"
#include "stdctrls.h"

bool InputQuery(const String& Caption, const String& Prompt, String& Value) {
  TForm form(nullptr);
  form.SetCaption(Caption);
  form.SetBorderStyle(fbDialog);
  form.SetPosition(poScreenCenter);
  form.SetClientSize(330, 100);
  auto* label = new TLabel(&form);
  label->SetCaption(Prompt);
  label->SetBounds(8, 10, 310, 16);
  label->SetParent(&form);
  auto* edit = new TEdit(&form);
  edit->SetText(Value);
  edit->SetBounds(8, 30, 312, 22);
  edit->SetParent(&form);
  auto* ok = new TButton(&form);
  ok->SetCaption("OK");
  ok->Default = true;
  ok->ModalResult = mrOk;
  ok->SetBounds(164, 66, 75, 25);
  ok->SetParent(&form);
  auto* cancel = new TButton(&form);
  cancel->SetCaption("Abbrechen");
  cancel->Cancel = true;
  cancel->ModalResult = mrCancel;
  cancel->SetBounds(245, 66, 75, 25);
  cancel->SetParent(&form);
  form.OnShow = [edit](TObject*) {
    edit->SetFocus();
    SendMessageA(edit->Handle(), EM_SETSEL, 0, -1);
  };
  if (form.ShowModal() != mrOk) return false;
  Value = edit->Text();
  return true;
}
