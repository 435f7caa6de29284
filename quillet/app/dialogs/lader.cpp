#include "lader.h"

#include "insertids.h"

Tlader::Tlader(TComponent* AOwner, TDialogContext& Context)
    : TTagDialog(AOwner, Context, LA_BLOCK, " Grafik einf\xFCgen", "Beenden") {
  SetClientSize(460, 260);
  NewLabel(10, 10, 200, "Grafik - Dateiname");
  Edit1 = NewEdit(1, 10, 28, 390);
  ColorButton1 = NewButton(1, 410, 26, 40, "...");
  NewLabel(10, 60, 80, "Breite");
  Panel2 = NewPanel(2, 10, 78, 70);
  NewLabel(100, 60, 80, "H\xF6he");
  Panel3 = NewPanel(3, 100, 78, 70);
  NewLabel(190, 60, 80, "V Space");
  Edit2 = NewEdit(2, 190, 78, 70);
  NewLabel(280, 60, 80, "H Space");
  Edit3 = NewEdit(3, 280, 78, 70);
  NewLabel(370, 60, 80, "Border");
  Panel4 = NewPanel(4, 370, 78, 50);
  Panel4->SetCaption("0");
  UpDown2 = NewUpDown(2, Panel4, 0, 10, 0);
  NewLabel(10, 110, 100, "Align");
  ComboBox1 = NewCombo(1, 10, 128, 120, {"Left", "Right", "Top", "Bottom"}, false);
  NewLabel(150, 110, 200, "HTML Code");
  Panel5 = NewPanel(5, 150, 128, 300);
  ColorButton2 = NewButton(2, 10, 220, 210, "\xDC" "bernehmen");
  ColorButton3 = NewButton(3, 240, 220, 210, "Abbrechen");
  ColorButton2->SetEnabled(false);
  Edit1->OnChange = [this](TObject*) { ColorButton2->SetEnabled(true); };
  ColorButton1->OnClick = [this](TObject*) { ColorButton1Click(); };
  ColorButton2->OnClick = [this](TObject*) { ColorButton2Click(); };
  ColorButton3->OnClick = [this](TObject*) { ColorButton3Click(); };
  Ope = new TOpenDialog(this);
  Ope->Title = "Bilder einladen";
  Ope->Filter =
      "Alle Bilder(*.bmp;*.jpg;*.gif;*.png)|*.bmp;*.jpg;*.gif;*.png|BMP Grafiken(*.bmp)|*.bmp|"
      "JPG Grafiken(*.jpg)|*.jpg|GIF Grafiken(*.gif)|*.gif|PNG Grafiken(*.png)|*.png";
  Im = new TPixBox(this);
  Im->SetVisible(false);
  CreateWindows();
}

void Tlader::ColorButton1Click() {
  Ope->FileName.clear();
  if (Ope->Execute()) TakePicture(Ope->FileName);
}

void Tlader::TakePicture(const String& File) {
  // Only the size goes into the tag: JPEG and PNG photos are measured from their headers, the
  // others through the view, and a picture too large to be shown keeps its size all the same.
  const TPixSize size = MeasurePictureFile(*Im->IO(), File);
  const String name = CopyMediaFile(FContext, File);
  Edit1->SetText(name);
  Panel2->SetCaption(IntToStr(size.Width));
  Panel3->SetCaption(IntToStr(size.Height));
  Panel5->SetCaption("<IMG Src=\"" + Edit1->Text() + "\" Width=\"" + Panel2->Caption() + "\" Height=\"" +
                     Panel3->Caption() + "\"");
}

void Tlader::ColorButton2Click() {
  // A name typed by hand, without "...", has no size yet: the tag then starts with the name alone.
  String start = Panel5->Caption();
  if (start.empty()) start = "<IMG Src=\"" + Edit1->Text() + "\"";
  TStringList* list = Exchange();
  list->Add(start);
  list->Add(Edit2->Text());
  list->Add(Edit3->Text());
  list->Add(Panel4->Caption());
  list->Add(ComboBox1->Text());
  Close();
}

void Tlader::ColorButton3Click() {
  Exchange()->Clear();
  Close();
}
