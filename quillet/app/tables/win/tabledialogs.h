// The table designer (Ttabell) with its cell and title editor (Tfomel), the form builder (Tbauf)
// and the sound table (Tsoform): modal dialogs that hand their HTML back through the exchange
// list of their context. The texts themselves are built in tablehtml.*.
#pragma once

#include <functional>

#include "formatgrid.h"
#include "tablehtml.h"
#include "tagdialog.h"

// A dialog of this folder: the shared frame plus check boxes and number fields.
// Closing it any other way than by its accepting button empties the exchange list, so that
// nothing half-built (or the title dialog's items) is inserted.
class TTableDialogBase : public TTagDialog {
public:
  TTableDialogBase(TComponent* AOwner, TDialogContext& Context, int IdBlock, const String& Caption,
                   const String& MenuEntry);

protected:
  TCheckBox* NewCheck(int N, int X, int Y, int W, const String& Caption, bool Checked);
  bool FAccepted = false;
};

// A number field: an edit with an up-down beside it, kept within Min..Max.
struct TSpinField {
  TEdit* Edit;
  TUpDown* Up;
  int Min, Max;
  int Value() const;
  void SetValue(int v);
};

class Tfomel : public TTableDialogBase {
public:
  Tfomel(TComponent* AOwner, TDialogContext& Context);
  const char* ClassName() const override { return "Tfomel"; }
  TEdit* Edit1;
  TComboBox* ComboBox1;
  TColorButton* ColorButton1;
  void ColorButton1Click();
  // Selects the alignment's item, so that a text changed without touching the combo box keeps
  // the alignment it had.
  void SetAlignment(TGridAlignment A);

protected:
  void MenuClick() override;
};

class Ttabell : public TTableDialogBase {
public:
  Ttabell(TComponent* AOwner, TDialogContext& Context);
  const char* ClassName() const override { return "Ttabell"; }
  TFormatGrid* fzo;
  TSpinField SpinEdit1, SpinEdit2, SpinEdit3, SpinEdit4, SpinEdit5;
  TCheckBox *CheckBox1, *CheckBox2;
  TEdit* Edit1;
  TComboBox* ComboBox1;
  TPanel* Panel3;
  TColorButton *ColorButton1, *ColorButton2;
  TColorDialog* cul;
  // Shows the title dialog modally, starting with PressedAlignment(); tests replace it.
  std::function<void()> RunTitleDialog;
  // The alignment that an edit of the pressed cell changes.
  TGridAlignment PressedAlignment() const;

  void fzoMouseDown(int X, int Y);
  void fzoMouseUp();
  void CheckBox1Click();
  void CheckBox2Click();
  void ColorButton1Click();
  void ColorButton2Click();
  int PressedCol() const { return FCol; }
  int PressedRow() const { return FRow; }

protected:
  void MenuClick() override { ColorButton2Click(); }

private:
  TSpinField NewSpin(int N, int X, int Y, int Min, int Max, int Value, std::function<void(int)> Changed);
  int FCol = -1, FRow = -1;
};

class Tbauf : public TTableDialogBase {
public:
  Tbauf(TComponent* AOwner, TDialogContext& Context);
  const char* ClassName() const override { return "Tbauf"; }
  TCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox4, *CheckBox5, *CheckBox6, *CheckBox7, *CheckBox8;
  TCheckBox* RadioButton1;
  TComboBox* ComboBox2;
  TColorButton *ColorButton3, *ColorButton4;
  void ColorButton3Click();
  void ColorButton4Click();

protected:
  void MenuClick() override { ColorButton4Click(); }
};

class Tsoform : public TTableDialogBase {
public:
  Tsoform(TComponent* AOwner, TDialogContext& Context);
  const char* ClassName() const override { return "Tsoform"; }
  TEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5;
  TColorButton *ColorButton1, *ColorButton2, *ColorButton3, *ColorButton4, *ColorButton5, *ColorButton6;
  TCheckBox* CheckBox1;
  TPanel *Panel4, *Panel5;
  TUpDown *UpDown1, *UpDown2;
  TComboBox* ComboBox1;
  TOpenDialog* sope;
  // Shows a message; tests replace it.
  std::function<void(const String&)> Message;

  // A "..." button: the chosen sound's bare name into Edit, the file copied beside the page (into
  // DATEN\ for a page without a file of its own).
  void PickSound(TEdit* Edit);
  void ColorButton6Click();
  void ColorButton5Click();

protected:
  void MenuClick() override { ColorButton5Click(); }
};

// Registers the table designer, the form builder and the sound table with their insert steps.
void RegisterTableDialogs();
