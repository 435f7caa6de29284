// TTagDialog: what the five tag dialogs share: a modal form centred on the screen with only the
// system menu, the menu "&Programm" with one entry, and helpers that create the controls with
// their ids (see insertids.h). TFreeComboBox is a combo box whose text may also be typed.
#pragma once

#include "controlbuilders.h"
#include "dialogs.h"
#include "forms.h"
#include "insertdialogs.h"
#include "menus.h"
#include "stdctrls.h"

class TFreeComboBox : public TComboBox {
public:
  explicit TFreeComboBox(TComponent* AOwner) : TComboBox(AOwner) {}
  const char* ClassName() const override { return "TFreeComboBox"; }

protected:
  void CreateParams(TCreateParams& p) override;
};

class TTagDialog : public TForm {
public:
  TTagDialog(TComponent* AOwner, TDialogContext& Context, int IdBlock, const String& Caption,
             const String& MenuEntry);

protected:
  // The shared builders (controlbuilders.h) with this dialog's ids: ControlN = block + kind + N.
  TEdit* NewEdit(int N, int X, int Y, int W, const String& Text = "");
  TPanel* NewPanel(int N, int X, int Y, int W, TColor Color = clWindow);
  TColorButton* NewButton(int N, int X, int Y, int W, const String& Caption);
  TComboBox* NewCombo(int N, int X, int Y, int W, std::initializer_list<const char*> Items, bool FreeText);
  // An up-down beside its panel that writes its position into the panel on mouse release.
  TUpDown* NewUpDown(int N, TPanel* Panel, int Min, int Max, int Position);
  void NewLabel(int X, int Y, int W, const String& Caption);
  // Creates the windows of the dialog and its controls; called at the end of a constructor.
  void CreateWindows();
  // What the menu entry does.
  virtual void MenuClick() = 0;
  // The exchange list the dialog fills.
  TStringList* Exchange() const { return FContext.Exchange; }
  TMainMenu* MainMenu1;
  TDialogContext& FContext;
  int FBlock;
};

// Registers the link, image, marquee, video and font dialogs with their insert steps.
void RegisterTagDialogs();
