// The plain versions of the program's dialogs: message boxes that ask and tell what the full
// dialogs will, so the program can be used from its first start to its first connection.
#include "AppDialogs.h"

#include "AccountDialogs.h"
#include "PropertySheet.h"
#include "SmallDialogs.h"
#include "TippDesTages.h"
#include "WinApp.h"

namespace {

const UINT kIdsTitle = 138;

class CAppDialogsBasic : public CAppDialogs {
 public:
  BOOL ShowTerms(HWND parent) override {
    CString text =
        "Bitte lesen Sie die Allgemeinen Geschäftsbedingungen (AGB) der Astrel Corvalen Software.\r\n\r\n"
        "Der Corvalen ermittelt die Preise der Anbieter nach bestem Wissen; für die Richtigkeit der "
        "Tarifdaten und die Höhe Ihrer Telefonrechnung wird keine Gewähr übernommen.\r\n\r\n"
        "Akzeptieren Sie die AGB?";
    return ::MessageBoxA(parent, text, AfxLoadString(kIdsTitle), MB_YESNO | MB_ICONQUESTION) == IDYES;
  }

  BOOL ShowFreeMinutes(HWND parent, CConnectionController& c, const CString& providerId,
                       const CString& entry) override {
    CProvider* p = c.GetCurrentProvider();
    CString text = "Der Anbieter \"" + (p ? p->GetName() : CString()) +
                   "\" gewährt Freiminuten. Sie werden mit dem DFÜ-Netzwerkeintrag \"" + entry +
                   "\" verbunden.\r\nVerbindung aufbauen?";
    return ::MessageBoxA(parent, text, AfxLoadString(kIdsTitle), MB_OKCANCEL | MB_ICONINFORMATION) == IDOK;
  }

  // Picks the first dial-up device after the user agrees; the settings take it as the default
  // device and the router's own entry is rewritten for it.
  INT_PTR RunSetupWizard(HWND parent, CConnectionController& c) override {
    CString name, type;
    c.GetDevice(name, type, 0);
    if (name.IsEmpty()) {
      ::MessageBoxA(parent, "Es wurde kein DFÜ-Gerät gefunden. Bitte richten Sie ein Modem oder eine ISDN-Karte ein.",
                    AfxLoadString(kIdsTitle), MB_OK | MB_ICONHAND);
      return IDCANCEL;
    }
    CString text = "Der Corvalen wählt über das Gerät \"" + name + "\" (" + type + ").\r\nSoll dieses Gerät verwendet werden?";
    if (::MessageBoxA(parent, text, AfxLoadString(kIdsTitle), MB_YESNO | MB_ICONQUESTION) != IDYES) return IDCANCEL;
    CSettings* s = c.GetSettings();
    s->SetDefaultDFUDeviceName(name);
    s->SetDefaultDFUDeviceTyp(type);
    c.UpdateOwnEntry();
    return ID_WIZFINISH;
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

