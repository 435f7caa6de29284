// The program's dialogs behind the interface through which the main dialog and the connection
// controller open them.
#include "MailCheck.h"  // WinSock before <windows.h>

#include "AppDialogs.h"

#include "AccountDialogs.h"
#include "AssignmentStore.h"
#include "DfueErweitert.h"
#include "NewEntryDialog.h"
#include "TakeOverDialogs.h"
#include "Options.h"
#include "OptionsDialogs.h"
#include "ProgramSwitches.h"
#include "Settings.h"
#include "TarifManager.h"
#include "PropertySheet.h"
#include "TermsInfoDialogs.h"
#include "TipMarkup.h"
#include "TippDesTages.h"
#include "Updates.h"
#include "WzdSheetOption.h"
#include "WinApp.h"

#include <memory>

namespace {

class CProgramDialogs : public CAppDialogs {
 public:
  BOOL ShowTerms(HWND parent) override { return RunTermsDialog(CWnd::FromHandle(parent)); }

  BOOL ShowFreeMinutes(HWND parent, CConnectionController& c, const CString& providerId,
                       const CString& entry) override {
    return RunFreeMinutesDialog(CWnd::FromHandle(parent), c, providerId, entry);
  }

  INT_PTR RunSetupWizard(HWND parent, CConnectionController& c) override {
    // The wizard's take-over button assigns the user's existing entries automatically first.
    CWzdSheetOption::SetTakeOverDialog([](CWnd* owner, CConnectionController* controller) {
      CDlg_Uebernahme dlg(controller, owner);
      dlg.SetAutoAssign(1);
      dlg.DoModal();
    });
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

  // Server messages and the daily update checks (updates folder).
  int UpdateServerInfo(CConnectionController& c, BOOL download) override {
    return CServerInfo().Update(&c, download) ? 1 : 0;
  }
  BOOL IsMessageOfDayDue(CConnectionController& c) override { return ::IsMessageOfDayDue(*c.GetSettings()); }
  void CancelDownloads() override { ::CancelDownloads(); }
  BOOL RunTarifUpdateCheck(CConnectionController& c) override {
    CTarifUpdateCheck check(&c);
    return check.IsDue() && check.Run(CWnd::FromHandle(c.GetMainWindow()));
  }
  void RunDialerUpdateCheck(CConnectionController& c) override {
    CDialerUpdateCheck check(&c);
    if (check.IsDue()) check.Run(CWnd::FromHandle(c.GetMainWindow()));
  }

  void ShowTip(HWND parent, const CString& text) override {
    // A server that sent no tip of this kind gets no empty window.
    if (!TipHasText(text)) return;
    CDlg_TippDesTages tip(CWnd::FromHandle(parent));
    tip.SetText(text);
    tip.Show();
  }

  void ShowDetails(HWND parent, const CString& title, const CString& text) override {
    ShowProviderDetails(CWnd::FromHandle(parent), title, text);
  }

  void ShowHelp(const CString& text) override {
    CDlg_TippDesTages::ShowHelp(nullptr, text);
  }

  void ShowInfo(HWND parent) override {
    CDlg_Info info(CWnd::FromHandle(parent));
    info.DoModal();
  }

  // The mailbox check after a connect and on timer 6. A mailbox whose password is not stored is
  // asked for it in the mailbox dialog (without parent) before every check.
  void StartMailCheck(CConnectionController& c) override {
    if (!mailCheck_) {
      mailCheck_.reset(new CMailCheck(c.GetSettings(), CWnd::FromHandle(c.GetMainWindow())));
      mailCheck_->SetTimeout(c.Scaled(kPop3TimeoutMs));
      mailCheck_->SetMailboxDialog([] {
        CDlg_Postfach dlg(TRUE);
        return dlg.DoModal() == IDOK;
      });
      const CProgramSwitches& sw = GetProgramSwitches();
      if (!sw.pop3Host.IsEmpty()) mailCheck_->SetServer(sw.pop3Host, sw.pop3Port ? sw.pop3Port : kPop3Port);
    }
    mailCheck_->Start();
  }

  // The options sheet; one sheet for the whole run, so its pages keep their state between openings.
  INT_PTR ShowOptions(HWND parent, CConnectionController& c, CTarifManager& manager, CSettings& settings,
                      int startPage) override {
    if (!options_) {
      options_.reset(new CPsh_Sheet);
      // "Übernahme bestehende DFÜ-Einträge" of the expert mode: by hand, no automatic assignment.
      CPpg_Erweitert::SetDialog(CPpg_Erweitert::kTakeOver, [](CWnd* owner, CConnectionController* ctl, CTarifManager*) {
        CDlg_Uebernahme dlg(ctl, owner);
        dlg.SetAutoAssign(0);
        dlg.DoModal();
      });
      CPpg_Erweitert::SetDialog(CPpg_Erweitert::kProviderFilter, [](CWnd* owner, CConnectionController*, CTarifManager* m) {
        CDlg_Anbieterauswahl dlg(m, owner);
        dlg.DoModal();
      });
      CPpg_Erweitert::SetDialog(CPpg_Erweitert::kMailbox, [](CWnd* owner, CConnectionController*, CTarifManager*) {
        CDlg_Postfach dlg(FALSE, owner);
        dlg.DoModal();
      });
      CPpg_Erweitert::SetDialog(CPpg_Erweitert::kLogFiles, [](CWnd* owner, CConnectionController*, CTarifManager* m) {
        CDlg_Protokolldateien dlg(m, owner);
        dlg.DoModal();
      });
      CPpg_Erweitert::SetDialog(CPpg_Erweitert::kDfueSettings, [](CWnd* owner, CConnectionController* ctl, CTarifManager* m) {
        CDlg_DfueErweitert dlg(ctl, m, owner);
        dlg.DoModal();
      });
      CPpg_Kosten::SetUserBillDialog([](CWnd* owner, CConnectionController*, BOOL sorted) {
        CDlg_Benutzerrechnung dlg(owner);
        dlg.SetSorted(sorted);
        dlg.DoModal();
      });
    }
    return RunOptionsSheet(*options_, CWnd::FromHandle(parent), &c, &manager, &settings, startPage);
  }

  // A new phone-book entry of the user's own for a provider; the activation day goes back as the
  // day number of its date value.
  int ShowNewEntry(HWND parent, CConnectionController& c, CProvider& provider, BOOL ownNumber, CString& name,
                   CString& user, CString& password, BOOL& savePassword, int& activationDay) override {
    CDlg_NeueVerbindung dlg(CWnd::FromHandle(parent));
    dlg.SetProvider(&provider);
    dlg.SetController(&c);
    dlg.SetRasAccess(&c.GetRasAccess());
    dlg.SetNoLogin(ownNumber);
    dlg.SetConnectionName(name);
    dlg.SetUserName(user);
    dlg.SetPassword(password);
    int r = static_cast<int>(dlg.DoModal());
    if (r == IDOK) {
      name = dlg.GetConnectionName();
      user = dlg.GetUserName();
      password = dlg.GetPassword();
      // Ticked (and disabled) for a provider without login, whose entry keeps its password.
      savePassword = dlg.IsSavePassword();
      activationDay = static_cast<int>(dlg.GetActivationDay().m_dt);
    }
    return r;
  }

  // The entry-assignment store "Corva.dat" in the program folder; the ranking reads its
  // registrations.
  ~CProgramDialogs() override {
    if (assignManager_ && assignManager_->GetRegistrations() == &assignments_) assignManager_->SetRegistrations(nullptr);
  }
  void LoadAssignments(CTarifManager* manager) override {
    assignManager_ = manager;
    if (manager && !manager->GetRegistrations()) manager->SetRegistrations(&assignments_);
    assignments_.SetTariffManager(manager);
    assignments_.SetFolder(CSettings().GetPATH());
    assignments_.Load();
  }
  CString LookupAssignment(const CString& providerId) override {
    return Store().Lookup(providerId);
  }
  BOOL AddAssignment(const CString& providerId, const CString& entry, int activationDay) override {
    CEntryAssignment record;
    record.providerId = providerId;
    record.entryName = entry;
    // The activation day counts days like a date value; anything else is today.
    record.date = activationDay > 1 ? COleDateTime(static_cast<double>(activationDay)) : COleDateTime::GetCurrentTime();
    return Store().AddAssignment(record);
  }
  BOOL RemoveAssignment(const CString& providerId) override {
    return Store().RemoveAssignment(providerId);
  }
  BOOL SetAssignmentDate(const CString& providerId, const COleDateTime& date) override {
    return Store().SetAssignmentDate(providerId, date);
  }

 private:
  // The store, set to the program folder when nothing has loaded it yet.
  CAssignmentStore& Store() {
    if (assignments_.GetFilePath().IsEmpty()) assignments_.SetFolder(CSettings().GetPATH());
    return assignments_;
  }

  CAssignmentStore assignments_;
  CTarifManager* assignManager_ = nullptr;
  std::unique_ptr<CMailCheck> mailCheck_;
  std::unique_ptr<CPsh_Sheet> options_;
};

}  // namespace

CAppDialogs* CreateAppDialogs() { return new CProgramDialogs; }

