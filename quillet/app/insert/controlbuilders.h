// The controls the insert dialogs and the new-page dialog are built from, each owned by Owner
// (the dialog), shown on Parent (the dialog or a panel of it) with the control id Id, from the
// dialog's own scheme of ids (insertids.h for the insert dialogs, commands.h for the new-page
// dialog).
#pragma once

#include "colorbutton.h"
#include "dialogs.h"
#include "forms.h"
#include "stdctrls.h"

// An edit 21 pixels high.
TEdit* NewEdit(TComponent* Owner, TWinControl* Parent, int Id, int X, int Y, int W, const String& Text);
// A lowered panel of a colour.
TPanel* NewPanel(TComponent* Owner, TWinControl* Parent, int Id, int X, int Y, int W, int H, TColor Color);
// A colour button 25 pixels high with its caption in bold maroon Arial, centred, with its
// accelerator key.
TColorButton* NewButton(TComponent* Owner, TWinControl* Parent, int Id, int X, int Y, int W, const String& Caption);
// A label 16 pixels high, without an id.
void NewLabel(TComponent* Owner, TWinControl* Parent, int X, int Y, int W, const String& Caption);
// A check box H pixels high.
TCheckBox* NewCheckBox(TComponent* Owner, TWinControl* Parent, int Id, int X, int Y, int W, int H,
                       const String& Caption, bool Checked = false);
// A number shown in a panel with an up-down 4 pixels right of it, as high as an edit (20 pixels
// wide standing, 36 lying): the up-down starts at Position within Min..Max and writes its position
// into the panel's caption when the mouse is released over it.
TUpDown* NewUpDown(TComponent* Owner, TWinControl* Parent, int Id, TPanel* Panel, int Min, int Max, int Position,
                   TUDOrientation Orientation = udVertical);

// A colour panel's click: the colour dialog (fully opened) starts with the panel's colour, and
// the panel takes the chosen colour; a cancelled dialog changes nothing.
void PickPanelColor(TColorDialog* Dialog, TPanel* Panel);
