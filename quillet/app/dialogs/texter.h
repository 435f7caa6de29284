// Ttexter: the font dialog. It lists the screen's fonts, each in its own face; a click on a
// line selects that face, and "Übernehmen" adds a Font tag with size, colour and face.
#pragma once

#include "richmemo.h"
#include "tagdialog.h"

class Ttexter : public TTagDialog {
public:
  Ttexter(TComponent* AOwner, TDialogContext& Context);
  const char* ClassName() const override { return "Ttexter"; }

  TRichMemo* mem;
  TPanel *Panel3, *Panel4, *Panel5;
  TUpDown* UpDown1;
  TColorButton *ColorButton1, *ColorButton2;
  TColorDialog* cop;

  // Fills the exchange list and the box with the face names of the screen's fonts.
  void FormShow();
  // A mouse button pressed in the box: the caret's line becomes the selected face.
  void memMouseDown();
  void ColorButton1Click();
  void ColorButton2Click();

protected:
  void MenuClick() override { ColorButton2Click(); }

private:
  bool FAccepted = false;
};
