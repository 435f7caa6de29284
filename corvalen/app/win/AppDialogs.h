// The dialogs that the main dialog and the connection controller open, behind one interface, so
// that neither of them knows the dialog folders (terms, set-up wizard, text viewer, information,
// user data, free minutes, provider details, new entry, options sheet, update checks, mailbox
// check). CreateAppDialogs (AppDialogs.cpp) builds the program's set.
#pragma once

#include <windows.h>

#include "ConnectionController.h"
#include "ProviderListText.h"

class CAppDialogs : public CControllerServices {
 public:
  ~CAppDialogs() override = default;
  // The provider-details dialog with its title and text.
  virtual void ShowDetails(HWND parent, const CString& title, const CString& text) = 0;
  // The text viewer in help mode (no parent), with the text's "\b" and "\v" markers.
  virtual void ShowHelp(const CString& text) = 0;
  // The information dialog of the system menu.
  virtual void ShowInfo(HWND parent) = 0;
  // The options sheet at a start page (1 options, 3 costs); IDOK when its settings were saved.
  virtual INT_PTR ShowOptions(HWND parent, CConnectionController& controller, CTarifManager& manager,
                              CSettings& settings, int startPage) = 0;
};

// The program's dialogs; the caller owns the object.
CAppDialogs* CreateAppDialogs();
