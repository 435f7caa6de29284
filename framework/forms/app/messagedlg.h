// The message boxes of the application: ShowMessage (captioned with the application's title)
// and MessageDlg (a warning, error, information or confirmation with its buttons).
#pragma once

#include "forms.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8 };
void ShowMessage(const String& Text);
// Buttons is a combination of TMsgDlgBtn; the result a TModalResult.
int MessageDlg(const String& Text, TMsgDlgType Type, int Buttons);
