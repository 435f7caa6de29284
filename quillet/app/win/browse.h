// Tbrowse: the image browser " Bilder Browser", a window beside the documents. It shows the
// pictures of a folder as thumbnails (tbu), one picture at full size (Ima) and copies a picture
// into the working folder; "&Suchen" picks another folder through the shell's dialog (por).
#pragma once

#include "extctrls.h"
#include "browsedr.h"
#include "insertdialogs.h"
#include "menus.h"
#include "pixbox.h"
#include "thumbview.h"

class Tbrowse : public TForm {
public:
  Tbrowse(TComponent* AOwner, TDialogContext& Context);
  const char* ClassName() const override { return "Tbrowse"; }

  TThumbview* tbu;
  TPixBox* Ima;
  TBrowseDirectoryDlg* por;
  TMainMenu* MainMenu1;
  TPopupMenu* PopupMenu1;

  void FormShow();
  void SuchenClick();
  void VollbildClick();
  void KopierenClick();
  void imaClick();

private:
  void tbuGetTitle(const String& FileName, String& Title);
  void FormClose(TCloseAction& Action);
  TDialogContext& FContext;
};

// Registers the browser as the window of tool button 13.
void RegisterImageBrowser();
