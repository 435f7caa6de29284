#include "linker.h"

#include "insertids.h"

namespace {
const char* const kUrlTypes[] = {"http://", "ftp://", "file://"};
}

Tlinker::Tlinker(TComponent* AOwner, TDialogContext& Context)
    : TTagDialog(AOwner, Context, LI_BLOCK, " Link Einf\xFCgen ...", "&Beenden") {
  SetClientSize(400, 170);
  NewLabel(10, 10, 200, "Link Adresse eingeben");
  Edit1 = NewEdit(1, 10, 28, 380, "http://");
  NewLabel(10, 60, 150, "Target");
  ComboBox1 = NewCombo(1, 10, 78, 150, {"_Blank", "_Self", "_Parent", "_Top"}, true);
  NewLabel(200, 60, 150, "URL Type");
  ComboBox2 = NewCombo(2, 200, 78, 150, {kUrlTypes[0], kUrlTypes[1], kUrlTypes[2]}, false);
  ColorButton1 = NewButton(1, 10, 130, 180, "\xDC" "bernehmen");
  ColorButton2 = NewButton(2, 210, 130, 180, "Abbrechen");
  ColorButton1->SetEnabled(false);
  Edit1->OnChange = [this](TObject*) { ColorButton1->SetEnabled(true); };
  ComboBox2->OnChange = [this](TObject*) { ComboBox2Change(); };
  ColorButton1->OnClick = [this](TObject*) { ColorButton1Click(); };
  ColorButton2->OnClick = [this](TObject*) { ColorButton2Click(); };
  // Closed any other way than through its accept button (the close box, Escape), it is cancelled:
  // the selected text it was given must not come back as a link.
  OnClose = [this](TObject*, TCloseAction&) {
    if (!FAccepted) Exchange()->Clear();
  };
  CreateWindows();
}

void Tlinker::ComboBox2Change() {
  const int i = ComboBox2->ItemIndex();
  if (i >= 0 && i < 3) Edit1->SetText(kUrlTypes[i]);
}

void Tlinker::ColorButton1Click() {
  TStringList* list = Exchange();
  const String text = list->Count() > 0 ? list->Strings(0) : String();
  String link = "<a Href=\"" + Edit1->Text() + "\"";
  const String target = ComboBox1->Text();
  if (target.empty()) link += ">" + text + "</a>";
  else link += " Target=\"" + target + "\">" + text + "</a>";
  list->Clear();
  list->Add(link);
  FAccepted = true;
  Close();
}

void Tlinker::ColorButton2Click() {
  Exchange()->Clear();
  Close();
}
