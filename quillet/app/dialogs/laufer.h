// Tlaufer: the marquee dialog. "Übernehmen" adds one Marquee tag built from the set values to
// the exchange list.
#pragma once

#include "tagdialog.h"

class Tlaufer : public TTagDialog {
public:
  Tlaufer(TComponent* AOwner, TDialogContext& Context);
  const char* ClassName() const override { return "Tlaufer"; }

  TComboBox *ComboBox1, *ComboBox2, *ComboBox3;
  TEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5;
  TPanel *Panel3, *Panel4, *Panel5, *Panel6;
  TUpDown *UpDown1, *UpDown2, *UpDown3;
  TColorButton *ColorButton1, *ColorButton2;
  TColorDialog* Col;

  void ColorButton1Click();
  void ColorButton2Click();

protected:
  void MenuClick() override { ColorButton2Click(); }
};
