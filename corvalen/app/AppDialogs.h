// The dialogs that the main dialog and the connection controller open, behind one interface, so
// that the dialogs of their own folder (terms, set-up wizard, text viewer, information, user
// data, free minutes, provider details, options sheet) plug in without touching the callers.
// CreateAppDialogs is the factory; AppDialogsBasic.cpp holds the plain versions used until the
// full dialogs are linked in.
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
