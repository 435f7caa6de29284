// The dialogs the connection controller opens on the way to a connection: the user data of a
// provider with an entry of its own, and the free-minute record of a provider.
#pragma once

#include "AfxWin.h"
#include "ConnectionController.h"
#include "DialogsResource.h"
#include "TipDialog.h"

// "Astrel Corvalen Benutzerdaten": user name and password (at most 50 characters each), the
// save choice, optionally the activation day, and optionally deleting the provider's assignment.
class CDlg_Benutzerdaten : public CTipDialog {
 public:
  // The result of a dialog ended by deleting the assignment.
  enum { kDeleted = IDC_DELETE };

  CDlg_Benutzerdaten(CConnectionController* controller, BOOL allowDelete, BOOL showActivationDay,
                     CWnd* parent = nullptr);
  const CMessageMap* GetMessageMap() const override;
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;

  void SetProviderName(const CString& name) { m_provider = name; }
  void SetUserName(const CString& v) { m_user = v; }
  const CString& GetUserName() const { return m_user; }
  void SetPassword(const CString& v) { m_password = v; }
  const CString& GetPassword() const { return m_password; }
  void SetSavePassword(BOOL on) { m_save = on ? 1 : 0; }
  BOOL IsSavePassword() const { return m_save != 0; }
  // The registration day shown when the caller asks for it; after OK, whether it was changed.
  void SetActivationDate(const COleDateTime& d) { m_activation = d; }
  const COleDateTime& GetActivationDate() const { return m_activation; }
  BOOL IsActivationDateChanged() const { return m_activationChanged; }

 private:
  void OnDelete();

  CConnectionController* m_controller;
  BOOL m_allowDelete, m_showActivation;
  CString m_provider, m_user, m_password;
  int m_save = 0;
  COleDateTime m_activation;
  BOOL m_activationChanged = FALSE;
  CDateTimeCtrl m_date;
};

// "Freiminutenverwaltung": the used free minutes, the day on which the period starts and the
// calls made, of one provider's free-minute record; OK replaces the record and saves "free.log".
class CDlg_Freiminuten : public CTipDialog {
 public:
  CDlg_Freiminuten(CConnectionController* controller, const CString& providerId, const CString& entry,
                   CWnd* parent = nullptr);
  const CMessageMap* GetMessageMap() const override;
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;

  int m_hours = 0, m_minutes = 0, m_day = 1, m_calls = 0;

 private:
  void OnHilfe();
  // The error text of values OK refuses, empty when they can be stored.
  CString CheckValues() const;

  CConnectionController* m_controller;
  CString m_providerId, m_entry;
  CSpinButtonCtrl m_spinHours, m_spinMinutes, m_spinDay, m_spinCalls;
};

// The free-minutes dialog for a provider before it is dialled through `entry`; TRUE for OK.
BOOL RunFreeMinutesDialog(CWnd* parent, CConnectionController& controller, const CString& providerId,
                          const CString& entry);
