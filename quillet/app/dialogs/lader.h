// Tlader: the image dialog. "..." reads a picture for its size (PNG files through the PNG reader,
// the others through the invisible image view Im and its loader) and copies it beside the page
// (into DATEN\ for a page without a file of its own); "Übernehmen" hands five items to the main
// window, which completes the IMG tag.
#pragma once

#include "pixbox.h"
#include "tagdialog.h"

class Tlader : public TTagDialog {
public:
  Tlader(TComponent* AOwner, TDialogContext& Context);
  const char* ClassName() const override { return "Tlader"; }

  TEdit *Edit1, *Edit2, *Edit3;
  TPanel *Panel2, *Panel3, *Panel4, *Panel5;
  TUpDown* UpDown2;
  TComboBox* ComboBox1;
  TColorButton *ColorButton1, *ColorButton2, *ColorButton3;
  TOpenDialog* Ope;
  TPixBox* Im;  // invisible: reads the pictures

  void ColorButton1Click();
  // The second half of "...": measures the chosen picture and takes it. A picture that cannot
  // be read raises its reader's message ("unrecognized GIF", ..., "Error Reading File!") and
  // leaves every value as it was.
  void TakePicture(const String& File);
  void ColorButton2Click();
  void ColorButton3Click();

protected:
  void MenuClick() override { Close(); }
};
