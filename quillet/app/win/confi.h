// TForm1: the new-page dialog. "Document Erstellen" writes the page settings into the exchange
// list of its context (see AppendNewPageList); the "..." buttons copy a background picture or
// sound into the working folder DATEN\ (the new page has no file of its own yet).
#pragma once

#include "controlbuilders.h"
#include "dialogs.h"
#include "forms.h"
#include "insertdialogs.h"
#include "menus.h"
#include "stdctrls.h"

class TForm1 : public TForm {
public:
  TForm1(TComponent* AOwner, TDialogContext& Context);
  const char* ClassName() const override { return "TForm1"; }

  TEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7, *Edit8, *Edit9, *Edit10, *Edit11,
      *Edit12, *Edit13;
  TPanel *Panel2, *Panel3, *Panel4, *Panel5, *Panel6, *Panel7, *Panel8, *Panel10, *Panel11;
  TUpDown *UpDown1, *UpDown2;
  TCheckBox *CheckBox1, *CheckBox2;
  TColorButton *ColorButton1, *ColorButton2, *ColorButton3, *ColorButton4, *ColorButton5, *ColorButton6;
  TMainMenu* MainMenu1;
  TColorDialog* Colo;
  TOpenDialog *bi, *so;

  void ColorButton1Click();
  void ColorButton2Click();
  void CopyMedia(TOpenDialog* Dialog, TPanel* Target);
  void PanelColorClick(TPanel* Panel);
  void ColorButton5Click();
  void ColorButton6Click();

private:
  void FormShow();
  // The phases of the constructor, top to bottom of the dialog.
  void BuildMenu();
  void BuildPageFields();
  void BuildMediaFields();
  void BuildColourFields();
  void BuildButtons();
  void BuildFrameSet();
  void BuildFileDialogs();
  TDialogContext& FContext;
};
