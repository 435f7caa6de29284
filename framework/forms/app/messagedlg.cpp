#include "messagedlg.h"

void ShowMessage(const String& Text) {
  Application->MessageBox(Text, Application->Title(), MB_OK);
}

int MessageDlg(const String& Text, TMsgDlgType Type, int Buttons) {
  UINT flags = 0;
  const char* caption = "";
  switch (Type) {
    case mtWarning: flags = MB_ICONWARNING; caption = "Warnung"; break;
    case mtError: flags = MB_ICONERROR; caption = "Fehler"; break;
    case mtInformation: flags = MB_ICONINFORMATION; caption = "Information"; break;
    case mtConfirmation: flags = MB_ICONQUESTION; caption = "Best\xE4tigen"; break;
    case mtCustom: caption = Application->Title().c_str(); break;
  }
  if ((Buttons & mbYes) && (Buttons & mbNo)) flags |= (Buttons & mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
  else if ((Buttons & mbOK) && (Buttons & mbCancel)) flags |= MB_OKCANCEL;
  else flags |= MB_OK;
  switch (Application->MessageBox(Text, caption, flags)) {
    case IDYES: return mrYes;
    case IDNO: return mrNo;
    case IDOK: return mrOk;
    default: return mrCancel;
  }
}
