#include "viform.h"

#include "insertids.h"

Tviform::Tviform(TComponent* AOwner, TDialogContext& Context)
    : TTagDialog(AOwner, Context, VI_BLOCK, " Video einbinden", "&Beenden") {
  SetClientSize(400, 170);
  NewLabel(10, 10, 200, "Video Name");
  Edit1 = NewEdit(1, 10, 28, 330);
  ColorButton1 = NewButton(1, 350, 26, 40, "...");
  NewLabel(10, 60, 150, "Start Optionen");
  ComboBox1 = NewCombo(1, 10, 78, 180, {"Fileopen", "Mousover", "Fileopen,Mouseover"}, false);
  NewLabel(220, 60, 100, "Loop");
  Panel3 = NewPanel(3, 220, 78, 50);
  Panel3->SetCaption("1");
  UpDown1 = NewUpDown(1, Panel3, 1, 10, 1);
  ColorButton2 = NewButton(2, 10, 130, 180, "\xDC" "bernehmen");
  ColorButton3 = NewButton(3, 210, 130, 180, "Beenden");
  ColorButton2->SetEnabled(false);
  Edit1->OnChange = [this](TObject*) { ColorButton2->SetEnabled(true); };
  ColorButton1->OnClick = [this](TObject*) { ColorButton1Click(); };
  ColorButton2->OnClick = [this](TObject*) { ColorButton2Click(); };
  ColorButton3->OnClick = [this](TObject*) { ColorButton3Click(); };
  vi = new TOpenDialog(this);
  vi->Title = "Videos einlesen ...";
  vi->Filter = "AVI Videos(*.avi)|*.avi";
  CreateWindows();
}

void Tviform::ColorButton1Click() {
  vi->FileName.clear();
  if (vi->Execute()) TakeVideo(vi->FileName);
}

void Tviform::TakeVideo(const String& File) {
  const String name = CopyMediaFile(FContext, File);
  Edit1->SetText(name);
}

void Tviform::ColorButton2Click() {
  String tag = "<Img Dynsrc=\"" + Edit1->Text() + "\" ";
  const String start = ComboBox1->Text();
  if (!start.empty()) tag += "Start=\"" + start + "\" ";
  tag += "Loop=\"" + Panel3->Caption() + "\">";
  Exchange()->Add(tag);
  Close();
}

void Tviform::ColorButton3Click() {
  Exchange()->Clear();
  Close();
}
