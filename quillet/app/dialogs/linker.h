// Tlinker: the link dialog. Item 0 of the exchange list holds the text selected in the editor;
// "Übernehmen" replaces the list by the link around that text.
#pragma once

#include "tagdialog.h"

class Tlinker : public TTagDialog {
public:
  Tlinker(TComponent* AOwner, TDialogContext& Context);
  const char* ClassName() const override { return "Tlinker"; }

  TEdit* Edit1;
  TComboBox *ComboBox1, *ComboBox2;
  TColorButton *ColorButton1, *ColorButton2;

  void ColorButton1Click();
  void ColorButton2Click();
  void ComboBox2Change();

protected:
  void MenuClick() override { ColorButton2Click(); }

private:
  bool FAccepted = false;
};
