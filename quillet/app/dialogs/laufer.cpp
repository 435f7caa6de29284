#include "laufer.h"

#include "insertids.h"
#include "pagelogic.h"

Tlaufer::Tlaufer(TComponent* AOwner, TDialogContext& Context)
    : TTagDialog(AOwner, Context, MQ_BLOCK, " Lauftext einrichten", "&Beenden") {
  SetClientSize(460, 300);
  NewLabel(10, 10, 130, "Ausrichtung");
  ComboBox1 = NewCombo(1, 10, 28, 130, {"Top", "Middle", "Bottom"}, false);
  NewLabel(160, 10, 130, "Eigenschaft");
  ComboBox2 = NewCombo(2, 160, 28, 130, {"Scroll", "Slide", "Alternate"}, false);
  NewLabel(310, 10, 130, "Laufrichtung");
  ComboBox3 = NewCombo(3, 310, 28, 130, {"Left", "Right"}, false);
  for (TComboBox* c : {ComboBox1, ComboBox2, ComboBox3}) c->SetItemIndex(0);
  NewLabel(10, 60, 100, "H\xF6he");
  Edit1 = NewEdit(1, 10, 78, 100);
  NewLabel(120, 60, 100, "Breite");
  Edit2 = NewEdit(2, 120, 78, 100);
  NewLabel(230, 60, 100, "V Space");
  Edit3 = NewEdit(3, 230, 78, 100);
  NewLabel(340, 60, 100, "H Space");
  Edit4 = NewEdit(4, 340, 78, 100);
  NewLabel(10, 110, 120, "Hintergrund Farbe");
  Panel3 = NewPanel(3, 10, 128, 100, clWhite);
  NewLabel(130, 110, 80, "Tempo");
  Panel4 = NewPanel(4, 130, 128, 50);
  Panel4->SetCaption("1");
  UpDown1 = NewUpDown(1, Panel4, 1, 20, 1);
  NewLabel(230, 110, 80, "Delay");
  Panel5 = NewPanel(5, 230, 128, 50);
  UpDown2 = NewUpDown(2, Panel5, -10, 10, 0);
  NewLabel(330, 110, 80, "Loop");
  Panel6 = NewPanel(6, 330, 128, 50);
  Panel6->SetCaption("1");
  UpDown3 = NewUpDown(3, Panel6, 1, 10, 1);
  NewLabel(10, 165, 200, "Scrolltext");
  Edit5 = NewEdit(5, 10, 183, 430);
  ColorButton1 = NewButton(1, 10, 260, 200, "\xDC" "bernehmen");
  ColorButton2 = NewButton(2, 240, 260, 200, "Abbrechen");
  ColorButton1->OnClick = [this](TObject*) { ColorButton1Click(); };
  ColorButton2->OnClick = [this](TObject*) { ColorButton2Click(); };
  Col = new TColorDialog(this);
  Col->FullOpen = true;
  Panel3->OnClick = [this](TObject*) { PickPanelColor(Col, Panel3); };
  OnShow = [this](TObject*) { Edit5->SetFocus(); };
  CreateWindows();
}

void Tlaufer::ColorButton1Click() {
  const String colour = HtmlColor(uint32_t(ColorToRGB(Panel3->Color())));
  String tag = "<Marquee";
  const std::pair<const char*, String> attrs[] = {
      {"Align", ComboBox1->Text()},   {"Behaviour", ComboBox2->Text()}, {"Direction", ComboBox3->Text()},
      {"Height", Edit1->Text()},      {"Width", Edit2->Text()},         {"Vspace", Edit3->Text()},
      {"Hspace", Edit4->Text()},      {"Scrollamount", Panel4->Caption()},
      {"Scrolldelay", Panel5->Caption()}, {"Loop", Panel6->Caption()}};
  for (const auto& [name, value] : attrs)
    if (!value.empty()) tag += String(" ") + name + "=\"" + value + "\"";
  tag += " Bgcolor=\"#" + colour + "\"";
  const String text = Edit5->Text();
  tag += text.empty() ? String("> Scrolltext </Marquee>") : ">" + text + "</Marquee>";
  Exchange()->Add(tag);
  Close();
}

void Tlaufer::ColorButton2Click() {
  Exchange()->Clear();
  Close();
}
