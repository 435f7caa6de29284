// The program's dialogs behind the interface through which the main dialog and the connection
// controller open them. The options sheet is not part of the program yet: its menu entries change
// nothing.
#include "AppDialogs.h"

#include "AccountDialogs.h"
#include "PropertySheet.h"
#include "SmallDialogs.h"
#include "TippDesTages.h"
#include "WzdSheetOption.h"
#include "WinApp.h"

namespace {

class CAppDialogsBasic : public CAppDialogs {
 public:
  BOOL ShowTerms(HWND parent) override { return RunTermsDialog(CWnd::FromHandle(parent)); }

  BOOL ShowFreeMinutes(HWND parent, CConnectionController& c, const CString& providerId,
                       const CString& entry) override {
    return RunFreeMinutesDialog(CWnd::FromHandle(parent), c, providerId, entry);
  }

  INT_PTR RunSetupWizard(HWND parent, CConnectionController& c) override {
    return ::RunSetupWizard(CWnd::FromHandle(parent), &c);
  }

  int ShowUserData(HWND parent, CConnectionController& c, BOOL allowDelete, BOOL showActivationDay,
                   CString& user, CString& password, BOOL& saved) override {
    CDlg_Benutzerdaten dlg(&c, allowDelete, showActivationDay, CWnd::FromHandle(parent));
    dlg.SetUserName(user);
    dlg.SetPassword(password);
    dlg.SetSavePassword(saved);
    int r = static_cast<int>(dlg.DoModal());
    if (r == IDOK) {
      user = dlg.GetUserName();
      password = dlg.GetPassword();
      saved = dlg.IsSavePassword();
    }
    return r;
  }

  void ShowTip(HWND parent, const CString& text) override {
    CDlg_TippDesTages tip(CWnd::FromHandle(parent));
    tip.SetText(text);
    tip.Show();
  }

  void ShowDetails(HWND parent, const CString& title, const CString& text) override {
    ShowProviderDetails(CWnd::FromHandle(parent), title, text);
  }

  void ShowHelp(const CString& text) override {
    CDlg_TippDesTages help;
    help.SetHelpMode(TRUE);
    help.SetText(text);
    help.Show();
  }

  void ShowInfo(HWND parent) override {
    CDlg_Info info(CWnd::FromHandle(parent));
    info.DoModal();
  }

  // The options sheet lives in the dialogs folder; without it nothing is changed.
  INT_PTR ShowOptions(HWND, CConnectionController&, CTarifManager&, CSettings&, int) override { return IDCANCEL; }
};

}  // namespace

CAppDialogs* CreateAppDialogs() { return new CAppDialogsBasic; }

