// Tviform: the video dialog. "..." copies an AVI video beside the page (or into DATEN\); "Übernehmen"
// adds its Img tag with the start options and the loop count to the exchange list.
#pragma once

#include "tagdialog.h"

class Tviform : public TTagDialog {
public:
  Tviform(TComponent* AOwner, TDialogContext& Context);
  const char* ClassName() const override { return "Tviform"; }

  TEdit* Edit1;
  TComboBox* ComboBox1;
  TPanel* Panel3;
  TUpDown* UpDown1;
  TColorButton *ColorButton1, *ColorButton2, *ColorButton3;
  TOpenDialog* vi;

  void ColorButton1Click();
  // The second half of "...": takes the chosen file.
  void TakeVideo(const String& File);
  void ColorButton2Click();
  void ColorButton3Click();

protected:
  void MenuClick() override { ColorButton3Click(); }
};
