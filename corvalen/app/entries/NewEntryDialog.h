// "Neue DFÜ-Verbindung anlegen": names a new phone-book entry of the user's own for a provider,
// with the user name, the password and the day the access was activated.
#pragma once

#include <windows.h>

#include "AfxWin.h"
#include "COleDateTime.h"
#include "ConnectionController.h"
#include "EntriesResource.h"

class CDlg_NeueVerbindung : public CDialog {
 public:
  explicit CDlg_NeueVerbindung(CWnd* parent = nullptr) : CDialog(IDD_NEUEVERBINDUNG, parent) {}
  const CMessageMap* GetMessageMap() const override;
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;

  void SetProvider(CProvider* p) { m_provider = p; }
  void SetController(CConnectionController* c) { m_controller = c; }
  void SetRasAccess(CRasAccess* ras) { m_ras = ras; }
  // An entry for a provider without login: no user data, the password is kept.
  void SetNoLogin(BOOL on) { m_noLogin = on; }
  void SetConnectionName(const CString& v) { m_name = v; }
  const CString& GetConnectionName() const { return m_name; }
  void SetUserName(const CString& v) { m_user = v; }
  const CString& GetUserName() const { return m_user; }
  void SetPassword(const CString& v) { m_password = v; }
  const CString& GetPassword() const { return m_password; }
  BOOL IsSavePassword() const { return m_save != 0; }
  const COleDateTime& GetActivationDay() const { return m_day; }

  static const int kMaxCredential = 50;

 private:
  void OnHelp();
  BOOL Refuse(const char* text, int focusId);

  CProvider* m_provider = nullptr;
  CConnectionController* m_controller = nullptr;
  CRasAccess* m_ras = nullptr;
  BOOL m_noLogin = FALSE;
  CString m_name, m_user, m_password;
  int m_save = 0;
  COleDateTime m_day;
  CDateTimeCtrl m_date;
};
